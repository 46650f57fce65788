#include "schema/archivecreator.h"

#include "db/pgconnection.h"
#include "db/sqliteconnection.h"
#include "db/sqltranslation.h"
#include "schema/referencedata.h"

#include <QFile>
#include <QFileInfo>

namespace schema {

namespace {

db::Result<QStringList> schemaStatements()
{
    QFile file(QStringLiteral(":/schema/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return db::Error{QStringLiteral("Definizione dello schema mancante.")};
    return db::splitSqlScript(QString::fromUtf8(file.readAll()));
}

bool createsIndex(const QString &statement)
{
    for (QStringView line : QStringView(statement).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u"--"))
            continue;
        return line.startsWith(u"CREATE INDEX", Qt::CaseInsensitive);
    }
    return false;
}

} // namespace

db::Status createTables(db::Connection &connection, SchemaPart part)
{
    db::Result<QStringList> statements = schemaStatements();
    if (!statements)
        return statements.error();
    for (const QString &statement : std::as_const(*statements)) {
        if (part != SchemaPart::Everything &&
            createsIndex(statement) != (part == SchemaPart::IndexesOnly))
            continue;
        db::Result<db::RowSet> done = connection.run(statement);
        if (!done)
            return done.error();
    }
    return {};
}

db::Status buildArchive(db::Connection &connection)
{
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    if (db::Status created = createTables(connection); !created)
        return created;
    if (db::Status loaded = loadReferenceData(connection); !loaded)
        return loaded;
    if (db::Status seeded = loadStarterLists(connection); !seeded)
        return seeded;
    return transaction.commit();
}

db::Status createArchiveFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return db::Error{
            QStringLiteral("Il file %1 esiste già: non viene sovrascritto.").arg(path)};
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return db::Error{
            QStringLiteral("Impossibile creare l'archivio %1: la cartella %2 non esiste.")
                .arg(path, folder.filePath())};
    // Built under another name and renamed at the end, so that a failure leaves no half archive.
    const QString building = path + QStringLiteral(".nuovo");
    QFile::remove(building);
    {
        auto opened = db::SqliteConnection::open(building, db::SqliteConnection::Mode::CreateNew);
        if (!opened)
            // The message names the archive the user knows, not the name it is built under.
            return db::Error{QStringLiteral("Impossibile creare l'archivio %1: %2")
                                 .arg(path, opened.message().replace(building, path))};
        db::SqliteConnection &connection = **opened;
        db::Status done = connection.markAsArchive(db::kArchiveFormat);
        if (done)
            done = buildArchive(connection);
        if (!done) {
            opened->reset();
            QFile::remove(building);
            return db::Error{
                QStringLiteral("Impossibile creare l'archivio %1: %2").arg(path, done.message())};
        }
    }
    if (!QFile::rename(building, path)) {
        QFile::remove(building);
        return db::Error{
            QStringLiteral("Impossibile creare l'archivio %1: il file non può essere scritto.")
                .arg(path)};
    }
    return {};
}

db::Status createServerArchive(const QString &location)
{
    auto opened = db::PgConnection::open(location, db::PgConnection::Mode::CreateNew);
    if (!opened)
        return opened.error();
    if (db::Status done = buildArchive(**opened); !done)
        return db::Error{QStringLiteral("Impossibile creare l'archivio sul server %1: %2")
                             .arg((*opened)->location(), done.message())};
    return {};
}

} // namespace schema
