// The program's SQL functions and text collation as an extension of the sqlite3 command-line
// tool, so that the tool can read an archive (".load" this library) and the benchmarks can set
// the tool beside the program on the same statements.

#include "db/core/enginefunctions.h"

#include <QtGlobal>

#include <sqlite3.h>

extern "C" Q_DECL_EXPORT int sqlite3_extension_init(sqlite3 *handle, char **, const void *)
{
    return db::addProgramFunctions(handle);
}
