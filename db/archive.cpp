#include "db/archive.h"

#include "db/collationconversion.h"
#include "db/pgconnection.h"
#include "db/sqliteconnection.h"

namespace db {

namespace {

Result<std::unique_ptr<SqliteConnection>> openAsItIs(const QString &location)
{
    if (location.trimmed().isEmpty())
        return Error{QStringLiteral("Percorso dell'archivio non indicato.")};
    return SqliteConnection::open(location, SqliteConnection::Mode::Existing);
}

} // namespace

Result<std::unique_ptr<Connection>> openArchive(const QString &location)
{
    if (isServerLocation(location)) {
        auto opened = PgConnection::open(location.trimmed(), PgConnection::Mode::Existing);
        if (!opened)
            return opened.error();
        return std::unique_ptr<Connection>(std::move(*opened));
    }
    auto opened = openAsItIs(location);
    if (!opened)
        return opened.error();
    if ((*opened)->formatVersion() < kArchiveFormat) {
        if (Status converted = convertToOwnCollation(**opened); !converted)
            return converted.error();
        // A new connection, without the first format's NOCASE in place.
        opened->reset();
        opened = openAsItIs(location);
        if (!opened)
            return opened.error();
    }
    return std::unique_ptr<Connection>(std::move(*opened));
}

Result<std::unique_ptr<Connection>> openArchiveToRead(const QString &location)
{
    if (isServerLocation(location)) {
        auto opened = PgConnection::open(location.trimmed(), PgConnection::Mode::Existing);
        if (!opened)
            return opened.error();
        (*opened)->allowQueriesOnly();
        return std::unique_ptr<Connection>(std::move(*opened));
    }
    auto opened = openAsItIs(location);
    if (!opened)
        return opened.error();
    (*opened)->allowQueriesOnly();
    return std::unique_ptr<Connection>(std::move(*opened));
}

Result<ArchiveCheck> checkArchive(const QString &location)
{
    if (isServerLocation(location)) {
        // The server looks after its own files; what it can report is an index left unusable.
        auto opened = openArchiveToRead(location);
        if (!opened)
            return opened.error();
        Result<RowSet> broken = (*opened)->runNative(QStringLiteral(
            "SELECT CAST(indexrelid AS regclass) FROM pg_index WHERE NOT indisvalid"));
        if (!broken)
            return broken.error();
        ArchiveCheck check;
        for (const QVariantList &row : std::as_const(broken->rows))
            check.problems.append(QStringLiteral("indice non valido: ") + row.value(0).toString());
        return check;
    }
    auto opened = openAsItIs(location);
    if (!opened)
        return opened.error();
    Result<RowSet> rows = (*opened)->runNative(QStringLiteral("PRAGMA integrity_check"));
    ArchiveCheck check;
    check.earlierFormat = (*opened)->formatVersion() < kArchiveFormat;
    // A file damaged past what the check can walk fails it: that is its answer too.
    if (!rows) {
        check.problems.append(rows.message());
        return check;
    }
    for (const QVariantList &row : std::as_const(rows->rows)) {
        const QString line = row.value(0).toString();
        if (line != u"ok")
            check.problems.append(line);
    }
    return check;
}

} // namespace db
