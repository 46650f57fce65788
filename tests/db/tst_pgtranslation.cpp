// The program's SQL as a PostgreSQL server gets it: the forms that differ from a file archive.

#include "db/postgres/pgdialect.h"
#include "db/sql/sqltranslation.h"

#include <QTest>

class TestPgTranslation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programSqlBecomesServerSql_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("engine");
        const QString like = QStringLiteral(" COLLATE calvetra_confronto ESCAPE ''");

        QTest::newRow("like, pattern joined from pieces, then more conditions")
            << "select * from T where a like 'r' & '%' and b = 1"
            << "select * from T where a ILIKE ('r' || '%')" + like + " and b = 1";
        QTest::newRow("not like inside parentheses")
            << "select * from T where (Nz(a) not like ?) or b"
            << "select * from T where (calvetra_nz(a) not ILIKE (?)" + like + ") or b";
        QTest::newRow("like with its own escape")
            << "select * from T where a like '%0\\%%' escape '\\'"
            << "select * from T where a ILIKE ('%0\\%%') COLLATE calvetra_confronto escape '\\'";
        QTest::newRow("the word like in a text stays") << "select 'like it' from T"
                                                       << "select 'like it' from T";
        QTest::newRow("nulls first ascending, last descending")
            << "SELECT * from Calendario where Storico=false order by Data desc,Personale"
            << "SELECT * from Calendario where Storico=FALSE order by Data desc NULLS "
               "LAST,Personale NULLS FIRST";
        QTest::newRow("order before the limit of top")
            << "select top 1 * from Contatti order by Cognome,Nome"
            << "select * from Contatti order by Cognome NULLS FIRST,Nome NULLS FIRST LIMIT 1";
        QTest::newRow("order inside a sub-select")
            << "select * from (select a from T order by a asc) x order by 1"
            << "select * from (select a from T order by a asc NULLS FIRST) x order by 1 NULLS "
               "FIRST";
        QTest::newRow("dates, identity, Jet functions")
            << "select @@IDENTITY, Month(d), Date() from T where d <= #12/7/2026#"
            << "select COALESCE(CAST(NULLIF(current_setting('calvetra.chiave', true), '') AS "
               "BIGINT), 0), "
               "calvetra_month(d), calvetra_date() from T where d <= TIMESTAMP '2026-12-07 "
               "00:00:00'";
        QTest::newRow("bracketed names in the server's lower case")
            << "select [Contatti].[NominativoDocumenti] from Contatti"
            << "select \"contatti\".\"nominativodocumenti\" from Contatti";
        QTest::newRow("column types")
            << "CREATE TABLE T (Id COUNTER, Nome TEXT(50), Note MEMO, Fatto YESNO, Importo "
               "CURRENCY, Quando DATETIME)"
            << "CREATE TABLE T (Id SERIAL PRIMARY KEY, Nome VARCHAR COLLATE calvetra_testo, "
               "Note TEXT COLLATE calvetra_testo, Fatto BOOLEAN NOT NULL DEFAULT FALSE, "
               "Importo NUMERIC(19,4), Quando TIMESTAMP(0))";
    }
    void programSqlBecomesServerSql()
    {
        QFETCH(QString, program);
        QFETCH(QString, engine);
        const db::Result<QString> translated = db::translateSql(program, m_dialect);
        QVERIFY2(translated.ok(), qPrintable(translated.message()));
        QCOMPARE(*translated, engine);
    }

private:
    db::PgDialect m_dialect;
};

QTEST_APPLESS_MAIN(TestPgTranslation)
#include "tst_pgtranslation.moc"
