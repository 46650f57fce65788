// Where the program finds the Windows version's archive when it starts, and where a converted
// archive goes.

#include "migration/windowsarchive.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestWindowsArchive : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_program, m_config;

    void touch(const QString &path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

private Q_SLOTS:
    void init()
    {
        QDir(m_dir.path()).removeRecursively();
        m_program = m_dir.filePath(QStringLiteral("programma"));
        m_config = m_dir.filePath(QStringLiteral("configurazione"));
        QVERIFY(QDir().mkpath(m_program));
        QVERIFY(QDir().mkpath(m_config));
    }

    void aWindowsPathIsLookedForByItsName()
    {
        const QString named = QStringLiteral("D:\\Dati\\Archivio.mdb");
        QCOMPARE(migration::findWindowsArchive(named, m_program, m_config, true), std::nullopt);
        touch(QDir(m_config).filePath(QStringLiteral("Archivio.mdb")));
        QCOMPARE(migration::findWindowsArchive(named, m_program, m_config, true),
                 QDir(m_config).filePath(QStringLiteral("Archivio.mdb")));
        // Beside the program first.
        touch(QDir(m_program).filePath(QStringLiteral("Archivio.mdb")));
        QCOMPARE(migration::findWindowsArchive(named, m_program, m_config, true),
                 QDir(m_program).filePath(QStringLiteral("Archivio.mdb")));
    }

    void aPathOfThisSystemIsTakenAsItIs()
    {
        touch(QDir(m_program).filePath(QStringLiteral("vecchio/archivio.MDB")));
        QCOMPARE(migration::findWindowsArchive(QStringLiteral("vecchio/archivio.MDB"), m_program,
                                               m_config, true),
                 QDir(m_program).filePath(QStringLiteral("vecchio/archivio.MDB")));
    }

    void archivioMdbBesideAProgramWithoutAnArchive()
    {
        QCOMPARE(migration::findWindowsArchive(QString(), m_program, m_config, false),
                 std::nullopt);
        touch(QDir(m_program).filePath(QStringLiteral("archivio.mdb")));
        QCOMPARE(migration::findWindowsArchive(QString(), m_program, m_config, false),
                 QDir(m_program).filePath(QStringLiteral("archivio.mdb")));
        // Once the program has an archive of its own, the old file no longer matters.
        QCOMPARE(migration::findWindowsArchive(QString(), m_program, m_config, true), std::nullopt);
        QCOMPARE(migration::findWindowsArchive(QStringLiteral("/dati/archivio.sqlite"), m_program,
                                               m_config, false),
                 QDir(m_program).filePath(QStringLiteral("archivio.mdb")));
    }

    void aConvertedArchiveTakesAFreeName()
    {
        const QString wished = QDir(m_program).filePath(QStringLiteral("archivio.sqlite"));
        QCOMPARE(migration::freeArchivePath(wished), wished);
        touch(wished);
        QCOMPARE(migration::freeArchivePath(wished),
                 QDir(m_program).filePath(QStringLiteral("archivio-2.sqlite")));
        touch(QDir(m_program).filePath(QStringLiteral("archivio-2.sqlite")));
        QCOMPARE(migration::freeArchivePath(wished),
                 QDir(m_program).filePath(QStringLiteral("archivio-3.sqlite")));
    }
};

QTEST_APPLESS_MAIN(TestWindowsArchive)
#include "tst_windowsarchive.moc"
