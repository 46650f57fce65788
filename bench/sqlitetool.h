#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace bench {

// What the sqlite3 command-line tool took for a list of statements on an archive.
struct ToolTimes
{
    QString problem;           // why the tool did not run; empty when it did
    QList<double> statementMs; // the tool's own timing of each statement (".timer on")
    double processMs = 0;      // from starting the tool to its end, loading included

    double statementsMs() const;
};

// Runs the statements (the engine's SQL, as the program sends it) in one sqlite3 process on
// the archive, read-only, with the program's functions and collation loaded and the rows
// written to nowhere.
ToolTimes runSqliteTool(const QString &archive, const QStringList &statements);

// `sql` with each ? replaced by the value, written as an SQL literal: the tool takes no
// bound values.
QString withValues(QString sql, const QVariantList &values);

} // namespace bench
