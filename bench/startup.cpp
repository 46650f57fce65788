// From process start to the main window ready (start-up sequence done, every shared data set
// open) on a generated archive; beside it, SQLite running the same queries by itself.
// Usage: QT_QPA_PLATFORM=offscreen bench_startup ARCHIVE

#include "app/frminizio.h"
#include "app/program.h"
#include "db/pgconnection.h"
#include "db/sqlitedialect.h"
#include "db/sqlitefunctions.h"
#include "db/sqltranslation.h"
#include "session/datamodule.h"
#include "silentdialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>

namespace {

// Every query of the shared data sets, run and read through by SQLite alone.
double sqliteAlone(const QString &path, Tform_DB &module)
{
    sqlite3 *h = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    db::registerSqliteFunctions(h);
    db::SqliteDialect dialect;
    QElapsedTimer t;
    t.start();
    for (db::DataSet *ds : module.sharedDataSets()) {
        QElapsedTimer one;
        one.start();
        const QByteArray sql = db::translateSql(ds->sql(), dialect)->toUtf8();
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(h, sql.constData(), -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                (void)sqlite3_column_text(stmt, c);
        }
        sqlite3_finalize(stmt);
        if (one.elapsed() > 20)
            std::printf("  %s: %lld ms\n", qPrintable(ds->objectName()), qlonglong(one.elapsed()));
    }
    const double ms = double(t.nsecsElapsed()) / 1e6;
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
    const double windows = double(sinceStart.nsecsElapsed()) / 1e6;
    program.frmInizio().show();
    program.frmInizio().FormActivate();
    const double ready = double(sinceStart.nsecsElapsed()) / 1e6;
    if (!program.frmInizio().startupDone()) {
        std::fprintf(stderr, "start-up did not complete\n");
        return 1;
    }
    std::printf("contacts: %d\nwindows created: %.0f ms\nmain window ready: %.0f ms after process start\n",
                program.formDb().TableCercaContatti.recordCount(), windows, ready);
    // On a server, bench_pgserver compares with psql.
    if (!db::isServerLocation(QString::fromLocal8Bit(argv[1])))
        std::printf("the same queries through SQLite alone: %.0f ms\n",
                    sqliteAlone(QString::fromLocal8Bit(argv[1]), program.formDb()));
    setDialogs(nullptr);
    return 0;
}
