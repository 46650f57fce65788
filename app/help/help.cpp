#include "app/help/help.h"

#include "app/help/frmaiuto.h"
#include "common/widgets/inputconventions.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

namespace {

const QString kFilterName = QStringLiteral("helpKeyFilter");

QPointer<TfrmAiuto> &theWindow()
{
    static QPointer<TfrmAiuto> window;
    return window;
}

class HelpKeyFilter final : public QObject
{
public:
    explicit HelpKeyFilter(QObject *parent) : QObject(parent) { setObjectName(kFilterName); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // The key reaches the window system's window first, then the focus widget: answer the
        // widget, whose window knows the context.
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return false;
        openHelp(helpContext(static_cast<QWidget *>(watched)));
        return true;
    }
};

} // namespace

void installHelp(QApplication *application)
{
    if (!application->findChild<QObject *>(kFilterName, Qt::FindDirectChildrenOnly))
        application->installEventFilter(new HelpKeyFilter(application));
}

TfrmAiuto *openHelp(int context)
{
    QPointer<TfrmAiuto> &window = theWindow();
    QWidget *modal = QApplication::activeModalWidget();
    if (!window)
        window = new TfrmAiuto(modal);
    else if (window->parentWidget() != modal)
        window->setParent(modal, window->windowFlags());
    window->showContext(context);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

TfrmAiuto *helpWindow()
{
    return theWindow();
}
