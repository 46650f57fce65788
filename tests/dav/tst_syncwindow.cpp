// The window of a sync: it runs without holding the window's thread, says what it did, stops
// on "Annulla" leaving the archive as it was, and says where to set the server when none is.

#include "dav/davtestserver.h"
#include "dav/syncstore.h"
#include "dav/windows/frmsincronizza.h"
#include "db/core/archive.h"
#include "testsupport.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

TfrmSincronizza::OpenConnection opener(FreshArchive &archive)
{
    const QString path = archive.path();
    return [path] { return db::openArchive(path); };
}

} // namespace

class TestSyncWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutAServerItSaysWhereToSetOne()
    {
        ScriptedDialogs dialogs;
        FreshArchive archive;
        TfrmSincronizza window(archive.connection(), opener(archive));
        window.apri();
        QVERIFY(!window.isRunning());
        QVERIFY(!window.isVisible());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("scheda «Sincronizzazione»")));
    }

    void syncRunsOffTheWindowsThreadAndSaysWhatItDid()
    {
        ScriptedDialogs dialogs;
        DavTestServer server;
        FreshArchive archive;
        archive.native(QStringLiteral("INSERT INTO Contatti (Cognome, Nome, Annullato) VALUES "
                                      "('Sarti', 'Olga', ?)"),
                       {false});
        QVERIFY(
            dav::writeStoredSettings(archive.connection(), {server.url(), QStringLiteral("ufficio"),
                                                            QStringLiteral("segreta'è")}));
        TfrmSincronizza window(archive.connection(), opener(archive));
        QSignalSpy finished(&window, &TfrmSincronizza::syncFinished);
        window.apri();
        // apri() came back at once: the sync goes on while the window answers.
        QVERIFY(window.isRunning());
        QVERIFY(window.isVisible());
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("btnAnnulla"))->isEnabled());
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("btnChiudi"))->isEnabled());
        QVERIFY(finished.wait(60000));
        QVERIFY2(window.summary().contains(QStringLiteral("Contatti: inviati al server 1")),
                 qPrintable(window.summary()));
        QCOMPARE(finished.first().first().toBool(), false); // the archive did not change
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("btnChiudi"))->isEnabled());
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("btnAnnulla"))->isEnabled());
        QVERIFY(dialogs.messages.isEmpty());
        window.close();
        QVERIFY(!window.isVisible());
    }

    void cancelStopsAWaitAndChangesNothing()
    {
        ScriptedDialogs dialogs;
        FreshArchive archive;
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const int port = probe.serverPort();
        probe.close();
        QProcess silent;
        silent.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(CALVETRA_TEST_DATA "/dav/fakedav.py"),
                      QStringLiteral("silent"), QString::number(port)});
        QVERIFY(silent.waitForReadyRead(20000));
        QVERIFY(dav::writeStoredSettings(
            archive.connection(),
            {QStringLiteral("http://127.0.0.1:%1/").arg(port), QStringLiteral("u"), {}}));
        const qsizetype tables = archive.connection().tableNames()->size();
        TfrmSincronizza window(archive.connection(), opener(archive));
        QSignalSpy finished(&window, &TfrmSincronizza::syncFinished);
        window.apri();
        QTest::qWait(300);
        // Closing while it runs stops it, as "Annulla" does, and the window stays to say so.
        window.close();
        QVERIFY(window.isVisible());
        QVERIFY(!window.findChild<QPushButton *>(QStringLiteral("btnAnnulla"))->isEnabled());
        QVERIFY(finished.wait(10000));
        QCOMPARE(window.findChild<QProgressBar *>(QStringLiteral("barProgresso"))->value(), 0);
        silent.kill();
        silent.waitForFinished();
        QVERIFY2(window.summary().contains(QStringLiteral("annullata")),
                 qPrintable(window.summary()));
        QVERIFY(window.summary().contains(QStringLiteral("L'archivio non è stato cambiato.")));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lblStato"))->text(),
                 QStringLiteral("Sincronizzazione annullata."));
        QCOMPARE(archive.connection().tableNames()->size(), tables);
    }
};

QTEST_MAIN(TestSyncWindow)
#include "tst_syncwindow.moc"
