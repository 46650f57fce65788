#pragma once

#include "db/core/connection.h"

#include <QString>

namespace stampa {

// A workstation's print request: its row of TempStampa, written by the program just before
// it starts the runner.
struct PrintJob
{
    QString workstation;
    QString portraitLayout;     // NomeReport: full path of a layout file
    QString landscapeLayout;    // NomeReportLandscape
    QString query;              // in the archive's dialect
    bool search = false;        // Filtro: the preview offers a search field
    bool choosePrinter = false; // Setup: ask for the printer before printing
    bool heading = false;       // PresenzaTestata: the office's heading on every page
};

db::Result<PrintJob> readPrintJob(db::Connection &connection, const QString &workstation);

// The layout file to use: the landscape one when asked for and named (else the portrait one).
// A file that is not where the job says is looked for by name in the layout folder of the
// runner in `runnerFolder` (layoutFolder()); when it is not there either, the job's path comes back
// so that the message names it.
QString layoutPath(const PrintJob &job, bool landscape, const QString &runnerFolder);

} // namespace stampa
