#include "db/sql/sqltokenizer.h"
#include "db/sql/sqltranslation.h"
#include "db/sqlite/sqlitedialect.h"

#include <QTest>

class TestSqlTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programSqlBecomesEngineSql_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("engine");

        QTest::newRow("date literal")
            << "select * from Calendario Where DataAvviso <=#12/7/2026#"
            << "select * from Calendario Where DataAvviso <='2026-12-07 00:00:00'";
        QTest::newRow("date literal with dotted time")
            << "select 1 where x <= #12/31/1960 23.59.59#"
            << "select 1 where x <= '1960-12-31 23:59:59'";
        QTest::newRow("date literal with colon time and PM") << "select #3/5/2021 1:30:00 PM#"
                                                             << "select '2021-03-05 13:30:00'";
        QTest::newRow("ISO date literal") << "select #2021-03-05#"
                                          << "select '2021-03-05 00:00:00'";
        QTest::newRow("two-digit year") << "select #3/5/21#"
                                        << "select '2021-03-05 00:00:00'";
        QTest::newRow("booleans")
            << "select * from Calendario where Storico=false and Conclusa = TRUE"
            << "select * from Calendario where Storico=0 and Conclusa = 1";
        QTest::newRow("boolean as a column alias stays") << "select 1 as true from t"
                                                         << "select 1 as true from t";
        QTest::newRow("delete star") << "delete * from TempAvvisi where NomeComputer ='PC'"
                                     << "delete from TempAvvisi where NomeComputer ='PC'";
        QTest::newRow("delete table star") << "DELETE Contatti.* FROM Contatti WHERE ID=3"
                                           << "DELETE FROM Contatti WHERE ID=3";
        QTest::newRow("top") << "select top 1 * from Contatti order by Cognome,Nome"
                             << "select * from Contatti order by Cognome,Nome LIMIT 1";
        QTest::newRow("top before trailing space") << "select top 1 * from TempAvvisi "
                                                   << "select * from TempAvvisi LIMIT 1";
        QTest::newRow("top after distinct") << "SELECT DISTINCT TOP 5 Cognome FROM Contatti"
                                            << "SELECT DISTINCT Cognome FROM Contatti LIMIT 5";
        QTest::newRow("top in a sub-select")
            << "select * from a where id in (select top 2 id from b order by x) order by y"
            << "select * from a where id in (select id from b order by x LIMIT 2) order by y";
        QTest::newRow("identity") << "SELECT @@IDENTITY as ID;"
                                  << "SELECT last_insert_rowid() as ID";
        QTest::newRow("identity without alias") << "select @@identity"
                                                << "select last_insert_rowid()";
        QTest::newRow("update with join")
            << "UPDATE Calendario INNER JOIN Contatti ON calendario.Cliente_ID = Contatti.Id SET "
               "calendario.Cliente = [Contatti].[NominativoDocumenti] where Contatti.Id=42"
            << "UPDATE Calendario SET Cliente = \"Contatti\".\"NominativoDocumenti\" FROM Contatti "
               "WHERE (calendario.Cliente_ID = Contatti.Id) AND (Contatti.Id=42)";
        QTest::newRow("update with join, no where, two assignments")
            << "UPDATE Contatti INNER JOIN Categorie ON Contatti.Categoria_ID = Categorie.ID SET "
               "Contatti.ColoreCategoria = null, Contatti.Note = 'x, y'"
            << "UPDATE Contatti SET ColoreCategoria = null, Note = 'x, y' FROM Categorie "
               "WHERE (Contatti.Categoria_ID = Categorie.ID)";
        QTest::newRow("update with an alias") << "UPDATE Contatti c INNER JOIN Comuni ON "
                                                 "c.Citta_ID = Comuni.ID SET c.Cap = Comuni.Cap"
                                              << "UPDATE Contatti AS \"c\" SET Cap = Comuni.Cap "
                                                 "FROM Comuni WHERE (c.Citta_ID = Comuni.ID)";
        QTest::newRow("update with a left join passes as written")
            << "UPDATE Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID SET Contatti.Cap "
               "= '0'"
            << "UPDATE Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID SET Contatti.Cap "
               "= '0'";
        QTest::newRow("bracketed names") << "select [Data Nascita] from [Contatti]"
                                         << "select \"Data Nascita\" from \"Contatti\"";
        QTest::newRow("ampersand joins texts") << "select Cognome & ' ' & Nome from Contatti"
                                               << "select Cognome || ' ' || Nome from Contatti";
        QTest::newRow("Left and Right functions")
            << "select Left(Cap, 2), Right(Cap,3) from Comuni"
            << "select jet_left(Cap, 2), jet_right(Cap,3) from Comuni";
        QTest::newRow("left join untouched")
            << "select * from (a LEFT JOIN b ON a.x = b.x) LEFT JOIN c ON b.y = c.y"
            << "select * from (a LEFT JOIN b ON a.x = b.x) LEFT JOIN c ON b.y = c.y";
        QTest::newRow("literals come through untouched")
            << "select 'delete * from x', 'top 1', '#1/1/2000#', 'true', '[a]', 'l''anno' from t"
            << "select 'delete * from x', 'top 1', '#1/1/2000#', 'true', '[a]', 'l''anno' from t";
        QTest::newRow("line breaks inside a statement")
            << "select *\r\nfrom Contatti\nwhere Annullato = false;\r\n"
            << "select *\r\nfrom Contatti\nwhere Annullato = 0";
        QTest::newRow("unknown text passes as written") << "PRAGMA user_version"
                                                        << "PRAGMA user_version";
        QTest::newRow("create table with Jet types")
            << "CREATE TABLE Note (Id COUNTER, Testo MEMO, Fatto YESNO, Costo CURRENCY, "
               "Il DATETIME, Nome TEXT(40), Foto OLEOBJECT, Peso SINGLE, Eta BYTE, N LONG)"
            << "CREATE TABLE Note (Id INTEGER PRIMARY KEY AUTOINCREMENT, Testo LONGTEXT COLLATE "
               "CALVETRA_NOCASE, Fatto BOOLEAN NOT NULL DEFAULT 0, Costo CURRENCY, Il DATETIME, "
               "Nome VARCHAR(40) COLLATE CALVETRA_NOCASE, Foto BLOB, Peso FLOAT, Eta TINYINT, "
               "N INTEGER)";
        QTest::newRow("counter with its own primary key constraint")
            << "CREATE TABLE t (Id AUTOINCREMENT(1,1) CONSTRAINT pk PRIMARY KEY, b BIT DEFAULT "
               "true)"
            << "CREATE TABLE t (Id INTEGER PRIMARY KEY AUTOINCREMENT , b BOOLEAN NOT NULL DEFAULT "
               "1)";
        QTest::newRow("counter with a table primary key")
            << "CREATE TABLE t (CONSTRAINT pk PRIMARY KEY (Id), Id COUNTER, b TEXT)"
            << "CREATE TABLE t ( Id INTEGER PRIMARY KEY AUTOINCREMENT, b VARCHAR(255) COLLATE "
               "CALVETRA_NOCASE)";
        QTest::newRow("add column") << "ALTER TABLE Contatti ADD COLUMN Sito TEXT(100)"
                                    << "ALTER TABLE Contatti ADD COLUMN Sito VARCHAR(100) COLLATE "
                                       "CALVETRA_NOCASE";
        QTest::newRow("add without COLUMN")
            << "ALTER TABLE Contatti ADD Vip YESNO"
            << "ALTER TABLE Contatti ADD Vip BOOLEAN NOT NULL DEFAULT 0";
        QTest::newRow("index and drop pass") << "CREATE INDEX i ON t (a)"
                                             << "CREATE INDEX i ON t (a)";
        QTest::newRow("prefix like gets the range of its texts")
            << "select * from Contatti where NominativoDocumenti like 'ross%' order by "
               "NominativoDocumenti"
            << "select * from Contatti where (NominativoDocumenti COLLATE CALVETRA_NOCASE > "
               "'rosr\uFFFF' "
               "AND NominativoDocumenti COLLATE CALVETRA_NOCASE < 'rost' AND NominativoDocumenti "
               "like "
               "'ross%') order by NominativoDocumenti";
        QTest::newRow("prefix like: accented capital, apostrophe, qualified name")
            << "select 1 from Contatti where Annullato = false AND Contatti.Cognome LIKE 'D''À_x%'"
            << "select 1 from Contatti where Annullato = 0 AND (Contatti.Cognome COLLATE "
               "CALVETRA_NOCASE "
               "> 'd''`\uFFFF' AND Contatti.Cognome COLLATE CALVETRA_NOCASE < 'd''b' AND "
               "Contatti.Cognome LIKE 'D''À_x%')";
        QTest::newRow("prefix like with its escape, in a join and a sub-select")
            << "select * from a left join b on [b].[n] like 'a\\_b%' escape '\\' where a.id in "
               "(select id from c where not x like 'zz')"
            << "select * from a left join b on (\"b\".\"n\" COLLATE CALVETRA_NOCASE > 'a_a\uFFFF' "
               "AND "
               "\"b\".\"n\" COLLATE CALVETRA_NOCASE < 'a_c' AND \"b\".\"n\" like 'a\\_b%' escape "
               "'\\') "
               "where a.id in (select id from c where not (x COLLATE CALVETRA_NOCASE > 'zy\uFFFF' "
               "AND "
               "x COLLATE CALVETRA_NOCASE < 'z{' AND x like 'zz'))";
        // A number is no text: a beginning that one written as text has keeps the LIKE alone.
        // So do a wildcard first, NOT LIKE, a bound pattern, a select list (its column names are
        // the texts), and a name that belongs to the operator before it.
        for (const char *kept :
             {"select * from t where x like '%ross'", "select * from t where x like '12%'",
              "select * from t where x like '-1%'", "select * from t where x like 'In%'",
              "select * from t where x not like 'ross%'", "select * from t where x like ?",
              "select x like 'ross%' from t", "select (select 1 from u where y like 'a%') from t",
              "select * from t where a between b and x like 'ross%'",
              "select * from t where a || x like 'ross%'",
              "select * from t where x like 'ross%' || y",
              "select * from t where a is not x like 'r%'",
              "select * from t where x like 'a' escape 'xy'",
              "CREATE VIEW v AS SELECT * FROM t WHERE x LIKE 'ross%'"})
            QTest::newRow(kept) << kept << kept;
    }
    void programSqlBecomesEngineSql()
    {
        QFETCH(QString, program);
        QFETCH(QString, engine);
        const db::Result<QString> sql = db::translateSql(program, m_dialect);
        QVERIFY2(sql.ok(), qPrintable(sql.message()));
        QCOMPARE(*sql, engine);
    }

    // A comment anywhere between two tokens is a blank to the engine; whatever the rewrite,
    // the statement that comes out must be the same, token for token, as without it.
    void commentsAnywhereChangeNothing_data() { programSqlBecomesEngineSql_data(); }
    void commentsAnywhereChangeNothing()
    {
        QFETCH(QString, program);
        QFETCH(QString, engine);
        const QStringList expected = significantTokens(engine);
        const QList<db::Token> tokens = db::tokenizeSql(program);
        const QStringList comments = {QStringLiteral("-- nota\n"), QStringLiteral("/* nota */"),
                                      QStringLiteral("/* -- nota */"),
                                      QStringLiteral("-- nota /* \n"), QStringLiteral("--\n")};
        for (const QString &comment : comments) {
            for (qsizetype at = 0; at <= tokens.size(); ++at) {
                QString text;
                for (qsizetype i = 0; i < tokens.size(); ++i)
                    text += (i == at ? comment : QString()) + tokens[i].text;
                if (at == tokens.size())
                    text += comment;
                const db::Result<QString> sql = db::translateSql(text, m_dialect);
                QVERIFY2(sql.ok(), qPrintable(text + u'\n' + sql.message()));
                QVERIFY2(significantTokens(*sql) == expected, qPrintable(text + u'\n' + *sql));
            }
        }
    }

    void faultyTextsAreRefused_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("message");
        QTest::newRow("impossible date") << "select #2/30/2021#"
                                         << "Data non valida";
        QTest::newRow("two statements") << "delete * from a; delete * from b"
                                        << "più di un'istruzione";
        QTest::newRow("top without a number") << "select top x from a"
                                              << "TOP";
        QTest::newRow("top percent") << "select top 10 percent * from a"
                                     << "PERCENT";
        QTest::newRow("top with union") << "select top 3 * from a union select * from b"
                                        << "UNION";
        QTest::newRow("negative year") << "select #1/1/-5#"
                                       << "Data non valida";
        QTest::newRow("five-digit year") << "select #1/1/20000#"
                                         << "Data non valida";
        QTest::newRow("signed hour") << "select #1/1/2000 -1:30#"
                                     << "Data non valida";
        // The engine would take the rest for a comment and delete every row.
        QTest::newRow("comment never closed") << "delete from Contatti /* where ID = 3"
                                              << "Commento non chiuso";
    }
    void faultyTextsAreRefused()
    {
        QFETCH(QString, program);
        QFETCH(QString, message);
        const db::Result<QString> sql = db::translateSql(program, m_dialect);
        QVERIFY(!sql.ok());
        QVERIFY2(sql.message().contains(message), qPrintable(sql.message()));
    }

    void unterminatedLiteralPassesAsWritten()
    {
        // The engine reports it; the translation must neither crash nor guess.
        const QString text = QStringLiteral("select 'abc from t where x = #1/1/2000#");
        QCOMPARE(*db::translateSql(text, m_dialect), text);
        // Nothing is moved behind it, where it would become part of the literal.
        for (const QString &unclosed :
             {QStringLiteral("UPDATE a INNER JOIN b ON a.x = b.x SET a.y = [b.y WHERE b.z = 1"),
              QStringLiteral("select top 3 x from t where y = 'abc")})
            QCOMPARE(*db::translateSql(unclosed, m_dialect), unclosed);
    }

    void scriptsSplitOutsideLiterals()
    {
        const QStringList statements =
            db::splitSqlScript(u"-- a comment; with a semicolon\nCREATE TABLE a (x TEXT);\n\n"
                               u"INSERT INTO a VALUES ('x;y');\n  ;\n");
        QCOMPARE(statements.size(), 2);
        QVERIFY(statements[0].endsWith(u"CREATE TABLE a (x TEXT)"));
        QCOMPARE(statements[1], QStringLiteral("INSERT INTO a VALUES ('x;y')"));
    }

private:
    static QStringList significantTokens(const QString &sql)
    {
        QStringList texts;
        for (const db::Token &t : db::tokenizeSql(sql)) {
            if (!t.isBlank())
                texts.append(t.text);
        }
        return texts;
    }

    db::SqliteDialect m_dialect;
};

QTEST_APPLESS_MAIN(TestSqlTranslation)
#include "tst_sqltranslation.moc"
