#pragma once

#include "db/core/connection.h"

namespace schema {

// Which statements of the schema createTables() runs: a copy that writes many rows at once
// builds the indexes after them, which is quicker than keeping them up to date row by row.
enum class SchemaPart
{
    Everything,
    TablesOnly, // tables and counters, no index
    IndexesOnly,
};

// Creates the tables, indexes and counters of an archive, empty, inside the caller's transaction.
db::Status createTables(db::Connection &connection, SchemaPart part = SchemaPart::Everything);

// Creates the schema's indexes of `table` (by name, whatever its letter case), for a copy that
// builds each table's indexes as soon as its rows are written.
db::Status createIndexes(db::Connection &connection, const QString &table);

// Gives an archive made by an earlier version the indexes the schema has gained since, all in
// one transaction; an archive that lacks none costs one read of the engine's list of indexes.
// Run by the program when it opens the archive, on a connection that may write.
db::Status addMissingIndexes(db::Connection &connection);

// Creates the tables and fills the reference data on an empty archive, in one transaction.
db::Status buildArchive(db::Connection &connection);

// Creates a new archive at `location`, a file or the empty database of a server (see
// db::isServerLocation), with the schema and the reference data. Refuses to touch an existing
// file or a database that holds tables; on failure nothing is left at a file's path.
db::Status createArchive(const QString &location);

} // namespace schema
