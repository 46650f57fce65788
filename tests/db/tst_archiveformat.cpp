// The archive file as other SQLite tools see it: the standard sqlite3 command-line tool must
// either answer right or refuse because it does not know the program's collation; it must
// never find an index broken or return a wrong row. Archives of the first format, made here
// the old way (COLLATE NOCASE with the program's order in its place), are converted when the
// program opens them.

#include "db/core/archive.h"
#include "db/sqlite/collationconversion.h"
#include "db/sqlite/sqliteconnection.h"
#include "db/sqlite/sqlitefunctions.h"
#include "schema/archivecreator.h"
#include "testsupport.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <sqlite3.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run process(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000))
        return {-1, {}, QStringLiteral("timeout")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

Run sqlite3Tool(const QString &archive, const QString &sql)
{
    return process(QStringLiteral("sqlite3"), {archive, sql});
}

Run calvetraSql(const QStringList &arguments)
{
    return process(QStringLiteral(CALVETRA_BIN_DIR "/calvetra-sql"), arguments);
}

const QStringList kSurnames = {
    QStringLiteral("Zeta"),   QStringLiteral("Èlite"),   QStringLiteral("Edile"),
    QStringLiteral("alfa"),   QStringLiteral("Àlberti"), QStringLiteral("Bianchi"),
    QStringLiteral("Ùrsula"), QStringLiteral("zanetti"), QStringLiteral("Öz"),
    QStringLiteral("Çelik"),  QStringLiteral("Ugo"),     QStringLiteral("ZETA"),
};
const QStringList kComuni = {QStringLiteral("Forlì"),        QStringLiteral("Cantù"),
                             QStringLiteral("Zola Predosa"), QStringLiteral("Érbezzo"),
                             QStringLiteral("Agliè"),        QStringLiteral("Ala")};
constexpr int kContacts = 400;

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void fill(db::Connection &c)
{
    QVERIFY(c.begin().ok());
    for (int i = 0; i < kContacts; ++i) {
        QVERIFY(c.runNative(QStringLiteral("INSERT INTO Contatti (Cognome, Nome) VALUES (?, ?)"),
                            {kSurnames[i % kSurnames.size()], QStringLiteral("N%1").arg(i)})
                    .ok());
    }
    for (const QString &comune : kComuni) {
        QVERIFY(
            c.runNative(QStringLiteral("INSERT INTO Comuni (Comune) VALUES (?)"), {comune}).ok());
    }
    // The last key is deleted: the counter must still not hand it out again.
    QVERIFY(c.runNative(QStringLiteral("DELETE FROM Contatti WHERE ID = ?"), {kContacts}).ok());
    QVERIFY(c.commit().ok());
}

// An archive as the first format made it: texts COLLATE NOCASE, written by a connection with
// the program's order in the place of NOCASE.
void makeFirstFormatArchive(const QString &path)
{
    {
        auto created = db::SqliteConnection::open(path, db::SqliteConnection::Mode::CreateNew);
        QVERIFY(created.ok());
        QVERIFY((*created)->markAsArchive(db::kFirstArchiveFormat).ok());
        for (const char *sql :
             {"CREATE TABLE Contatti (ID INTEGER PRIMARY KEY AUTOINCREMENT, Cognome "
              "VARCHAR(100) COLLATE NOCASE, Nome VARCHAR(100) COLLATE NOCASE, Note LONGTEXT "
              "COLLATE NOCASE, Annullato BOOLEAN NOT NULL DEFAULT 0)",
              "CREATE INDEX IdxContattiCognomeNome ON Contatti (Cognome, Nome)",
              "CREATE TABLE Comuni (ID INTEGER PRIMARY KEY AUTOINCREMENT, Comune VARCHAR(100) "
              "COLLATE NOCASE, Provincia VARCHAR(2) COLLATE NOCASE)",
              "CREATE INDEX IdxComuniComune ON Comuni (Comune)",
              "CREATE TABLE Sesso (Sesso VARCHAR(1) COLLATE NOCASE PRIMARY KEY, Descrizione "
              "VARCHAR(50) COLLATE NOCASE)",
              "INSERT INTO Sesso VALUES ('M', 'Maschio'), ('F', 'Femmina')",
              "CREATE TABLE Pagamenti (Id INTEGER PRIMARY KEY AUTOINCREMENT, Contatto_ID "
              "INTEGER, Importo CURRENCY)",
              "CREATE INDEX IdxPagamentiContatto ON Pagamenti (Contatto_ID)",
              "INSERT INTO Pagamenti (Contatto_ID, Importo) VALUES (1, 12.5)",
              "CREATE VIEW Nominativi AS SELECT Cognome || ' ' || Nome AS Nominativo FROM "
              "Contatti",
              "CREATE TRIGGER ContattiNote AFTER INSERT ON Contatti WHEN new.Note IS NULL "
              "BEGIN UPDATE Contatti SET Note = 'nuovo' WHERE ID = new.ID; END"}) {
            QVERIFY2((*created)->runNative(QString::fromUtf8(sql)).ok(), sql);
        }
    }
    auto opened = db::SqliteConnection::open(path, db::SqliteConnection::Mode::Existing);
    QVERIFY(opened.ok());
    QCOMPARE((*opened)->formatVersion(), db::kFirstArchiveFormat);
    fill(**opened);
}

// The schema, the format and every contact of an archive, read as it is.
QList<QVariantList> wholeContent(const QString &path)
{
    auto opened = db::SqliteConnection::open(path, db::SqliteConnection::Mode::Existing);
    if (!opened)
        return {};
    QList<QVariantList> content = {{(*opened)->formatVersion()}};
    for (const char *sql :
         {"SELECT type, name, sql FROM sqlite_schema ORDER BY name",
          "SELECT * FROM sqlite_sequence ORDER BY name", "SELECT * FROM Contatti ORDER BY ID"}) {
        db::Result<db::RowSet> rows = (*opened)->runNative(QString::fromUtf8(sql));
        if (rows)
            content += rows->rows;
    }
    return content;
}

QStringList lines(const QString &text)
{
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// The keys of the contacts with this surname as the program reads them, through its index.
QStringList keysOf(db::Connection &c, const QString &surname)
{
    QStringList keys;
    db::Result<db::RowSet> rows = c.runNative(
        QStringLiteral("SELECT ID FROM Contatti WHERE Cognome = ? ORDER BY ID"), {surname});
    if (rows) {
        for (const QVariantList &row : std::as_const(rows->rows))
            keys.append(row[0].toString());
    }
    return keys;
}

// The same without an index: every row read and compared by the program's order.
QStringList keysByScan(db::Connection &c, const QString &surname)
{
    QStringList keys;
    const QByteArray wanted = surname.toUtf8();
    db::Result<db::RowSet> rows =
        c.runNative(QStringLiteral("SELECT ID, Cognome FROM Contatti NOT INDEXED ORDER BY ID"));
    if (rows) {
        for (const QVariantList &row : std::as_const(rows->rows)) {
            const QByteArray name = row[1].toString().toUtf8();
            if (db::compareNoCase(name.constData(), int(name.size()), wanted.constData(),
                                  int(wanted.size())) == 0)
                keys.append(row[0].toString());
        }
    }
    return keys;
}

} // namespace

class TestArchiveFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // What the conversion is for: the standard tool reads the first format by its own NOCASE
    // and finds the program's indexes broken.
    void firstFormatIsBrokenForOtherTools()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("vecchio.sqlite"));
        makeFirstFormatArchive(old);
        const Run check = sqlite3Tool(old, QStringLiteral("PRAGMA integrity_check"));
        QVERIFY2(check.out.contains(QStringLiteral("missing from index")), qPrintable(check.out));
    }

    void firstFormatIsConvertedOnceWithACopyFirst()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("archivio.sqlite"));
        makeFirstFormatArchive(path);
        const QList<QVariantList> before = wholeContent(path);
        {
            auto opened = db::openArchive(path);
            QVERIFY2(opened.ok(), qPrintable(opened.message()));
            db::Connection &c = **opened;
            QCOMPARE(c.runNative(QStringLiteral("PRAGMA user_version"))->rows[0][0].toInt(),
                     db::kArchiveFormat);
            const db::RowSet schema = *c.runNative(QStringLiteral(
                "SELECT name, sql FROM sqlite_schema WHERE sql IS NOT NULL ORDER BY name"));
            QStringList names;
            for (const QVariantList &row : schema.rows) {
                names.append(row[0].toString());
                QVERIFY2(db::withOwnCollation(row[1].toString()) == row[1].toString(),
                         qPrintable(row[1].toString()));
            }
            QCOMPARE(names, QStringList({"Comuni", "Contatti", "ContattiNote", "IdxComuniComune",
                                         "IdxContattiCognomeNome", "IdxPagamentiContatto",
                                         "Nominativi", "Pagamenti", "Sesso", "sqlite_sequence"}));
            // Rows, keys and the counter as they were; the view and the trigger still work.
            QCOMPARE(
                c.runNative(QStringLiteral("SELECT count(*) FROM Contatti"))->rows[0][0].toInt(),
                kContacts - 1);
            for (const QString &surname : kSurnames) {
                QVERIFY(!keysOf(c, surname).isEmpty());
                QCOMPARE(keysOf(c, surname), keysByScan(c, surname));
            }
            QVERIFY(c.runNative(QStringLiteral("INSERT INTO Contatti (Cognome) VALUES ('Nuovo')"))
                        .ok());
            const db::RowSet added = *c.runNative(
                QStringLiteral("SELECT ID, Note FROM Contatti WHERE Cognome = 'NUOVO'"));
            QCOMPARE(added.rows.size(), 1);
            QCOMPARE(added.rows[0][0].toInt(), kContacts + 1);
            QCOMPARE(added.rows[0][1].toString(), QStringLiteral("nuovo"));
            QCOMPARE(
                c.runNative(QStringLiteral("SELECT count(*) FROM Nominativi"))->rows[0][0].toInt(),
                kContacts);
            QCOMPARE(c.runNative(QStringLiteral("SELECT Descrizione FROM Sesso WHERE Sesso = 'm'"))
                         ->rows.value(0)
                         .value(0)
                         .toString(),
                     QStringLiteral("Maschio"));
        }
        // The copy is the archive as it was before.
        QCOMPARE(wholeContent(db::backupPath(path)), before);
        QVERIFY(QFile::remove(db::backupPath(path)));
        const QByteArray converted = contentOf(path);
        QVERIFY(db::openArchive(path).ok());
        QVERIFY(!QFile::exists(db::backupPath(path)));
        QCOMPARE(contentOf(path), converted);
        const Run check = calvetraSql({QStringLiteral("--check"), path});
        QCOMPARE(check.exitCode, 0);
    }

    void otherToolsAnswerRightOrRefuse_data()
    {
        QTest::addColumn<bool>("converted");
        QTest::newRow("new archive") << false;
        QTest::newRow("converted archive") << true;
    }
    void otherToolsAnswerRightOrRefuse()
    {
        QFETCH(bool, converted);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("archivio.sqlite"));
        if (converted) {
            makeFirstFormatArchive(path);
        } else {
            QVERIFY(schema::createArchive(path).ok());
            auto opened = db::openArchive(path);
            QVERIFY(opened.ok());
            fill(**opened);
        }
        auto opened = db::openArchive(path);
        QVERIFY(opened.ok());
        db::Connection &c = **opened;

        // Whether the tool answered; a wrong answer or an unexpected failure fails the test.
        const auto tool = [&](const QString &sql, const QStringList &right) {
            const Run run = sqlite3Tool(path, sql);
            if (run.exitCode != 0) {
                const QString refusal = QStringLiteral("no such collation sequence: ") +
                                        QLatin1String(db::kTextCollation);
                if (!run.err.contains(refusal))
                    QTest::qFail(qPrintable(sql + u'\n' + run.err), __FILE__, __LINE__);
                return false;
            }
            if (lines(run.out) != right)
                QTest::qFail(qPrintable(sql + QStringLiteral(" gave ") + run.out), __FILE__,
                             __LINE__);
            return true;
        };
        tool(QStringLiteral("PRAGMA integrity_check"), {QStringLiteral("ok")});
        tool(QStringLiteral("PRAGMA quick_check"), {QStringLiteral("ok")});
        tool(QStringLiteral("SELECT ID FROM Contatti WHERE Cognome = 'ZETA' ORDER BY ID"),
             keysByScan(c, QStringLiteral("zeta")));
        tool(QStringLiteral("SELECT ID FROM Comuni WHERE Comune = 'FORLÌ' ORDER BY ID"),
             keysOfComune(c, QStringLiteral("Forlì")));
        // A read by key needs no text order and works.
        QVERIFY(
            tool(QStringLiteral("SELECT Nome FROM Contatti WHERE ID = 3"), {QStringLiteral("N2")}));
        QVERIFY(!QTest::currentTestFailed());

        // Writes: whatever the tool does, the program's indexes must still find every row.
        const int count =
            c.runNative(QStringLiteral("SELECT count(*) FROM Contatti"))->rows[0][0].toInt();
        int expected = count;
        if (tool(QStringLiteral("DELETE FROM Contatti WHERE ID = 5"), {}))
            --expected;
        if (tool(QStringLiteral("INSERT INTO Contatti (Cognome, Nome) VALUES ('Zeta', 'x')"), {}))
            ++expected;
        tool(QStringLiteral("UPDATE Contatti SET Cognome = 'Èlite' WHERE ID = 7"), {});
        tool(QStringLiteral("REINDEX"), {});
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(c.runNative(QStringLiteral("SELECT count(*) FROM Contatti"))->rows[0][0].toInt(),
                 expected);
        for (const QString &surname : kSurnames)
            QCOMPARE(keysOf(c, surname), keysByScan(c, surname));
        const Run check = calvetraSql({QStringLiteral("--check"), path});
        QCOMPARE(check.exitCode, 0);
        QVERIFY2(check.out.contains(QStringLiteral("è integro")), qPrintable(check.out));
    }

    void checkSaysWhetherTheArchiveIsSound()
    {
        QTemporaryDir dir;
        const QString old = dir.filePath(QStringLiteral("vecchio.sqlite"));
        makeFirstFormatArchive(old);
        const QByteArray before = contentOf(old);
        const Run earlier = calvetraSql({QStringLiteral("--check"), old});
        QCOMPARE(earlier.exitCode, 0);
        QVERIFY(earlier.out.contains(QStringLiteral("è integro")));
        QVERIFY(earlier.out.contains(QStringLiteral("formato precedente")));
        QCOMPARE(contentOf(old), before);

        // An index written by another order than the program's is what the check is for.
        FreshArchive archive;
        archive.native(QStringLiteral("INSERT INTO Contatti (Cognome) VALUES ('x')"));
        {
            sqlite3 *raw = nullptr;
            QCOMPARE(sqlite3_open(archive.path().toUtf8().constData(), &raw), SQLITE_OK);
            const auto reversed = [](void *, int an, const void *a, int bn, const void *b) {
                return -db::compareNoCase(static_cast<const char *>(a), an,
                                          static_cast<const char *>(b), bn);
            };
            sqlite3_create_collation_v2(raw, db::kTextCollation, SQLITE_UTF8, nullptr, reversed,
                                        nullptr);
            for (const QString &surname : kSurnames) {
                const QByteArray sql =
                    "INSERT INTO Contatti (Cognome) VALUES ('" + surname.toUtf8() + "')";
                QCOMPARE(sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
            }
            sqlite3_close(raw);
        }
        const Run damaged = calvetraSql({QStringLiteral("--check"), archive.path()});
        QVERIFY(damaged.exitCode != 0);
        QVERIFY2(damaged.out.contains(QStringLiteral("è danneggiato")), qPrintable(damaged.out));
        QVERIFY(damaged.out.contains(QStringLiteral("IdxContattiCognomeNome")));

        const Run missing = calvetraSql({QStringLiteral("--check"), dir.filePath("manca")});
        QVERIFY(missing.exitCode != 0);
        QVERIFY(missing.err.contains(QStringLiteral("non esiste")));
    }

private:
    static QStringList keysOfComune(db::Connection &c, const QString &name)
    {
        QStringList keys;
        db::Result<db::RowSet> rows = c.runNative(
            QStringLiteral("SELECT ID FROM Comuni WHERE Comune = ? ORDER BY ID"), {name});
        for (const QVariantList &row : rows->rows)
            keys.append(row[0].toString());
        return keys;
    }
};

QTEST_GUILESS_MAIN(TestArchiveFormat)
#include "tst_archiveformat.moc"
