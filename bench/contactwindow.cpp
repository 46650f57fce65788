// The contact list window on a generated archive, offscreen: opening it, a name typed one key
// at a time (from the key event to the grid updated), clearing the box, a header click,
// "Seleziona tutti" and "Conta Record".
// Usage: QT_QPA_PLATFORM=offscreen bench_contactwindow ARCHIVE

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

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_contactwindow ARCHIVIO\n");
        return 2;
    }
    SilentDialogs silent;
    setDialogs(&silent);
    Tform_DB db;
    QElapsedTimer t;
    t.start();
    if (db::Status opened = db.Connessione().open(QString::fromLocal8Bit(argv[1])); !opened
        || !db.reopenSharedDataSets()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    std::printf("shared data sets loaded: %.0f ms, %d contacts\n", elapsedMs(t), db.TableCercaContatti.recordCount());
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
    QList<double> keys;
    for (int run = 0; run < 5; ++run) {
        name->clear();
        for (const char c : {'r', 'o', 's', 's'}) {
            t.restart();
            QTest::keyClick(name, c);
            QCoreApplication::processEvents();
            keys.append(elapsedMs(t));
        }
    }
    std::sort(keys.begin(), keys.end());
    std::printf("typing \"ross\" (5 runs): p50 %.1f ms, p95 %.1f ms, max %.1f ms; %d rows shown\n",
                keys[keys.size() / 2], keys[qsizetype(keys.size() * 0.95)], keys.last(),
                db.TableCercaContatti.recordCount());
    t.restart();
    name->clear();
    QCoreApplication::processEvents();
    std::printf("clearing the box: %.1f ms (%d rows)\n", elapsedMs(t), db.TableCercaContatti.recordCount());

    QList<double> bare;
    for (int run = 0; run < 5; ++run) {
        for (const char *prefix : {"r", "ro", "ros", "ross"}) {
            t.restart();
            (void)db.TableCercaContatti.setFilter(QStringLiteral("NominativoDocumenti like '%1*'").arg(QLatin1String(prefix)));
            bare.append(elapsedMs(t));
        }
    }
    std::sort(bare.begin(), bare.end());
    std::printf("the same filters on the data set alone: p50 %.1f ms, max %.1f ms\n", bare[bare.size() / 2], bare.last());
    (void)db.TableCercaContatti.setFilter(QString());

    QHeaderView *header = list.grid()->horizontalHeader();
    t.restart();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(0) + 5, 5));
    QCoreApplication::processEvents();
    std::printf("header click (sort by name): %.0f ms\n", elapsedMs(t));
    t.restart();
    list.selezionaTutti();
    QCoreApplication::processEvents();
    std::printf("select all: %.0f ms (%lld rows)\n", elapsedMs(t), qlonglong(list.grid()->selectedBookmarks().size()));
    t.restart();
    list.contaRecord();
    std::printf("count: %.1f ms (%s)\n", elapsedMs(t), qPrintable(silent.last));
    std::printf("resident memory: %ld MB\n", residentMb());
    setDialogs(nullptr);
    return 0;
}
