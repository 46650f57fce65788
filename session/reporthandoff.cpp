#include "session/reporthandoff.h"

#include "session/datamodule.h"
#include "session/installfolders.h"
#include "session/printquery.h"

#include <QDir>

db::Status writePrintJob(Tform_DB &m, const ReportDefinition &report, bool askPrinter,
                         const QString &runnerFolder)
{
    db::DataSet &job = m.TableTempStampa;
    // Only this workstation's job is ever replaced, whatever the data set held before.
    job.setSql(Tform_DB::printJobSql(), {m.computerName()});
    if (db::Status requeried = job.requery(); !requeried)
        return requeried;
    job.first();
    while (!job.isEmpty()) {
        if (db::Status removed = job.remove(); !removed)
            return removed;
    }
    if (db::Status appended = job.append(); !appended)
        return appended;
    const QDir folder(layoutFolder(runnerFolder));
    const QList<std::pair<QString, QVariant>> values = {
        {QStringLiteral("NomeReport"), folder.filePath(report.file)},
        {QStringLiteral("Query"), printQueryText(report.sql, report.values)},
        {QStringLiteral("Filtro"), report.filtro},
        {QStringLiteral("NomeReportLandscape"), folder.filePath(report.landscapeFile)},
        {QStringLiteral("Setup"), askPrinter},
        {QStringLiteral("PresenzaTestata"), report.testata},
        {QStringLiteral("NomeComputer"), m.computerName()}};
    for (const auto &[column, value] : values) {
        if (db::Status set = job.setValue(column, value); !set) {
            job.cancel();
            return set;
        }
    }
    db::Status posted = job.post();
    if (!posted)
        job.cancel();
    return posted;
}

QString runnerPath(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("stampa"));
}
