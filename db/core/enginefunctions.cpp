#include "db/core/enginefunctions.h"

#include "db/sqlite/sqlitedialect.h"
#include "db/sqlite/sqlitefunctions.h"

namespace db {

const Dialect &fileDialect()
{
    static const SqliteDialect dialect;
    return dialect;
}

int addProgramFunctions(sqlite3 *handle)
{
    return registerSqliteFunctions(handle);
}

int compareArchiveTexts(const char *a, int aLength, const char *b, int bLength)
{
    return compareNoCase(a, aLength, b, bLength);
}

} // namespace db
