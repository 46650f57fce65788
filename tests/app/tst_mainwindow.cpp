// The main window with every window of the program behind it, and the program started as a
// user starts it.

#include "about/frmrealizzazione.h"
#include "about/makerinfo.h"
#include "agenda/agendastore.h"
#include "app/frminizio.h"
#include "app/frmpromemoriascadenze.h"
#include "app/program.h"
#include "common/datasetmodel.h"
#include "common/widgets/datagrid.h"
#include "contacts/contactstore.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "dav/davtestserver.h"
#include "dav/syncstore.h"
#include "dav/windows/frmsincronizza.h"
#include "db/core/archive.h"
#include "db/core/archiveconnection.h"
#include "mail/windows/frmemail.h"
#include "notices/noticestore.h"
#include "notices/windows/frmgrigliaavvisi.h"
#include "options/windows/frmopzioni.h"
#include "reference/windows/categorie.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "reference/windows/frmtrovacap.h"
#include "reference/windows/lookupwindows.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

void click(QWidget *window, const char *name)
{
    auto *button = window->findChild<QAbstractButton *>(QString::fromLatin1(name));
    if (!button)
        qFatal("no %s", name);
    button->click();
}

struct Office
{
    QTemporaryDir folder;
    std::unique_ptr<FreshArchive> onServer = FreshArchive::namedInProgramFolder(folder.path());
    ScriptedDialogs dialogs;
    Program program{folder.path()};

