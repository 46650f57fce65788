// calvetra-sql --import-mdb as a user runs it: an archive of the Windows version becomes a new
// archive, file or server database; refused and damaged imports leave nothing behind.

#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSample = QStringLiteral(CALVETRA_TEST_DATA "/jet/data/archivio-esempio.mdb");

using Run = ToolRun;

Run calvetraSql(const QStringList &arguments)
{
    return runTool(QStringLiteral("calvetra-sql"), arguments, {}, 120);
}

} // namespace

class TestCalvetraSqlImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_onServer = qEnvironmentVariable("CALVETRA_TEST_ENGINE") == u"postgresql";
    }

    void init()
    {
        if (!m_onServer) {
            m_destination = m_dir.filePath(QStringLiteral("nuovo-%1.sqlite").arg(++m_count));
            return;
        }
        m_destination = emptyServerDatabase(QStringLiteral("calvetra_mdb_%1_%2")
                                                .arg(QCoreApplication::applicationPid())
                                                .arg(++m_count));
    }

    void cleanup()
    {
        if (m_onServer)
            dropServerDatabase(m_destination);
    }

    void theSampleBecomesAnArchive()
    {
        const Run imported = calvetraSql({QStringLiteral("--import-mdb"), kSample, m_destination});
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
        QVERIFY(imported.out.contains(QStringLiteral("Contatti\t40")));
        QVERIFY(imported.out.contains(QStringLiteral("Pagamenti\t20")));
        const Run count =
            calvetraSql({m_destination, QStringLiteral("select count(*) as n from Contatti")});
        QCOMPARE(count.exitCode, 0);
        QCOMPARE(count.out.split(u'\n').value(1), QStringLiteral("40"));
        const Run sum = calvetraSql(
            {m_destination,
             QStringLiteral("select sum(Importo) as s from Pagamenti where Importo = 1234.5678")});
        QCOMPARE(sum.exitCode, 0);
        QVERIFY2(sum.out.contains(QStringLiteral("1234.5678")), qPrintable(sum.out));
        // The new archive is sound.
        QCOMPARE(calvetraSql({QStringLiteral("--check"), m_destination}).exitCode, 0);
    }

    void anArchiveAlreadyThereIsRefusedUntouched()
    {
        QVERIFY(calvetraSql({QStringLiteral("--import-mdb"), kSample, m_destination}).exitCode ==
                0);
        const Run before =
            calvetraSql({m_destination, QStringLiteral("select count(*) as n from Comuni")});
        const Run again = calvetraSql({QStringLiteral("--import-mdb"), kSample, m_destination});
        QCOMPARE(again.exitCode, 1);
        QVERIFY(!again.err.isEmpty());
        QCOMPARE(
            calvetraSql({m_destination, QStringLiteral("select count(*) as n from Comuni")}).out,
            before.out);
    }

    void aDamagedFileLeavesNothingBehind_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QFile sample(kSample);
        if (!sample.open(QIODevice::ReadOnly))
            qFatal("no sample");
        const QByteArray whole = sample.readAll();
        QTest::newRow("truncated") << whole.left(whole.size() / 2 + 100);
        QTest::newRow("not a Jet file") << QByteArray("Cognome;Nome\nRossi;Mario\n");
    }
    void aDamagedFileLeavesNothingBehind()
    {
        QFETCH(QByteArray, bytes);
        const QString bad = m_dir.filePath(QStringLiteral("danneggiato.mdb"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const Run refused = calvetraSql({QStringLiteral("--import-mdb"), bad, m_destination});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("danneggiato.mdb")), qPrintable(refused.err));
        if (!m_onServer) {
            QVERIFY(!QFile::exists(m_destination));
        } else {
            // The server's database is still empty: an import into it runs.
            QCOMPARE(calvetraSql({QStringLiteral("--import-mdb"), kSample, m_destination}).exitCode,
                     0);
        }
    }

    void aWrongCommandLine()
    {
        QCOMPARE(calvetraSql({QStringLiteral("--import-mdb"), kSample}).exitCode, 2);
    }

private:
    QTemporaryDir m_dir;
    bool m_onServer = false;
    QString m_destination;
    int m_count = 0;
};

QTEST_GUILESS_MAIN(TestCalvetraSqlImport)
#include "tst_calvetrasqlimport.moc"
