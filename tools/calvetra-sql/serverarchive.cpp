#include "serverarchive.h"

#include "db/core/archive.h"
#include "schema/archivecreator.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

int failed(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
    return 1;
}

} // namespace

int initServerArchive(const QString &location)
{
    if (db::Status created = schema::createArchive(location); !created)
        return failed(created.message());
    QTextStream(stdout) << "Archivio creato sul server." << Qt::endl;
    return 0;
}

int copyArchiveToServer(const QString &archive, const QString &location)
{
    if (db::isServerLocation(archive) || !db::isServerLocation(location))
        return failed(QStringLiteral("--copy copia un archivio su file in un database del server: "
                                     "calvetra-sql --copy ARCHIVIO postgresql://..."));
    QTextStream out(stdout);
    QElapsedTimer timer;
    timer.start();
    db::Result<QString> copied = db::copyArchive(
        archive, location, [](db::Connection &c) { return schema::createTables(c); },
        [&](const QString &table, qint64 rows) {
            out << table << ": " << rows << " righe" << Qt::endl;
        });
    if (!copied)
        return failed(copied.message());
    out << "Archivio copiato sul server " << *copied << " in "
        << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s." << Qt::endl;
    return 0;
}
