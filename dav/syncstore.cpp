#include "dav/syncstore.h"

#include "db/core/connection.h"

#include <QStringList>

namespace dav {

namespace {

// Plain SQL that every engine reads alike.
const char *const kCreate[] = {
    "CREATE TABLE IF NOT EXISTS SincroniaImpostazioni (Id INTEGER PRIMARY KEY, Server TEXT, "
    "Utente TEXT, Password TEXT)",
    "CREATE TABLE IF NOT EXISTS SincroniaRaccolte (Tipo TEXT PRIMARY KEY, Url TEXT NOT NULL, "
    "SyncToken TEXT)",
    "CREATE TABLE IF NOT EXISTS SincroniaElementi (Tipo TEXT NOT NULL, Locale INTEGER NOT NULL, "
    "Href TEXT NOT NULL, ETag TEXT, Accordato TEXT, Archivio TEXT, PRIMARY KEY (Tipo, Locale))",
};

QString kindOf(Collection collection)
{
    return collection == Collection::Contacts ? QStringLiteral("contatti")
                                              : QStringLiteral("agenda");
}

db::Status ensureTables(db::Connection &connection)
{
    for (const char *sql : kCreate) {
        if (db::Result<db::RowSet> made = connection.runNative(QString::fromLatin1(sql)); !made)
            return made.error();
    }
    // The first version of the table had no column for the archive's side.
    const db::Result<db::RowSet> columns =
        connection.runNative(QStringLiteral("SELECT * FROM SincroniaElementi WHERE 1 = 0"));
    if (!columns)
        return columns.error();
    if (columns->columnIndex(u"Archivio") < 0) {
        if (db::Result<db::RowSet> added = connection.runNative(
                QStringLiteral("ALTER TABLE SincroniaElementi ADD COLUMN Archivio TEXT"));
            !added)
            return added.error();
    }
    return {};
}

db::Result<bool> tablesExist(db::Connection &connection)
{
    db::Result<QStringList> tables = connection.tableNames();
    if (!tables)
        return tables.error();
    return tables->contains(QStringLiteral("SincroniaElementi"), Qt::CaseInsensitive);
}

} // namespace

db::Result<StoredSettings> readStoredSettings(db::Connection &connection)
{
    db::Result<bool> exist = tablesExist(connection);
    if (!exist)
        return exist.error();
    if (!*exist)
        return StoredSettings{};
    db::Result<db::RowSet> read = connection.runNative(
        QStringLiteral("SELECT Server, Utente, Password FROM SincroniaImpostazioni WHERE Id = 1"));
    if (!read)
        return read.error();
    if (read->rows.isEmpty())
        return StoredSettings{};
    const QVariantList &row = read->rows.first();
    return StoredSettings{row.value(0).toString(), row.value(1).toString(),
                          row.value(2).toString()};
}

db::Status writeStoredSettings(db::Connection &connection, const StoredSettings &settings)
{
    if (db::Status made = ensureTables(connection); !made)
        return made;
    if (db::Result<db::RowSet> gone =
            connection.runNative(QStringLiteral("DELETE FROM SincroniaImpostazioni WHERE Id = 1"));
        !gone)
        return gone.error();
    if (db::Result<db::RowSet> put = connection.runNative(
            QStringLiteral("INSERT INTO SincroniaImpostazioni (Id, Server, Utente, Password) "
                           "VALUES (1, ?, ?, ?)"),
            {settings.server.trimmed(), settings.user.trimmed(), settings.password});
        !put)
        return put.error();
    return {};
}

db::Result<CollectionState> readCollectionState(db::Connection &connection, Collection collection,
                                                const QString &url)
{
    CollectionState state;
    state.url = url;
    db::Result<bool> exist = tablesExist(connection);
    if (!exist)
        return exist.error();
    if (!*exist)
        return state;
    const QString kind = kindOf(collection);
    db::Result<db::RowSet> stored = connection.runNative(
        QStringLiteral("SELECT Url, SyncToken FROM SincroniaRaccolte WHERE Tipo = ?"), {kind});
    if (!stored)
        return stored.error();
    // Another collection (another server or user): its items mean nothing here.
    if (stored->rows.isEmpty() || stored->rows.first().value(0).toString() != url)
        return state;
    state.syncToken = stored->rows.first().value(1).toString();
    // SELECT *: a table of the first version has no Archivio, whose items then count as
    // agreed with an archive that changed.
    db::Result<db::RowSet> items = connection.runNative(
        QStringLiteral("SELECT * FROM SincroniaElementi WHERE Tipo = ?"), {kind});
    if (!items)
        return items.error();
    const int archive = items->columnIndex(u"Archivio");
    for (qsizetype r = 0; r < items->rows.size(); ++r) {
        const qint64 local = items->value(r, u"Locale").toLongLong();
        state.items.insert(
            local, SyncedItem{local, items->value(r, u"Href").toString(),
                              items->value(r, u"ETag").toString(),
                              items->value(r, u"Accordato").toString(),
                              archive < 0 ? QString() : items->rows[r][archive].toString()});
    }
    return state;
}

db::Status writeCollectionState(db::Connection &connection, Collection collection,
                                const CollectionState &state)
{
    if (db::Status made = ensureTables(connection); !made)
        return made;
    const QString kind = kindOf(collection);
    const std::pair<const char *, QVariantList> steps[] = {
        {"DELETE FROM SincroniaElementi WHERE Tipo = ?", {kind}},
        {"DELETE FROM SincroniaRaccolte WHERE Tipo = ?", {kind}},
        {"INSERT INTO SincroniaRaccolte (Tipo, Url, SyncToken) VALUES (?, ?, ?)",
         {kind, state.url, state.syncToken}},
    };
    for (const auto &[sql, values] : steps) {
        if (db::Result<db::RowSet> done = connection.runNative(QString::fromLatin1(sql), values);
            !done)
            return done.error();
    }
    for (const SyncedItem &item : state.items) {
        if (db::Result<db::RowSet> put = connection.runNative(
                QStringLiteral("INSERT INTO SincroniaElementi (Tipo, Locale, Href, ETag, "
                               "Accordato, Archivio) VALUES (?, ?, ?, ?, ?, ?)"),
                {kind, item.local, item.href, item.etag, item.agreed, item.archive});
            !put)
            return put.error();
    }
    return {};
}

} // namespace dav
