// The contact list data set on a generated archive: open, a search typed one key at a time,
// a header sort, a locate, reading one row again; beside it, the same prefix search run by
// SQLite itself, and the sqlite3 command-line tool on the same queries (see sqlitecli.h).
// Usage: bench_datasets ARCHIVE [repeats]   (make ARCHIVE with bench_generate)

#include "bench/sqlitecli.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/core/enginefunctions.h"
#include "db/datasets/dataset.h"
#include "session/datamodule.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Figures
{
    QList<double> ms;
    void add(double v) { ms.append(v); }
    double at(double q) const
    {
        QList<double> s = ms;
        std::sort(s.begin(), s.end());
        return s[std::min<qsizetype>(s.size() - 1, qsizetype(q * s.size()))];
    }
};

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// The same begins-with search, straight through the SQLite library on the same file.
double sqliteSearchMs(const QString &path, const char *prefix, int *rows)
{
    sqlite3 *h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    db::addProgramFunctions(h);
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(
        h,
        "SELECT ID, NominativoDocumenti, NominativoVisualizzato, Telefono, Cellulare, "
        "email FROM Contatti WHERE NominativoDocumenti LIKE ?1 || '%' ORDER BY "
        "NominativoDocumenti",
        -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, prefix, -1, SQLITE_STATIC);
    QElapsedTimer t;
    t.start();
    int n = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < 6; ++c)
            (void)sqlite3_column_text(stmt, c);
        ++n;
    }
    const double ms = elapsedMs(t);
    sqlite3_finalize(stmt);
    sqlite3_close(h);
    *rows = n;
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_datasets ARCHIVIO [ripetizioni]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    auto connection = db::openArchive(path);
    if (!connection) {
        std::fprintf(stderr, "%s\n", qPrintable(connection.message()));
        return 1;
    }
    const QString copy = bench::cliCopy(path);
    const QString engineSql = *(*connection)->translate(ContactStore::contactListSql());
    const auto listQuery = [&](const QString &where, const QString &order) {
        return bench::withWhereAndOrder(engineSql, where, order);
    };
    const auto ratio = [](const char *what, double ours, double theirs) {
        std::printf("  %-30s %8.1f ms   sqlite3 %8.1f ms   ratio %.2f\n", what, ours, theirs,
                    ours / std::max(theirs, 0.001));
    };
    const long before = residentKb();
    db::DataSet list(**connection);
    list.setSql(ContactStore::contactListSql());
    QElapsedTimer t;
    t.start();
    if (db::Status opened = list.open(); !opened) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    const double openMs = elapsedMs(t);
    std::printf(
        "contacts: %d\nopen contact list: %.0f ms, resident memory %+ld MB (total %ld MB)\n",
        list.recordCount(), openMs, (residentKb() - before) / 1024, residentKb() / 1024);
    const bench::CliRun whole = bench::runCli(copy, engineSql);
    ratio("open", openMs, whole.ms);
    std::printf("  sqlite3 resident memory for the list query: %ld MB\n", whole.residentKb / 1024);

    Figures firstKeys;
    Figures keys;
    const QStringList typed = {QStringLiteral("r"), QStringLiteral("ro"), QStringLiteral("ros"),
                               QStringLiteral("ross")};
    int shown = 0;
    for (int r = 0; r < repeats; ++r) {
        for (const QString &prefix : typed) {
            t.restart();
            (void)list.setFilter(QStringLiteral("NominativoDocumenti like '%1*'").arg(prefix));
            keys.add(elapsedMs(t));
            if (prefix.size() == 1)
                firstKeys.add(keys.ms.last());
            shown = list.recordCount();
        }
        (void)list.setFilter(QString());
    }
    std::printf(
        "filter per key (r, ro, ros, ross; %d runs): p50 %.1f ms, p95 %.1f ms, max %.1f ms; "
        "'ross' shows %d rows\n",
        repeats, keys.at(0.5), keys.at(0.95), keys.at(1.0), shown);
    ratio("first key 'r' p95", firstKeys.at(0.95),
          bench::runCli(copy, listQuery(QStringLiteral("Contatti.NominativoDocumenti LIKE 'r%'"),
                                        QStringLiteral("Contatti.NominativoDocumenti")))
              .ms);

    t.restart();
    (void)list.setFilter(
        QStringLiteral("NominativoDocumenti like 'ro*' and AbitazioneTelefono like '0*'"));
    std::printf("two-box filter: %.1f ms (%d rows)\n", elapsedMs(t), list.recordCount());
    (void)list.setFilter(QString());

    Figures sorts;
    for (const QString &sort :
         {QStringLiteral("NominativoDocumenti DESC"), QStringLiteral("AbitazioneComune ASC"),
          QStringLiteral("Ide DESC")}) {
        t.restart();
        (void)list.setSort(sort);
        sorts.add(elapsedMs(t));
    }
    std::printf("header sort (3 columns): median %.0f ms, max %.0f ms\n", sorts.at(0.5),
                sorts.at(1.0));
    Figures cliSorts;
    for (const char *order :
         {"Contatti.NominativoDocumenti DESC", "Comuni.Comune", "Contatti.ID DESC"})
        cliSorts.add(bench::runCli(copy, listQuery(QString(), QString::fromLatin1(order))).ms);
    ratio("header sort median", sorts.at(0.5), cliSorts.at(0.5));

    Figures rereads;
    const qlonglong middle =
        list.valueAt(list.recordCount() / 2, list.columnIndex(u"Ide")).toLongLong();
    for (int r = 0; r < repeats; ++r) {
        t.restart();
        (void)list.refreshRow(u"Ide", middle);
        rereads.add(elapsedMs(t));
    }
    t.restart();
    (void)list.requery();
    std::printf("one row read again: median %.1f ms (the whole query again: %.0f ms)\n",
                rereads.at(0.5), elapsedMs(t));

    t.restart();
    const db::Result<bool> found = list.locate(u"Ide", qlonglong(list.recordCount() / 2));
    std::printf("locate by Ide: %.1f ms (%s)\n", elapsedMs(t),
                found && *found ? "found" : "not found");

    int rows = 0;
    (void)list.setSort(QString());
    t.restart();
    (void)list.setFilter(QStringLiteral("NominativoDocumenti like 'ross*'"));
    const double ours = elapsedMs(t);
    const double theirs = sqliteSearchMs(path, "ross", &rows);
    std::printf(
        "prefix 'ross': data set filter %.1f ms (%d rows) vs SQLite query %.1f ms (%d rows), "
        "ratio %.2f\n",
        ours, list.recordCount(), theirs, rows, ours / std::max(theirs, 0.001));
    std::printf("resident memory at the end: %ld MB\n", residentKb() / 1024);
    return 0;
}
