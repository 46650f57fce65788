// calvetra-sql as a user runs it: a separate process, its output and its exit code.

#include "testsupport.h"

#include <QCoreApplication>
#include <QFile>
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
        m_onServer = qEnvironmentVariable("CALVETRA_TEST_ENGINE") == u"postgresql";
        if (m_onServer)
            m_archive = emptyServerDatabase(
                QStringLiteral("calvetra_sql_%1").arg(QCoreApplication::applicationPid()));
        const Run init = calvetraSql({QStringLiteral("--init"), m_archive});
        QVERIFY2(init.exitCode == 0, qPrintable(init.err));
        QVERIFY(m_onServer || QFile::exists(m_archive));
    }

    void cleanupTestCase()
    {
        if (m_onServer)
            dropServerDatabase(m_archive);
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
