// Finding the office's address book and calendar on a real server (radicale), as phones do,
// and what a server that cannot be used says.

#include "dav/davclient.h"
#include "dav/davtestserver.h"
#include "dav/discovery.h"
#include "dav/multistatus.h"
#include "mail/mailtestsupport.h"

#include <QTcpServer>
#include <QTest>

using namespace dav;

namespace {

DavSettings settingsFor(const DavTestServer &server, const QString &password = "segreta'è")
{
    DavSettings s;
    s.server = server.url();
    s.user = QStringLiteral("ufficio");
    s.password = password;
    s.timeoutSeconds = 5;
    return s;
}

} // namespace

class TestDavDiscovery : public QObject
{
    Q_OBJECT

    TestCertificates m_certificates;

private Q_SLOTS:
    // An address typed without its scheme is a secure one; one with it stays as typed.
    void addressWithoutSchemeIsHttps()
    {
        QCOMPARE(serverUrl(QStringLiteral(" dav.esempio.it/ufficio/ ")),
                 QUrl(QStringLiteral("https://dav.esempio.it/ufficio/")));
        QCOMPARE(serverUrl(QStringLiteral("http://127.0.0.1:5232/")),
                 QUrl(QStringLiteral("http://127.0.0.1:5232/")));
        QVERIFY(serverUrl(QString()).isEmpty());
    }

    void initTestCase() { QVERIFY(m_certificates.ok()); }

    // A user without collections gets one of each, named for the program; a second discovery
    // finds them and makes nothing; an address that is a collection is used as it is.
    void findsOrMakesTheCollections()
    {
        DavTestServer server;
        DavClient client(settingsFor(server));
        db::Result<Collections> first = discoverCollections(client, QUrl(server.url()), true);
        QVERIFY2(first, qPrintable(first.message()));
        QCOMPARE(first->created, QStringList({QString::fromUtf8(kAddressBookName),
                                              QString::fromUtf8(kCalendarName)}));
        QVERIFY(first->addressBook.path().startsWith(QStringLiteral("/ufficio/")));
        db::Result<Collections> again = discoverCollections(client, QUrl(server.url()), true);
        QVERIFY(again);
        QVERIFY(again->created.isEmpty());
        QCOMPARE(again->addressBook, first->addressBook);
        QCOMPARE(again->calendar, first->calendar);
        // From the well-known address of a path the server does not know as a collection.
        db::Result<Collections> known = discoverCollections(
            client, QUrl(server.url(QStringLiteral("/.well-known/caldav"))), false);
        QVERIFY2(known, qPrintable(known.message()));
        QCOMPARE(known->calendar, first->calendar);
        // The address book's own address: used as it is, the calendar found beside it.
        db::Result<Collections> direct = discoverCollections(client, first->addressBook, false);
        QVERIFY2(direct, qPrintable(direct.message()));
        QCOMPARE(direct->addressBook, first->addressBook);
        QCOMPARE(direct->calendar, first->calendar);
        QVERIFY(describeCollections(*again).startsWith(QStringLiteral("Rubrica: http://")));
        // Asked only to look, a user without collections is told they will be made.
        DavSettings other = settingsFor(server, QStringLiteral("altra"));
        other.user = QStringLiteral("secondo");
        DavClient second(other);
        db::Result<Collections> none = discoverCollections(second, QUrl(server.url()), false);
        QVERIFY2(none, qPrintable(none.message()));
        QVERIFY(none->addressBook.isEmpty() && none->calendar.isEmpty());
        QVERIFY2(describeCollections(*none).contains(QStringLiteral("sarà creato")),
                 qPrintable(describeCollections(*none)));
    }

    void serversThatCannotBeUsed()
    {
        DavTestServer server;
        {
            DavClient client(settingsFor(server, QStringLiteral("sbagliata")));
            db::Result<Collections> refused = discoverCollections(client, QUrl(server.url()), true);
            QVERIFY(!refused);
            QCOMPARE(client.failure(), DavFailure::Authentication);
            QVERIFY2(refused.message().contains(QStringLiteral("non accetta l'utente")),
                     qPrintable(refused.message()));
            QVERIFY(!refused.message().contains(QStringLiteral("sbagliata")));
        }
        {
            // Nobody listens.
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost, 0);
            const quint16 port = closed.serverPort();
            closed.close();
            DavSettings s = settingsFor(server);
            DavClient client(s);
            db::Result<Collections> down = discoverCollections(
                client, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)), true);
            QVERIFY(!down);
            QCOMPARE(client.failure(), DavFailure::Connection);
        }
        {
            // Somebody listens and never answers.
            QTcpServer silent;
            silent.listen(QHostAddress::LocalHost, 0);
            DavSettings s = settingsFor(server);
            s.timeoutSeconds = 1;
            DavClient client(s);
            db::Result<Collections> slow = discoverCollections(
                client, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort())),
                true);
            QVERIFY(!slow);
            QCOMPARE(client.failure(), DavFailure::Timeout);
        }
        {
            DavClient client(settingsFor(server));
            db::Result<Collections> wrong =
                discoverCollections(client, QUrl(QStringLiteral("ftp://127.0.0.1/")), true);
            QVERIFY(!wrong);
            QVERIFY(wrong.message().contains(QStringLiteral("non è un indirizzo")));
        }
    }

    // TLS always verified: a certificate of an authority nobody trusts is refused, trusted
    // once the office's authority (or a run's file) is given.
    void certificatesAreVerified()
    {
        DavTestServer server(m_certificates.serve(QStringLiteral("good"))[1],
                             m_certificates.serve(QStringLiteral("good"))[3]);
        DavClient untrusted(settingsFor(server));
        QVERIFY(!discoverCollections(untrusted, QUrl(server.url()), true));
        QCOMPARE(untrusted.failure(), DavFailure::Certificate);
        DavSettings s = settingsFor(server);
        QFile ca(m_certificates.ca());
        QVERIFY(ca.open(QIODevice::ReadOnly));
        s.officeCa = ca.readAll();
        DavClient trusted(s);
        db::Result<Collections> found = discoverCollections(trusted, QUrl(server.url()), true);
        QVERIFY2(found, qPrintable(found.message()));
    }

    void brokenAnswersAreRefused_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("not xml") << QByteArray("<html><body>errore</body>");
        QTest::newRow("not a multistatus") << QByteArray("<?xml version='1.0'?><a/>");
        QTest::newRow("cut short")
            << QByteArray("<?xml version='1.0'?><multistatus xmlns='DAV:'><response><href>/x");
        QTest::newRow("response without href")
            << QByteArray("<?xml version='1.0'?><multistatus xmlns='DAV:'><response/>"
                          "</multistatus>");
    }
    void brokenAnswersAreRefused()
    {
        QFETCH(QByteArray, body);
        const db::Result<Multistatus> read = readMultistatus(body);
        QVERIFY(!read);
        QVERIFY(read.message().startsWith(QStringLiteral("Il server ha risposto")));
    }
};

QTEST_GUILESS_MAIN(TestDavDiscovery)
#include "tst_davdiscovery.moc"
