#pragma once

#include "db/connection.h"

#include <memory>

namespace db {

// Opens the archive at `location` (a file path). Refuses what is not an existing archive.
Result<std::unique_ptr<Connection>> openArchive(const QString &location);

} // namespace db
