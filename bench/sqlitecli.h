#pragma once

#include "bench/clitool.h"

#include <QString>

namespace bench {

// The sqlite3 command-line tool, for figures beside the program's own on the same archive, with
// the program's functions and collation loaded (see sqlitetool.h). It works on a copy, made
// once as ARCHIVE.sqlite3-cli and reused, since some of the statements timed write.
QString cliCopy(const QString &archive);

// Runs one statement in the tool, its rows written to /dev/null; the times are the tool's own
// (.timer on).
CliRun runCli(const QString &copy, const QString &sql);

// The list query `engineSql` with a condition and an order of its own instead of its ORDER BY.
QString withWhereAndOrder(const QString &engineSql, const QString &where, const QString &order);

} // namespace bench
