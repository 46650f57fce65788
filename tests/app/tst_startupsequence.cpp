// The start-up sequence without a window: its questions answered from a script, on a program
// folder of its own (and, in the server run, an archive on the tests' server).

#include "agenda/agendastore.h"
#include "app/startupsequence.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "migration/archiveimport.h"
#include "options/adminpassword.h"
#include "options/optionsstore.h"
#include "schema/archivecreator.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>

namespace {

// Answers the sequence's questions from a script and records what it was asked and shown.
struct ScriptedPrompts final : StartupPrompts
{
    QStringList archives, asked, companies, failures;
    bool createArchive = false;
    bool acceptConversion = false;
    bool conversionFails = false;
    QStringList offered, converted; // "mdb -> destination"
    QString password;
    // The passwords typed one after the other, before `password`; nothing for "Annulla".
    QList<std::optional<QString>> passwords;
    bool retryWrongPassword = false;
    bool retry = false;

    void showArchive(const QString &archive) override { archives << archive; }
    bool confirmNewArchive(const QString &archive) override
    {
        asked << archive;
        return createArchive;
    }
    bool offerConversion(const QString &mdb) override
    {
        offered << mdb;
        return acceptConversion;
    }
    // The real import, as the progress window runs it.
    bool convert(const QString &mdb, const QString &destination) override
    {
        converted << mdb + QStringLiteral(" -> ") + destination;
        if (conversionFails)
            return false;
        return migration::importArchive(mdb, destination).ok();
    }
    std::optional<QString> administratorPassword() override
    {
        asked << QStringLiteral("password");
        if (passwords.isEmpty())
            return password;
        return passwords.takeFirst();
    }
    bool retryPassword() override
    {
        asked << QStringLiteral("again?");
        return retryWrongPassword;
    }
    void showCompanyName(const QString &name) override { companies << name; }
    bool retryAfter(const QString &message) override
    {
        failures << message;
        return std::exchange(retry, false);
    }
};

// A program folder, its data module and options, and the sequence over them.
struct Office
{
    QTemporaryDir folder;
    std::unique_ptr<FreshArchive> onServer;
    QString archive = folder.filePath(QStringLiteral("archivio.sqlite"));
    Tform_DB data;
    OptionsStore options{data.shared()};
    StartupSequence sequence{{folder.path(), data.Connessione(),
                              [this] { return data.computerName(); }, options,
                              [this] { return data.reopenSharedDataSets(); }}};

    explicit Office(bool withArchive = true)
    {
        if (!withArchive)
            return;
        onServer = FreshArchive::namedInProgramFolder(folder.path());
        if (onServer)
            archive = onServer->path();
        else
            (void)schema::createArchive(archive);
    }
    void exec(const QString &sql, const QVariantList &values = {})
    {
        auto c = db::openArchive(archive);
        QVERIFY(c.ok());
        QVERIFY2((*c)->runNative(sql, values).ok(), qPrintable(sql));
    }
    // The schema's indexes of Calendario as the engine lists them, in lower case and in order.
    QStringList calendarIndexes()
    {
        auto c = db::openArchive(archive);
        if (!c)
            return {};
        const db::Result<db::RowSet> rows = (*c)->runNative(
            onServer ? QStringLiteral("SELECT indexname FROM pg_indexes WHERE schemaname = "
                                      "current_schema() AND tablename = 'calendario'")
                     : QStringLiteral("SELECT name FROM sqlite_schema WHERE type = 'index' "
                                      "AND tbl_name = 'Calendario'"));
        QStringList names;
        if (rows) {
            // The key's own index on a server is not one of the schema's.
            for (const QVariantList &row : rows->rows) {
                const QString name = row.value(0).toString().toLower();
                if (name.startsWith(u"idx"))
                    names.append(name);
            }
        }
        names.sort();
        return names;
    }
    // The Windows version's sample archive, copied to `name` in the program's folder.
    QString copySample(const QString &name = QStringLiteral("archivio.mdb"))
    {
        const QString target = folder.filePath(name);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(QStringLiteral(CALVETRA_TEST_DATA "/jet/data/archivio-esempio.mdb"), target);
        return target;
    }
    QString pathFile() const
    {
        QFile f(folder.filePath(QStringLiteral("percorso.txt")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    }
    void writeFile(const QString &name, const QByteArray &text)
    {
        QFile f(folder.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
};

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 0))); }
    void cleanup() { db::clock::useSystemTime(); }

