// The agenda grid on a generated archive, offscreen: what start-up no longer reads (the whole
// agenda), opening the grid, a contact typed one key at a time with Enter after each key (from
// the key to the grid updated), a day clicked in the month calendar, and the same filters on
// the sqlite3 command-line tool's terms: a query over the same file, in the same run.
// Usage: QT_QPA_PLATFORM=offscreen bench_agendawindow ARCHIVE

#include "agenda/agendastore.h"
#include "agenda/windows/frmcalendario.h"
#include "agenda/windows/frmgrigliacalendario.h"
#include "contacts/contactstore.h"
#include "options/optionsstore.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"
#include "silentdialogs.h"
#include "timing.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>

namespace {

// The same begins-with search as a query, by the engine alone.
double sqliteQueryMs(const QByteArray &path, const char *sql)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *statement = nullptr;
    int rows = 0;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW)
            ++rows;
    }
    sqlite3_finalize(statement);
    const double elapsed = elapsedMs(t);
    sqlite3_close(db);
    return rows >= 0 ? elapsed : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_agendawindow ARCHIVIO\n");
        return 2;
    }
    SilentDialogs silent;
    setDialogs(&silent);
    Tform_DB db;
    ReferenceStore reference(db.shared());
    OptionsStore options(db.shared());
    AgendaStore agenda(db.shared());
    ContactStore contacts(db.shared(), agenda);
    QElapsedTimer t;
    t.start();
    if (!db.Connessione().open(QString::fromLocal8Bit(argv[1])) || !db.reopenSharedDataSets()) {
        std::fprintf(stderr, "archivio non aperto\n");
        return 1;
    }
    std::printf("shared data sets at start-up (agenda not read): %.0f ms\n", elapsedMs(t));
    TfrmCalendario editor(agenda, reference.TableTipologiaCalendario, contacts.TableCercaContatti);
    TfrmGrigliaCalendario grid(agenda, db.gridLayouts(), options.TablePersonalizzazioni, editor);
    t.restart();
    grid.show();
    QCoreApplication::processEvents();
    std::printf("agenda grid open, %d appointments (what start-up used to read): %.0f ms\n",
                agenda.TableCalendario.recordCount(), elapsedMs(t));

    auto *contatto = grid.findChild<QLineEdit *>(QStringLiteral("Edit4"));
    QList<double> keys;
    for (int round = 0; round < 5; ++round) {
        grid.reset();
        contatto->setFocus();
        for (const QChar c : QStringLiteral("rossi")) {
            t.restart();
            QTest::keyClick(contatto, c.toLatin1());
            QTest::keyClick(contatto, Qt::Key_Return);
            QCoreApplication::processEvents();
            keys.append(elapsedMs(t));
        }
    }
    std::printf(
        "contact typed with Enter, per key: p50 %.1f ms, p95 %.1f ms (%d rows at the end)\n",
        percentile(keys, 0.5), percentile(keys, 0.95), agenda.TableCalendario.recordCount());
    grid.reset();
    t.restart();
    grid.calendar()->setSelectedDate(QDate(2025, 3, 14));
    grid.giornoScelto();
    QCoreApplication::processEvents();
    std::printf("a day clicked: %.1f ms (%d rows)\n", elapsedMs(t),
                agenda.TableCalendario.recordCount());
    const QByteArray path = QByteArray(argv[1]);
    std::printf("sqlite3 on the same file, 'Cliente like rossi%%': %.1f ms\n",
                sqliteQueryMs(path, "select * from Calendario where Storico = 0 and Cliente like "
                                    "'rossi%' order by Data desc"));
    setDialogs(nullptr);
    return 0;
}
