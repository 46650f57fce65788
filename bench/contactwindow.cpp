// The contact list window on a generated archive, offscreen: opening it, the first key of a
// search in "Nominativo" (from the key event to the grid updated), a name typed one key at a
// time, clearing the box, header clicks, "Seleziona tutti", "Conta Record", saving one contact
// in the editor until the list shows it, and the resident memory. Beside each query the engine's
// command-line tool runs the same one on the same data: sqlite3 on a copy of an archive file,
// psql on the database of a server address (see clitool.h).
// Usage: QT_QPA_PLATFORM=offscreen bench_contactwindow ARCHIVE|postgresql://... [runs]

#include "agenda/agendastore.h"
#include "bench/sqlitecli.h"
#include "common/widgets/datagrid.h"
#include "contacts/contactstore.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "payments/windows/frmpagamenticontatto.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"
#include "silentdialogs.h"
#include "timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

namespace {

long residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    }
    return -1;
}

// Wall-clock and processor times of the runs of one step.
struct Times
{
    QList<double> wall;
    QList<double> cpu;

    template <typename Step> void measure(Step step)
    {
        QElapsedTimer t;
        const double cpuBefore = processCpuMs();
        t.start();
        step();
        wall.append(elapsedMs(t));
        cpu.append(processCpuMs() - cpuBefore);
    }
};

