#include "bench/sqlitecli.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace bench {

namespace {

QByteArray runTool(const QStringList &arguments, const QByteArray &input, QByteArray *errors)
{
    QProcess tool;
    tool.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("%M"),
                                                            QStringLiteral("sqlite3")} + arguments);
    tool.write(input);
    tool.closeWriteChannel();
    tool.waitForFinished(-1);
    *errors = tool.readAllStandardError();
    return tool.readAllStandardOutput();
}

} // namespace

QString cliCopy(const QString &archive)
{
    const QString copy = archive + QStringLiteral(".sqlite3-cli");
    if (QFileInfo::exists(copy) && QFileInfo(copy).lastModified() >= QFileInfo(archive).lastModified())
        return copy;
    QFile::remove(copy);
    if (!QFile::copy(archive, copy))
        return {};
    return copy;
}

CliRun runCli(const QString &copy, const QString &sql)
{
    QByteArray errors;
    const QByteArray out = runTool({copy},
                                    ".load " CALVETRA_SQLITE_EXTENSION "\n.timer on\n.output /dev/null\n"
                                        + sql.toUtf8() + ";\n",
                                    &errors);
    CliRun run;
    static const QRegularExpression timer(
        QStringLiteral("Run Time: real ([0-9.]+) user ([0-9.]+) sys ([0-9.]+)"));
    const QRegularExpressionMatch m = timer.match(QString::fromUtf8(out));
    if (m.hasMatch()) {
        run.ms = m.captured(1).toDouble() * 1000.0;
        run.cpuMs = (m.captured(2).toDouble() + m.captured(3).toDouble()) * 1000.0;
    }
    const QList<QByteArray> lines = errors.trimmed().split('\n');
    run.residentKb = lines.last().trimmed().toLong();
    if (!m.hasMatch())
        std::fprintf(stderr, "sqlite3: %s\n", errors.constData());
    return run;
}

QString withWhereAndOrder(const QString &engineSql, const QString &where, const QString &order)
{
    const qsizetype at = engineSql.lastIndexOf(QStringLiteral("order by"), -1, Qt::CaseInsensitive);
    return engineSql.left(at) + (where.isEmpty() ? QString() : QStringLiteral(" WHERE ") + where)
           + QStringLiteral(" ORDER BY ") + order;
}

} // namespace bench
