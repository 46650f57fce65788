#pragma once

#include "db/core/result.h"

#include <QString>

namespace db {

class SqliteConnection;

// Brings an archive of the first format (texts COLLATE NOCASE, indexes in the program's order
// under SQLite's name) to the current one: every table and index that names NOCASE is built
// again with the program's own collation, in one transaction, after a copy of the file is
// written to backupPath(). Does nothing on an archive already converted, so that two
// workstations starting together convert it once.
Status convertToOwnCollation(SqliteConnection &connection);

// Where the copy of the archive at `archivePath` taken before its conversion goes.
QString backupPath(const QString &archivePath);

// A CREATE statement of the schema with its NOCASE collations renamed to the program's own.
QString withOwnCollation(QStringView createSql);

} // namespace db
