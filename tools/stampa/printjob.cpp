#include "tools/stampa/printjob.h"

#include "session/installfolders.h"

#include <QDir>
#include <QFileInfo>

namespace stampa {

db::Result<PrintJob> readPrintJob(db::Connection &connection, const QString &workstation)
{
    db::Result<db::RowSet> rows = connection.runNative(
        QStringLiteral("SELECT * FROM TempStampa WHERE NomeComputer = ?"), {workstation});
    if (!rows)
        return rows.error();
    if (rows->rows.isEmpty())
        return db::Error{
            QStringLiteral("Non c'è nessuna stampa da eseguire per la postazione \"%1\".")
                .arg(workstation)};
    PrintJob job;
    job.workstation = workstation;
    job.portraitLayout = rows->value(0, u"NomeReport").toString().trimmed();
    job.landscapeLayout = rows->value(0, u"NomeReportLandscape").toString().trimmed();
    job.query = rows->value(0, u"Query").toString();
    job.search = rows->value(0, u"Filtro").toBool();
    job.choosePrinter = rows->value(0, u"Setup").toBool();
    job.heading = rows->value(0, u"PresenzaTestata").toBool();
    if (job.query.trimmed().isEmpty())
        return db::Error{
            QStringLiteral("La stampa della postazione \"%1\" non ha una query.").arg(workstation)};
    if (job.portraitLayout.isEmpty() && job.landscapeLayout.isEmpty())
        return db::Error{
            QStringLiteral("La stampa della postazione \"%1\" non indica il modello di stampa.")
                .arg(workstation)};
    return job;
}

QString layoutPath(const PrintJob &job, bool landscape, const QString &runnerFolder)
{
    QString path = landscape ? job.landscapeLayout : job.portraitLayout;
    if (path.isEmpty())
        path = landscape ? job.portraitLayout : job.landscapeLayout;
    if (QFileInfo(path).isAbsolute() && QFileInfo::exists(path))
        return path;
    // The program and the runner of another workstation may live in another folder.
    const QString beside = QDir(layoutFolder(runnerFolder))
                               .filePath(QFileInfo(QString(path).replace(u'\\', u'/')).fileName());
    return QFileInfo::exists(beside) ? beside : path;
}

} // namespace stampa