// psql sees no processor time of the server's: its figures are the times alone.
void ratio(const char *what, double ours, double oursCpu, const bench::ReferenceTool &tool,
           const bench::CliRun &theirs)
{
    if (theirs.cpuMs < 0) {
        std::printf("  %-22s %8.1f ms (processor %7.1f)   %s %8.1f ms   ratio %.2f\n", what, ours,
                    oursCpu, tool.name(), theirs.ms, ours / std::max(theirs.ms, 0.001));
        return;
    }
    std::printf(
        "  %-22s %8.1f ms (processor %7.1f)   %s %8.1f ms (processor %7.1f)   ratio %.2f (%.2f)\n",
        what, ours, oursCpu, tool.name(), theirs.ms, theirs.cpuMs,
        ours / std::max(theirs.ms, 0.001), oursCpu / std::max(theirs.cpuMs, 0.001));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_contactwindow ARCHIVIO [ripetizioni]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    const bench::ReferenceTool tool(path);
    if (!tool.problem().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(tool.problem()));
        return 1;
    }
    SilentDialogs silent;
    setDialogs(&silent);
    Tform_DB db;
    ReferenceStore reference(db.shared());
    PaymentStore payments(db.shared());
    AgendaStore agenda(db.shared());
    OptionsStore options(db.shared());
    ContactStore contactStore(db.shared(), agenda);
    const long before = residentMb();
    QElapsedTimer t;
    t.start();
    if (db::Status opened = db.Connessione().open(path); !opened || !db.reopenSharedDataSets()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    const double loaded = elapsedMs(t);
    db::DataSet &contacts = contactStore.TableCercaContatti;
    const QString engineSql = *db.Connessione().translate(ContactStore::contactListSql());
    // The list query with a condition and an order of its own. A server needs the whole query
    // translated (LIKE and the order of nulls are rewritten for it); sqlite3 takes the clauses
    // as written, added to the list query the program runs.
    const auto listQuery = [&](const QString &where, const QString &order) {
        if (!tool.onServer())
            return bench::withWhereAndOrder(engineSql, where, order);
        return *db.Connessione().translate(
            bench::withWhereAndOrder(ContactStore::contactListSql(), where, order));
    };
    std::printf("shared data sets loaded: %.0f ms (resident memory %+ld MB)\n", loaded,
                residentMb() - before);
    const bench::CliRun wholeList = tool.run(engineSql);
    std::printf("  the contact list query alone in %s: %.1f ms, %ld MB resident\n", tool.name(),
                wholeList.ms, wholeList.residentKb / 1024);

    TfrmImportaPagamento picker(reference.TableTipoPagamenti);
    TfrmPagamentiContatto payment(payments, picker);
    TfrmContattiDett editor(contactStore, reference, payments, payment);
    TfrmIndirizziEmail addresses;
    t.restart();
    TfrmContatti list(contactStore, reference, payments, agenda, options, db.gridLayouts(), editor,
                      addresses);
    list.reset();
    list.show();
    QCoreApplication::processEvents();
    // The list is read when the window first shows it.
    std::printf("archive window open: %.0f ms, %d contacts\n", elapsedMs(t),
                contacts.recordCount());

    auto *name = list.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    name->setFocus();
    Times firstKeys;
    QList<double> keys;
    int firstShown = 0;
    for (int run = 0; run < runs; ++run) {
        name->clear();
        QCoreApplication::processEvents();
        for (const char c : {'r', 'o', 's', 's'}) {
            Times key;
            key.measure([&] {
                QTest::keyClick(name, c);
                QCoreApplication::processEvents();
            });
            keys.append(key.wall.first());
            if (c == 'r') {
                firstKeys.wall.append(key.wall.first());
                firstKeys.cpu.append(key.cpu.first());
                firstShown = contacts.recordCount();
            }
        }
    }
    const bench::CliRun firstKeyCli =
        tool.run(listQuery(QStringLiteral("Contatti.NominativoDocumenti LIKE 'r%'"),
                           QStringLiteral("Contatti.NominativoDocumenti")));
    std::printf("first key 'r' in \"Nominativo\" (%d runs, %d rows shown): p50 %.1f ms, p95 %.1f "
                "ms, max %.1f ms; "
                "processor p50 %.1f ms, p95 %.1f ms\n",
                runs, firstShown, percentile(firstKeys.wall, 0.5), percentile(firstKeys.wall, 0.95),
                percentile(firstKeys.wall, 1), percentile(firstKeys.cpu, 0.5),
                percentile(firstKeys.cpu, 0.95));
    ratio("first key p95", percentile(firstKeys.wall, 0.95), percentile(firstKeys.cpu, 0.95), tool,
          firstKeyCli);
    std::printf("every key of \"ross\": p50 %.1f ms, p95 %.1f ms, max %.1f ms; %d rows shown\n",
                percentile(keys, 0.5), percentile(keys, 0.95), percentile(keys, 1),
                contacts.recordCount());
    t.restart();
    name->clear();
    QCoreApplication::processEvents();
    std::printf("clearing the box: %.1f ms (%d rows)\n", elapsedMs(t), contacts.recordCount());

    // Where a key's time goes: the data set's filter alone, the grid painting alone.
    QList<double> bare;
    QList<double> paints;
    for (int run = 0; run < runs; ++run) {
        for (const char *prefix : {"r", "ro", "ros", "ross"}) {
            t.restart();
            (void)contacts.setFilter(
                QStringLiteral("NominativoDocumenti like '%1*'").arg(QLatin1String(prefix)));
            bare.append(elapsedMs(t));
        }
        (void)contacts.setFilter(QString());
        t.restart();
        list.grid()->viewport()->repaint();
        paints.append(elapsedMs(t));
    }
    (void)contacts.setFilter(QString());
    std::printf("the same filters on the data set alone: p50 %.1f ms, p95 %.1f ms; painting the "
                "grid: p50 %.1f ms\n",
                percentile(bare, 0.5), percentile(bare, 0.95), percentile(paints, 0.5));

    // Header clicks: the name column both ways, then the home town.
    QHeaderView *header = list.grid()->horizontalHeader();
    Times clicks;
    const auto click = [&](int section) {
        clicks.measure([&] {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 5, 5));
            QCoreApplication::processEvents();
        });
    };
    const int townSection = 7;
    for (int run = 0; run < 3; ++run) {
        click(0);
        click(0);
        click(townSection);
    }
    std::printf(
        "header click (name ascending, descending, home town; 3 runs): p50 %.0f ms, max %.0f ms; "
        "processor p50 %.0f ms, max %.0f ms\n",
        percentile(clicks.wall, 0.5), percentile(clicks.wall, 1), percentile(clicks.cpu, 0.5),
        percentile(clicks.cpu, 1));
    QList<bench::CliRun> cliClicks;
    for (const char *order :
         {"Contatti.NominativoDocumenti", "Contatti.NominativoDocumenti DESC", "Comuni.Comune"})
        cliClicks.append(tool.run(listQuery(QString(), QString::fromLatin1(order))));
    std::sort(cliClicks.begin(), cliClicks.end(),
              [](const bench::CliRun &a, const bench::CliRun &b) { return a.ms < b.ms; });
    ratio("header click p50", percentile(clicks.wall, 0.5), percentile(clicks.cpu, 0.5), tool,
          cliClicks[1]);
    (void)contacts.setSort(QString());

    t.restart();
    list.selezionaTutti();
    QCoreApplication::processEvents();
    std::printf("select all: %.0f ms (%lld rows)\n", elapsedMs(t),
                qlonglong(list.grid()->selectedBookmarks().size()));
    t.restart();
    list.contaRecord();
    std::printf("count: %.1f ms (%s)\n", elapsedMs(t), qPrintable(silent.last));
    list.grid()->clearSelection();

    // Saving one contact: a note, then a new surname (the name moves the row in the list).
    contacts.setPosition(contacts.recordCount() / 2);
    const qint64 id = contacts.asInteger(u"Ide");
    Times saves;
    for (const char *field : {"DBEdit19", "DBEdit2"}) {
        list.avanti();
        editor.show();
        auto *edit = editor.findChild<QLineEdit *>(QString::fromLatin1(field));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, QStringLiteral("x"));
        auto *back = editor.findChild<QToolButton *>(QStringLiteral("spdIndietro"));
        saves.measure([&] {
            QTest::mouseClick(back, Qt::LeftButton);
            QCoreApplication::processEvents();
        });
        if (contacts.asInteger(u"Ide") != id || editor.isVisible())
            std::printf("  (the list is not on the saved contact)\n");
    }
    std::printf("save one contact, \"Indietro\" to the list showing it: note %.1f ms (processor "
                "%.1f), surname %.1f ms "
                "(processor %.1f) (%s)\n",
                saves.wall[0], saves.cpu[0], saves.wall[1], saves.cpu[1],
                qPrintable(contacts.asString(u"NominativoDocumenti")));
    // The tool's nearest equivalent: the one UPDATE of the contact, committed on its own.
    const bench::CliRun update = tool.run(*db.Connessione().translate(
        QStringLiteral("UPDATE Contatti SET Note = coalesce(Note, '') || 'x' WHERE ID = %1")
            .arg(id)));
    ratio("save (note)", saves.wall[0], saves.cpu[0], tool, update);

    const long resident = residentMb();
    // psql's own memory, holding the rows; the server's is not counted.
    std::printf("resident memory with the archive open: %ld MB; %s running the list query: %ld MB, "
                "ratio %.1f\n",
                resident, tool.name(), wholeList.residentKb / 1024,
                double(resident) * 1024 / std::max(1L, wholeList.residentKb));
    setDialogs(nullptr);
    return 0;
}
