#pragma once

#include "db/connection.h"

namespace schema {

// Creates the tables and fills the reference data on an empty archive, in one transaction.
db::Status buildArchive(db::Connection &connection);

// Creates a new archive file at `path` with the schema and the reference data. Refuses to touch
// an existing file; on failure nothing is left at `path`.
db::Status createArchiveFile(const QString &path);

} // namespace schema
