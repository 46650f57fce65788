// Sends 100 messages with a 100 kB attachment over TLS to a loopback server (python3-aiosmtpd)
// through MailSender, as the e-mail window does, and prints messages per second and the longest
// time the main thread went without running its event loop meanwhile.
//   build/bin/bench_mailsend [recipients]

#include "mail/mailsender.h"
#include "timing.h"

#include "mail/mailtestsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    TestCertificates certificates;
    if (!certificates.ok())
        return std::fprintf(stderr, "openssl failed\n"), 1;
    SmtpTestServer server(QStringList{QStringLiteral("--mode"), QStringLiteral("tls")} +
                          certificates.serve(QStringLiteral("good")));
    if (server.port() == 0)
        return std::fprintf(stderr, "no server\n"), 1;

    QTemporaryDir dir;
    QFile attachment(dir.filePath(QStringLiteral("listino.bin")));
    QByteArray bytes(100 * 1000, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 7919 + 13) % 256);
    if (!attachment.open(QIODevice::WriteOnly) || attachment.write(bytes) != bytes.size())
        return 1;
    attachment.close();

    mail::SmtpSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = server.port();
    settings.security = mail::SmtpSecurity::ImplicitTls;
    settings.caFile = certificates.ca();
    settings.sender = QStringLiteral("ufficio@esempio.it");
    QList<mail::MailAddress> recipients;
    for (int i = 0; i < count; ++i)
        recipients << mail::MailAddress{QString(), QStringLiteral("cliente%1@esempio.it").arg(i)};
    const mail::MailDraft draft{QStringLiteral("Listino prezzi è aggiornato"),
                                QStringLiteral("Buongiorno,\nin allegato il listino.\n"),
                                {attachment.fileName()}};

    mail::MailSender sender;
    QElapsedTimer total, tick;
    double longestStall = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, elapsedMs(tick));
        tick.restart();
    });
    int sent = 0;
    QObject::connect(&sender, &mail::MailSender::finished,
                     [&](const QList<mail::RecipientOutcome> &outcomes) {
                         for (const mail::RecipientOutcome &o : outcomes)
                             sent += o.result.sent() ? 1 : 0;
                         QCoreApplication::quit();
                     });
    total.start();
    tick.start();
    ticker.start();
    sender.start(settings, draft, recipients);
    QCoreApplication::exec();
    const double seconds = elapsedMs(total) / 1000;
    // Figures taken on a machine busy with other work are slower: the load says how busy.
    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readLine().constData());
    std::printf("%d of %d messages of %lld bytes over TLS in %.2f s: %.1f messages/s\n", sent,
                count, static_cast<long long>(bytes.size()), seconds, sent / seconds);
    std::printf("longest main-thread stall while sending: %.1f ms\n", longestStall);
    return sent == count ? 0 : 1;
}
