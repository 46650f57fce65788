#include "common/widgets/detailwindow.h"

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
    if (!m_saveRefused)
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
