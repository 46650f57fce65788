#pragma once

#include "bench/sqlitetool.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace bench {

// One statement run by an engine's command-line tool, for figures beside the program's own.
struct CliRun
{
    double ms = -1;       // the statement, as the tool times it
    double cpuMs = -1;    // the processor time it took (user and system); -1 when unknown
    long residentKb = -1; // the tool's peak resident memory
};

// What a tool run under /usr/bin/time wrote, and its peak resident memory.
struct ToolOutput
{
    QByteArray out;
    QByteArray errors; // without the line /usr/bin/time adds
    long residentKb = -1;
};

// Runs `program` under /usr/bin/time, `input` on its standard input.
ToolOutput runMeasured(const QString &program, const QStringList &arguments,
                       const QByteArray &input = {});

// Runs one statement (the server's SQL) in psql on the database at `location`, its rows read
// and thrown away. The time is psql's own (\timing): the statement sent, run and its rows
// received. The processor time is the server's, which psql does not see: left unknown.
CliRun runPsql(const QString &location, const QString &sql);

// Runs the statements (the server's SQL) one after another in one psql process on the database
// at `location`, the rows thrown away.
ToolTimes runPsqlTool(const QString &location, const QStringList &statements);

// The engine's tool beside the program on the same archive: psql on the database of a server
// address, sqlite3 on a copy of an archive file (see sqlitecli.h).
class ReferenceTool
{
public:
    explicit ReferenceTool(const QString &location);

    bool onServer() const { return m_server; }
    const char *name() const { return m_server ? "psql" : "sqlite3"; }
    // Empty when the tool cannot run here (the file could not be copied).
    QString problem() const { return m_problem; }
    CliRun run(const QString &engineSql) const;

private:
    bool m_server;
    QString m_target; // the server address, or the copy of the file
    QString m_problem;
};

} // namespace bench
