#include "bench/sqlitecli.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>

namespace bench {

QString cliCopy(const QString &archive)
{
    const QString copy = archive + QStringLiteral(".sqlite3-cli");
    if (QFileInfo::exists(copy) &&
        QFileInfo(copy).lastModified() >= QFileInfo(archive).lastModified())
        return copy;
    QFile::remove(copy);
    if (!QFile::copy(archive, copy))
        return {};
    return copy;
}

CliRun runCli(const QString &copy, const QString &sql)
{
    const ToolOutput output =
        runMeasured(QStringLiteral("sqlite3"), {copy},
                    ".load " CALVETRA_SQLITE_EXTENSION "\n.timer on\n.output /dev/null\n" +
                        sql.toUtf8() + ";\n");
    CliRun run;
    run.residentKb = output.residentKb;
    static const QRegularExpression timer(
        QStringLiteral("Run Time: real ([0-9.]+) user ([0-9.]+) sys ([0-9.]+)"));
    const QRegularExpressionMatch m = timer.match(QString::fromUtf8(output.out));
    if (m.hasMatch()) {
        run.ms = m.captured(1).toDouble() * 1000.0;
        run.cpuMs = (m.captured(2).toDouble() + m.captured(3).toDouble()) * 1000.0;
    } else {
        std::fprintf(stderr, "sqlite3: %s\n", output.errors.constData());
    }
    return run;
}

QString withWhereAndOrder(const QString &engineSql, const QString &where, const QString &order)
{
    const qsizetype at = engineSql.lastIndexOf(QStringLiteral("order by"), -1, Qt::CaseInsensitive);
    return engineSql.left(at) + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where) +
           QStringLiteral(" ORDER BY ") + order;
}

} // namespace bench
