// calvetra-ical as a user runs it: a separate process, its output, its messages and exit code.

#include "agenda/readical.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode;
    QByteArray out;
    QString err;
};

Run tool(const QString &name, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("Europe/Rome"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CALVETRA_BIN_DIR "/") + name, arguments);
    if (!process.waitForFinished(30000))
        return {-1, {}, QStringLiteral("timeout")};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

Run ical(const QStringList &arguments)
{
    return tool(QStringLiteral("calvetra-ical"), arguments);
}

} // namespace

class TestCalvetraIcal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A new archive, without an identifier until the first export; on a server when the tests
    // run there.
    void initTestCase()
    {
        m_archive = m_fresh.path();
        const Run insert =
            tool(QStringLiteral("calvetra-sql"),
                 {m_archive,
                  QStringLiteral("insert into Calendario (Data, Cliente, Note, Storico) "
                                 "select #5/2/2024 9.00.00#, 'Rossi', 'a; b', false union "
                                 "select #5/3/2024#, 'Bianchi', null, false union "
                                 "select #5/1/2024 15.30.00#, 'Rossi Anna', null, false union "
                                 "select #5/4/2024#, 'Rossi', 'archiviata', true union "
                                 "select null, 'Rossi', null, false")});
        QVERIFY2(insert.exitCode == 0, qPrintable(insert.err));
        m_text = m_dir.filePath(QStringLiteral("appunti.txt"));
        QFile text(m_text);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("solo testo\n") > 0);
    }

    void filteredToStandardOutputAndFile()
    {
        const Run out =
            ical({m_archive, QStringLiteral("--filter"), QStringLiteral("Cliente like 'rossi*'")});
        QCOMPARE(out.exitCode, 0);
        QCOMPARE(out.err, "Esportati 2 appuntamenti.\n1 appuntamento senza data non esportato.\n");
        QCOMPARE(out.out.count("BEGIN:VEVENT"), 2);
        QVERIFY(out.out.startsWith("BEGIN:VCALENDAR\r\n"));

        const QString path = m_dir.filePath(QStringLiteral("agenda.ics"));
        const Run file = ical({m_archive, QStringLiteral("-o"), path});
        QCOMPARE(file.exitCode, 0);
        QVERIFY(file.out.isEmpty());
        const QJsonArray events = readWithIcalendar(path).value(u"events").toArray();
        QCOMPARE(events.size(), 3);
        QCOMPARE(events[0]["start"].toString(), "2024-05-03");
        QCOMPARE(events[1]["start_utc"].toString(), "2024-05-02T07:00:00Z");
        QCOMPARE(events[1]["summary"].toString(), "Rossi : a; b");
        QCOMPARE(events[2]["start_utc"].toString(), "2024-05-01T13:30:00Z");
        // The same appointments, the same identifiers.
        const Run bianchi =
            ical({m_archive, QStringLiteral("--filter"), QStringLiteral("Cliente = 'Bianchi'")});
        QVERIFY(bianchi.out.contains("\r\nUID:" + events[0]["uid"].toString().toUtf8() + "\r\n"));
    }

    void failuresSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("no archive") << QStringList{"/nessuna/cartella/archivio.sqlite"} << 1 << "";
        QTest::newRow("not an archive") << QStringList{"@text"} << 1 << "non è un archivio";
        QTest::newRow("bad filter")
            << QStringList{"@archive", "--filter", "Cliente like"} << 1 << "Filtro non valido";
        QTest::newRow("bad path") << QStringList{"@archive", "-o", "/nessuna/cartella/a.ics"} << 1
                                  << "Impossibile scrivere il file /nessuna/cartella/a.ics";
        QTest::newRow("usage") << QStringList{"@archive", "--sort", "Data"} << 2 << "Uso:";
        QTest::newRow("option without value") << QStringList{"@archive", "-o"} << 2 << "Uso:";
    }
    void failuresSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        arguments.replaceInStrings(QStringLiteral("@archive"), m_archive);
        arguments.replaceInStrings(QStringLiteral("@text"), m_text);
        const Run run = ical(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(message) && !run.err.isEmpty(), qPrintable(run.err));
    }

private:
    FreshArchive m_fresh;
    QTemporaryDir m_dir;
    QString m_archive;
    QString m_text;
};

QTEST_GUILESS_MAIN(TestCalvetraIcal)
#include "tst_calvetraical.moc"
