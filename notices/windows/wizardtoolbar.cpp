#include "notices/windows/wizardtoolbar.h"

#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"

#include <QBoxLayout>
#include <QToolButton>

WizardToolbar addWizardToolbar(QWidget *step, QBoxLayout *layout, const QString &forwardName,
                               const QString &forwardCaption, QStyle::StandardPixmap forwardIcon)
{
    auto *toolbar = new QHBoxLayout;
    WizardToolbar buttons;
    buttons.indietro = toolButton(step, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"),
                                  QString(), QStyle::SP_ArrowBack);
    buttons.avanti = toolButton(step, forwardName, forwardCaption, QString(), forwardIcon);
    QToolButton *aiuto = toolButton(step, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"),
                                    QString(), QStyle::SP_DialogHelpButton);
    toolbar->addWidget(buttons.indietro);
    toolbar->addWidget(buttons.avanti);
    toolbar->addStretch();
    toolbar->addWidget(aiuto);
    layout->addLayout(toolbar);
    InputConventions::connectHelpButton(aiuto);
    return buttons;
}
