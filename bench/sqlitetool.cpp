#include "bench/sqlitetool.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QVariant>

#include <numeric>

namespace bench {

double ToolTimes::statementsMs() const
{
    return std::accumulate(statementMs.cbegin(), statementMs.cend(), 0.0);
}

ToolTimes runSqliteTool(const QString &archive, const QStringList &statements)
{
    ToolTimes times;
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (tool.isEmpty()) {
        times.problem = QStringLiteral("sqlite3 not found (apt-get install sqlite3)");
        return times;
    }
    // The rows go to /dev/null; the timings (".timer") still come out on standard output.
    QString script = QStringLiteral(".bail on\n.load %1\n.output /dev/null\n.timer on\n")
                         .arg(QStringLiteral(CALVETRA_SQLITE_EXTENSION));
    for (const QString &statement : statements)
        script += statement + QStringLiteral(";\n");
    QProcess process;
    QElapsedTimer t;
    t.start();
    process.start(tool, {QStringLiteral("-readonly"), archive});
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        times.problem = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return times;
    }
    times.processMs = double(t.nsecsElapsed()) / 1e6;
    static const QRegularExpression timing(QStringLiteral("Run Time: real ([0-9.]+)"));
    for (auto m = timing.globalMatch(QString::fromLocal8Bit(process.readAllStandardOutput()));
         m.hasNext();)
        times.statementMs.append(m.next().captured(1).toDouble() * 1000.0);
    return times;
}

QString withValues(QString sql, const QVariantList &values)
{
    for (const QVariant &value : values) {
        const qsizetype at = sql.indexOf(u'?');
        if (at < 0)
            break;
        const QString literal =
            value.typeId() == QMetaType::QString
                ? u'\'' + value.toString().replace(u'\'', QStringLiteral("''")) + u'\''
                : value.toString();
        sql.replace(at, 1, literal);
    }
    return sql;
}

} // namespace bench
