#include "schema/archivecreator.h"

#include "db/core/archive.h"
#include "db/sql/sqltranslation.h"
#include "schema/referencedata.h"

#include <QFile>

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

db::Status createArchive(const QString &location)
{
    return db::createArchive(location, buildArchive);
}

} // namespace schema
