#include "agenda/archiveidentity.h"

namespace agenda {

namespace {

// Plain SQL that every engine reads alike. The key is always 1: one row per archive.
const char kCreate[] = "CREATE TABLE IF NOT EXISTS IdentitaArchivio "
                       "(Id INTEGER PRIMARY KEY, Codice VARCHAR(40) NOT NULL)";
const char kRead[] = "SELECT Codice FROM IdentitaArchivio WHERE Id = 1";
// Whoever inserts first wins; the other's insert does nothing and both read the same row.
const char kInsert[] = "INSERT INTO IdentitaArchivio (Id, Codice) VALUES (1, ?) "
                       "ON CONFLICT DO NOTHING";

db::Error failure(const QString &why)
{
    return {QStringLiteral("L'identificativo dell'archivio non è disponibile: %1").arg(why)};
}

} // namespace

db::Result<QUuid> archiveIdentifier(db::Connection &connection)
{
    db::Result<db::RowSet> read = connection.runNative(QString::fromLatin1(kRead));
    if (!read || read->rows.isEmpty()) {
        const QString made = QUuid::createUuid().toString(QUuid::WithoutBraces);
        db::Result<db::RowSet> step = connection.runNative(QString::fromLatin1(kCreate));
        if (step)
            step = connection.runNative(QString::fromLatin1(kInsert), {made});
        if (step)
            step = connection.runNative(QString::fromLatin1(kRead));
        if (!step)
            return failure(step.message());
        read = std::move(step);
    }
    const QUuid id =
        read->rows.isEmpty() ? QUuid() : QUuid::fromString(read->value(0, u"Codice").toString());
    if (id.isNull())
        return failure(QStringLiteral("il valore registrato non è valido."));
    return id;
}

} // namespace agenda
