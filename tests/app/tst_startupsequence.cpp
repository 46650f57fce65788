// The start-up sequence without a window: its questions answered from a script, on a program
// folder of its own (and, in the server run, an archive on the tests' server).

#include "app/startupsequence.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
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
    QString password;
    bool retry = false;

    void showArchive(const QString &archive) override { archives << archive; }
    bool confirmNewArchive(const QString &archive) override
    {
        asked << archive;
        return createArchive;
    }
    QString administratorPassword() override
    {
        asked << QStringLiteral("password");
        return password;
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

    void theAdministratorPasswordDecides_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("continues");
        QTest::newRow("right") << "segreta" << true;
        QTest::newRow("wrong") << "Segreta" << false;
        QTest::newRow("nothing") << "" << false;
    }
    void theAdministratorPasswordDecides()
    {
        QFETCH(QString, typed);
        QFETCH(bool, continues);
        Office office;
        office.exec(QStringLiteral("UPDATE opzioni SET PasswordAmministratore = ?"),
                    {*derivePasswordKey(QStringLiteral("segreta"))});
        office.exec(QStringLiteral("UPDATE ditta SET RagSoc = ?"),
                    {QStringLiteral("Studio Rossi")});
        ScriptedPrompts prompts;
        prompts.password = typed;
        QCOMPARE(office.sequence.run(prompts),
                 continues ? StartupSequence::Outcome::Done : StartupSequence::Outcome::Terminate);
        QCOMPARE(prompts.asked, QStringList{QStringLiteral("password")});
        // The company is read only past the password.
        QCOMPARE(prompts.companies,
                 continues ? QStringList{QStringLiteral("Studio Rossi")} : QStringList());
        QVERIFY(prompts.failures.isEmpty());
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