    void aNewcomerGetsAnArchiveWithoutAQuestion()
    {
        if (FreshArchive::onServer())
            QSKIP("a first start makes an archive file");
        Office office(false);
        ScriptedPrompts prompts;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        QVERIFY(prompts.asked.isEmpty());
        QVERIFY(QFile::exists(office.archive));
        QCOMPARE(prompts.archives.last(), office.archive);
        QCOMPARE(prompts.companies, QStringList{QString()});
    }

    void aMissingArchiveNamedByTheUserIsAskedFor_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("created") << true;
        QTest::newRow("refused") << false;
    }
    void aMissingArchiveNamedByTheUserIsAskedFor()
    {
        if (FreshArchive::onServer())
            QSKIP("a missing archive is a missing file");
        QFETCH(bool, yes);
        Office office(false);
        const QString wished = office.folder.filePath(QStringLiteral("dati.sqlite"));
        office.writeFile(QStringLiteral("percorso.txt"), wished.toUtf8() + '\n');
        ScriptedPrompts prompts;
        prompts.createArchive = yes;
        QCOMPARE(office.sequence.run(prompts),
                 yes ? StartupSequence::Outcome::Done : StartupSequence::Outcome::Terminate);
        QCOMPARE(prompts.asked, QStringList{wished});
        QCOMPARE(QFile::exists(wished), yes);
    }

    // archivio.mdb beside a program without an archive of its own is offered for conversion;
    // accepted, the new archive (with the old one's password and company) is the one in use.
    void aWindowsArchiveBesideTheProgramIsOfferedOnce_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("converted") << true;
        QTest::newRow("declined") << false;
    }
    void aWindowsArchiveBesideTheProgramIsOfferedOnce()
    {
        if (FreshArchive::onServer())
            QSKIP("the conversion writes an archive file");
        QFETCH(bool, accept);
        Office office(false);
        const QString mdb = office.copySample();
        const QByteArray original = [&] {
            QFile f(mdb);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        ScriptedPrompts prompts;
        prompts.acceptConversion = accept;
        prompts.password = QStringLiteral("segreta");
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        QCOMPARE(prompts.offered, QStringList{mdb});
        QVERIFY(QFile::exists(office.archive));
        QCOMPARE(office.pathFile(), office.archive);
        if (accept) {
            QCOMPARE(prompts.converted, QStringList{mdb + QStringLiteral(" -> ") + office.archive});
            // The imported options carry the password and the company their archive had.
            QCOMPARE(prompts.asked, QStringList{QStringLiteral("password")});
            QCOMPARE(prompts.companies.size(), 1);
            QVERIFY(!prompts.companies[0].isEmpty());
        } else {
            QVERIFY(prompts.converted.isEmpty());
            QCOMPARE(prompts.companies, QStringList{QString()});
        }
        QFile f(mdb);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), original);

        // Once the program has an archive of its own, nothing is offered again.
        ScriptedPrompts again;
        again.password = prompts.password;
        QCOMPARE(office.sequence.run(again), StartupSequence::Outcome::Done);
        QVERIFY(again.offered.isEmpty());
    }

    // percorso.txt as the Windows version wrote it: the file is found by its name beside the
    // program; the new archive does not overwrite one already in the default place.
    void aWindowsPathInThePathFileIsConverted()
    {
        if (FreshArchive::onServer())
            QSKIP("the conversion writes an archive file");
        Office office(false);
        (void)schema::createArchive(office.archive);
        const QString mdb = office.copySample();
        office.writeFile(QStringLiteral("percorso.txt"), "D:\\Dati\\archivio.mdb\r\n");
        ScriptedPrompts prompts;
        prompts.acceptConversion = true;
        prompts.password = QStringLiteral("segreta");
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        const QString converted = office.folder.filePath(QStringLiteral("archivio-2.sqlite"));
        QCOMPARE(prompts.offered, QStringList{mdb});
        QCOMPARE(office.pathFile(), converted);
        QCOMPARE(prompts.archives.last(), converted);
        QVERIFY(prompts.failures.isEmpty());
    }

    // What cannot be used says why, and nothing is written: a named archive not found, one
    // declined, a conversion stopped.
    void aWindowsArchiveThatCannotBeUsedStopsTheStart_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("failure");
        QTest::newRow("not found") << false << false << "non si trova";
        QTest::newRow("declined") << true << false << "va convertito";
        QTest::newRow("stopped") << true << true << "";
    }
    void aWindowsArchiveThatCannotBeUsedStopsTheStart()
    {
        if (FreshArchive::onServer())
            QSKIP("the conversion writes an archive file");
        QFETCH(bool, present);
        QFETCH(bool, accept);
        QFETCH(QString, failure);
        Office office(false);
        if (present)
            office.copySample(QStringLiteral("vecchio/dati.mdb"));
        office.writeFile(QStringLiteral("percorso.txt"), "vecchio/dati.mdb\n");
        ScriptedPrompts prompts;
        prompts.acceptConversion = accept;
        prompts.conversionFails = true;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Terminate);
        if (failure.isEmpty()) {
            QVERIFY(prompts.failures.isEmpty());
            QCOMPARE(prompts.converted.size(), 1);
        } else {
            QCOMPARE(prompts.failures.size(), 1);
            QVERIFY2(prompts.failures[0].contains(failure), qPrintable(prompts.failures[0]));
            QVERIFY(prompts.converted.isEmpty());
        }
        QCOMPARE(office.pathFile(), QStringLiteral("vecchio/dati.mdb"));
        QVERIFY(!QFile::exists(office.archive));
        QVERIFY(prompts.asked.isEmpty());
    }

    // The main window's command: a chosen file, converted beside the archive in use, which is
    // left as it was; percorso.txt names the new one.
    void theCommandConvertsAChosenArchive()
    {
        if (FreshArchive::onServer())
            QSKIP("the conversion writes an archive file");
        Office office;
        ScriptedPrompts prompts;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        QTemporaryDir elsewhere;
        const QString mdb = elsewhere.filePath(QStringLiteral("Archivio Studio.MDB"));
        QVERIFY(
            QFile::copy(QStringLiteral(CALVETRA_TEST_DATA "/jet/data/archivio-esempio.mdb"), mdb));
        const db::Result<bool> converted = office.sequence.convertArchive(prompts, mdb);
        QVERIFY2(converted.ok(), qPrintable(converted.message()));
        QVERIFY(*converted);
        const QString created = office.folder.filePath(QStringLiteral("archivio-2.sqlite"));
        QCOMPARE(office.pathFile(), created);
        QVERIFY(QFile::exists(office.archive));

        prompts.conversionFails = true;
        const db::Result<bool> stopped = office.sequence.convertArchive(prompts, mdb);
        QVERIFY(stopped.ok());
        QVERIFY(!*stopped);
        QCOMPARE(office.pathFile(), created);
    }

    // What is typed, in turn ("-" for "Annulla"), whether a wrong one is tried again, and what
    // the user is asked on the way.
    void theAdministratorPasswordDecides_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<bool>("again");
        QTest::addColumn<bool>("continues");
        QTest::addColumn<QStringList>("asked");
        const QString p = QStringLiteral("password"), a = QStringLiteral("again?");
        QTest::newRow("right") << QStringList{"segreta"} << false << true << QStringList{p};
        QTest::newRow("wrong, not again")
            << QStringList{"Segreta"} << false << false << QStringList{p, a};
        QTest::newRow("wrong, then right")
            << QStringList{"Segreta", "", "segreta"} << true << true << QStringList{p, a, p, a, p};
        QTest::newRow("nothing") << QStringList{""} << false << false << QStringList{p, a};
        QTest::newRow("annulla") << QStringList{"-"} << true << false << QStringList{p};
    }
    void theAdministratorPasswordDecides()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, again);
        QFETCH(bool, continues);
        Office office;
        office.exec(QStringLiteral("UPDATE opzioni SET PasswordAmministratore = ?"),
                    {*derivePasswordKey(QStringLiteral("segreta"))});
        office.exec(QStringLiteral("UPDATE ditta SET RagSoc = ?"),
                    {QStringLiteral("Studio Rossi")});
        ScriptedPrompts prompts;
        for (const QString &t : typed)
            prompts.passwords << (t == u"-" ? std::nullopt : std::optional<QString>(t));
        prompts.password = QStringLiteral("mai");
        prompts.retryWrongPassword = again;
        QCOMPARE(office.sequence.run(prompts),
                 continues ? StartupSequence::Outcome::Done : StartupSequence::Outcome::Terminate);
        QTEST(prompts.asked, "asked");
        // The company is read only past the password.
        QCOMPARE(prompts.companies,
                 continues ? QStringList{QStringLiteral("Studio Rossi")} : QStringList());
        QVERIFY(prompts.failures.isEmpty());
    }

    // An archive made before the reminders and the contact's name in the agenda had their
    // indexes gets them at its next start, and keeps its appointments.
    void anEarlierArchiveGetsTheIndexesItLacks()
    {
        Office office;
        office.exec(QStringLiteral("INSERT INTO Calendario (Cliente, DataAvviso, Conclusa) "
                                   "VALUES ('Rossi', ?, false)"),
                    {db::naiveDateTime(QDate(2026, 12, 1))});
        office.exec(QStringLiteral("DROP INDEX IdxCalendarioAvvisi"));
        office.exec(QStringLiteral("DROP INDEX IdxCalendarioNominativo"));
        QCOMPARE(office.calendarIndexes(), QStringList({QStringLiteral("idxcalendariocliente"),
                                                        QStringLiteral("idxcalendariodata")}));
        ScriptedPrompts prompts;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        QVERIFY2(prompts.failures.isEmpty(), qPrintable(prompts.failures.join(u'\n')));
        const QStringList all = {
            QStringLiteral("idxcalendarioavvisi"), QStringLiteral("idxcalendariocliente"),
            QStringLiteral("idxcalendariodata"), QStringLiteral("idxcalendarionominativo")};
        QCOMPARE(office.calendarIndexes(), all);
        auto c = db::openArchive(office.archive);
        QVERIFY(c.ok());
        const db::Result<db::RowSet> reminders =
            (*c)->run(AgendaStore::remindersSql(QDate(2026, 12, 7)));
        QVERIFY(reminders.ok());
        QCOMPARE(reminders->rows.size(), 1);

        // Found the next time: nothing is created again, and nothing fails.
        ScriptedPrompts again;
        QCOMPARE(office.sequence.run(again), StartupSequence::Outcome::Done);
        QVERIFY(again.failures.isEmpty());
        QCOMPARE(office.calendarIndexes(), all);
    }

    // One lacking is added without the other being made twice; a new archive lacks none.
    void onlyTheLackingIndexIsAdded()
    {
        Office office;
        QCOMPARE(office.calendarIndexes().size(), 4);
        office.exec(QStringLiteral("DROP INDEX IdxCalendarioNominativo"));
        auto c = db::openArchive(office.archive);
        QVERIFY(c.ok());
        QVERIFY(schema::addMissingIndexes(**c).ok());
        QVERIFY(schema::addMissingIndexes(**c).ok());
        c->reset();
        QCOMPARE(office.calendarIndexes().size(), 4);
    }

    void aFailingUpdateIsOfferedAgainThenEnds()
    {
        Office office;
        const QString script =
            office.onServer
                ? office.folder.filePath(QStringLiteral("SQLAggio.sql"))
                : QFileInfo(office.archive).dir().filePath(QStringLiteral("SQLAggio.sql"));
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("CREATE TABLE A (X LONG);\nSELECT * FROM NonCiSono;\n");
        f.close();
        ScriptedPrompts prompts;
        prompts.retry = true;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Terminate);
        QCOMPARE(prompts.failures.size(), 2);
        QVERIFY2(prompts.failures[0].contains(QStringLiteral("SQLAggio.sql")),
                 qPrintable(prompts.failures[0]));
        QVERIFY(QFile::exists(script));
    }

    void birthdaysAndRemindersOfTheDay()
    {
        Office office;
        office.exec(
            QStringLiteral("INSERT INTO Contatti (ID, Cognome, Nome, DataNascita, Annullato) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {501, QStringLiteral("Rossi"), QStringLiteral("Anna"),
             db::naiveDateTime(QDate(1970, 12, 24)), false});
        office.exec(QStringLiteral("INSERT INTO Calendario (Id, Data, DataAvviso, Cliente, Note, "
                                   "Conclusa, Storico) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    {1, db::naiveDateTime(QDate(2026, 12, 9)),
                     db::naiveDateTime(QDate(2026, 12, 7)), QStringLiteral("Rossi Anna"),
                     QStringLiteral("telefonare"), false, false});
        ScriptedPrompts prompts;
        QCOMPARE(office.sequence.run(prompts), StartupSequence::Outcome::Done);
        QCOMPARE(office.sequence.birthdays(),
                 QStringList{QStringLiteral("Rossi Anna :24/12/1970")});
        const auto due = office.sequence.dueReminders();
        QVERIFY(due.ok());
        QCOMPARE(due->due, 1);
        QVERIFY(due->grid.size() > 1);
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
