// The factory as the layers above see it: which engine a location goes to, what it refuses and
// what it answers for an archive whose copies the program does not make itself.

#include "db/core/archive.h"
#include "testsupport.h"

#include <QDir>
#include <QTest>

class TestArchiveFactory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // An address of a kind no engine knows is refused as such, never taken for a file name.
    void unknownKindOfAddressIsRefusedByEveryOperation()
    {
        QTemporaryDir dir;
        const QString location = QStringLiteral("mysql://ufficio/archivio");
        const auto refused = [&](const QString &message) {
            return message == QStringLiteral("Tipo di archivio sconosciuto: ") + location;
        };
        QVERIFY(!db::isServerLocation(location));
        QVERIFY(refused(db::openArchive(location).message()));
        QVERIFY(refused(db::openArchiveToRead(location).message()));
        QVERIFY(refused(db::checkArchive(location).message()));
        QVERIFY(refused(db::backupArchive(location, dir.filePath(QStringLiteral("c"))).message()));
        QVERIFY(refused(db::restoreArchive(dir.filePath(QStringLiteral("c")), location).message()));
        bool built = false;
        const db::Status created = db::createArchive(location, [&](db::Connection &) {
            built = true;
            return db::Status();
        });
        QVERIFY(refused(created.message()));
        QVERIFY(!built);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void onlyServerArchivesAreCopiedByHand()
    {
        QVERIFY(db::backupAdvice(QStringLiteral("/srv/ufficio/archivio.sqlite"),
                                 QStringLiteral("/tmp/copia.sqlite"), false)
                    .isEmpty());
        const QString server = QStringLiteral("postgresql://calvetra@server/l'ufficio");
        const QString copying = db::backupAdvice(server, QStringLiteral("/tmp/copia"), false);
        QVERIFY2(copying.contains(QStringLiteral("pg_dump --format=custom --file='/tmp/copia' "
                                                 "'postgresql://calvetra@server/l'\\''ufficio'")),
                 qPrintable(copying));
        const QString restoring = db::backupAdvice(server, QStringLiteral("/tmp/copia"), true);
        QVERIFY2(restoring.contains(QStringLiteral("pg_restore --clean --if-exists --no-owner "
                                                   "--dbname='postgresql://calvetra@server/"
                                                   "l'\\''ufficio' '/tmp/copia'")),
                 qPrintable(restoring));
        // Asked to do it anyway, the server's archive answers with the same words.
        QCOMPARE(db::backupArchive(server, QStringLiteral("/tmp/copia")).message(), copying);
        QCOMPARE(db::restoreArchive(QStringLiteral("/tmp/copia"), server).message(), restoring);
    }

    // Only a server takes a copy of an archive: a file is never written by a copy.
    void copyIntoAFileIsRefusedBeforeAnythingIsWritten()
    {
        FreshArchive source;
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("copia.sqlite"));
        bool tablesCreated = false;
        const db::Result<QString> copied = db::copyArchive(
            source.path(), target,
            [&](db::Connection &) {
                tablesCreated = true;
                return db::Status();
            },
            [](const QString &, qint64) {});
        QVERIFY(!copied.ok());
        QVERIFY(!tablesCreated);
        QVERIFY(!QFile::exists(target));
    }

    // The archive's own tables, each once, and none of the engine's.
    void tableNamesListTheArchiveTablesOnly()
    {
        FreshArchive archive;
        const db::Result<QStringList> tables = archive.connection().tableNames();
        QVERIFY2(tables.ok(), qPrintable(tables.message()));
        QStringList lower;
        for (const QString &table : *tables)
            lower.append(table.toLower());
        for (const char *table : {"contatti", "pagamenti", "comuni", "opzioni"})
            QVERIFY2(lower.contains(QLatin1String(table)), table);
        QCOMPARE(QSet<QString>(lower.begin(), lower.end()).size(), lower.size());
        for (const QString &table : std::as_const(lower))
            QVERIFY2(!table.startsWith(u"sqlite_"), qPrintable(table));
    }
};

QTEST_GUILESS_MAIN(TestArchiveFactory)
#include "tst_archivefactory.moc"
