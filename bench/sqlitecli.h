#pragma once

#include <QString>

namespace bench {

// The sqlite3 command-line tool, for figures beside the program's own on the same archive, with
// the program's functions and collation loaded (see sqlitetool.h). It works on a copy, made
// once as ARCHIVE.sqlite3-cli and reused, since some of the statements timed write.
QString cliCopy(const QString &archive);

struct CliRun
{
    double ms = -1;        // the statement, as the tool times it (.timer on)
    double cpuMs = -1;     // the processor time it took (user and system)
    long residentKb = -1;  // the tool's peak resident memory
};

// Runs one statement in the tool, its rows written to /dev/null.
CliRun runCli(const QString &copy, const QString &sql);

// The list query `engineSql` with a condition and an order of its own instead of its ORDER BY.
QString withWhereAndOrder(const QString &engineSql, const QString &where, const QString &order);

} // namespace bench
