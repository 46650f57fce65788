// The contact list window on a generated archive, offscreen: opening it, the first key of a
// search in "Nominativo" (from the key event to the grid updated), a name typed one key at a
// time, clearing the box, header clicks, "Seleziona tutti", "Conta Record", saving one contact
// in the editor until the list shows it, and the resident memory. Beside each query the
// sqlite3 command-line tool runs the same one on the same data (see sqlitecli.h).
// Usage: QT_QPA_PLATFORM=offscreen bench_contactwindow ARCHIVE [runs]

#include "bench/sqlitecli.h"
#include "common/widgets/datagrid.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "contacts/windows/frmindirizziemail.h"
#include "payments/windows/frmpagamenticontatto.h"
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

// The list query with a condition and an order of its own, as the tool runs it.
QString listQuery(const QString &engineSql, const QString &where, const QString &order)
{
    const qsizetype at = engineSql.lastIndexOf(QStringLiteral("order by"), -1, Qt::CaseInsensitive);
    QString sql = engineSql.left(at);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return sql + QStringLiteral(" ORDER BY ") + order;
}

void ratio(const char *what, double ours, double theirs)
{
    std::printf("  %-34s %8.1f ms   sqlite3 %8.1f ms   ratio %.2f\n", what, ours, theirs,
                ours / std::max(theirs, 0.001));
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
    const QString copy = bench::cliCopy(path);
    SilentDialogs silent;
    setDialogs(&silent);
    Tform_DB db;
    const long before = residentMb();
    QElapsedTimer t;
    t.start();
    if (db::Status opened = db.Connessione().open(path); !opened || !db.reopenSharedDataSets()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    const double loaded = elapsedMs(t);
    db::DataSet &contacts = db.TableCercaContatti;
    const QString engineSql = *db.Connessione().translate(Tform_DB::contactListSql());
    std::printf("%d contacts\n", contacts.recordCount());
    std::printf("shared data sets loaded: %.0f ms (resident memory %+ld MB)\n", loaded, residentMb() - before);
    const bench::CliRun wholeList = bench::runCli(copy, engineSql);
    std::printf("  the contact list query alone in sqlite3: %.1f ms, %ld MB resident\n", wholeList.ms,
                wholeList.residentKb / 1024);

    TfrmImportaPagamento picker(db);
    TfrmPagamentiContatto payment(db, picker);
    TfrmContattiDett editor(db, payment);
    TfrmIndirizziEmail addresses;
    t.restart();
    TfrmContatti list(db, editor, addresses);
    list.reset();
    list.show();
    QCoreApplication::processEvents();
    std::printf("archive window open: %.0f ms\n", elapsedMs(t));

    auto *name = list.findChild<QLineEdit *>(QStringLiteral("Edit1"));
    name->setFocus();
    QList<double> firstKeys;
    QList<double> keys;
    int firstShown = 0;
    for (int run = 0; run < runs; ++run) {
        name->clear();
        QCoreApplication::processEvents();
        for (const char c : {'r', 'o', 's', 's'}) {
            t.restart();
            QTest::keyClick(name, c);
            QCoreApplication::processEvents();
            keys.append(elapsedMs(t));
            if (c == 'r' && name->text().size() == 1) {
                firstKeys.append(keys.last());
                firstShown = contacts.recordCount();
            }
        }
    }
    const bench::CliRun firstKeyCli =
        bench::runCli(copy, listQuery(engineSql, QStringLiteral("Contatti.NominativoDocumenti LIKE 'r%'"),
                                      QStringLiteral("Contatti.NominativoDocumenti")));
    std::printf("first key 'r' in \"Nominativo\" (%d runs, %d rows shown): p50 %.1f ms, p95 %.1f ms, max %.1f ms\n",
                runs, firstShown, percentile(firstKeys, 0.5), percentile(firstKeys, 0.95), percentile(firstKeys, 1));
    ratio("first key p95", percentile(firstKeys, 0.95), firstKeyCli.ms);
    std::printf("every key of \"ross\": p50 %.1f ms, p95 %.1f ms, max %.1f ms; %d rows shown\n", percentile(keys, 0.5),
                percentile(keys, 0.95), percentile(keys, 1), contacts.recordCount());
    t.restart();
    name->clear();
    QCoreApplication::processEvents();
    std::printf("clearing the box: %.1f ms (%d rows)\n", elapsedMs(t), contacts.recordCount());

    // Header clicks: the name column both ways, then the home town.
    QHeaderView *header = list.grid()->horizontalHeader();
    const auto click = [&](int section) {
        t.restart();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(section) + 5, 5));
        QCoreApplication::processEvents();
        return elapsedMs(t);
    };
    const int townSection = 7;
    QList<double> clicks;
    QList<double> cliClicks;
    for (int run = 0; run < 3; ++run) {
        clicks.append(click(0));
        clicks.append(click(0));
        clicks.append(click(townSection));
    }
    std::printf("header click (name ascending, descending, home town; 3 runs): p50 %.0f ms, max %.0f ms\n",
                percentile(clicks, 0.5), percentile(clicks, 1));
    for (const char *order : {"Contatti.NominativoDocumenti", "Contatti.NominativoDocumenti DESC", "Comuni.Comune"})
        cliClicks.append(bench::runCli(copy, listQuery(engineSql, QString(), QString::fromLatin1(order))).ms);
    ratio("header click p50", percentile(clicks, 0.5), percentile(cliClicks, 0.5));
    ratio("header click max", percentile(clicks, 1), percentile(cliClicks, 1));
    (void)contacts.setSort(QString());

    t.restart();
    list.selezionaTutti();
    QCoreApplication::processEvents();
    std::printf("select all: %.0f ms (%lld rows)\n", elapsedMs(t), qlonglong(list.grid()->selectedBookmarks().size()));
    t.restart();
    list.contaRecord();
    std::printf("count: %.1f ms (%s)\n", elapsedMs(t), qPrintable(silent.last));
    list.grid()->clearSelection();

    // Saving one contact: a note, then a new surname (the name moves the row in the list).
    contacts.setPosition(contacts.recordCount() / 2);
    const qint64 id = contacts.asInteger(u"Ide");
    QList<double> saves;
    for (const char *field : {"DBEdit19", "DBEdit2"}) {
        list.avanti();
        editor.show();
        auto *edit = editor.findChild<QLineEdit *>(QString::fromLatin1(field));
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClicks(edit, QStringLiteral("x"));
        auto *back = editor.findChild<QToolButton *>(QStringLiteral("spdIndietro"));
        t.restart();
        QTest::mouseClick(back, Qt::LeftButton);
        QCoreApplication::processEvents();
        saves.append(elapsedMs(t));
        if (contacts.asInteger(u"Ide") != id || editor.isVisible())
            std::printf("  (the list is not on the saved contact)\n");
    }
    std::printf("save one contact, \"Indietro\" to the list showing it: note %.1f ms, surname %.1f ms (%s)\n",
                saves[0], saves[1], qPrintable(contacts.asString(u"NominativoDocumenti")));

    const long resident = residentMb();
    std::printf("resident memory with the archive open: %ld MB; sqlite3 running the list query: %ld MB, ratio %.1f\n",
                resident, wholeList.residentKb / 1024, double(resident) * 1024 / std::max(1L, wholeList.residentKb));
    setDialogs(nullptr);
    return 0;
}
