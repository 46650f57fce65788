// The main window with every window of the program behind it, and the program started as a
// user starts it.

#include "app/datamodule.h"
#include "app/frminizio.h"
#include "app/program.h"
#include "contacts/windows/frmcontatti.h"
#include "contacts/windows/frmcontattidett.h"
#include "db/archive.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

struct Office
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    Program program{folder.path()};

    Office()
    {
        program.frmInizio().FormActivate();
        (void)program.formDb().Connessione().run(
            u"insert into Contatti (Cognome, Nome, NominativoDocumenti) values ('Rossi', 'Mario', 'Rossi Mario')");
        (void)program.formDb().Connessione().run(
            u"insert into Contatti (Cognome, Nome, NominativoDocumenti) values ('Verdi', 'Anna', 'Verdi Anna')");
        (void)program.formDb().TableCercaContatti.requery();
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
        QCOMPARE(o.program.formDb().TableCercaContatti.recordCount(), 0);
        (void)o.program.formDb().TableContatti.setFilter(QStringLiteral("Cognome = 'x'"));
        int shown = -1;
        o.dialogs.modalActions.append([&](QWidget *) {
            shown = o.program.formDb().TableCercaContatti.recordCount();
            return 0;
        });
        o.program.frmInizio().findChild<QToolButton *>(QStringLiteral("btnClienti"))->click();
        QCOMPARE(o.dialogs.modalWindows, QStringList{QStringLiteral("frmContatti")});
        QCOMPARE(shown, 2);
        for (const char *box : {"Edit1", "Edit2", "Edit4", "Edit5", "Edit6", "Edit7"})
            QCOMPARE(list.findChild<QLineEdit *>(QString::fromLatin1(box))->text(), QString());
        for (const char *box : {"DBLookupComboBox1", "DBLookupComboBox2", "DBLookupComboBox3"})
            QCOMPARE(list.findChild<QComboBox *>(QString::fromLatin1(box))->currentIndex(), -1);
        QCOMPARE(o.program.formDb().TableContatti.filter(), QString());
    }

    void editorReachesTheFinderAndTheLookups()
    {
        Office o;
        TfrmContattiDett &editor = o.program.frmContattiDett();
        o.program.formDb().TableCercaContatti.first();
        o.dialogs.modalActions.append([&](QWidget *window) {
            auto *comune = window->findChild<QComboBox *>(QStringLiteral("DBLookupComboBox5"));
            comune->setFocus();
            QTest::keyClicks(comune, QStringLiteral("Agliana"));
            // A municipality with one postal code (not in the street archive): no finder
            // window, the code of the municipality at once.
            (void)o.program.formDb().Connessione().run(u"update Contatti set Cap = null");
            editor.trovaCapCasa();
            window->findChild<QToolButton *>(QStringLiteral("SpeedButton12"))->click(); // a new category
            window->findChild<QPushButton *>(QStringLiteral("spdIndietro"))->click();
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
            u"select Cap, Citta_ID from Contatti where Cognome = 'Rossi'");
        QCOMPARE(saved.value(0, u"Cap").toString(), QStringLiteral("51031"));
        QCOMPARE(o.program.formDb().Connessione().run(u"select * from Categorie where Descrizione = 'Clienti'")->rows.size(), 1);
    }

    void theProgramStartsOnAFreshFolder()
    {
        QTemporaryDir folder;
        const QString program = QDir(folder.path()).filePath(QStringLiteral("calvetra"));
        QVERIFY(QFile::copy(QStringLiteral(CALVETRA_BIN_DIR "/calvetra"), program));
        QProcess calvetra;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        calvetra.setProcessEnvironment(env);
        calvetra.start(program, {});
        QVERIFY(calvetra.waitForStarted());
        const QString archive = QDir(folder.path()).filePath(QStringLiteral("archivio.sqlite"));
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
