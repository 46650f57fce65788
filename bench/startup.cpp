// From process start to the main window ready (the start-up sequence done: the data sets the
// main window needs open, the birthdays and the due reminders read) on a generated archive;
// beside it, the engine's command-line tool running the same queries on the same data (sqlite3
// on an archive file, psql on a server's database). Then what the lists read on demand take
// when first shown.
// Usage: QT_QPA_PLATFORM=offscreen bench_startup ARCHIVE|postgresql://...

#include "app/startup.h"
#include "agenda/agendastore.h"
#include "app/frminizio.h"
#include "app/program.h"
#include "bench/clitool.h"
#include "bench/sqlitetool.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "db/core/enginefunctions.h"
#include "session/datamodule.h"
#include "silentdialogs.h"
#include "timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

struct Query
{
    QString name;
    QString sql; // the engine's SQL
    QVariantList values;
};

// What start-up read: the data sets it left open and its two queries.
QList<Query> startupQueries(Tform_DB &module)
{
    const db::Connection &connection = module.Connessione();
    QList<Query> queries;
    for (db::DataSet *ds : module.sharedDataSets()) {
        if (ds->isOpen())
            queries.append({ds->objectName(), *connection.translate(ds->sql()), ds->boundValues()});
    }
    const QDate today = db::clock::today();
    queries.append({QStringLiteral("birthdays"),
                    *connection.translate(ContactStore::birthdaysSql(today)),
                    {}});
    queries.append(
        {QStringLiteral("reminders"), *connection.translate(AgendaStore::remindersSql(today)), {}});
    return queries;
}

// The queries run and read through by the SQLite library alone, in this process.
double sqliteAlone(const QString &path, const QList<Query> &queries)
{
    sqlite3 *h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    db::addProgramFunctions(h);
    QElapsedTimer t;
    t.start();
    for (const Query &query : queries) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(h, query.sql.toUtf8().constData(), -1, &stmt, nullptr);
        for (int i = 0; i < query.values.size(); ++i)
            sqlite3_bind_text(stmt, i + 1, query.values[i].toString().toUtf8().constData(), -1,
                              SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                (void)sqlite3_column_text(stmt, c);
        }
        sqlite3_finalize(stmt);
    }
    const double ms = elapsedMs(t);
    sqlite3_close(h);
    return ms;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_startup ARCHIVIO\n");
        return 2;
    }
    SilentDialogs silent;
    setDialogs(&silent);
    QTemporaryDir folder;
    QFile pathFile(folder.filePath(QStringLiteral("percorso.txt")));
    if (!pathFile.open(QIODevice::WriteOnly))
        return 1;
    pathFile.write(QByteArray(argv[1]) + "\n");
    pathFile.close();

    Program program(folder.path());
    const double windows = elapsedMs(sinceStart);
    program.frmInizio().show();
    program.frmInizio().FormActivate();
    const double ready = elapsedMs(sinceStart);
    if (!program.frmInizio().startupDone()) {
        std::fprintf(stderr, "start-up did not complete\n");
        return 1;
    }
    Tform_DB &module = program.formDb();
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QList<Query> queries = startupQueries(module);
    QStringList statements;
    for (const Query &query : queries)
        statements << bench::withValues(query.sql, query.values);
    std::printf("windows created: %.0f ms\nmain window ready: %.0f ms after process start "
                "(%lld birthdays)\n",
                windows, ready, qlonglong(program.frmInizio().birthdays().size()));
    const bool server = db::isServerLocation(path);
    const char *toolName = server ? "psql" : "sqlite3";
    if (!server) {
        std::printf("the same %lld queries, SQLite library in this process: %.0f ms\n",
                    qlonglong(queries.size()), sqliteAlone(path, queries));
    }
    const bench::ToolTimes tool =
        server ? bench::runPsqlTool(path, statements) : bench::runSqliteTool(path, statements);
    if (tool.problem.isEmpty()) {
        std::printf("the same queries, %s tool: %.0f ms of statements, %.0f ms with its "
                    "start and loading; ratio main window ready / %s tool %.2f\n",
                    toolName, tool.statementsMs(), tool.processMs, toolName,
                    ready / std::max(tool.processMs, 0.001));
        for (qsizetype i = 0; i < queries.size() && i < tool.statementMs.size(); ++i) {
            if (tool.statementMs[i] >= 10)
                std::printf("  %s: %.0f ms in %s\n", qPrintable(queries[i].name),
                            tool.statementMs[i], toolName);
        }
    } else {
        std::printf("%s tool: %s\n", toolName, qPrintable(tool.problem));
    }

    // Read on demand: what the first showing of the contact list and of the agenda adds.
    for (db::DataSet *ds :
         {&program.contacts().TableCercaContatti, &program.agenda().TableCalendario}) {
        QElapsedTimer t;
        t.start();
        const bool wasOpen = ds->isOpen();
        (void)SharedDataSets::openOnDemand(*ds);
        std::printf("%s %s: %.0f ms, %d rows\n", qPrintable(ds->objectName()),
                    wasOpen ? "open at start-up" : "read on demand", elapsedMs(t),
                    ds->recordCount());
    }
    setDialogs(nullptr);
    return 0;
}
