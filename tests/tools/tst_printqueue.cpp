// The print path of the report runner against a real print queue: a cups-pdf printer writes
// what it receives as a PDF, whose text is read back. Run by scripts/test-printqueue.sh, which
// sets the queues up and names them in the environment; skipped without them.

#include "app/reports.h"
#include "testsupport.h"
#include "tools/stampa/reportdata.h"
#include "tools/stampa/widgets/previewwindow.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QTest>

using namespace stampa;

namespace {

QString queueFromEnvironment(const char *name)
{
    return qEnvironmentVariable(name);
}

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The PDF the queue writes for the job sent after `since`: it appears when the job is done.
QString waitForOutput(const QDateTime &since)
{
    const QDir folder(queueFromEnvironment("CALVETRA_PRINT_OUTPUT"));
    for (int i = 0; i < 600; ++i) {
        for (const QFileInfo &file : folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
            if (file.lastModified() >= since && file.size() > 0) {
                QTest::qWait(300); // written whole
                return file.filePath();
            }
        }
        QTest::qWait(100);
    }
    return {};
}

struct QueuedPrint
{
    QueuedPrint(ReportKind kind, const QString &printer)
    {
        qputenv("PRINTER", printer.toUtf8());
        for (const char *name : {"Rossi Mario", "Bianchi Anna"})
            archive.native(QStringLiteral("INSERT INTO Contatti (NominativoDocumenti, Indirizzo) "
                                          "VALUES (?, 'Via Roma')"),
                           {name});
        const ReportDefinition report = *reportDefinition(kind, 0);
        PrintJob job;
        job.portraitLayout = QStringLiteral(CALVETRA_BIN_DIR "/") + report.file;
        job.landscapeLayout = QStringLiteral(CALVETRA_BIN_DIR "/") + report.landscapeFile;
        job.query = report.sql;
        job.heading = report.testata;
        job.choosePrinter = false; // "Stampante predefinita" in the options
        db::Result<ReportData> data = loadReportData(archive.connection(), report.sql);
        if (!data)
            qFatal("%s", qPrintable(data.message()));
        window = std::make_unique<PreviewWindow>(job, std::move(*data),
                                                 QStringLiteral(CALVETRA_BIN_DIR));
        if (!window->showLayout(false))
            qFatal("no layout");
    }

    ScriptedDialogs dialogs;
    FreshArchive archive;
    std::unique_ptr<PreviewWindow> window;
};

} // namespace

class TestPrintQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (queueFromEnvironment("CALVETRA_PRINT_QUEUE").isEmpty())
            QSKIP("No print queue set up (scripts/test-printqueue.sh does it).");
    }

    void contactListAndLabelsReachTheQueue_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("elenco") << int(ReportKind::ContactBook);
        QTest::newRow("etichette") << int(ReportKind::ContactLabels);
    }

    void contactListAndLabelsReachTheQueue()
    {
        QFETCH(int, kind);
        QueuedPrint p(ReportKind(kind), queueFromEnvironment("CALVETRA_PRINT_QUEUE"));
        const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
        p.window->print();
        QCOMPARE(p.dialogs.messages, QStringList());
        const QString pdf = waitForOutput(since);
        QVERIFY2(!pdf.isEmpty(), "the queue wrote nothing");
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Rossi Mario")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Bianchi Anna")));
        QVERIFY(text.contains(QStringLiteral("Via Roma")));
        QFile::remove(pdf);
    }

    void aStoppedOrMissingPrinterIsSaidSo()
    {
        QueuedPrint stopped(ReportKind::ContactBook,
                            queueFromEnvironment("CALVETRA_PRINT_STOPPED"));
        stopped.window->print();
        QCOMPARE(stopped.dialogs.messages.size(), 1);
        QVERIFY2(stopped.dialogs.messages[0].contains(QStringLiteral("è ferma")),
                 qPrintable(stopped.dialogs.messages[0]));

        QPrinter missing;
        missing.setPrinterName(QStringLiteral("Stampante che non esiste"));
        const db::Status ready = printerReady(missing);
        QVERIFY(!ready);
        QVERIFY2(ready.message().contains(QStringLiteral("stampante")),
                 qPrintable(ready.message()));
    }
};

QTEST_MAIN(TestPrintQueue)
#include "tst_printqueue.moc"
