// The e-mail window against a real loopback server, and the about box.

#include "about/frmrealizzazione.h"
#include "about/makerinfo.h"
#include "mail/windows/frmemail.h"
#include "session/datamodule.h"

#include "mail/mailtestsupport.h"
#include "testsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUrl>

namespace {

struct Composer
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    Tform_DB db;
    QStringList typedAddresses; // what the address prompt answers, in order
    TfrmEmail window{db.Connessione(), [this] {
                         return typedAddresses.isEmpty() ? QString() : typedAddresses.takeFirst();
                     }};

    explicit Composer(int port = 0)
    {
        archive.native(
            QStringLiteral("UPDATE opzioni SET SmtpHost = ?, SmtpPorta = ?, SmtpMittenteEmail = ?"),
            {port ? QStringLiteral("127.0.0.1") : QString(), port,
             QStringLiteral("ufficio@esempio.it")});
        if (!db.Connessione().open(archive.path()))
            qFatal("cannot open the archive");
        window.show();
    }
    // Clicks "Invia email" and waits for the end message when a send started.
    QString send()
    {
        QSignalSpy finished(&window, &TfrmEmail::sendingFinished);
        drive::click(&window, QStringLiteral("spdEmail"));
        if (window.isSending() && !finished.wait(60000))
            return QStringLiteral("no end");
        return dialogs.messages.join(u'\n');
    }
};

} // namespace

class TestMailWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checksComeBeforeAnythingIsSent()
    {
        SmtpTestServer server({});
        Composer c(server.port());
        QCOMPARE(c.send(), QStringLiteral("Messaggio di Avviso: Manca il destinatario"));

        // A malformed line alone: nothing to send, and the window says why.
        c.dialogs.messages.clear();
        c.window.prepara({QString(), QStringLiteral("non-un-indirizzo")}, QStringLiteral("s"),
                         QStringLiteral("t"));
        QVERIFY(c.send().contains(
            QStringLiteral("\"non-un-indirizzo\" non è un indirizzo email valido")));

        c.dialogs.messages.clear();
        c.window.prepara({QStringLiteral("a@esempio.it")}, QStringLiteral("s"),
                         QStringLiteral("t"));
        c.dialogs.files << QStringLiteral("/non/esiste.pdf");
        drive::click(&c.window, QStringLiteral("SpeedButton5"));
        QCOMPARE(c.send(),
                 QStringLiteral("Messaggio di Avviso: L'allegato \"/non/esiste.pdf\" non esiste."));
        QCOMPARE(server.messages().size(), 0);
    }

    void missingSettingsAreToldOnce()
    {
        Composer c; // no host
        c.window.prepara({QStringLiteral("a@esempio.it"), QStringLiteral("b@esempio.it")}, {}, {});
        QCOMPARE(
            c.send(),
            QStringLiteral("Messaggio di Avviso: Per inviare email è necessario impostare l' Host "
                           "SMTP tra le opzioni del programma !"));
    }

    void sendsOneMessagePerRecipientAndSaysHowMany()
    {
        SmtpTestServer server({"--reject", "no@esempio.it"});
        Composer c(server.port());
        QTemporaryDir dir;
        QStringList files;
        for (const QString &name : {QStringLiteral("uno.txt"), QStringLiteral("due.txt")}) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
            files << f.fileName();
        }
        c.window.prepara({QStringLiteral("a@esempio.it"), QString(),
                          QStringLiteral("no@esempio.it; c@esempio.it")},
                         QStringLiteral("Auguri"), QStringLiteral("Buone feste"));
        c.dialogs.files << files.join(u'\n');
        drive::click(&c.window, QStringLiteral("SpeedButton5")); // both files of one choice
        QCOMPARE(c.window.allegati(), files);

        QSignalSpy finished(&c.window, &TfrmEmail::sendingFinished);
        drive::click(&c.window, QStringLiteral("spdEmail"));
        QVERIFY(c.window.isSending());
        QVERIFY(c.window.progressWindow() && c.window.progressWindow()->isVisible());
        QVERIFY(c.window.progressWindow()->labelText().startsWith(QStringLiteral("Invio 1 di 3")));
        QVERIFY(finished.wait(60000));
        QCOMPARE(c.dialogs.messages.size(), 1);
        const QString end = c.dialogs.messages.first();
        QVERIFY2(end.startsWith(QStringLiteral(
                     "Messaggio di Avviso: Termine Invio Messaggi !\nInviati 2 di 3.")),
                 qPrintable(end));
        QVERIFY(end.contains(
            QStringLiteral("Messaggio Non inviato a : no@esempio.it - destinatario rifiutato")));
        // Part of it sent: a warning, with the count per reason above the list.
        QCOMPARE(c.dialogs.kinds.first(), MessageKind::Warning);
        QVERIFY2(end.contains(QStringLiteral("Non inviati 1:\n- destinatario rifiutato")),
                 qPrintable(end));
        const QJsonArray messages = server.messages();
        QCOMPARE(messages.size(), 2);
        for (const QJsonValue &m : messages)
            QCOMPARE(m.toObject().value(u"attachments").toArray().size(), 2);
        QVERIFY(!c.window.progressWindow());
    }

    void cancelStopsAServerThatNeverAnswers()
    {
        SmtpTestServer server({"--mode", "silent"});
        Composer c(server.port());
        c.window.prepara({QStringLiteral("a@esempio.it"), QStringLiteral("b@esempio.it")}, {}, {});
        QSignalSpy finished(&c.window, &TfrmEmail::sendingFinished);
        drive::click(&c.window, QStringLiteral("spdEmail"));
        QVERIFY(c.window.progressWindow());
        QTest::qWait(300); // the window goes on painting and answering meanwhile
        c.window.progressWindow()->findChild<QPushButton *>()->click(); // "Annulla"
        QVERIFY(finished.wait(10000));
        QVERIFY2(c.dialogs.messages.first().contains(QStringLiteral("Inviati 0 di 2.")),
                 qPrintable(c.dialogs.messages.first()));
        QVERIFY(
            c.dialogs.messages.first().contains(QStringLiteral("b@esempio.it - invio annullato")));
        QCOMPARE(c.dialogs.kinds.first(), MessageKind::Error);
    }

    // A line that is no address is left out and named; the others go.
    void aMalformedAddressIsLeftOutAndNamed()
    {
        SmtpTestServer server({});
        Composer c(server.port());
        c.window.prepara({QStringLiteral("a@esempio.it"), QStringLiteral("mario rossi"),
                          QStringLiteral("b@esempio.it")},
                         QStringLiteral("Avviso"), QStringLiteral("Testo"));
        const QString end = c.send();
        QVERIFY2(end.contains(QStringLiteral("Inviati 2 di 3.")), qPrintable(end));
        QVERIFY2(end.contains(QStringLiteral("Messaggio Non inviato a : mario rossi - indirizzo "
                                             "non valido")),
                 qPrintable(end));
        QCOMPARE(server.messages().size(), 2);

        // Nothing but malformed lines: nothing is sent, and the window says why.
        c.dialogs.messages.clear();
        c.window.prepara({QStringLiteral("mario rossi")}, QStringLiteral("Avviso"),
                         QStringLiteral("Testo"));
        QVERIFY(!c.send().isEmpty());
        QVERIFY(!c.window.isSending());
        QCOMPARE(server.messages().size(), 2);
    }

    void listButtons()
    {
        Composer c;
        c.typedAddresses << QStringLiteral("o'brien@esempio.it") << QString();
        drive::click(&c.window, QStringLiteral("spdInserisciPiccolo"));
        drive::click(&c.window, QStringLiteral("spdInserisciPiccolo")); // closed empty: nothing
        QCOMPARE(c.window.destinatari(), QStringList{QStringLiteral("o'brien@esempio.it")});

        c.dialogs.files << QStringLiteral("/tmp/a") << QStringLiteral("/tmp/b");
        drive::click(&c.window, QStringLiteral("SpeedButton5"));
        drive::click(&c.window, QStringLiteral("SpeedButton5"));
        auto *list = drive::in<QListWidget>(&c.window, QStringLiteral("txtAllegati"));
        list->clearSelection();
        drive::click(&c.window,
                     QStringLiteral("SpeedButton4")); // nothing selected: nothing removed
        QCOMPARE(c.window.allegati().size(), 2);
        list->item(0)->setSelected(true);
        drive::click(&c.window, QStringLiteral("SpeedButton4"));
        QCOMPARE(c.window.allegati(), QStringList{QStringLiteral("/tmp/b")});

        drive::type(&c.window, QStringLiteral("txtOggetto"), QStringLiteral("x"));
        drive::click(&c.window, QStringLiteral("BitBtn1"));
        QVERIFY(c.window.destinatari().isEmpty() && c.window.allegati().isEmpty());
        QVERIFY(drive::in<QLineEdit>(&c.window, QStringLiteral("txtOggetto"))->text().isEmpty());
    }

    // The maker's lines come from the distributor's realizzazione.ini: the support mail goes
    // to its address; a line not filled in is not shown, and without an address there is no
    // support mail at all.
    void aboutBoxPreparesTheSupportMail()
    {
        QTemporaryDir folder;
        {
            QFile ini(folder.filePath(QStringLiteral("realizzazione.ini")));
            QVERIFY(ini.open(QIODevice::WriteOnly));
            ini.write("[Realizzazione]\nTelefono=0543 111222\nSito=https://www.esempio.it\n"
                      "Assistenza=assistenza@esempio.it\nRealizzazione=\n");
        }
        const about::MakerInfo maker =
            about::readMakerInfo({folder.filePath(QStringLiteral("nessuno.ini")),
                                  folder.filePath(QStringLiteral("realizzazione.ini"))});
        QCOMPARE(maker.phoneLine, QStringLiteral("Telefono: 0543 111222"));
        QVERIFY(maker.authorLine.isEmpty());
        QVERIFY(maker.versionLine.startsWith(QStringLiteral("Versione ")));

        ScriptedDialogs dialogs;
        QStringList composed;
        QList<QUrl> opened;
        TfrmRealizzazione about(
            maker,
            [&](const QString &to, const QString &subject, const QString &text) {
                composed = {to, subject, text};
            },
            [&](const QUrl &url) { opened << url; });
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        drive::click(&about,
                     QStringLiteral("SpeedButton1")); // an empty text still opens the composer
        QCOMPARE(composed, (QStringList{QStringLiteral("assistenza@esempio.it"),
                                        QStringLiteral("Invio Email in assistenza"), QString()}));

        auto *memo = drive::in<QPlainTextEdit>(&about, QStringLiteral("Memo1"));
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("non stampa"));
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(memo->toPlainText(), QStringLiteral("non stampa"));
        QVERIFY(!memo->hasFocus());

        about.Label8Click();
        about.Label2Click();
        QCOMPARE(opened, (QList<QUrl>{QUrl(QStringLiteral("https://www.esempio.it")),
                                      QUrl(QStringLiteral("mailto:assistenza@esempio.it"))}));
        QCOMPARE(about.findChild<QLabel *>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Programma Calvetra"));
        QVERIFY(about.findChild<QLabel *>(QStringLiteral("Label3"))->isVisible());
        QVERIFY(!about.findChild<QLabel *>(QStringLiteral("Label4"))->isVisible());
        QVERIFY(about.findChild<QLabel *>(QStringLiteral("lblVersione"))->isVisible());

        // Nothing filled in: the program's line and its version only, and no support mail.
        composed.clear();
        TfrmRealizzazione bare(
            about::readMakerInfo({}),
            [&](const QString &to, const QString &subject, const QString &text) {
                composed = {to, subject, text};
            },
            [&](const QUrl &url) { opened << url; });
        bare.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bare));
        QVERIFY(!drive::in<QWidget>(&bare, QStringLiteral("SpeedButton1"))->isVisible());
        bare.SpeedButton1Click();
        QVERIFY(composed.isEmpty());
        for (const char *name : {"Label2", "Label3", "Label4", "Label8"})
            QVERIFY(!bare.findChild<QLabel *>(QString::fromLatin1(name))->isVisible());
    }
};

QTEST_MAIN(TestMailWindows)
#include "tst_mailwindows.moc"
