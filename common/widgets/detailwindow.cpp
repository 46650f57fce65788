#include "common/widgets/detailwindow.h"

#include "common/dialogs.h"

#include <QCloseEvent>

DetailWindow::DetailWindow(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
}

void DetailWindow::spdSalvaClick()
{
    m_saveRefused = !save();
    if (!m_saveRefused)
        m_modified = false;
}

void DetailWindow::spdIndietroClick()
{
    if (!mayLeave())
        return;
    if (m_modified)
        spdSalvaClick();
    if (m_saveRefused) {
        // The user was told why; the way out loses only what was typed, and only after a yes.
        if (!offersDiscard() ||
            !dialogs().confirmDefaultNo(QStringLiteral(
                "Le modifiche non si possono salvare così. Chiudere senza salvarle? Quello che "
                "è stato scritto dopo l'ultimo salvataggio andrà perso.")))
            return;
        discardChanges();
        setModified(false);
    }
    accept();
}

void DetailWindow::reject()
{
    // Escape is "Indietro", never a way round the save.
    spdIndietroClick();
}

void DetailWindow::closeEvent(QCloseEvent *event)
{
    // A window manager gives every window a close box: it must not bypass the save.
    event->ignore();
    spdIndietroClick();
}
