#include "db/enginefunctions.h"

#include "db/sqlitedialect.h"
#include "db/sqlitefunctions.h"

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
