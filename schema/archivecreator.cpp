#include "schema/archivecreator.h"

#include "db/core/archive.h"
#include "db/sql/sqltranslation.h"
#include "schema/referencedata.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

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

// The name of the index a CREATE INDEX statement makes; empty for any other statement.
QString indexName(const QString &statement)
{
    static const QRegularExpression index(QStringLiteral("^CREATE\\s+INDEX\\s+(\\w+)\\s"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = index.match(firstLine(statement).toString());
    return match.hasMatch() ? match.captured(1) : QString();
}

// The names of the archive's indexes, folded: a server keeps unquoted names in lower case.
db::Result<QSet<QString>> existingIndexes(db::Connection &connection)
{
    const bool onFile = connection.dialect().name() == u"SQLite";
    db::Result<db::RowSet> rows = connection.runNative(
        onFile ? QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index'")
               : QStringLiteral("SELECT indexname FROM pg_indexes "
                                "WHERE schemaname = current_schema()"));
    if (!rows)
        return rows.error();
    QSet<QString> names;
    for (const QVariantList &row : std::as_const(rows->rows))
        names.insert(row.value(0).toString().toCaseFolded());
    return names;
}

// The schema's CREATE INDEX statements whose index the archive does not have.
db::Result<QStringList> missingIndexes(db::Connection &connection)
{
    const db::Result<QStringList> &statements = schemaStatements();
    if (!statements)
        return statements.error();
    db::Result<QSet<QString>> existing = existingIndexes(connection);
    if (!existing)
        return existing.error();
    QStringList missing;
    for (const QString &statement : std::as_const(*statements)) {
        const QString name = indexName(statement);
        if (!name.isEmpty() && !existing->contains(name.toCaseFolded()))
            missing.append(statement);
    }
    return missing;
}

} // namespace

db::Status addMissingIndexes(db::Connection &connection)
{
    // Read first, outside any transaction: an archive that lacks nothing is not locked.
    db::Result<QStringList> missing = missingIndexes(connection);
    if (!missing)
        return missing.error();
    if (missing->isEmpty())
        return {};
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    // A server lets two transactions build the same index side by side, the second failing at
    // the end: workstations that open the archive together take turns here (the lock's number
    // spells "CALV", the mark of the program's archive files).
    if (connection.dialect().name() != u"SQLite") {
        if (db::Result<db::RowSet> turn =
                connection.runNative(QStringLiteral("SELECT pg_advisory_xact_lock(1128352854)"));
            !turn)
            return turn.error();
    }
    // Read again under the lock: another workstation may have added them meanwhile.
    missing = missingIndexes(connection);
    if (!missing)
        return missing.error();
    for (const QString &statement : std::as_const(*missing)) {
        db::Result<db::RowSet> done = connection.run(statement);
        if (!done)
            return db::Error{QStringLiteral("Impossibile aggiungere un indice all'archivio: %1")
                                 .arg(done.message())};
    }
    return transaction.commit();
}

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
