// The start-up sequence through the real main window, offscreen, on a program folder of its own.

#include "agenda/agendastore.h"
#include "app/frminizio.h"
#include "app/frmpromemoriascadenze.h"
#include "app/program.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "notices/noticestore.h"
#include "options/adminpassword.h"
#include "reference/referencestore.h"
#include "schema/archivecreator.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A program folder with an archive already in it, ready for start-up. When the tests run on the
// server the archive is a database there, which percorso.txt names.
struct Office
{
    QTemporaryDir folder;
    std::unique_ptr<FreshArchive> onServer;
    QString archive = folder.filePath(QStringLiteral("archivio.sqlite"));
    ScriptedDialogs dialogs;

    Office(bool withArchive = true)
    {
        if (!withArchive)
            return;
        onServer = FreshArchive::namedInProgramFolder(folder.path());
        if (onServer)
            archive = onServer->path();
        else
            (void)schema::createArchive(archive);
    }
    bool hasTable(const QString &table)
    {
        auto c = db::openArchive(archive);
        return c && (*c)->run(QStringLiteral("select count(*) from ") + table).ok();
    }
    db::RowSet query(const QString &sql)
    {
        auto c = db::openArchive(archive);
        if (!c)
            return {};
        db::Result<db::RowSet> r = (*c)->run(sql);
        return r ? *r : db::RowSet();
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        auto c = db::openArchive(archive);
        QVERIFY(c.ok());
        QVERIFY2((*c)->runNative(sql, values).ok(), qPrintable(sql));
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 0))); }
    void cleanup() { db::clock::useSystemTime(); }

    void firstStartCreatesPathFileAndArchive()
    {
        Office office(false);
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY(program.frmInizio().startupDone());
        QCOMPARE(readText(office.folder.filePath(QStringLiteral("percorso.txt"))),
                 office.archive + u'\n');
        QVERIFY(QFile::exists(office.archive));
        QCOMPARE(program.frmInizio().windowTitle(), QStringLiteral("Calvetra"));
        QCOMPARE(
            program.frmInizio().findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText(),
            office.archive);
        QVERIFY(office.dialogs.messages.isEmpty());
        // The workstation now owns exactly one notice row.
        QCOMPARE(office.query(QStringLiteral("select * from TempAvvisi")).rows.size(), 1);
    }

    void pathFileIsRead_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("usesOther");
        QTest::newRow("blank lines") << QByteArray("\n  \n\n") << false;
        QTest::newRow("path and a line break") << QByteArray("OTHER\r\n") << true;
    }
    void pathFileIsRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, usesOther);
        Office office(false);
        QTemporaryDir elsewhere;
        const QString other = elsewhere.filePath(QStringLiteral("dati.sqlite"));
        QVERIFY(schema::createArchive(other).ok());
        writeText(elsewhere.filePath(QStringLiteral("SQLAggio.sql")),
                  "ALTER TABLE Contatti ADD COLUMN Sito TEXT(100);");
        const QString pathFile = office.folder.filePath(QStringLiteral("percorso.txt"));
        writeText(pathFile, content.replace("OTHER", other.toUtf8()));
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY(program.frmInizio().startupDone());
        if (usesOther) {
            QCOMPARE(program.formDb().Connessione().location(), other);
            // The update script is looked for beside the archive in use.
            QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("SQLAggio.sql"))));
        } else {
            QCOMPARE(readText(pathFile), office.archive + u'\n');
            QCOMPARE(program.formDb().Connessione().location(), office.archive);
        }
    }

    void relativePathIsBesideTheProgram()
    {
        Office office(false);
        QVERIFY(QDir(office.folder.path()).mkdir(QStringLiteral("dati")));
        const QString archive = office.folder.filePath(QStringLiteral("dati/ufficio.sqlite"));
        QVERIFY(schema::createArchive(archive).ok());
        writeText(office.folder.filePath(QStringLiteral("percorso.txt")), "dati/ufficio.sqlite\n");
        // Started from another folder, as a desktop menu does.
        QTemporaryDir elsewhere;
        const QString before = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QDir::setCurrent(before);
        QVERIFY(program.frmInizio().startupDone());
        QCOMPARE(program.formDb().Connessione().location(), archive);
    }

    void anArchiveInAMissingFolderIsNamedAsTheUserKnowsIt()
    {
        Office office(false);
        const QString wished = office.folder.filePath(QStringLiteral("manca/nuovo.sqlite"));
        const db::Status created = schema::createArchive(wished);
        QVERIFY(!created.ok());
        QVERIFY2(created.message().contains(wished), qPrintable(created.message()));
        QVERIFY2(!created.message().contains(QStringLiteral(".nuovo")),
                 qPrintable(created.message()));
    }

    void missingArchiveNamedByTheUserIsAskedFor()
    {
        for (const bool yes : {false, true}) {
            Office office(false);
            const QString wished = office.folder.filePath(QStringLiteral("nuovo.sqlite"));
            writeText(office.folder.filePath(QStringLiteral("percorso.txt")), wished.toUtf8());
            office.dialogs.answers = {yes};
            Program program(office.folder.path());
            program.frmInizio().FormActivate();
            QCOMPARE(
                office.dialogs.messages,
                QStringList{QStringLiteral(
                                "Messaggio di avviso: L'archivio %1 non esiste. Crearne uno nuovo?")
                                .arg(wished)});
            QCOMPARE(program.frmInizio().terminationRequested(), !yes);
            QCOMPARE(QFile::exists(wished), yes);
        }
    }

    void updateScripts_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QStringList>("tables");
        QTest::newRow("A;B") << QByteArray("CREATE TABLE A (x LONG);CREATE TABLE B (y TEXT(5))")
                             << QStringList{"A", "B"};
        QTest::newRow("A;B;") << QByteArray("CREATE TABLE A (x LONG);CREATE TABLE B (y TEXT(5));")
                              << QStringList{"A", "B"};
        QTest::newRow("trailing line break")
            << QByteArray("CREATE TABLE A (x LONG);\r\n") << QStringList{"A"};
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("semicolon in a value, closing comment")
            << QByteArray("CREATE TABLE A (x TEXT(20));\nINSERT INTO A (x) VALUES ('Rata; "
                          "acconto');\n-- fine\n")
            << QStringList{"A"};
        QTest::newRow("adds a column") << QByteArray("ALTER TABLE Contatti ADD COLUMN Sito "
                                                     "TEXT(100);\nUPDATE Contatti SET Sito = 'x';")
                                       << QStringList();
    }
    void updateScripts()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, tables);
        Office office;
        const QString path = office.folder.filePath(QStringLiteral("SQLAggio.sql"));
        writeText(path, script);
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY2(program.frmInizio().startupDone(),
                 qPrintable(office.dialogs.messages.join(u'\n')));
        QVERIFY(!QFile::exists(path));
        for (const QString &table : tables)
            QVERIFY(
                program.formDb().Connessione().run(QStringLiteral("select * from ") + table).ok());
    }

    void failingUpdateLeavesEverythingAsItWas()
    {
        Office office;
        const QString path = office.folder.filePath(QStringLiteral("SQLAggio.sql"));
        writeText(path, "CREATE TABLE A (x LONG);\nALTER TABLE Manca ADD COLUMN y LONG;\nCREATE "
                        "TABLE C (z LONG);");
        office.dialogs.answers = {false}; // "Riprovare?" No
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY(!program.frmInizio().startupDone());
        QVERIFY(program.frmInizio().terminationRequested());
        QVERIFY(QFile::exists(path));
        QCOMPARE(office.dialogs.messages.size(), 2);
        QVERIFY(office.dialogs.messages[0].startsWith(QStringLiteral("Messaggio di errore: ")));
        const QString missing = FreshArchive::onServer()
                                    ? QStringLiteral("relation \"manca\" does not exist")
                                    : QStringLiteral("no such table: Manca");
        QVERIFY2(office.dialogs.messages[0].contains(missing),
                 qPrintable(office.dialogs.messages[0]));
        QCOMPARE(office.dialogs.messages[1], QStringLiteral("Messaggio di avviso: Riprovare?"));
        QVERIFY(!office.hasTable(QStringLiteral("A")));
    }

    void laterFailureStillStopsTheProgram()
    {
        Office office;
        office.exec(QStringLiteral("drop table ditta"));
        office.dialogs.answers = {false}; // "Riprovare?" No
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY(!program.frmInizio().startupDone());
        QVERIFY(program.frmInizio().terminationRequested());
        QCOMPARE(office.dialogs.messages.size(), 2);
        QVERIFY2(office.dialogs.messages[0].contains(
                     FreshArchive::onServer() ? QStringLiteral("relation \"ditta\" does not exist")
                                              : QStringLiteral("no such table: ditta")),
                 qPrintable(office.dialogs.messages[0]));
        QCOMPARE(office.dialogs.messages[1], QStringLiteral("Messaggio di avviso: Riprovare?"));
    }

    void retryAfterTheFaultIsMended()
    {
        Office office;
        const QString path = office.folder.filePath(QStringLiteral("SQLAggio.sql"));
        writeText(path, "ALTER TABLE Manca ADD COLUMN y LONG;");
        office.dialogs.answers = {true};
        Program program(office.folder.path());
        // While the error is on screen somebody mends the script; "Riprovare?" Sì then works.
        struct Fixer : Dialogs
        {
            ScriptedDialogs &inner;
            QString path;
            Fixer(ScriptedDialogs &i, QString p) : inner(i), path(std::move(p))
            {
                setDialogs(this);
            }
            ~Fixer() override { setDialogs(&inner); }
            void inform(MessageKind k, const QString &m, const QString &c) override
            {
                inner.inform(k, m, c);
                writeText(path, "CREATE TABLE Manca (x LONG);");
            }
            bool ask(const QString &q, const QString &c, Answer a) override
            {
                return inner.ask(q, c, a);
            }
            int choose(const QString &q, const QString &c, const QStringList &b, int p,
                       int e) override
            {
                return inner.choose(q, c, b, p, e);
            }
            QString chooseOpenFile(const QString &, const QString &, const QString &) override
            {
                return {};
            }
            QString chooseSaveFile(const QString &, const QString &, const QString &) override
            {
                return {};
            }
            int showModal(QWidget *w) override { return inner.showModal(w); }
        } fixer(office.dialogs, path);
        program.frmInizio().FormActivate();
        QVERIFY(program.frmInizio().startupDone());
        QVERIFY(!QFile::exists(path));
    }

    // The server wants a password that ~/.pgpass does not hold: the program asks for it in its
    // own window, and keeps it nowhere.
    void serverPasswordIsAskedInAWindow_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("given");
        QTest::addColumn<bool>("starts");
        QTest::newRow("right password") << "segreta" << true << true;
        QTest::newRow("wrong password") << "sbagliata" << true << false;
        QTest::newRow("cancelled") << "segreta" << false << false;
    }
    void serverPasswordIsAskedInAWindow()
    {
        if (!FreshArchive::onServer())
            QSKIP("an archive on a server only");
        QFETCH(QString, typed);
        QFETCH(bool, given);
        QFETCH(bool, starts);
        Office office;
        // The tests' own bookkeeping of written tables included.
        for (const char *grant :
             {"GRANT ALL ON ALL TABLES IN SCHEMA public TO calvetra_password",
              "GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO calvetra_password",
              "GRANT USAGE ON SCHEMA calvetra_copia TO calvetra_password",
              "GRANT ALL ON calvetra_copia.toccate TO calvetra_password"})
            office.onServer->native(QString::fromLatin1(grant));
        // The tests' server asks this user for a password (scripts/pg-test-server.sh).
        QUrl address(office.archive);
        address.setUserName(QStringLiteral("calvetra_password"));
        const QByteArray pathLine = address.toString().toUtf8() + '\n';
        writeText(office.folder.filePath(QStringLiteral("percorso.txt")), pathLine);
        const QByteArray passFile = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", office.folder.filePath(QStringLiteral("nessuna.pgpass")).toUtf8());
        QString asked;
        office.dialogs.modalActions.append([&](QWidget *window) {
            asked = window->findChild<QLabel *>()->text();
            drive::type(window, QStringLiteral("Password"), typed);
            return given ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        {
            Program program(office.folder.path());
            program.frmInizio().FormActivate();
            QCOMPARE(office.dialogs.modalWindows.value(0), QStringLiteral("frmPasswordServer"));
            QVERIFY2(asked.contains(address.host()), qPrintable(asked));
            QVERIFY2(program.frmInizio().startupDone() == starts,
                     qPrintable(office.dialogs.messages.join(u'\n')));
            if (starts) {
                QVERIFY(office.dialogs.messages.isEmpty());
                QVERIFY(program.formDb().Connessione().run(u"select count(*) from Contatti").ok());
            } else {
                QVERIFY(program.frmInizio().terminationRequested());
                const QString told = office.dialogs.messages.value(0);
                QVERIFY2(told.contains(given ? QStringLiteral("calvetra_password")
                                             : QStringLiteral("password non indicata")),
                         qPrintable(told));
                QVERIFY(!told.contains(typed));
            }
        }
        qputenv("PGPASSFILE", passFile);
        // Nothing was written with it.
        QCOMPARE(readText(office.folder.filePath(QStringLiteral("percorso.txt"))).toUtf8(),
                 pathLine);
        QCOMPARE(QDir(office.folder.path()).entryList(QDir::Files), QStringList{"percorso.txt"});
    }

    void administratorPassword_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("prompted");
        QTest::addColumn<bool>("continues");
        QTest::newRow("no password") << ""
                                     << "" << false << true;
        QTest::newRow("right password") << "segreta"
                                        << "segreta" << true << true;
        QTest::newRow("wrong case") << "segreta"
                                    << "Segreta" << true << false;
        QTest::newRow("apostrophe typed") << "l\u00B4ufficio"
                                          << "l'ufficio" << true << true;
        const QString key = *derivePasswordKey(QStringLiteral("l\u00B4ufficio"));
        QTest::newRow("key, right password") << key << "l'ufficio" << true << true;
        QTest::newRow("key, wrong password") << key << "l'uffici" << true << false;
        QTest::newRow("key typed as it is stored") << key << key << true << false;
    }
    void administratorPassword()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, prompted);
        QFETCH(bool, continues);
        Office office;
        office.exec(QStringLiteral("update opzioni set PasswordAmministratore = ?"), {stored});
        office.exec(QStringLiteral("update ditta set RagSoc = 'Studio Bianchi'"));
        office.dialogs.modalActions.append([typed](QWidget *prompt) {
            auto *edit = prompt->findChild<QLineEdit *>(QStringLiteral("Edit1"));
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Return);
            return 1;
        });
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QCOMPARE(office.dialogs.modalWindows.contains(QStringLiteral("frmPass")), prompted);
        QCOMPARE(program.frmInizio().terminationRequested(), !continues);
        // A wrong password is said so, with the offer to type it again (declined here).
        QCOMPARE(office.dialogs.messages,
                 prompted && !continues ? QStringList{QStringLiteral(
                                              "Password: La password non è corretta. Riprovare?")}
                                        : QStringList());
        QCOMPARE(program.frmInizio().windowTitle(),
                 continues ? QStringLiteral("Calvetra - Studio Bianchi")
                           : QStringLiteral("Calvetra"));
    }

    void scratchRowsOfThisWorkstationOnlyAndOnce()
    {
        Office office;
        Program program(office.folder.path());
        const QString pc = program.formDb().computerName();
        office.exec(
            QStringLiteral("insert into TempAvvisi (NomeComputer, Testo) values (?, 'vecchio')"),
            {pc});
        office.exec(
            QStringLiteral("insert into TempAvvisi (NomeComputer, Testo) values ('ALTRO', 'suo')"));
        office.exec(QStringLiteral(
                        "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) values (?, 1)"),
                    {pc});
        program.frmInizio().FormActivate();
        QCOMPARE(
            office
                .query(QStringLiteral("select Testo from TempAvvisi where NomeComputer = 'ALTRO'"))
                .rows.size(),
            1);
        const db::RowSet mine = office.query(
            QStringLiteral("select * from TempAvvisi where NomeComputer = '%1'").arg(pc));
        QCOMPARE(mine.rows.size(), 1);
        QVERIFY(mine.value(0, u"Testo").isNull());
        QCOMPARE(office.query(QStringLiteral("select * from TempAvvisiContatti")).rows.size(), 0);
        QCOMPARE(program.notices().TableTempAvvisi.recordCount(), 1);

        // A second activation repeats nothing.
        office.exec(QStringLiteral(
                        "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) values (?, 2)"),
                    {pc});
        program.frmInizio().FormActivate();
        QCOMPARE(office.query(QStringLiteral("select * from TempAvvisiContatti")).rows.size(), 1);
    }

    void workstationNamesAreValuesNeverSql_data()
    {
        QTest::addColumn<QString>("pc");
        QTest::newRow("apostrophe") << QStringLiteral("o'brien");
        QTest::newRow("injection") << QStringLiteral("x' or 1=1 or '");
    }
    void workstationNamesAreValuesNeverSql()
    {
        QFETCH(QString, pc);
        Office office;
        Program program(office.folder.path());
        program.formDb().setComputerName(pc);
        office.exec(
            QStringLiteral("insert into TempAvvisi (NomeComputer, Testo) values ('ALTRO', 'suo')"));
        office.exec(QStringLiteral(
            "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) values ('ALTRO', 1)"));
        office.exec(QStringLiteral(
                        "insert into TempAvvisiContatti (NomeComputer, Contatto_ID) values (?, 2)"),
                    {pc});
        office.exec(QStringLiteral(
            "insert into Griglie (NomeComputer, NomeGriglia) values ('ALTRO', 'frmContatti')"));
        program.frmInizio().FormActivate();
        QVERIFY2(program.frmInizio().startupDone(),
                 qPrintable(office.dialogs.messages.join(u'\n')));
        QCOMPARE(office.dialogs.messages, QStringList());
        QCOMPARE(
            office.query(QStringLiteral("select * from TempAvvisi where NomeComputer = 'ALTRO'"))
                .rows.size(),
            1);
        QCOMPARE(office.query(QStringLiteral("select Contatto_ID from TempAvvisiContatti")).rows,
                 QList<QVariantList>{{QVariant(qlonglong(1))}});
        // Its own notice row and grid layouts, under its own name.
        QCOMPARE(program.notices().TableTempAvvisi.asString(u"NomeComputer"), pc);
        QVERIFY(program.formDb().TableGriglie.recordCount() >= 1);
        for (int r = 0; r < program.formDb().TableGriglie.recordCount(); ++r)
            QCOMPARE(program.formDb()
                         .TableGriglie
                         .valueAt(r, program.formDb().TableGriglie.columnIndex(u"NomeComputer"))
                         .toString(),
                     pc);
        // The print hand-off replaces its own job only.
        office.exec(
            QStringLiteral("insert into TempStampa (NomeComputer, Query) values ('ALTRO', 'suo')"));
        program.frmInizio().print(ReportKind::CompanyLabels);
        QCOMPARE(
            office.query(QStringLiteral("select * from TempStampa where NomeComputer = 'ALTRO'"))
                .rows.size(),
            1);
        const db::RowSet jobs = office.query(QStringLiteral("select NomeComputer from TempStampa"));
        QCOMPARE(jobs.rows.size(), 2);
    }

    void birthdaysOfTheMonth_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("25th: this month only")
            << QDate(2026, 11, 25) << QStringList{"Rossi Mario :03/11/1970"};
        QTest::newRow("26th: and the next")
            << QDate(2026, 11, 26)
            << QStringList{"Rossi Mario :03/11/1970", "Verdi Anna :31/12/1980"};
        QTest::newRow("28 December: and January")
            << QDate(2026, 12, 28)
            << QStringList{"Verdi Anna :31/12/1980", "Neri Luca :01/01/1990"};
    }
    void birthdaysOfTheMonth()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, lines);
        db::clock::setFixedNow(db::naiveDateTime(today, QTime(8, 0)));
        Office office;
        const QString sql = QStringLiteral(
            "insert into Contatti (Cognome, Nome, DataNascita, Annullato) values (?, ?, ?, ?)");
        office.exec(sql, {"Rossi", "Mario", db::naiveDateTime(QDate(1970, 11, 3)), true});
        office.exec(sql, {"Verdi", "Anna", db::naiveDateTime(QDate(1980, 12, 31)), false});
        office.exec(sql, {"Neri", "Luca", db::naiveDateTime(QDate(1990, 1, 1)), false});
        office.exec(sql, {"Senza", "Data", QVariant(), false});
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QStringList shown = program.frmInizio().birthdays();
        std::sort(shown.begin(), shown.end());
        std::sort(lines.begin(), lines.end());
        QCOMPARE(shown, lines);
    }

    void dueRemindersAreShown()
    {
        Office office;
        const QString sql =
            QStringLiteral("insert into Calendario (Data, DataAvviso, Cliente, "
                           "TipologiaCalendario, Note, Conclusa) values (?, ?, ?, ?, ?, ?)");
        const auto at = [](int d, int h = 0) {
            return db::naiveDateTime(QDate(2026, 12, d), QTime(h, 0));
        };
        office.exec(sql, {at(9, 10), at(7), "Rossi Mario", "Visita", "oggi", false});
        office.exec(sql, {at(9, 11), at(7), "Rossi Mario", "Visita", "conclusa", true});
        office.exec(sql, {at(10), at(8), "Verdi Anna", "Telefonata", "domani", false});
        office.exec(sql, {at(8, 15), at(5), "Neri Luca", "Scadenza", "", false});
        office.exec(sql, {at(12), at(6), QVariant(), "Riunione", "senza contatto", false});
        QList<qint64> opened;
        Program program(office.folder.path());
        program.frmPromemoriaScadenze().setOpenAppointment([&](qint64 id) { opened.append(id); });
        int rows = 0;
        office.dialogs.modalActions.append([&](QWidget *window) {
            auto *grid = window->findChild<QTableView *>(QStringLiteral("StringGrid2"));
            rows = grid->model()->rowCount();
            program.frmPromemoriaScadenze().StringGrid2DblClick(rows); // below the rows
            program.frmPromemoriaScadenze().StringGrid2DblClick(0);    // the titles
            program.frmPromemoriaScadenze().StringGrid2DblClick(1);
            return 0;
        });
        program.frmInizio().FormActivate();
        QCOMPARE(office.dialogs.modalWindows, QStringList{QStringLiteral("frmPromemoriaScadenze")});
        QCOMPARE(rows, 4); // titles and three reminders, no empty row
        QTableView *grid = program.frmPromemoriaScadenze().grid();
        const auto cell = [&](int r, int c) {
            return grid->model()->index(r, c).data().toString();
        };
        QCOMPARE(cell(0, 0), QStringLiteral("Data"));
        QCOMPARE(cell(1, 3), QStringLiteral(""));                 // oldest reminder first
        QCOMPARE(cell(1, 0), QStringLiteral("08/12/2026 15:00")); // no seconds
        QCOMPARE(cell(2, 0), QStringLiteral("12/12/2026"));
        QCOMPARE(cell(3, 3), QStringLiteral("oggi"));
        QCOMPARE(opened, QList<qint64>{4});
        // What orders the rows is shown first; the key is not shown; a row is one line.
        QCOMPARE(cell(0, 5), QStringLiteral("Avviso"));
        QCOMPARE(cell(1, 5), QStringLiteral("05/12/2026"));
        QCOMPARE(grid->horizontalHeader()->visualIndex(5), 0);
        QVERIFY(grid->isColumnHidden(4));
        QVERIFY(!grid->wordWrap());
    }

    void birthdaysInCalendarOrder()
    {
        db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 28), QTime(8, 0)));
        Office office;
        const QString sql =
            QStringLiteral("insert into Contatti (Cognome, Nome, DataNascita) values (?, ?, ?)");
        office.exec(sql, {"Neri", "Luca", db::naiveDateTime(QDate(1990, 1, 1))});
        office.exec(sql, {"Verdi", "Anna", db::naiveDateTime(QDate(1980, 12, 31))});
        office.exec(sql, {"Bruni", "Ada", db::naiveDateTime(QDate(1975, 12, 2))});
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QCOMPARE(program.frmInizio().birthdays(),
                 QStringList(
                     {"Bruni Ada :02/12/1975", "Verdi Anna :31/12/1980", "Neri Luca :01/01/1990"}));
    }

    // The main window shows neither the contact list nor the agenda: start-up leaves them
    // unread, and the first window that needs one reads it whole, once.
    void listsTheMainWindowDoesNotShowAreReadWhenFirstNeeded()
    {
        Office office;
        const QString contact =
            QStringLiteral("insert into Contatti (ID, Cognome, Nome, NominativoDocumenti, "
                           "NominativoVisualizzato) values (?, ?, ?, ?, ?)");
        office.exec(contact, {1, "Rossi", "Mario", "Rossi Mario", "Rossi Mario"});
        office.exec(contact, {2, "D'Amico", "Lucia", "D'Amico Lucia", "D'Amico Lucia"});
        office.exec(contact, {3, "Verdi", "Anna", "Verdi Anna", "Verdi Anna"});
        const QString appointment =
            QStringLiteral("insert into Calendario (Id, Data, DataAvviso, Cliente_ID, "
                           "Cliente, Storico) values (?, ?, ?, ?, ?, ?)");
        const auto at = [](int d) { return db::naiveDateTime(QDate(2026, 12, d)); };
        office.exec(appointment, {7, at(9), at(7), 2, "D'Amico Lucia", false});
        office.exec(appointment, {8, at(1), QVariant(), 1, "Rossi Mario", true});
        Program program(office.folder.path());
        int listedAtStart = -1;
        QString chosenContact;
        office.dialogs.modalActions = {
            [&](QWidget *) {
                listedAtStart = program.contacts().TableCercaContatti.isOpen() ? 1 : 0;
                program.frmPromemoriaScadenze().StringGrid2DblClick(1);
                return 0;
            },
            [&](QWidget *editor) {
                chosenContact = editor->findChild<QComboBox *>(QStringLiteral("DBLookupComboBox2"))
                                    ->currentText();
                return 0;
            }};
        program.frmInizio().FormActivate();
        ContactStore &m = program.contacts();
        QCOMPARE(office.dialogs.modalWindows,
                 (QStringList{"frmPromemoriaScadenze", "frmCalendario"}));
        QCOMPARE(listedAtStart, 0);
        QVERIFY(program.reference().TableComuni.isOpen());
        // The reminder's appointment read the agenda, and its editor the contact list it offers.
        QCOMPARE(program.agenda().TableCalendario.recordCount(), 1);
        QCOMPARE(m.TableCercaContatti.recordCount(), 3);
        QCOMPARE(chosenContact, QStringLiteral("D'Amico Lucia"));

        // Read once: the list shows with the sort set since, and without a contact added since.
        QVERIFY(m.TableCercaContatti.setSort(QStringLiteral("NominativoDocumenti DESC")).ok());
        office.exec(contact, {4, "Bruni", "Ada", "Bruni Ada", "Bruni Ada"});
        QString first;
        office.dialogs.modalActions = {[&](QWidget *) {
            first = m.TableCercaContatti
                        .valueAt(0, m.TableCercaContatti.columnIndex(u"NominativoDocumenti"))
                        .toString();
            return 0;
        }};
        program.frmInizio().btnClientiClick();
        QCOMPARE(first, QStringLiteral("Verdi Anna"));
        QCOMPARE(m.TableCercaContatti.recordCount(), 3);
    }

    void noReminderNoWindow()
    {
        Office office;
        Program program(office.folder.path());
        program.frmInizio().FormActivate();
        QVERIFY(office.dialogs.modalWindows.isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
