// vCard figures on a generated archive: the export of every contact, the reading of that file
// by the program's reader and by python3-vobject, the export of 10,000 selected contacts, the
// import of 10,000 new cards into a copy of the archive.
// Usage: bench_vcard ARCHIVE [repeats]   (make ARCHIVE with bench_generate 100000 ARCHIVE)
//        bench_vcard --lettura FILE [repeats]   only reads FILE, for a profiler

#include "contacts/vcardexport.h"
#include "contacts/vcardimport.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "vcard/vcardreader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

QList<qint64> contactKeys(db::Connection &connection)
{
    QList<qint64> keys;
    const db::Result<db::RowSet> rows =
        connection.runNative(QStringLiteral("SELECT ID FROM Contatti ORDER BY ID"));
    if (rows) {
        for (const QVariantList &row : rows->rows)
            keys << row[0].toLongLong();
    }
    return keys;
}

struct Reading
{
    qsizetype cards = 0;
    double list = 1e9;     // best time to read the file into a list of cards
    double oneByOne = 1e9; // best time to read it card by card, keeping none
};

// Timed up to the cards read, not the freeing of them afterwards.
Reading reading(const QString &path, int repeats)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    Reading r;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        const QList<DatiVCard> cards = LeggiVCard(bytes);
        r.list = std::min(r.list, seconds(t));
        r.cards = cards.size();
    }
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        qsizetype named = 0;
        LeggiVCard(bytes, [&](DatiVCard &&card) { named += !card[vcard::FamilyName].isEmpty(); });
        r.oneByOne = std::min(r.oneByOne, seconds(t));
    }
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_vcard ARCHIVIO [ripetizioni]\n");
        return 2;
    }
    const int repeats = argc > 2 ? std::max(1, atoi(argv[argc - 1])) : 3;
    if (qstrcmp(argv[1], "--lettura") == 0 && argc > 2) {
        const Reading read = reading(QString::fromLocal8Bit(argv[2]), repeats);
        std::printf("%lld cards, best of %d: into a list %.0f cards/s, one by one %.0f cards/s\n",
                    qlonglong(read.cards), repeats, read.cards / read.list,
                    read.cards / read.oneByOne);
        return 0;
    }
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("archivio.sqlite"));
    // The import writes into a copy: the generated archive stays as it was.
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), archive))
        return fail(QStringLiteral("cannot copy the archive"));
    auto connection = db::openArchive(archive);
    if (!connection)
        return fail(connection.message());
    // Figures taken on a machine busy with other work are slower: the load says how busy.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());
    const QList<qint64> keys = contactKeys(**connection);

    QElapsedTimer t;
    t.start();
    const db::Result<EsportazioneVCard> all = esportaVCard(**connection, keys);
    if (!all)
        return fail(all.message());
    const QString file = dir.filePath(QStringLiteral("tutti.vcf"));
    if (db::Status written = scriviFileVCard(file, all->file); !written)
        return fail(written.message());
    std::printf("export of every contact: %lld cards, %.1f MB, %.2f s\n", qlonglong(keys.size()),
                all->file.size() / 1e6, seconds(t));

    const Reading read = reading(file, repeats);
    const double ours = read.cards / read.list;
    std::printf("reading it, best of %d: into a list of cards %.3f s, %.0f cards/s; card by card "
                "%.3f s, %.0f cards/s\n",
                repeats, read.list, ours, read.oneByOne, read.cards / read.oneByOne);
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral(CALVETRA_BENCH_DIR "/vobjectparse.py"), file});
    if (python.waitForFinished(-1) && python.exitCode() == 0) {
        const QList<QByteArray> out = python.readAllStandardOutput().trimmed().split(' ');
        const double pythonSeconds = out.value(1).toDouble();
        const double theirs = out.value(0).toDouble() / pythonSeconds;
        std::printf("python3-vobject on the same file: %s cards, %.1f s, %.0f cards/s; "
                    "ours %.0f times as fast\n",
                    out.value(0).constData(), pythonSeconds, theirs, ours / theirs);
    } else {
        std::printf("python3-vobject did not run: %s\n", python.readAllStandardError().constData());
    }

    // 10,000 contacts picked at random, in the order picked, as a user selects them.
    QList<qint64> picked = keys;
    std::shuffle(picked.begin(), picked.end(), *QRandomGenerator::global());
    picked.resize(std::min<qsizetype>(10000, picked.size()));
    t.restart();
    const db::Result<EsportazioneVCard> some = esportaVCard(**connection, picked);
    if (!some || !scriviFileVCard(dir.filePath(QStringLiteral("scelti.vcf")), some->file))
        return fail(QStringLiteral("export of the selection failed"));
    std::printf("export of %lld selected contacts to a file: %.3f s\n", qlonglong(picked.size()),
                seconds(t));

    // New cards: the selected contacts' cards, each with a surname the archive does not have.
    QList<DatiVCard> fresh = LeggiVCard(some->file);
    for (qsizetype i = 0; i < fresh.size(); ++i) {
        fresh[i][vcard::Uid].clear();
        fresh[i][vcard::FamilyName] = QStringLiteral("Nuovo%1").arg(i);
        fresh[i][vcard::Organisation].clear();
    }
    t.restart();
    const db::Result<RiepilogoImportazioneVCard> done = importaVCard(
        **connection, fresh, AzioneImportazioneVCard::Aggiorna, {}, db::clock::today());
    if (!done)
        return fail(done.message());
    std::printf("import of %lld new cards into %lld contacts, one transaction: %.3f s (%s)\n",
                qlonglong(fresh.size()), qlonglong(keys.size()), seconds(t),
                qPrintable(done->testo()));
    t.restart();
    const db::Result<RiepilogoImportazioneVCard> again = importaVCard(
        **connection, fresh, AzioneImportazioneVCard::Aggiorna, {}, db::clock::today());
    if (!again)
        return fail(again.message());
    std::printf("the same cards again, now updates: %.3f s (%s)\n", seconds(t),
                qPrintable(again->testo()));
    return 0;
}
