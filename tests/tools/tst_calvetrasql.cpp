// calvetra-sql as a user runs it: a separate process, its output and its exit code.

#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = ToolRun;

Run calvetraSql(const QStringList &arguments)
{
    return runTool(QStringLiteral("calvetra-sql"), arguments);
}

} // namespace

class TestCalvetraSql : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_archive = m_dir.filePath(QStringLiteral("archivio.sqlite"));
        if (qEnvironmentVariable("CALVETRA_TEST_ENGINE") == u"postgresql")
            m_archive = emptyServerDatabase();
        const Run init = calvetraSql({QStringLiteral("--init"), m_archive});
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        QVERIFY(m_onServer || QFile::exists(m_archive));
    }

    void cleanupTestCase()
    {
        if (m_onServer)
            maintenance(
                QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(m_archive.section(u'/', -1)));
    }

    void initRefusesAnExistingFile()
    {
        const QByteArray before = readAll(m_archive);
        const Run again = calvetraSql({QStringLiteral("--init"), m_archive});
        QVERIFY(again.exitCode != 0);
        QVERIFY(again.err.contains(m_archive));
        QCOMPARE(readAll(m_archive), before);
    }

    void rowsAreTabSeparatedWithTypedValues()
    {
        const Run insert = calvetraSql(
            {m_archive, QStringLiteral("insert into Calendario (Data, DataAvviso, Cliente, Note, "
                                       "Conclusa) values (#12/24/2026 15.30.00#, #12/20/2026#, "
                                       "'D''Amico', null, true)")});
        QCOMPARE(insert.exitCode, 0);
        QCOMPARE(insert.out, QStringLiteral("1\n"));
        const Run select = calvetraSql(
            {m_archive, QStringLiteral("select Data, DataAvviso, Cliente, Note, Conclusa, Storico "
                                       "from Calendario")});
        QCOMPARE(select.exitCode, 0);
        QCOMPARE(select.out,
                 QStringLiteral("Data\tDataAvviso\tCliente\tNote\tConclusa\tStorico\n"
                                "24/12/2026 15:30:00\t20/12/2026\tD'Amico\t\ttrue\tfalse\n"));
    }

    void filterAndSortWorkOnTheFetchedRows()
    {
        const Run rows = calvetraSql(
            {m_archive, QStringLiteral("select Comune, Provincia, Cap from Comuni"),
             QStringLiteral("--filter"), QStringLiteral("Comune like 'forl*' or Comune = 'CANTÙ'"),
             QStringLiteral("--sort"), QStringLiteral("Provincia DESC, Comune")});
        QCOMPARE(rows.exitCode, 0);
        QCOMPARE(rows.out, QStringLiteral("Comune\tProvincia\tCap\n"
                                          "Forlì del Sannio\tIS\t86084\n"
                                          "Forlì\tFC\t47121\n"
                                          "Forlimpopoli\tFC\t47034\n"
                                          "Cantù\tCO\t22063\n"));
        const Run bad = calvetraSql({m_archive, QStringLiteral("select * from Comuni"),
                                     QStringLiteral("--filter"), QStringLiteral("Comune like")});
        QVERIFY(bad.exitCode != 0);
        QVERIFY(bad.err.contains(QStringLiteral("Filtro non valido")));
        const Run amounts = calvetraSql(
            {m_archive, QStringLiteral("insert into Pagamenti (Importo) values (644.92)")});
        QCOMPARE(amounts.exitCode, 0);
        QCOMPARE(calvetraSql({m_archive, QStringLiteral("select Importo from Pagamenti")}).out,
                 QStringLiteral("Importo\n644.92\n"));
    }

    void failuresGiveTheEngineMessageAndNonZeroExit()
    {
        const Run syntax = calvetraSql({m_archive, QStringLiteral("selec * from Contatti")});
        QVERIFY(syntax.exitCode != 0);
        QVERIFY(syntax.err.contains(QStringLiteral("syntax error")));
        QVERIFY(syntax.out.isEmpty());

        const QString missing = m_dir.filePath(QStringLiteral("manca.sqlite"));
        const Run absent = calvetraSql({missing, QStringLiteral("select * from Contatti")});
        QVERIFY(absent.exitCode != 0);
        QVERIFY(absent.err.contains(missing));
        QVERIFY(!QFile::exists(missing));

        QCOMPARE(calvetraSql({}).exitCode, 2);
    }

private:
    // An empty database on the tests' server (scripts/pg-test-server.sh), named after this process.
    QString emptyServerDatabase()
    {
        QFile file(qEnvironmentVariable("CALVETRA_TEST_PG_URI_FILE"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The tests' PostgreSQL server is not running.");
        m_server = QString::fromUtf8(file.readAll()).trimmed();
        m_onServer = true;
        const QString name =
            QStringLiteral("calvetra_sql_%1").arg(QCoreApplication::applicationPid());
        maintenance(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        maintenance(QStringLiteral("CREATE DATABASE %1").arg(name));
        return m_server + u'/' + name;
    }

    void maintenance(const QString &sql)
    {
        QProcess psql;
        psql.start(QStringLiteral("psql"),
                   {QStringLiteral("-qX"), m_server + QStringLiteral("/postgres"),
                    QStringLiteral("-c"), sql});
        if (!psql.waitForFinished(60000) || psql.exitCode() != 0)
            qFatal("psql failed: %s", psql.readAllStandardError().constData());
    }

    QString m_server;
    bool m_onServer = false;
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_archive;
};

QTEST_GUILESS_MAIN(TestCalvetraSql)
#include "tst_calvetrasql.moc"
