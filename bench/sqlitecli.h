#pragma once

#include <QString>

namespace bench {

// The sqlite3 command-line tool, for figures beside the program's own on the same archive.
// The tool cannot read the program's collation, so it works on a copy where every column
// collated by the program is collated NOCASE (the same order for unaccented names) and the
// indexes are rebuilt. The copy is made once, as ARCHIVE.sqlite3-cli, and reused.
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