    Office()
    {
        program.frmInizio().FormActivate();
        (void)program.formDb().Connessione().run(
            u"insert into Contatti (Cognome, Nome, NominativoDocumenti) values ('Rossi', 'Mario', "
            u"'Rossi Mario')");
        (void)program.formDb().Connessione().run(
            u"insert into Contatti (Cognome, Nome, NominativoDocumenti) values ('Verdi', 'Anna', "
            u"'Verdi Anna')");
        (void)program.contacts().TableCercaContatti.requery();
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contactListOpensWithoutTheLastSearch()
    {
        Office o;
        TfrmContatti &list = o.program.frmContatti();
        auto *name = list.findChild<QLineEdit *>(QStringLiteral("Edit1"));
        QTest::keyClicks(name, QStringLiteral("ro"));
        QTest::keyClicks(list.findChild<QLineEdit *>(QStringLiteral("Edit7")), QStringLiteral("x"));
        QCOMPARE(o.program.contacts().TableCercaContatti.recordCount(), 0);
        (void)o.program.contacts().TableContatti.setFilter(QStringLiteral("Cognome = 'x'"));
        int shown = -1;
        o.dialogs.modalActions.append([&](QWidget *) {
            shown = o.program.contacts().TableCercaContatti.recordCount();
            return 0;
        });
        o.program.frmInizio().findChild<QToolButton *>(QStringLiteral("btnClienti"))->click();
        QCOMPARE(o.dialogs.modalWindows, QStringList{QStringLiteral("frmContatti")});
        QCOMPARE(shown, 2);
        for (const char *box : {"Edit1", "Edit2", "Edit4", "Edit5", "Edit6", "Edit7"})
            QCOMPARE(list.findChild<QLineEdit *>(QString::fromLatin1(box))->text(), QString());
        for (const char *box : {"DBLookupComboBox1", "DBLookupComboBox2", "DBLookupComboBox3"})
            QCOMPARE(list.findChild<QComboBox *>(QString::fromLatin1(box))->currentIndex(), -1);
        QCOMPARE(o.program.contacts().TableContatti.filter(), QString());
    }

    void editorReachesTheFinderAndTheLookups()
    {
        Office o;
        TfrmContattiDett &editor = o.program.frmContattiDett();
        o.program.contacts().TableCercaContatti.first();
        o.dialogs.modalActions.append([&](QWidget *window) {
            auto *comune = window->findChild<QComboBox *>(QStringLiteral("DBLookupComboBox5"));
            comune->setFocus();
            QTest::keyClicks(comune, QStringLiteral("Agliana"));
            // A municipality with one postal code (not in the street archive): no finder
            // window, the code of the municipality at once.
            (void)o.program.formDb().Connessione().run(u"update Contatti set Cap = null");
            editor.trovaCapCasa();
            window->findChild<QToolButton *>(QStringLiteral("SpeedButton12"))
                ->click(); // a new category
            window->findChild<QAbstractButton *>(QStringLiteral("spdIndietro"))->click();
            return 0;
        });
        o.dialogs.modalActions.append([&](QWidget *category) {
            QTest::keyClicks(category->findChild<QLineEdit *>(), QStringLiteral("Clienti"));
            for (QAbstractButton *b : category->findChildren<QAbstractButton *>()) {
                if (b->objectName() == u"spdIndietro")
                    b->click();
            }
            return 0;
        });
        o.program.frmContatti().avanti();
        QCOMPARE(o.dialogs.modalWindows, QStringList({"frmContattiDett", "frmCategorie"}));
        const db::RowSet saved = *o.program.formDb().Connessione().run(
            u"select Cap, Citta_ID, Categoria_ID from Contatti where Cognome = 'Rossi'");
        QCOMPARE(saved.value(0, u"Cap").toString(), QStringLiteral("51031"));
        const db::RowSet category = *o.program.formDb().Connessione().run(
            u"select Id from Categorie where Descrizione = 'Clienti'");
        QCOMPARE(category.rows.size(), 1);
        // The category made with "+" is the contact's.
        QCOMPARE(saved.value(0, u"Categoria_ID").toLongLong(),
                 category.value(0, u"Id").toLongLong());
    }

    void optionsOpenBesideOnTheFirstTabAndNameTheCompany()
    {
        Office o;
        TfrmInizio &main = o.program.frmInizio();
        TfrmOpzioni &options = o.program.frmOpzioni();
        auto *tabs = options.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        QVERIFY(main.findChild<QToolButton *>(QStringLiteral("btnAttivitaOpzioni"))->isEnabled());
        click(&main, "btnAttivitaOpzioni");
        QVERIFY(options.isVisible());
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        tabs->setCurrentIndex(2);
        click(&main, "btnAttivitaOpzioni");
        QCOMPARE(tabs->currentIndex(), 0);
        drive::type(&options, QStringLiteral("edtRagSoc"), QStringLiteral("Studio Rossi"));
        click(&options, "spdIndietro");
        QVERIFY(!options.isVisible());
        QCOMPARE(main.windowTitle(), QStringLiteral("Calvetra - Studio Rossi"));
    }

    // "Sincronizza": without a server it says where to set one; with one, the sync runs in its
    // window and a card made on the phone meanwhile shows in the open contact list.
    void syncWithThePhones()
    {
        Office o;
        TfrmInizio &main = o.program.frmInizio();
        TfrmSincronizza &sync = o.program.frmSincronizza();
        click(&main, "btnAttivitaSincronizza");
        QVERIFY(!sync.isVisible());
        QVERIFY(o.dialogs.messages.value(0).contains(QStringLiteral("«Sincronizzazione»")));

        DavTestServer server;
        QVERIFY(dav::writeStoredSettings(
            o.program.formDb().Connessione(),
            {server.url(), QStringLiteral("ufficio"), QStringLiteral("segreta'è")}));
        QSignalSpy finished(&sync, &TfrmSincronizza::syncFinished);
        click(&main, "btnAttivitaSincronizza");
        QVERIFY(sync.isVisible());
        QVERIFY(finished.wait(60000));
        QVERIFY2(sync.summary().contains(QStringLiteral("Contatti: inviati al server 2")),
                 qPrintable(sync.summary()));
        QCOMPARE(o.dialogs.messages.size(), 1);
    }

    void mainWindowOpensTheLists()
    {
        Office o;
        TfrmInizio &main = o.program.frmInizio();
        click(&main, "btnCategorie");
        click(&main, "btnCategorie");
        QVERIFY(o.program.frmCategorieContattiGriglia().isVisible());
        QVERIFY(o.program.frmCategorieContattiGriglia().isMaximized());
        click(&main, "btnModalitaPagamento");
        QVERIFY(o.program.frmGrigliaTipoPagamenti().isVisible());
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        click(&main, "btnTipoCalendario");
        QCOMPARE(o.dialogs.modalWindows, QStringList{"frmGrigliaTipologieCalendario"});
        click(&main, "btnCalendario");
        QCOMPARE(o.dialogs.modalWindows.last(), QStringLiteral("frmGrigliaCalendario"));
        QVERIFY(o.program.agenda().TableCalendario.isOpen()); // read when first shown
        // A due reminder opens its appointment in the editor.
        o.program.frmPromemoriaScadenze().StringGrid2DblClick(0);
        (void)o.program.formDb().Connessione().run(
            u"insert into Calendario (Id, Data, Note, Storico) values (7, #3/1/2026#, 'x', false)");
        (void)o.program.agenda().TableCalendario.requery();
        o.program.frmPromemoriaScadenze().setGrid({QStringList(6), {"", "", "", "x", "7", ""}});
        o.program.frmPromemoriaScadenze().StringGrid2DblClick(1);
        QCOMPARE(o.dialogs.modalWindows.last(), QStringLiteral("frmCalendario"));
    }

    void aboutBoxAndContactListReachTheEmailWindow()
    {
        Office o;
        click(&o.program.frmInizio(), "btnUtilityRealizzazione");
        QVERIFY(o.program.frmRealizzazione().isVisible()); // beside the main window
        QVERIFY(o.dialogs.modalWindows.isEmpty());
        // No distributor's realizzazione.ini beside this program: no support mail to send.
        QVERIFY(!o.program.frmRealizzazione()
                     .findChild<QWidget *>(QStringLiteral("SpeedButton1"))
                     ->isVisible());
        o.program.frmRealizzazione().SpeedButton1Click();
        QVERIFY(o.dialogs.modalWindows.isEmpty());

        QStringList shown;
        TfrmContatti &list = o.program.frmContatti();
        (void)o.program.formDb().Connessione().run(
            u"update Contatti set email = 'o''brien@esempio.it'");
        (void)o.program.contacts().TableCercaContatti.requery();
        list.grid()->selectRow(0, true);
        o.dialogs.modalActions.append([&](QWidget *) {
            shown = o.program.frmEmail().destinatari();
            return 0;
        });
        click(&list, "spdEmail");
        QCOMPARE(shown, QStringList{QStringLiteral("o'brien@esempio.it")});
        QVERIFY(o.program.frmEmail()
                    .findChild<QLineEdit *>(QStringLiteral("txtOggetto"))
                    ->text()
                    .isEmpty());
    }

    // Address labels leave out the contacts without an address, and say how many.
    void labelsLeaveOutContactsWithoutAnAddress()
    {
        Office o;
        (void)o.program.formDb().Connessione().run(
            u"insert into Contatti (Cognome, NominativoDocumenti, Indirizzo) values ('Neri', "
            u"'Neri', 'Via Roma 1')");
        click(&o.program.frmInizio(), "btnStampeEtichetteContatti");
        QVERIFY2(o.dialogs.messages.value(0).contains(
                     QStringLiteral("2 contatti senza indirizzo non avranno l'etichetta.")),
                 qPrintable(o.dialogs.messages.join(u'|')));
        const db::Result<db::RowSet> labelled =
            o.program.formDb().Connessione().run(ContactStore::labelsReport().sql);
        QVERIFY(labelled.ok());
        QCOMPARE(labelled->rows.size(), 1);
        QCOMPARE(labelled->value(0, u"Nominativo").toString(), QStringLiteral("Neri"));
    }

    void noticeButtonsReachTheTemplatesAndPrintANotice()
    {
        Office o;
        (void)o.program.formDb().Connessione().run(
            u"insert into Contatti (NominativoVisualizzato, NominativoDocumenti) values ('Bruni "
            u"Ada', 'Bruni Ada')");
        o.dialogs.modalActions = {[](QWidget *list) {
            QTest::keyClicks(list->findChild<QLineEdit *>(QStringLiteral("Edit1")),
                             QStringLiteral("zz"));
            return 0;
        }};
        click(&o.program.frmInizio(), "btnArchivioAvvisi");
        QCOMPARE(o.dialogs.modalWindows, QStringList{"frmGrigliaAvvisi"});
        QCOMPARE(
            o.program.frmGrigliaAvvisi().findChild<QLineEdit *>(QStringLiteral("Edit1"))->text(),
            QString());
        QCOMPARE(o.program.notices().TableAvvisi.filter(), QString());

        o.dialogs.modalActions = {[](QWidget *text) {
                                      QWidget *memo =
                                          text->findChild<QWidget *>(QStringLiteral("DBMemo1"));
                                      memo->setFocus();
                                      QTest::keyClicks(memo, QStringLiteral("Chiuso per ferie"));
                                      click(text, "btnContinua");
                                      return 0;
                                  },
                                  [](QWidget *filters) {
                                      click(filters, "btnContinua");
                                      return 0;
                                  },
                                  [](QWidget *recipients) {
                                      click(recipients, "btnStampa");
                                      return 0;
                                  }};
        click(&o.program.frmInizio(), "btnAttivitaAvvisiClienti");
        db::Connection &archive = o.program.formDb().Connessione();
        const QString pc = o.program.formDb().computerName();
        const db::RowSet job = *archive.runNative(
            QStringLiteral("select NomeReport from TempStampa where NomeComputer = ?"), {pc});
        QCOMPARE(job.rows.size(), 1);
        QVERIFY(job.rows[0][0].toString().endsWith(QStringLiteral("Avvisi.rpt")));
        const db::RowSet recipients = *archive.runNative(
            QStringLiteral("select Contatto_ID from TempAvvisiContatti where NomeComputer = ?"),
            {pc});
        QCOMPARE(recipients.rows.size(), 1);
    }

    void savedLayoutsComeBackAtTheNextStart()
    {
        QTemporaryDir folder;
        const std::unique_ptr<FreshArchive> onServer =
            FreshArchive::namedInProgramFolder(folder.path());
        ScriptedDialogs dialogs;
        auto program = std::make_unique<Program>(folder.path());
        program->frmInizio().FormActivate();
        QVERIFY(program->frmInizio().startupDone());
        const QString pc = program->formDb().computerName();
        db::Connection &archive = program->formDb().Connessione();
        for (const char *grid : {"frmGrigliaComuni", "frmTrovaCap"}) {
            const db::RowSet stored = *archive.runNative(
                QStringLiteral("select * from Griglie where NomeComputer = ? and NomeGriglia = ?"),
                {pc, QString::fromLatin1(grid)});
            QCOMPARE(stored.rows.size(), 1);
        }
        QCOMPARE(
            archive
                .runNative(QStringLiteral("select CaptionUtente from Griglie where NomeGriglia = "
                                          "'frmTrovaCap'"))
                ->rows[0][0]
                .toString(),
            QStringLiteral("Frazione|Indirizzo|Civico|Cap|"));
        auto &list = program->frmGrigliaComuni();
        list.grid()->setCurrentIndex(list.grid()->model()->index(0, 3));
        list.findChild<QAction *>(QStringLiteral("EliminaColonna1"))->trigger();
        list.findChild<QAction *>(QStringLiteral("SalvaGriglia1"))->trigger();
        program.reset();
        program = std::make_unique<Program>(folder.path());
        program->frmInizio().FormActivate();
        QCOMPARE(program->frmGrigliaComuni().gridModel().columns().size(), 5);
        QCOMPARE(program->frmTrovaCap().gridModel().columns().size(), 4);
    }

    void theProgramStartsOnAFreshFolder()
    {
        QTemporaryDir folder;
        const std::unique_ptr<FreshArchive> onServer =
            FreshArchive::namedInProgramFolder(folder.path());
        const QString program = QDir(folder.path()).filePath(QStringLiteral("calvetra"));
        QVERIFY(QFile::copy(QStringLiteral(CALVETRA_BIN_DIR "/calvetra"), program));
        QProcess calvetra;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        calvetra.setProcessEnvironment(env);
        calvetra.start(program, {});
        QVERIFY(calvetra.waitForStarted());
        const QString archive =
            onServer ? onServer->path()
                     : QDir(folder.path()).filePath(QStringLiteral("archivio.sqlite"));
        // The start-up sequence ends by giving the workstation its notice row.
        const auto started = [&] {
            auto c = db::openArchive(archive);
            return c && (*c)->run(u"select * from TempAvvisi")->rows.size() == 1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(started(), 20000);
        QCOMPARE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("percorso.txt"))), true);
        QCOMPARE(calvetra.state(), QProcess::Running);
        calvetra.kill();
        calvetra.waitForFinished();
    }

    void backupButtonWritesACheckedCopy()
    {
        Office o;
        const QString copy = QDir(o.folder.path()).filePath(QStringLiteral("copia.sqlite"));
        o.dialogs.files = {copy};
        click(&o.program.frmInizio(), "btnAttivitaCopia");
        QCOMPARE(o.dialogs.messages.size(), 1);
        if (o.onServer) {
            // The server's own tool makes the copy: the window says how, and writes nothing.
            QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("pg_dump --format=custom")),
                     qPrintable(o.dialogs.messages[0]));
            QVERIFY(!QFile::exists(copy));
            return;
        }
        QVERIFY2(o.dialogs.messages[0].contains(copy), qPrintable(o.dialogs.messages[0]));
        auto opened = db::openArchive(copy);
        QVERIFY(opened);
        QCOMPARE((*opened)->run(u"select * from Contatti")->rows.size(), 2);

        o.dialogs.files = {QStringLiteral("/cartella/che/non/esiste/copia.sqlite")};
        click(&o.program.frmInizio(), "btnAttivitaCopia");
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY(o.dialogs.messages[1].startsWith(QStringLiteral("Messaggio di errore")));
    }

    // "Ripristina copia…": refused before any question while anything holds the archive, asked
    // with No as the default, and the program on the copy's data afterwards.
    void restoreButtonPutsTheCopyBack()
    {
        Office o;
        const QString archive = o.program.formDb().Connessione().location();
        const QString copy = QDir(o.folder.path()).filePath(QStringLiteral("copia.sqlite"));
        if (o.onServer) {
            click(&o.program.frmInizio(), "btnAttivitaRipristina");
            QCOMPARE(o.dialogs.messages.size(), 1);
            QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("pg_restore")),
                     qPrintable(o.dialogs.messages[0]));
            return;
        }
        QVERIFY(db::backupArchive(archive, copy));
        (void)o.program.formDb().Connessione().run(u"delete from Contatti");
        const auto contacts = [&] {
            return o.program.formDb().Connessione().run(u"select * from Contatti")->rows.size();
        };

        // Another window of the program open: closed first.
        o.program.frmContatti().show();
        click(&o.program.frmInizio(), "btnAttivitaRipristina");
        o.program.frmContatti().hide();
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY(o.dialogs.messages[0].contains(QStringLiteral("Chiudere le altre finestre")));

        // Another program on the archive: said before anything is asked.
        {
            db::ArchiveConnection other;
            QVERIFY(other.open(archive));
            o.dialogs.files = {copy};
            click(&o.program.frmInizio(), "btnAttivitaRipristina");
        }
        QCOMPARE(o.dialogs.messages.size(), 2);
        QVERIFY2(o.dialogs.messages[1].contains(QStringLiteral("è aperto")),
                 qPrintable(o.dialogs.messages[1]));
        QCOMPARE(contacts(), 0); // and this program goes on with its archive

        // No, the default, keeps the archive.
        o.dialogs.files = {copy};
        o.dialogs.answers = {false};
        click(&o.program.frmInizio(), "btnAttivitaRipristina");
        QCOMPARE(o.dialogs.messages.size(), 3);
        QVERIFY(o.dialogs.messages[2].contains(QStringLiteral("Continuare?")));
        QCOMPARE(o.dialogs.preselected.last(), Dialogs::Answer::No);
        QCOMPARE(contacts(), 0);

        o.dialogs.files = {copy};
        o.dialogs.answers = {true};
        click(&o.program.frmInizio(), "btnAttivitaRipristina");
        QVERIFY2(o.dialogs.messages[4].startsWith(
                     QStringLiteral("Ripristina copia: Archivio ripristinato dalla copia")),
                 qPrintable(o.dialogs.messages.join(u'\n')));
        QVERIFY(o.program.frmInizio().startupDone());
        QCOMPARE(contacts(), 2);
        // The contact list is read again, from the copy, when it is next shown.
        QVERIFY(!o.program.contacts().TableCercaContatti.isOpen());
    }

    // "Da Windows": the chosen file converted beside the archive in use, which stays as it was,
    // and the program on the new one as after a start (its password asked, its company shown).
    void windowsButtonConvertsAndSwitchesArchive()
    {
        if (FreshArchive::onServer())
            QSKIP("the conversion writes an archive file");
        Office o;
        const QString before = o.program.formDb().Connessione().location();
        QTemporaryDir elsewhere;
        const QString mdb = elsewhere.filePath(QStringLiteral("archivio.mdb"));
        QVERIFY(
            QFile::copy(QStringLiteral(CALVETRA_TEST_DATA "/jet/data/archivio-esempio.mdb"), mdb));
        o.dialogs.files = {mdb};
        o.dialogs.answers = {true};
        o.dialogs.modalActions = {[](QWidget *window) {
            drive::in<QLineEdit>(window, QStringLiteral("Edit1"))
                ->setText(QStringLiteral("segreta"));
            return 1;
        }};
        click(&o.program.frmInizio(), "btnAttivitaWindows");
        // The password first; the reminders of the new archive may follow.
        QVERIFY(!o.dialogs.modalWindows.isEmpty());
        QCOMPARE(o.dialogs.modalWindows[0], QStringLiteral("frmPass"));
        QVERIFY2(o.dialogs.messages.size() >= 2, qPrintable(o.dialogs.messages.join(u'|')));
        QVERIFY2(o.dialogs.messages[1].contains(QStringLiteral("Contatti")),
                 qPrintable(o.dialogs.messages[1]));
        const QString converted = o.folder.filePath(QStringLiteral("archivio-2.sqlite"));
        QCOMPARE(o.program.formDb().Connessione().location(), converted);
        QVERIFY(!o.program.frmInizio().terminationRequested());
        QVERIFY(o.program.frmInizio().windowTitle().startsWith(QStringLiteral("Calvetra - ")));
        auto old = db::openArchive(before);
        QVERIFY(old);
        QCOMPARE((*old)->run(u"select * from Contatti")->rows.size(), 2);
        auto now = db::openArchive(converted);
        QVERIFY(now);
        QCOMPARE((*now)->run(u"select * from Contatti")->rows.size(), 40);
    }

    // "Esci" with changes typed in the options asks: yes stores them, no leaves them; either
    // way the program ends. Last of all: the program's end ends every event loop of this
    // process from then on.
    void quittingWithTheOptionsOpenAsks_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("saved") << true;
        QTest::newRow("dropped") << false;
    }
    void quittingWithTheOptionsOpenAsks()
    {
        QFETCH(bool, keep);
        Office o;
        TfrmInizio &main = o.program.frmInizio();
        TfrmOpzioni &options = o.program.frmOpzioni();
        click(&main, "btnAttivitaOpzioni");
        drive::type(&options, QStringLiteral("edtRagSoc"), QStringLiteral("Studio Verdi"));
        o.dialogs.answers = {keep};
        click(&main, "SpeedButton8");
        QCOMPARE(o.dialogs.messages.size(), 1);
        QVERIFY2(o.dialogs.messages[0].contains(QStringLiteral("modifiche non salvate")),
                 qPrintable(o.dialogs.messages[0]));
        QVERIFY(main.terminationRequested());
        const auto stored = o.program.formDb().Connessione().run(u"select RagSoc from ditta");
        QCOMPARE(stored->rows[0][0].toString(), keep ? QStringLiteral("Studio Verdi") : QString());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
