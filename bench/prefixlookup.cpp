// Lookups by the beginning of a name (LIKE 'ross%') through the program's connection, beside
// SQLite running the same statements on the same file (the library in this process, and the
// sqlite3 command-line tool, whose timer counts whole milliseconds), and beside the LIKE alone
// (the statement without the range of texts the translation adds: what the program did before).
// Usage: bench_prefixlookup ARCHIVE [repeats]   (make ARCHIVE with bench_generate)

#include "bench/sqlitetool.h"
#include "db/core/archive.h"
#include "db/core/enginefunctions.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sqlite3.h>

#include <cstdio>

namespace {

struct Lookup
{
    const char *what;
    QString sql;
};

QString planOf(db::Connection &connection, const QString &engineSql)
{
    QStringList steps;
    const db::Result<db::RowSet> plan =
        connection.runNative(QStringLiteral("EXPLAIN QUERY PLAN ") + engineSql);
    if (plan) {
        for (const QVariantList &row : plan->rows)
            steps << row.last().toString();
    }
    return steps.join(QStringLiteral("; "));
}

// The statement run and read through by the SQLite library alone: the median of `repeats`.
double sqliteAloneMs(sqlite3 *h, const QString &engineSql, int repeats)
{
    const QByteArray sql = engineSql.toUtf8();
    QList<double> times;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer t;
        t.start();
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(h, sql.constData(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                (void)sqlite3_column_text(stmt, c);
        }
        sqlite3_finalize(stmt);
        times.append(elapsedMs(t));
    }
    return percentile(times, 0.5);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_prefixlookup ARCHIVIO [ripetizioni]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 9;
    auto opened = db::openArchive(path);
    if (!opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    db::Connection &connection = **opened;
    const QString columns = QStringLiteral(
        "ID, NominativoDocumenti, NominativoVisualizzato, Telefono, Cellulare, email");
    const QList<Lookup> lookups = {
        {"contacts 'ross%'",
         QStringLiteral("select %1 from Contatti where NominativoDocumenti like 'ross%' "
                        "order by NominativoDocumenti")
             .arg(columns)},
        {"contacts 'd''a%'",
         QStringLiteral("select %1 from Contatti where NominativoDocumenti like 'd''a%' "
                        "order by NominativoDocumenti")
             .arg(columns)},
        {"contacts 'bianchi m%'",
         QStringLiteral("select %1 from Contatti where NominativoDocumenti like "
                        "'bianchi m%'")
             .arg(columns)},
        {"contacts 'r%'",
         QStringLiteral("select %1 from Contatti where NominativoDocumenti like 'r%' "
                        "order by NominativoDocumenti")
             .arg(columns)},
        {"surname 'ÀLB%'",
         QStringLiteral("select ID, Cognome, Nome from Contatti where Cognome like 'ÀLB%'")},
        {"municipality 'forl%'", QStringLiteral("select * from Comuni where Comune like 'forl%'")},
    };
    sqlite3 *h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    db::addProgramFunctions(h);
    std::printf("%-22s %7s %10s %10s %6s %10s %12s %6s\n", "lookup", "rows", "program", "SQLite",
                "ratio", "sqlite3", "LIKE alone", "gain");
    for (const Lookup &lookup : lookups) {
        const QString engineSql = *connection.translate(lookup.sql);
        QList<double> ours, alone;
        int rows = 0;
        for (int r = 0; r < repeats; ++r) {
            QElapsedTimer t;
            t.start();
            const db::Result<db::RowSet> found = connection.run(lookup.sql);
            ours.append(elapsedMs(t));
            rows = found ? int(found->rows.size()) : -1;
            t.restart();
            (void)connection.runNative(lookup.sql);
            alone.append(elapsedMs(t));
        }
        const double program = percentile(ours, 0.5);
        const double library = sqliteAloneMs(h, engineSql, repeats);
        const bench::ToolTimes tool = bench::runSqliteTool(path, QStringList(repeats, engineSql));
        std::printf("%-22s %7d %7.2f ms %7.2f ms %6.2f %7.0f ms %9.2f ms %5.0fx\n", lookup.what,
                    rows, program, library, program / std::max(library, 0.001),
                    percentile(tool.statementMs, 0.5), percentile(alone, 0.5),
                    percentile(alone, 0.5) / std::max(program, 0.001));
        if (!tool.problem.isEmpty())
            std::printf("  sqlite3: %s\n", qPrintable(tool.problem));
        std::printf("  plan: %s\n  LIKE alone: %s\n", qPrintable(planOf(connection, engineSql)),
                    qPrintable(planOf(connection, lookup.sql)));
    }
    sqlite3_close(h);
    std::printf(
        "medians of %d runs; SQLite: the library in this process reading every value; sqlite3: "
        "the tool's own timing (.timer, whole ms), rows written to /dev/null\n",
        repeats);
    return 0;
}
