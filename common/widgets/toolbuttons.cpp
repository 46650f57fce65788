#include "common/widgets/toolbuttons.h"

#include "common/widgets/inputconventions.h"

#include <QHBoxLayout>
#include <QToolButton>

QToolButton *toolButton(QWidget *parent, const QString &name, const QString &caption,
                        const QString &hint, QStyle::StandardPixmap picture)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(parent->style()->standardIcon(picture));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setMinimumWidth(64);
    return button;
}

ListToolbar makeListToolbar(QWidget *window)
{
    ListToolbar t;
    t.bar = new QWidget(window);
    auto *layout = new QHBoxLayout(t.bar);
    layout->setContentsMargins(0, 0, 0, 0);
    t.indietro = toolButton(t.bar, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"),
                            QString(), QStyle::SP_ArrowBack);
    t.ricarica = toolButton(t.bar, QStringLiteral("spdAggiorna"), QStringLiteral("Ricarica"),
                            QStringLiteral("Aggiorna l'elenco"), QStyle::SP_BrowserReload);
    t.aggiungi = toolButton(t.bar, QStringLiteral("spdInserisci"), QStringLiteral("Aggiungi"),
                            QStringLiteral("Inserisce un nuovo Record"), QStyle::SP_FileIcon);
    t.elimina = toolButton(t.bar, QStringLiteral("spdElimina"), QStringLiteral("Elimina"),
                           QStringLiteral("Elimina il record corrente "), QStyle::SP_TrashIcon);
    t.avanti = toolButton(t.bar, QStringLiteral("spdAvanti"), QStringLiteral("Avanti"), QString(),
                          QStyle::SP_ArrowForward);
    t.aiuto = toolButton(t.bar, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                         QStyle::SP_DialogHelpButton);
    for (QToolButton *b : {t.indietro, t.ricarica, t.aggiungi, t.elimina, t.avanti})
        layout->addWidget(b);
    layout->addStretch();
    layout->addWidget(t.aiuto);
    InputConventions::connectHelpButton(t.aiuto);
    return t;
}

DetailToolbar makeDetailToolbar(QWidget *window, bool withHelp)
{
    DetailToolbar t;
    t.bar = new QWidget(window);
    t.layout = new QHBoxLayout(t.bar);
    t.layout->setContentsMargins(0, 0, 0, 0);
    t.salva =
        toolButton(t.bar, QStringLiteral("spdSalva"), QStringLiteral("Salva"),
                   QStringLiteral("Sava le modifiche effettuate"), QStyle::SP_DialogSaveButton);
    t.salva->hide();
    t.indietro = toolButton(t.bar, QStringLiteral("spdIndietro"), QStringLiteral("Indietro"),
                            QString(), QStyle::SP_ArrowBack);
    t.layout->addWidget(t.salva);
    t.layout->addWidget(t.indietro);
    t.layout->addStretch();
    if (withHelp) {
        t.aiuto = toolButton(t.bar, QStringLiteral("spdHelp"), QStringLiteral("Aiuto"), QString(),
                             QStyle::SP_DialogHelpButton);
        t.layout->addWidget(t.aiuto);
        InputConventions::connectHelpButton(t.aiuto);
    }
    return t;
}

QWidget *withLookupButtons(QWidget *field, const QString &addName, const QString &openName,
                           std::function<void()> add, std::function<void()> open)
{
    auto *row = new QWidget(field->parentWidget());
    auto *h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    field->setParent(row);
    h->addWidget(field, 1);
    row->setFocusProxy(field);
    const std::tuple<QString, QString, QString, std::function<void()>> buttons[] = {
        {addName, QStringLiteral("+"), QStringLiteral("Aggiungi"), std::move(add)},
        {openName, QStringLiteral("…"), QStringLiteral("Apri la scheda"), std::move(open)}};
    for (const auto &[name, caption, hint, action] : buttons) {
        auto *b = new QToolButton(row);
        b->setFocusPolicy(Qt::NoFocus);
        b->setObjectName(name);
        b->setText(caption);
        b->setToolTip(hint);
        QObject::connect(b, &QToolButton::clicked, row, action);
        h->addWidget(b);
    }
    return row;
}
