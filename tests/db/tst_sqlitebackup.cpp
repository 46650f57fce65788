// Backups of an archive in use and restoring them only when nobody has the archive open.

#include "db/core/archive.h"
#include "db/core/archiveconnection.h"
#include "db/sqlite/archiveuse.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

namespace {

qint64 contacts(const QString &archive)
{
    auto opened = db::openArchiveToRead(archive);
    if (!opened)
        qFatal("%s", qPrintable(opened.message()));
    return (*opened)
        ->runNative(QStringLiteral("SELECT count(*) FROM Contatti"))
        ->rows[0][0]
        .toLongLong();
}

void addContact(FreshArchive &archive, const char *name)
{
    archive.native(QStringLiteral("INSERT INTO Contatti (NominativoDocumenti) VALUES (?)"), {name});
}

} // namespace

class TestSqliteBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCopyIsTheCommittedArchiveWhileAnotherWriterIsMidway()
    {
        FreshArchive archive;
        addContact(archive, "Rossi Mario");
        // Another workstation has written a row and not committed it yet.
        auto other = db::openArchive(archive.path());
        QVERIFY(other);
        QVERIFY((*other)->begin());
        QVERIFY((*other)->runNative(QStringLiteral("INSERT INTO Contatti (NominativoDocumenti) "
                                                   "VALUES ('Verdi Anna')")));
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        const db::Status written = db::backupArchive(archive.path(), copy);
        QVERIFY2(written, qPrintable(written.message()));
        QVERIFY((*other)->rollback());
        QCOMPARE(contacts(copy), 1);
        auto check = db::checkArchive(copy);
        QVERIFY(check && check->problems.isEmpty());
    }

    void aFailedCopyLeavesTheOldCopyAsItWas()
    {
        FreshArchive archive;
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        QVERIFY(db::backupArchive(archive.path(), copy));
        const QString notAnArchive = archive.folder() + QStringLiteral("/testo.sqlite");
        QFile text(notAnArchive);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("non è un archivio");
        text.close();
        QVERIFY(!db::backupArchive(notAnArchive, copy));
        QVERIFY(!db::backupArchive(archive.path() + QStringLiteral(".manca"), copy));
        QVERIFY(!db::backupArchive(archive.path(), archive.path()));
        QCOMPARE(contacts(copy), 0);
        // Nothing half-written is left beside it.
        QCOMPARE(QDir(archive.folder()).entryList({QStringLiteral("copia.sqlite.*")}, QDir::Files),
                 QStringList());
    }

    void restoreWaitsUntilNobodyHasTheArchiveOpen()
    {
        FreshArchive archive;
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        QVERIFY(db::backupArchive(archive.path(), copy));
        addContact(archive, "Scritto dopo la copia");

        db::ArchiveConnection program;
        QVERIFY(program.open(archive.path()));
        const db::Status refused = db::restoreArchive(copy, archive.path());
        QVERIFY(!refused);
        QVERIFY2(refused.message().contains(QStringLiteral("aperto su un'altra postazione")),
                 qPrintable(refused.message()));
        QCOMPARE(contacts(archive.path()), 1);

        program.close();
        const db::Status restored = db::restoreArchive(copy, archive.path());
        QVERIFY2(restored, qPrintable(restored.message()));
        QCOMPARE(contacts(archive.path()), 0);
        QVERIFY(program.open(archive.path()));
    }

    void nobodyOpensTheArchiveWhileItIsRestored()
    {
        FreshArchive archive;
        db::Result<db::ArchiveUse> restoring = db::ArchiveUse::takeAlone(archive.path());
        QVERIFY(restoring);
        db::ArchiveConnection program;
        const db::Status opened = program.open(archive.path());
        QVERIFY(!opened);
        QVERIFY(opened.message().contains(QStringLiteral("ripristino")));
        *restoring = db::ArchiveUse();
        QVERIFY(program.open(archive.path()));
    }

    void aDamagedCopyIsNotRestored()
    {
        FreshArchive archive;
        addContact(archive, "Rossi Mario");
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        QVERIFY(db::backupArchive(archive.path(), copy));
        QFile damaged(copy);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        QVERIFY(damaged.resize(damaged.size() / 2));
        damaged.close();
        QVERIFY(!db::restoreArchive(copy, archive.path()));
        QCOMPARE(contacts(archive.path()), 1);
    }
};

QTEST_MAIN(TestSqliteBackup)
#include "tst_sqlitebackup.moc"
