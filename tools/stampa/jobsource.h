#pragma once

#include "tools/stampa/printjob.h"
#include "tools/stampa/reportdata.h"

#include <QStringList>

namespace stampa {

// What the command line asks for. Without --pdf and --export the runner opens its preview.
struct RunnerOptions
{
    QString archive;        // --archive: instead of the one percorso.txt names
    QString workstation;    // --workstation: instead of this computer's name
    bool landscape = false; // --orizzontale
    QString pdf;            // --pdf FILE
    QString exportFile;     // --export FILE (csv or html by its extension)
    // --dati FILE with --layout FILE.rpt: the rows of a rows file (session/rowsfile.h) printed
    // with that layout, instead of the workstation's job; the archive gives the office's data.
    QString dataFile;
    QString layout;

    bool automatic() const { return !pdf.isEmpty() || !exportFile.isEmpty(); }
};

// Reads the arguments after the program's name.
db::Result<RunnerOptions> parseArguments(const QStringList &arguments);
QString usageText();

// A job read from the archive with the rows it prints.
struct LoadedJob
{
    PrintJob job;
    ReportData data;
};

// The values bound to the job's query: the job's workstation for a query with one ?.
db::Result<QVariantList> queryValues(const QString &query, const QString &workstation);

// Finds the archive as the program does (percorso.txt in `runnerFolder`, or the user's
// folders), reads the workstation's job and runs its query.
db::Result<LoadedJob> loadJob(const RunnerOptions &options, const QString &runnerFolder);

} // namespace stampa
