#include "bench/clitool.h"

#include "bench/sqlitecli.h"
#include "bench/timing.h"
#include "db/core/archive.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace bench {

ToolOutput runMeasured(const QString &program, const QStringList &arguments,
                       const QByteArray &input)
{
    QProcess tool;
    tool.start(QStringLiteral("/usr/bin/time"),
               QStringList{QStringLiteral("-f"), QStringLiteral("%M"), program} + arguments);
    tool.write(input);
    tool.closeWriteChannel();
    ToolOutput output;
    if (!tool.waitForFinished(300000)) {
        tool.kill();
        tool.waitForFinished();
        output.errors = program.toUtf8() + " did not finish within 5 minutes";
        return output;
    }
    output.out = tool.readAllStandardOutput();
    QList<QByteArray> lines = tool.readAllStandardError().trimmed().split('\n');
    bool isNumber = false;
    output.residentKb = lines.last().trimmed().toLong(&isNumber);
    if (isNumber)
        lines.removeLast();
    else
        output.residentKb = -1;
    output.errors = lines.join('\n');
    return output;
}

namespace {

// psql reading a script on its standard input; the rows go to /dev/null, the timings (\timing)
// still come out on standard output.
const QStringList kPsqlArguments = {QStringLiteral("-X"), QStringLiteral("-At"),
                                    QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                                    QStringLiteral("-o"), QStringLiteral("/dev/null")};

QByteArray psqlScript(const QStringList &statements)
{
    QByteArray script = "\\timing on\n";
    for (const QString &statement : statements)
        script += statement.toUtf8() + ";\n";
    return script;
}

QList<double> psqlTimings(const QByteArray &out)
{
    static const QRegularExpression timing(QStringLiteral("Time: ([0-9.]+) ms"));
    QList<double> ms;
    for (auto m = timing.globalMatch(QString::fromUtf8(out)); m.hasNext();)
        ms.append(m.next().captured(1).toDouble());
    return ms;
}

} // namespace

CliRun runPsql(const QString &location, const QString &sql)
{
    const ToolOutput output = runMeasured(
        QStringLiteral("psql"), kPsqlArguments + QStringList{location}, psqlScript({sql}));
    CliRun run;
    run.residentKb = output.residentKb;
    if (const QList<double> ms = psqlTimings(output.out); !ms.isEmpty())
        run.ms = ms.first();
    else
        std::fprintf(stderr, "psql: %s\n", output.errors.constData());
    return run;
}

ToolTimes runPsqlTool(const QString &location, const QStringList &statements)
{
    QElapsedTimer t;
    t.start();
    const ToolOutput output = runMeasured(
        QStringLiteral("psql"), kPsqlArguments + QStringList{location}, psqlScript(statements));
    ToolTimes times;
    times.processMs = elapsedMs(t);
    times.statementMs = psqlTimings(output.out);
    if (times.statementMs.size() != statements.size())
        times.problem = QString::fromUtf8(output.errors).trimmed();
    return times;
}

ReferenceTool::ReferenceTool(const QString &location) : m_server(db::isServerLocation(location))
{
    m_target = m_server ? location : cliCopy(location);
    if (m_target.isEmpty())
        m_problem = QStringLiteral("cannot copy %1 for sqlite3").arg(location);
}

CliRun ReferenceTool::run(const QString &engineSql) const
{
    return m_server ? runPsql(m_target, engineSql) : runCli(m_target, engineSql);
}

} // namespace bench
