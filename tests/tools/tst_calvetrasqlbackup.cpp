// calvetra-sql's backups, restores and answers to --help and --version, as a user runs them.

#include "db/core/archiveconnection.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

namespace {

using Run = ToolRun;

Run calvetraSql(const QStringList &arguments, const QByteArray &input = {})
{
    return runTool(QStringLiteral("calvetra-sql"), arguments, input);
}

} // namespace

class TestCalvetraSqlBackup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupThenRestoreOnlyAfterYes()
    {
        FreshArchive archive;
        archive.native(
            QStringLiteral("INSERT INTO Contatti (NominativoDocumenti) VALUES ('Rossi')"));
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        const Run backup = calvetraSql({QStringLiteral("--backup"), archive.path(), copy});
        QCOMPARE(backup.exitCode, 0);
        QVERIFY(backup.out.contains(QStringLiteral("controllata")));
        QCOMPARE(calvetraSql({QStringLiteral("--check"), copy}).exitCode, 0);

        archive.native(QStringLiteral("DELETE FROM Contatti"));
        const QStringList restore{QStringLiteral("--restore"), archive.path(), copy};
        for (const QByteArray &no : {QByteArray("n\n"), QByteArray()}) {
            const Run refused = calvetraSql(restore, no);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(refused.err.contains(QStringLiteral("annullato")));
            QCOMPARE(
                archive.native(QStringLiteral("SELECT count(*) FROM Contatti")).rows[0][0].toInt(),
                0);
        }
        const Run restored = calvetraSql(restore, "s\n");
        QCOMPARE(restored.exitCode, 0);
        QCOMPARE(archive.native(QStringLiteral("SELECT count(*) FROM Contatti")).rows[0][0].toInt(),
                 1);
        QCOMPARE(calvetraSql(restore + QStringList{QStringLiteral("--conferma")}).exitCode, 0);
    }

    // A restore that would be refused is refused before anyone is asked: the archive open in
    // the program, a copy that is not an archive.
    void refusalsComeBeforeTheQuestion()
    {
        FreshArchive archive;
        const QString copy = archive.folder() + QStringLiteral("/copia.sqlite");
        QCOMPARE(calvetraSql({QStringLiteral("--backup"), archive.path(), copy}).exitCode, 0);
        const QStringList restore{QStringLiteral("--restore"), archive.path(), copy};
        {
            db::ArchiveConnection program;
            QVERIFY(program.open(archive.path()));
            const Run refused = calvetraSql(restore, "s\n");
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains(QStringLiteral("è aperto")), qPrintable(refused.err));
            QVERIFY(!refused.out.contains(QStringLiteral("Continuare?")));
        }
        const QString notAnArchive = archive.folder() + QStringLiteral("/lettera.sqlite");
        QFile text(notAnArchive);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("Gentile cliente, ...");
        text.close();
        const Run bad = calvetraSql({QStringLiteral("--restore"), archive.path(), notAnArchive});
        QCOMPARE(bad.exitCode, 1);
        QVERIFY(!bad.out.contains(QStringLiteral("Continuare?")));
        QCOMPARE(calvetraSql(restore, "s\n").exitCode, 0);
    }

    // The way out for an office that forgot its administrator password: asked first, and
    // only a yes takes it away.
    void resetPasswordOnlyAfterYes()
    {
        FreshArchive archive;
        const QStringList reset{QStringLiteral("--reset-password"), archive.path()};
        const Run none = calvetraSql(reset);
        QCOMPARE(none.exitCode, 0);
        QVERIFY2(none.out.contains(QStringLiteral("non ha una password")), qPrintable(none.out));

        archive.native(QStringLiteral("UPDATE opzioni SET PasswordAmministratore = ?"),
                       {QStringLiteral("pbkdf2-sha256$600000$c2FsZQ==$a2V5")});
        const auto stored = [&] {
            return archive.native(QStringLiteral("SELECT PasswordAmministratore FROM opzioni"))
                .rows[0][0];
        };
        for (const QByteArray &no : {QByteArray("n\n"), QByteArray()}) {
            const Run refused = calvetraSql(reset, no);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(refused.out.contains(QStringLiteral("Continuare? [s/N]")));
            QVERIFY(!stored().isNull());
        }
        const Run done = calvetraSql(reset, "s\n");
        QCOMPARE(done.exitCode, 0);
        QVERIFY(stored().isNull());
        QCOMPARE(calvetraSql({QStringLiteral("--reset-password")}).exitCode, 2);
        QCOMPARE(calvetraSql({QStringLiteral("--reset-password"),
                              archive.folder() + QStringLiteral("/no.sqlite"),
                              QStringLiteral("--conferma")})
                     .exitCode,
                 1);
    }

    void onPostgresTheLineToRunIsShown()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copia.dump"));
        for (const QString &connection : {QStringLiteral("postgresql://ufficio@server/calvetra"),
                                          QStringLiteral("host=server dbname=calvetra")}) {
            const Run backup = calvetraSql({QStringLiteral("--backup"), connection, copy});
            QCOMPARE(backup.exitCode, 1);
            QVERIFY2(backup.err.contains(QStringLiteral("pg_dump --format=custom --file='%1' '%2'")
                                             .arg(copy, connection)),
                     qPrintable(backup.err));
            const Run restore = calvetraSql({QStringLiteral("--restore"), connection, copy});
            QVERIFY(restore.err.contains(QStringLiteral("pg_restore")));
            QVERIFY(!QFile::exists(copy));
        }
    }

    void helpAndVersion()
    {
        const Run help = calvetraSql({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith(QStringLiteral("Uso:")));
        QVERIFY(help.out.contains(QStringLiteral("--backup")));
        const Run version = calvetraSql({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY(version.out.startsWith(QStringLiteral("calvetra-sql ")));
        QCOMPARE(calvetraSql({QStringLiteral("--backup"), QStringLiteral("solo-uno")}).exitCode, 2);
    }
};

QTEST_MAIN(TestCalvetraSqlBackup)
#include "tst_calvetrasqlbackup.moc"
