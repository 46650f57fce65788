#include "tools/stampa/widgets/printprogress.h"

namespace stampa {

PrintProgressWindow::PrintProgressWindow(QWidget *parent, const QString &label)
    : m_dialog(label, QStringLiteral("Annulla"), 0, 1, parent)
{
    m_dialog.setObjectName(QStringLiteral("frmAvanzamento"));
    m_dialog.setWindowTitle(QStringLiteral("Stampa"));
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setMinimumDuration(500);
    m_dialog.setAutoClose(true);
}

PrintProgress PrintProgressWindow::callback()
{
    return [this](qsizetype painted, qsizetype total) {
        m_dialog.setMaximum(int(total));
        m_dialog.setLabelText(QStringLiteral("Pagina %1 di %2").arg(painted).arg(total));
        // Once shown, the window-modal dialog handles its own events here ("Annulla"), while
        // the window behind it takes no input.
        m_dialog.setValue(int(painted));
        return !m_dialog.wasCanceled();
    };
}

} // namespace stampa
