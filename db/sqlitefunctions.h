#pragma once

struct sqlite3;

namespace db {

// Gives an SQLite connection what the program's SQL expects of the engine: texts that compare
// and sort regardless of letter case (the NOCASE collation, Unicode-aware), LIKE regardless of
// case, and the Jet functions Month, Year, Day, Hour, Minute, Second, Date, Now, UCase, LCase,
// Len, Left, Right, Mid and Nz.
int registerSqliteFunctions(sqlite3 *handle);

// The NOCASE order on two UTF-8 texts: letter case ignored, accented letters beside their
// plain ones. Returns <0, 0, >0.
int compareNoCase(const char *a, int aLength, const char *b, int bLength);

} // namespace db
