#pragma once

#include "db/connection.h"

#include <QStringList>

#include <memory>

namespace db {

// Opens the archive at `location` (a file path). Refuses what is not an existing archive.
// An archive of an earlier format is converted first (see convertToOwnCollation).
Result<std::unique_ptr<Connection>> openArchive(const QString &location);

// Opens the archive for reading only: every statement but a single query is refused. Nothing
// in the file changes, an earlier format is read as it is.
Result<std::unique_ptr<Connection>> openArchiveToRead(const QString &location);

struct ArchiveCheck
{
    QStringList problems; // as the engine words them; none when the archive is sound
    bool earlierFormat = false;
};

// Checks the file's structure, with the program's text order in place, without changing it.
Result<ArchiveCheck> checkArchive(const QString &location);

} // namespace db
