#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "db/sqlite/sqliteconnection.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

} // namespace

class TestSqliteConnection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void whatIsNotAnArchiveIsRefusedUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("text file")
            << QByteArray("Nome;Cognome\nMario;Rossi\n") << "non è un archivio";
        QTest::newRow("empty file") << QByteArray() << "non è un archivio di Calvetra";
    }
    void whatIsNotAnArchiveIsRefusedUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("contatti.sqlite"));
        writeFile(path, content);
        const auto opened = db::openArchive(path);
        QVERIFY(!opened.ok());
        QVERIFY2(opened.message().contains(message), qPrintable(opened.message()));
        QVERIFY(opened.message().contains(path));
        QCOMPARE(contentOf(path), content);
    }

    void missingFileOrFolderIsRefusedAndNothingCreated()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("manca.sqlite"));
        const auto opened = db::openArchive(missing);
        QVERIFY(!opened.ok());
        QVERIFY(opened.message().contains(QStringLiteral("non esiste")));
        QVERIFY(!QFile::exists(missing));
        const auto folder = db::openArchive(dir.path());
        QVERIFY(!folder.ok());
        QVERIFY(folder.message().contains(QStringLiteral("cartella")));
    }

    void foreignSqliteFileIsNotAnArchive()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("altro.db"));
        {
            auto other = db::SqliteConnection::open(path, db::SqliteConnection::Mode::CreateNew);
            QVERIFY(other.ok());
            QVERIFY((*other)->runNative(QStringLiteral("create table x (a)")).ok());
        }
        const auto opened = db::openArchive(path);
        QVERIFY(!opened.ok());
        QVERIFY(opened.message().contains(QStringLiteral("non è un archivio di Calvetra")));
    }

    void lockedArchiveSaysSo()
    {
        FreshArchive archive;
        auto other =
            db::SqliteConnection::open(archive.path(), db::SqliteConnection::Mode::Existing);
        QVERIFY(other.ok());
        QVERIFY(archive.connection().begin().ok());
        archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('Dott.')"));
        (*other)->setLockWait(50);
        const db::Result<db::RowSet> blocked =
            (*other)->run(u"insert into Titoli (Descrizione) values ('Avv.')");
        QVERIFY(!blocked.ok());
        QVERIFY2(blocked.message().contains(QStringLiteral("bloccato da un'altra postazione")),
                 qPrintable(blocked.message()));
        QVERIFY(archive.connection().commit().ok());
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 1);
    }

    void valuesComeBackWithTheirKinds()
    {
        FreshArchive archive;
        const QString memo(5000, u'è');
        const QByteArray logo("BM\0\1\2", 5);
        QVERIFY(
            archive.connection()
                .runNative(
                    QStringLiteral("insert into Pagamenti (Contatto_ID, data, Descrizione, "
                                   "Importo) values (?, ?, ?, ?)"),
                    {1, db::naiveDateTime(QDate(2026, 3, 29), QTime(2, 30)), QString(), 1234.5678})
                .ok());
        QVERIFY(
            archive.connection()
                .runNative(QStringLiteral("update ditta set Logo = ?, RagSoc = ?"), {logo, memo})
                .ok());
        QVERIFY(
            archive.connection()
                .runNative(QStringLiteral("insert into Avvisi (Descrizione, Testo) values (?, ?)"),
                           {QStringLiteral("lungo"), memo})
                .ok());

        const db::RowSet payment = archive.run(QStringLiteral("select * from Pagamenti"));
        QCOMPARE(payment.columns[payment.columnIndex(u"data")].kind, db::FieldKind::Date);
        // 02:30 on the day clocks go forward in Italy: kept as typed, not moved.
        QCOMPARE(payment.value(0, u"DATA").toDateTime(),
                 db::naiveDateTime(QDate(2026, 3, 29), QTime(2, 30)));
        QVERIFY(payment.value(0, u"Descrizione").isNull());
        QCOMPARE(payment.value(0, u"Importo").toDouble(), 1234.5678);
        QCOMPARE(payment.columns[payment.columnIndex(u"importo")].kind, db::FieldKind::Currency);

        const db::RowSet ditta = archive.run(QStringLiteral("select Logo, RagSoc from ditta"));
        QCOMPARE(ditta.value(0, u"Logo").toByteArray(), logo);
        QCOMPARE(ditta.columns[0].kind, db::FieldKind::Binary);
        QCOMPARE(ditta.value(0, u"RagSoc").toString(), memo);

        const db::RowSet avviso = archive.run(QStringLiteral("select Testo from Avvisi"));
        QCOMPARE(avviso.columns[0].kind, db::FieldKind::Memo);
        QCOMPARE(avviso.value(0, u"Testo").toString().size(), 5000);

        const db::RowSet options =
            archive.run(QStringLiteral("select StampanteDefault from opzioni"));
        QCOMPARE(options.rows[0][0].typeId(), QMetaType::Bool);
    }

    void textsCompareAndSortRegardlessOfCaseAndAccent()
    {
        FreshArchive archive;
        for (const char *name : {"Zeta", "Èlite", "alfa", "Edile", "èlite"}) {
            QVERIFY(
                archive.connection()
                    .runNative(QStringLiteral("insert into Professioni (Descrizione) values (?)"),
                               {QString::fromUtf8(name)})
                    .ok());
        }
        const db::RowSet sorted =
            archive.run(QStringLiteral("select Descrizione from Professioni order by descrizione"));
        QStringList names;
        for (const QVariantList &row : sorted.rows)
            names << row[0].toString();
        QCOMPARE(names, QStringList({"alfa", "Edile", "Èlite", "èlite", "Zeta"}));
        QCOMPARE(
            archive.run(QStringLiteral("select * from Professioni where Descrizione = 'ÈLITE'"))
                .rows.size(),
            2);
        QCOMPARE(
            archive.run(QStringLiteral("select * from Professioni where Descrizione = 'elite'"))
                .rows.size(),
            0);
        QCOMPARE(
            archive.run(QStringLiteral("select * from Comuni where Comune = 'forlì'")).rows.size(),
            1);
        QCOMPARE(archive.run(QStringLiteral("select * from Comuni where Comune like 'FORLÌ%'"))
                     .rows.size(),
                 2);
        QCOMPARE(archive.run(QStringLiteral("select * from Comuni where Comune like 'cant_'"))
                     .rows.size(),
                 1);
    }

    void engineErrorsCarryTheEngineText()
    {
        FreshArchive archive;
        const db::Result<db::RowSet> missing = archive.connection().run(u"select * from NonEsiste");
        QVERIFY(!missing.ok());
        QVERIFY2(missing.message().contains(QStringLiteral("no such table: NonEsiste")),
                 qPrintable(missing.message()));
        const db::Result<db::RowSet> syntax = archive.connection().run(u"selct * from Contatti");
        QVERIFY(!syntax.ok());
        QVERIFY(syntax.message().contains(QStringLiteral("syntax error")));
    }

    void unfinishedTransactionLeavesNothing()
    {
        FreshArchive archive;
        {
            db::Transaction transaction(archive.connection());
            QVERIFY(transaction.started().ok());
            archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('Ing.')"));
        }
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 0);
    }

    // The engine stops reading at a NUL: "delete from Titoli" would run without its WHERE.
    void statementWithANulIsRefused()
    {
        FreshArchive archive;
        archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('Dott.')"));
        const QString cut =
            QStringLiteral("delete from Titoli") + QChar(0) + QStringLiteral(" where Id = 999999");
        const db::Result<db::RowSet> program = archive.connection().run(cut);
        QVERIFY(!program.ok());
        QVERIFY2(program.message().contains(QStringLiteral("carattere nullo")),
                 qPrintable(program.message()));
        QVERIFY(!archive.connection().runNative(cut).ok());
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 1);
        // A NUL inside a bound value is data, not part of the statement.
        QVERIFY(archive.connection()
                    .runNative(QStringLiteral("insert into Titoli (Descrizione) values (?)"),
                               {QStringLiteral("a") + QChar(0) + u'b'})
                    .ok());
    }

    void onlyBlanksAndCommentsMayFollowAStatement()
    {
        FreshArchive archive;
        db::Connection &c = archive.connection();
        QVERIFY(c.runNative(QStringLiteral("select 1; -- fine\n /* nota */ ")).ok());
        const db::Result<db::RowSet> two = c.runNative(QStringLiteral("select 1; select 2"));
        QVERIFY(!two.ok());
        QVERIFY(two.message().contains(QStringLiteral("più di un'istruzione")));
        QVERIFY(!c.runNative(QStringLiteral("select 1; garbage")).ok());
    }

    // Another workstation still reading stops the commit; the transaction must not stay open,
    // or its lock keeps every workstation out until the program ends.
    void failedCommitRollsBackAndReleasesTheLock()
    {
        FreshArchive archive;
        const auto existing = db::SqliteConnection::Mode::Existing;
        auto reader = db::SqliteConnection::open(archive.path(), existing);
        auto writer = db::SqliteConnection::open(archive.path(), existing);
        QVERIFY(reader.ok() && writer.ok());
        (*writer)->setLockWait(50);
        (*reader)->setLockWait(50);
        QVERIFY((*reader)->runNative(QStringLiteral("BEGIN")).ok());
        QVERIFY((*reader)->runNative(QStringLiteral("select * from Titoli")).ok());
        {
            db::Transaction transaction(**writer);
            QVERIFY(transaction.started().ok());
            QVERIFY((*writer)->run(u"insert into Titoli (Descrizione) values ('Avv.')").ok());
            const db::Status committed = transaction.commit();
            QVERIFY(!committed.ok());
            QVERIFY2(committed.message().contains(QStringLiteral("bloccato")),
                     qPrintable(committed.message()));
            // Released now, not at the end of the scope.
            QVERIFY((*reader)->runNative(QStringLiteral("COMMIT")).ok());
            QVERIFY2((*reader)->run(u"insert into Titoli (Descrizione) values ('Ing.')").ok(),
                     "the failed commit kept its lock");
        }
        const db::RowSet rows = archive.run(QStringLiteral("select Descrizione from Titoli"));
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(rows.value(0, u"Descrizione").toString(), QStringLiteral("Ing."));
    }

    // A lock held for a moment by another workstation is waited for, not reported.
    void shortLockIsWaitedFor()
    {
        FreshArchive archive;
        auto other =
            db::SqliteConnection::open(archive.path(), db::SqliteConnection::Mode::Existing);
        QVERIFY(other.ok());
        QVERIFY((*other)->begin().ok());
        QVERIFY((*other)->run(u"insert into Titoli (Descrizione) values ('Dott.')").ok());
        std::thread release([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            (void)(*other)->commit();
        });
        const db::Result<db::RowSet> inserted =
            archive.connection().run(u"insert into Titoli (Descrizione) values ('Avv.')");
        release.join();
        QVERIFY2(inserted.ok(), qPrintable(inserted.message()));
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 2);
    }

    void readingConnectionRefusesAllButAQuery_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("drop") << "drop table Pagamenti";
        QTest::newRow("delete") << "delete * from Pagamenti";
        QTest::newRow("insert") << "insert into Titoli (Descrizione) values ('x')";
        QTest::newRow("update") << "update opzioni set PasswordAmministratore = 'x'";
        QTest::newRow("pragma") << "PRAGMA user_version = 7";
        QTest::newRow("attach") << "ATTACH DATABASE '/tmp/altro.sqlite' AS altro";
        QTest::newRow("transaction") << "BEGIN";
        QTest::newRow("temporary table") << "create temp table x (a)";
        QTest::newRow("recursion without end")
            << "with recursive n(x) as (select 1 union all select x + 1 from n) select x from n";
    }
    void readingConnectionRefusesAllButAQuery()
    {
        QFETCH(QString, sql);
        FreshArchive archive;
        archive.run(QStringLiteral("insert into Pagamenti (Importo) values (10)"));
        auto reading = db::openArchiveToRead(archive.path());
        QVERIFY(reading.ok());
        QCOMPARE((*reading)->run(u"select Importo from Pagamenti").value().rows.size(), 1);
        const db::Result<db::RowSet> refused = (*reading)->run(sql);
        QVERIFY(!refused.ok());
        QVERIFY2(refused.message().contains(QStringLiteral("non permessa")),
                 qPrintable(refused.message()));
        QCOMPARE(archive.run(QStringLiteral("select * from Pagamenti")).rows.size(), 1);
        QCOMPARE(archive.run(QStringLiteral("select * from Titoli")).rows.size(), 0);
        QCOMPARE(archive.run(QStringLiteral("PRAGMA user_version")).rows[0][0].toInt(),
                 db::kArchiveFormat);
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/altro.sqlite")));
    }

    // A LIKE with a literal beginning also gets the range of the texts it can match, so that
    // the index finds them; the rows must be those the LIKE alone selects, whatever the texts:
    // every text of up to three pieces that challenge the order, and values that are no texts.
    void prefixLikeFindsTheSameRowsThroughTheIndex()
    {
        FreshArchive archive;
        const QStringList pieces = {u"a"_s,  u"A"_s, u"à"_s, u"À"_s,  u"a\u0300"_s, u"ß"_s,
                                    u"ẞ"_s,  u"'"_s, u"%"_s, u"_"_s,  u"z"_s,       u"{"_s,
                                    u"一"_s, u"1"_s, u" "_s, u"\\"_s, u"ǅ"_s};
        const QStringList few = {u"a"_s, u"À"_s,  u"a\u0300"_s, u"'"_s,
                                 u"z"_s, u"一"_s, u"ß"_s,       u"\\"_s};
        QStringList texts = pieces;
        for (const QString &first : pieces) {
            for (const QString &second : pieces)
                texts << first + second;
        }
        for (const QString &first : few) {
            for (const QString &second : few) {
                for (const QString &third : few)
                    texts << first + second + third;
            }
        }
        db::Transaction transaction(archive.connection());
        const QString insert =
            QStringLiteral("insert into Contatti (NominativoDocumenti) values (?)");
        for (const QString &text : std::as_const(texts))
            archive.native(insert, {text});
        for (const QVariant &other :
             {QVariant(), QVariant(123), QVariant(-4.5), QVariant(QByteArray("az")),
              QVariant(u"Inf"_s), QVariant(u"-Inf"_s)})
            archive.native(insert, {other});
        QVERIFY(transaction.commit().ok());

        QStringList patterns = {u"az"_s, u"A\\%%"_s, u"\\_%"_s, u"%a"_s, u"a%z%"_s,    u"_z%"_s,
                                u"1%"_s, u"in%"_s,   u"-%"_s,   u"ǆ%"_s, u"a\u0300%"_s};
        for (const QString &first : pieces) {
            patterns << first + u'%' << first;
            for (const QString &second : pieces)
                patterns << first + second + u'%';
        }
        const auto ids = [](const db::RowSet &rows) {
            QStringList found;
            for (const QVariantList &row : rows.rows)
                found << row[0].toString();
            return found;
        };
        int ranged = 0;
        for (const QString &pattern : std::as_const(patterns)) {
            for (const QString &escape : {QString(), u" escape '\\'"_s}) {
                const QString literal = u'\'' + QString(pattern).replace(u'\'', u"''"_s) + u'\'';
                const QString sql = u"select ID from Contatti where NominativoDocumenti like "_s +
                                    literal + escape + u" order by ID"_s;
                const QString plain =
                    u"select ID from Contatti where NominativoDocumenti like ?"_s +
                    (escape.isEmpty() ? QString() : u" escape '\\'"_s) + u" order by ID"_s;
                QCOMPARE(ids(archive.run(sql)), ids(archive.native(plain, {pattern})));
                ranged += archive.connection().translate(sql)->contains(u"COLLATE"_s) ? 1 : 0;
            }
        }
        QVERIFY(ranged > patterns.size());

        const auto plan = [&](const QString &sql) {
            QString steps;
            for (const QVariantList &row : archive.run(u"EXPLAIN QUERY PLAN "_s + sql).rows)
                steps += row.last().toString() + u'\n';
            return steps;
        };
        QVERIFY(plan(u"select * from Contatti where NominativoDocumenti like 'ross%'"_s)
                    .contains(u"SEARCH Contatti USING INDEX IdxContattiNominativo"_s));
        QVERIFY(plan(u"select Comune from Comuni where Comune like 'FORLÌ%' order by Comune"_s)
                    .contains(u"INDEX IdxComuniComune"_s));
        QVERIFY(plan(u"select * from Contatti where NominativoDocumenti like '%ross'"_s)
                    .contains(u"SCAN Contatti"_s));
    }

    void deletedKeysAreNotReused()
    {
        FreshArchive archive;
        archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('a')"));
        archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('b')"));
        archive.run(QStringLiteral("delete * from Titoli where Descrizione = 'b'"));
        archive.run(QStringLiteral("insert into Titoli (Descrizione) values ('c')"));
        QCOMPARE(archive.run(QStringLiteral("SELECT @@IDENTITY as ID;")).rows[0][0].toInt(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSqliteConnection)
#include "tst_sqliteconnection.moc"
