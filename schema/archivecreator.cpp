#include "schema/archivecreator.h"

#include "db/core/archive.h"
#include "db/sql/sqltranslation.h"
#include "schema/referencedata.h"

#include <QFile>
#include <QRegularExpression>

namespace schema {

namespace {

// Read and split once: an import asks for the indexes of every table in turn.
const db::Result<QStringList> &schemaStatements()
{
    static const db::Result<QStringList> statements = []() -> db::Result<QStringList> {
        QFile file(QStringLiteral(":/schema/schema.sql"));
        if (!file.open(QIODevice::ReadOnly))
            return db::Error{QStringLiteral("Definizione dello schema mancante.")};
        return db::splitSqlScript(QString::fromUtf8(file.readAll()));
    }();
    return statements;
}

// The statement without its comment lines.
QStringView firstLine(const QString &statement)
{
    for (QStringView line : QStringView(statement).split(u'\n')) {
        line = line.trimmed();
        if (!line.isEmpty() && !line.startsWith(u"--"))
            return line;
    }
    return {};
}

bool createsIndex(const QString &statement)
{
    return firstLine(statement).startsWith(u"CREATE INDEX", Qt::CaseInsensitive);
}

// The table of a CREATE INDEX statement; empty for any other.
QString indexedTable(const QString &statement)
{
    static const QRegularExpression index(
        QStringLiteral("^CREATE\\s+INDEX\\s+\\S+\\s+ON\\s+(\\w+)\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = index.match(firstLine(statement).toString());
    return match.hasMatch() ? match.captured(1) : QString();
}

} // namespace

db::Status createTables(db::Connection &connection, SchemaPart part)
{
    const db::Result<QStringList> &statements = schemaStatements();
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

db::Status createIndexes(db::Connection &connection, const QString &table)
{
    const db::Result<QStringList> &statements = schemaStatements();
    if (!statements)
        return statements.error();
    for (const QString &statement : std::as_const(*statements)) {
        if (indexedTable(statement).compare(table, Qt::CaseInsensitive) != 0)
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
