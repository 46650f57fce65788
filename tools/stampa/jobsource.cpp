#include "tools/stampa/jobsource.h"

#include "db/core/archive.h"
#include "db/sql/sqltokenizer.h"
#include "session/archivelocation.h"
#include "session/computername.h"
#include "session/printquery.h"
#include "session/rowsfile.h"

namespace stampa {

QString usageText()
{
    return QStringLiteral(
        "Uso: stampa [--archive ARCHIVIO] [--workstation POSTAZIONE] [--orizzontale]\n"
        "            [--pdf FILE.pdf] [--export FILE.csv|FILE.html]\n"
        "            [--dati FILE.json --layout STAMPA.rpt]\n"
        "Esegue la stampa preparata dal programma per questa postazione (tabella TempStampa).\n"
        "Con --dati e --layout stampa invece le righe del file di dati con quella stampa.\n"
        "Senza --pdf ed --export mostra l'anteprima di stampa.\n");
}

db::Result<RunnerOptions> parseArguments(const QStringList &arguments)
{
    RunnerOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        QString *value = nullptr;
        if (a == u"--archive")
            value = &options.archive;
        else if (a == u"--workstation")
            value = &options.workstation;
        else if (a == u"--pdf")
            value = &options.pdf;
        else if (a == u"--export")
            value = &options.exportFile;
        else if (a == u"--dati")
            value = &options.dataFile;
        else if (a == u"--layout")
            value = &options.layout;
        else if (a == u"--orizzontale") {
            options.landscape = true;
            continue;
        } else {
            return db::Error{QStringLiteral("Argomento non riconosciuto: %1").arg(a)};
        }
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty())
            return db::Error{QStringLiteral("Manca il valore di %1").arg(a)};
        *value = arguments[++i];
    }
    if (options.dataFile.isEmpty() != options.layout.isEmpty())
        return db::Error{QStringLiteral("--dati e --layout si danno insieme")};
    return options;
}

db::Result<QVariantList> queryValues(const QString &query, const QString &workstation)
{
    // A job names its own workstation with a ?, never with its name written into the text.
    qsizetype parameters = 0;
    for (const db::Token &token : db::tokenizeSql(query))
        parameters += token.isPunct(u"?") ? 1 : 0;
    if (parameters > 1)
        return db::Error{QStringLiteral("La query della stampa ha più di un parametro.")};
    return parameters == 1 ? QVariantList{workstation} : QVariantList{};
}

db::Result<LoadedJob> loadJob(const RunnerOptions &options, const QString &runnerFolder)
{
    QString archive = options.archive;
    if (archive.isEmpty()) {
        db::Result<ArchiveLocation> location = locateArchive(runnerFolder);
        if (!location)
            return location.error();
        archive = location->archive;
    }
    // The job's query and layout come from the archive, which any workstation writes: the
    // runner only ever reads, whatever the query says.
    db::Result<std::unique_ptr<db::Connection>> connection = db::openArchiveToRead(archive);
    if (!connection)
        return connection.error();
    const QString workstation =
        options.workstation.isEmpty() ? readComputerName() : options.workstation;
    if (!options.dataFile.isEmpty()) {
        db::Result<db::RowSet> rows = readRowsFile(options.dataFile);
        if (!rows)
            return rows.error();
        db::Result<ReportData> office = loadOfficeData(**connection);
        if (!office)
            return office.error();
        office->rows = std::move(*rows);
        PrintJob given{workstation, options.layout, options.layout, QString(), false, false, true};
        return LoadedJob{std::move(given), std::move(*office)};
    }
    db::Result<PrintJob> job = readPrintJob(**connection, workstation);
    if (!job)
        return job.error();
    db::Result<PrintQuery> query = readPrintQuery(job->query);
    if (!query)
        return query.error();
    db::Result<QVariantList> values = query->ownValues ? db::Result<QVariantList>(query->values)
                                                       : queryValues(query->sql, workstation);
    if (!values)
        return values.error();
    db::Result<ReportData> data = loadReportData(**connection, query->sql, *values);
    if (!data)
        return data.error();
    return LoadedJob{std::move(*job), std::move(*data)};
}

} // namespace stampa
