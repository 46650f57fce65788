#include "db/archive.h"

#include "db/sqliteconnection.h"

namespace db {

Result<std::unique_ptr<Connection>> openArchive(const QString &location)
{
    if (location.trimmed().isEmpty())
        return Error{QStringLiteral("Percorso dell'archivio non indicato.")};
    auto opened = SqliteConnection::open(location, SqliteConnection::Mode::Existing);
    if (!opened)
        return opened.error();
    return std::unique_ptr<Connection>(std::move(*opened));
}

} // namespace db
