// The phones' sync at the size of an office: calvetra-dav syncing a generated archive of
// contacts with a fresh address book on radicale (on loopback) the first time, then again with
// nothing changed, beside vdirsyncer doing the same with the same cards (the program's vCard
// export, one file per card) against another user's address book of the same server, in the
// same run. The appointments are left out of the archive so that both move the same cards; a
// second line gives the program's figures with the generated appointments too.
// Usage: bench_davsync [contacts=2000]

#include "bench/generatearchive.h"
#include "contacts/vcardexport.h"
#include "dav/davclient.h"
#include "dav/davphone.h"
#include "dav/davtestserver.h"
#include "dav/discovery.h"
#include "db/core/archive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

// Seconds of one calvetra-dav run, -1 when it failed.
double syncOnce(const QString &archive, const QString &server)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    tool.start(QCoreApplication::applicationDirPath() + QStringLiteral("/calvetra-dav"),
               {archive, QStringLiteral("--server"), server, QStringLiteral("--utente"),
                QStringLiteral("ufficio")});
    if (!tool.waitForFinished(600000) || tool.exitCode() != 0) {
        std::fprintf(stderr, "calvetra-dav: %s\n", tool.readAllStandardOutput().constData());
        return -1;
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

// The program's first and second sync of a new archive of `contacts`.
std::pair<double, double> programFigures(const QString &folder, const QString &server, int contacts,
                                         bool appointments, QByteArray *cards)
{
    const QString archive = folder + (appointments ? QStringLiteral("/con-agenda.sqlite")
                                                   : QStringLiteral("/contatti.sqlite"));
    if (db::Status made = bench::generateArchive(archive, contacts, 7); !made) {
        fail(made.message());
        return {-1, -1};
    }
    {
        auto connection = db::openArchive(archive);
        if (!connection) {
            fail(connection.message());
            return {-1, -1};
        }
        if (!appointments)
            (void)(*connection)->runNative(QStringLiteral("DELETE FROM Calendario"));
        if (cards) {
            QList<qint64> ids;
            const db::Result<db::RowSet> rows =
                (*connection)->runNative(QStringLiteral("SELECT ID FROM Contatti ORDER BY ID"));
            for (const QVariantList &row : rows->rows)
                ids << row[0].toLongLong();
            *cards = esportaVCard(**connection, ids)->file;
        }
    }
    const double first = syncOnce(archive, server);
    const double second = syncOnce(archive, server);
    return {first, second};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int contacts = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000;
    if (contacts <= 0)
        return fail(QStringLiteral("Uso: bench_davsync [contatti]"));
    qputenv("CALVETRA_DAV_PASSWORD", "segreta'è");
    QTemporaryDir folder;

    std::printf("%d contatti, radicale su loopback\n", contacts);
    QByteArray cards;
    {
        DavTestServer server;
        const auto [first, second] =
            programFigures(folder.path(), server.url(), contacts, false, &cards);
        if (first < 0 || second < 0)
            return 1;
        std::printf("%-34s %12s %12s\n", "", "prima volta", "senza novità");
        std::printf("%-34s %10.2f s %10.2f s\n", "calvetra-dav (contatti)", first, second);
        std::fflush(stdout);

        // The same cards, one file each, synced by vdirsyncer into another user's address book.
        dav::DavClient client(
            {server.url(), QStringLiteral("secondo"), QStringLiteral("altra"), {}, {}, 30});
        const db::Result<dav::Collections> made =
            dav::discoverCollections(client, QUrl(server.url()), true);
        if (!made)
            return fail(made.message());
        DavPhone phone(made->addressBook.toString(), made->calendar.toString(),
                       QStringLiteral("secondo"), QStringLiteral("altra"));
        phone.setTimeout(3600);
        int written = 0;
        for (qsizetype from = 0; from < cards.size();) {
            const qsizetype end = cards.indexOf("END:VCARD\r\n", from);
            if (end < 0)
                break;
            const qsizetype next = end + int(sizeof("END:VCARD\r\n")) - 1;
            phone.write(QStringLiteral("contatti"), QStringLiteral("scheda%1.vcf").arg(++written),
                        cards.mid(from, next - from));
            from = next;
        }
        QElapsedTimer timer;
        timer.start();
        if (!phone.sync())
            return fail(QStringLiteral("vdirsyncer non è riuscito a sincronizzare."));
        const double vFirst = double(timer.nsecsElapsed()) / 1e9;
        timer.restart();
        if (!phone.sync())
            return fail(QStringLiteral("vdirsyncer non è riuscito a sincronizzare."));
        const double vSecond = double(timer.nsecsElapsed()) / 1e9;

        std::printf("%-34s %10.2f s %10.2f s\n", "vdirsyncer (le stesse schede)", vFirst, vSecond);
        std::printf("%-34s %12.2f %12.2f\n", "rapporto", first / vFirst, second / vSecond);
    }
    {
        DavTestServer server;
        const auto [first, second] =
            programFigures(folder.path(), server.url(), contacts, true, nullptr);
        if (first < 0 || second < 0)
            return 1;
        std::printf("%-34s %10.2f s %10.2f s\n", "calvetra-dav (contatti e agenda)", first, second);
    }
    return 0;
}
