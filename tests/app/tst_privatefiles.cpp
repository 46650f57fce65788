// The files that hold personal data are their owner's only, whatever the umask: a new archive
// and its side files, a backup copy, the vCard and calendar exports, the report runner's PDFs
// and data exports; in a folder shared by a group, the group's too. calvetra-sql --check says
// when an archive is readable by everybody.

#include "agenda/agendaexport.h"
#include "contacts/vcardexport.h"
#include "db/core/archive.h"
#include "db/core/archiveconnection.h"
#include "db/core/privatefiles.h"
#include "schema/archivecreator.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

unsigned modeOf(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return unsigned(st.st_mode & 07777);
}

// The umask of the test for as long as it lives.
struct Umask
{
    explicit Umask(mode_t mask) : previous(::umask(mask)) {}
    ~Umask() { ::umask(previous); }
    mode_t previous;
};

} // namespace

class TestPrivateFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (FreshArchive::onServer())
            QSKIP("the server keeps its own files");
    }

    void everyFileIsTheOwners_data()
    {
        QTest::addColumn<unsigned>("mask");
        QTest::addColumn<bool>("groupFolder");
        QTest::addColumn<unsigned>("expected");
        QTest::newRow("umask 022") << 022U << false << 0600U;
        QTest::newRow("umask 077") << 077U << false << 0600U;
        QTest::newRow("umask 000") << 000U << false << 0600U;
        QTest::newRow("group folder, umask 022") << 022U << true << 0660U;
        QTest::newRow("group folder, umask 077") << 077U << true << 0660U;
    }
    void everyFileIsTheOwners()
    {
        QFETCH(unsigned, mask);
        QFETCH(bool, groupFolder);
        QFETCH(unsigned, expected);
        QTemporaryDir dir;
        if (groupFolder)
            QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 02770) == 0);
        const Umask applied{mode_t(mask)};

        const QString archive = dir.filePath(QStringLiteral("archivio.sqlite"));
        QVERIFY(schema::createArchive(archive));
        QCOMPARE(modeOf(archive), expected);
        {
            db::ArchiveConnection program;
            QVERIFY(program.open(archive));
            QVERIFY(program.runNative(QStringLiteral("INSERT INTO Contatti (Cognome, Nome, "
                                                     "NominativoDocumenti) VALUES ('Rossi', "
                                                     "'Mario', 'Rossi Mario')")));
            QVERIFY(program.runNative(QStringLiteral(
                "INSERT INTO Calendario (Data, Cliente) VALUES ('2026-12-09 10:00:00', 'Rossi')")));
            for (const QString &side :
                 {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-postazioni")}) {
                if (QFile::exists(archive + side))
                    QCOMPARE(modeOf(archive + side), expected);
            }
            QVERIFY(QFile::exists(archive + QStringLiteral("-postazioni")));

            const db::Result<EsportazioneVCard> cards = esportaVCard(program, {1});
            QVERIFY(cards);
            const QString vcf = dir.filePath(QStringLiteral("rubrica.vcf"));
            QVERIFY(scriviFileVCard(vcf, cards->file));
            QCOMPARE(modeOf(vcf), expected);
            const QString ics = dir.filePath(QStringLiteral("agenda.ics"));
            QVERIFY(agenda::saveCalendar(ics, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"));
            QCOMPARE(modeOf(ics), expected);
        }
        // A copy is private even of an archive that was not.
        QVERIFY(::chmod(QFile::encodeName(archive).constData(), 0644) == 0);
        const QString copy = dir.filePath(QStringLiteral("copia.sqlite"));
        QVERIFY(db::backupArchive(archive, copy));
        QCOMPARE(modeOf(copy), expected);
        // A file that already existed, overwritten by an export, becomes private too.
        const QString old = dir.filePath(QStringLiteral("vecchio.ics"));
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(::chmod(QFile::encodeName(old).constData(), 0644) == 0);
        QVERIFY(agenda::saveCalendar(old, "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n"));
        QCOMPARE(modeOf(old), expected);
    }

    // The report runner's PDF and its data exports.
    void theRunnersFilesAreTheOwners()
    {
        QTemporaryDir dir;
        const Umask applied{022};
        const QString archive = dir.filePath(QStringLiteral("archivio.sqlite"));
        QVERIFY(schema::createArchive(archive));
        {
            db::ArchiveConnection program;
            QVERIFY(program.open(archive));
            QVERIFY(program.runNative(
                QStringLiteral("INSERT INTO TempStampa (NomeComputer, NomeReport, "
                               "NomeReportLandscape, Query, Filtro, Setup, PresenzaTestata) "
                               "VALUES ('PC1', ?, ?, 'SELECT * FROM Contatti', false, false, "
                               "true)"),
                {QStringLiteral(CALVETRA_BIN_DIR "/Agenda.rpt"),
                 QStringLiteral(CALVETRA_BIN_DIR "/AgendaLan.rpt")}));
        }
        for (const QString &name : {QStringLiteral("stampa.pdf"), QStringLiteral("dati.csv"),
                                    QStringLiteral("dati.html")}) {
            const QString out = dir.filePath(name);
            const QString option =
                name.endsWith(u".pdf") ? QStringLiteral("--pdf") : QStringLiteral("--export");
            const ToolRun run =
                runTool(QStringLiteral("stampa"),
                        {QStringLiteral("--archive"), archive, QStringLiteral("--workstation"),
                         QStringLiteral("PC1"), option, out},
                        {}, 120);
            QVERIFY2(run.exitCode == 0, qPrintable(run.err));
            QCOMPARE(modeOf(out), 0600U);
        }
    }

    // An archive every user can read is said, with the command that mends it; the check's
    // outcome does not change.
    void theCheckSaysWhenOthersCanRead()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath(QStringLiteral("archivio.sqlite"));
        QVERIFY(schema::createArchive(archive));
        ToolRun run = runTool(QStringLiteral("calvetra-sql"), {QStringLiteral("--check"), archive});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(!run.err.contains(QStringLiteral("Attenzione")), qPrintable(run.err));
        QVERIFY(::chmod(QFile::encodeName(archive).constData(), 0644) == 0);
        run = runTool(QStringLiteral("calvetra-sql"), {QStringLiteral("--check"), archive});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.contains(QStringLiteral("leggibile da tutti")), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("chmod 600 ") + archive));
    }
};

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "tst_privatefiles.moc"
