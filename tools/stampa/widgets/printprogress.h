#pragma once

#include "tools/stampa/reportdocument.h"

#include <QProgressDialog>

namespace stampa {

// A progress bar with "Annulla" that appears when painting a print takes more than a moment
// (thousands of pages of payments, a label sheet per contact). Not for the preview, which
// paints while the window repaints it.
class PrintProgressWindow
{
public:
    PrintProgressWindow(QWidget *parent, const QString &label);

    // What ReportDocument::print tells after each page: it moves the bar and answers false
    // once "Annulla" was pressed.
    PrintProgress callback();
    QProgressDialog &dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
};

} // namespace stampa
