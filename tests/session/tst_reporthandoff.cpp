// The print job a workstation hands to the report runner.

#include "agenda/agendastore.h"
#include "agenda/windows/frmgrigliacalendario.h"
#include "app/frminizio.h"
#include "app/program.h"
#include "app/reports.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "notices/noticestore.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "schema/archivecreator.h"
#include "session/datamodule.h"
#include "session/printquery.h"
#include "session/reporthandoff.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

namespace {

struct Office
{
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    Program program{folder.path()};

    Office() { program.frmInizio().FormActivate(); }
    Tform_DB &db() { return program.formDb(); }
    db::RowSet jobs() { return *db().Connessione().run(u"select * from TempStampa order by Id"); }
    void installRunner()
    {
        QVERIFY(QFile::copy(QStringLiteral("/bin/true"), runnerPath(folder.path())));
    }
};

} // namespace

class TestReportHandOff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyKindCarriesItsQueryExactly_data()
    {
        QTest::addColumn<int>("kind");
        // The query of the store whose data the kind prints.
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("portrait");
        QTest::addColumn<QString>("landscape");
        QTest::addColumn<bool>("filtro");
        QTest::newRow("1 agenda") << 1 << ContactStore::bookReport().sql << "Agenda.rpt"
                                  << "AgendaLan.rpt" << true;
        QTest::newRow("2 categories")
            << 2 << ContactStore::byCategoryReport().sql << "Categorie.rpt"
            << "CategorieLan.rpt" << true;
        QTest::newRow("3 labels") << 3 << ContactStore::labelsReport().sql << "EtichetteClienti.rpt"
                                  << "EtichetteClienti.rpt" << true;
        QTest::newRow("4 company labels")
            << 4 << OptionsStore::companyLabelsReport().sql << "EtichetteAzienda.rpt"
            << "EtichetteAzienda.rpt" << false;
        QTest::newRow("5 privacy")
            << 5 << ContactStore::privacyFormReport(42).sql << "PrivacyContatti.rpt"
            << "PrivacyContattiLan.rpt" << false;
        QTest::newRow("6 payments") << 6 << PaymentStore::paymentsReport().sql << "Pagamenti.rpt"
                                    << "PagamentiLan.rpt" << true;
        QTest::newRow("7 notices") << 7 << NoticeStore::noticesReport().sql << "Avvisi.rpt"
                                   << "AvvisiLan.rpt" << false;
        QTest::newRow("8 appointments")
            << 8 << AgendaStore::appointmentsReport({}).sql << "Appuntamenti.rpt"
            << "AppuntamentiLan.rpt" << true;
    }
    void everyKindCarriesItsQueryExactly()
    {
        QFETCH(int, kind);
        QFETCH(QString, sql);
        QFETCH(QString, portrait);
        QFETCH(QString, landscape);
        QFETCH(bool, filtro);
        const std::optional<ReportDefinition> report = reportDefinition(ReportKind(kind), 42);
        QVERIFY(report.has_value());
        QCOMPARE(report->sql, sql);
        QCOMPARE(report->file, portrait);
        QCOMPARE(report->landscapeFile, landscape);
        QCOMPARE(report->filtro, filtro);
        QCOMPARE(report->testata, kind != 3 && kind != 4);
        QVERIFY(!reportDefinition(ReportKind(9), 42).has_value());
        QVERIFY(!reportDefinition(ReportKind(0), 42).has_value());
    }

    // A query with values of its own keeps them beside its text, each of its kind; a query
    // without keeps its text alone, as every job always did.
    void aJobsQueryKeepsItsValues()
    {
        const QString sql = QStringLiteral("select * from Calendario where Cliente like ? and "
                                           "Data >= ? and Id = ? and Storico = ? and Note = ?");
        const QVariantList values{QStringLiteral("D'Amico \"Lucia\" {x}%"),
                                  db::naiveDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)),
                                  qint64(42), false, QVariant()};
        const QString text = printQueryText(sql, values);
        QVERIFY(!text.startsWith(QStringLiteral("select")));
        const db::Result<PrintQuery> read = readPrintQuery(text);
        QVERIFY2(read.ok(), qPrintable(read.message()));
        QVERIFY(read->ownValues);
        QCOMPARE(read->sql, sql);
        QCOMPARE(read->values, values);
        QCOMPARE(read->values[1].typeId(), QMetaType::QDateTime);
        QCOMPARE(printQueryText(QStringLiteral("select ?"), {}), QStringLiteral("select ?"));
        QVERIFY(!readPrintQuery(QStringLiteral("select ?"))->ownValues);

        // Any workstation may write the row: what does not read back is refused, with a reason.
        for (const char *wrong :
             {"{\"calvetraQuery\": 1, \"sql\": \"select ?\", \"values\": []}",
              "{\"calvetraQuery\": 1, \"sql\": \"select ?\", \"values\": [[1]]}",
              "{\"sql\": \"select 1\""}) {
            const db::Result<PrintQuery> refused = readPrintQuery(QString::fromUtf8(wrong));
            QVERIFY2(!refused.ok(), wrong);
            QVERIFY(refused.message().startsWith(QStringLiteral("La query della stampa")));
        }
    }

    // "Stampa" in the agenda prints what the agenda lists, in its order, through the runner.
    void theAgendaPrintsWhatItLists()
    {
        Office office;
        office.installRunner();
        db::Connection &archive = office.db().Connessione();
        const QString appointment = QStringLiteral(
            "insert into Calendario (Data, Cliente, TipologiaCalendario, Note, Conclusa, "
            "DataAvviso, Storico) values (?, ?, ?, ?, ?, ?, ?)");
        const auto at = [](int d, int h) {
            return db::naiveDateTime(QDate(2026, 3, d), QTime(h, 0));
        };
        for (const QVariantList &row : QList<QVariantList>{
                 {at(10, 9), "Rossi Mario", "Visita", "controllo annuale", true, QVariant(), false},
                 {at(12, 15), "D'Amico Lucia", "Telefonata", "preventivo", false, QVariant(),
                  false},
                 {at(11, 0), "Rossi Mario", "Telefonata", "richiamare", false, at(9, 0), false},
                 {at(1, 8), "Rossi Mario", "Visita", "archiviato", false, QVariant(), true}})
            QVERIFY(archive.run(appointment, row).ok());
        TfrmGrigliaCalendario &grid = office.program.frmGrigliaCalendario();
        grid.show();
        drive::type(&grid, QStringLiteral("Edit4"), QStringLiteral("rossi"));
        drive::click(&grid, QStringLiteral("BitBtn2"));
        grid.ordina(QStringLiteral("Data")); // oldest first
        drive::click(&grid, QStringLiteral("spdStampa"));
        QVERIFY2(office.dialogs.messages.isEmpty(),
                 qPrintable(office.dialogs.messages.join(u'\n')));

        const db::RowSet jobs = office.jobs();
        QCOMPARE(jobs.rows.size(), 1);
        QCOMPARE(jobs.value(0, u"NomeReport").toString(),
                 QDir(office.folder.path()).filePath(QStringLiteral("Appuntamenti.rpt")));
        const db::Result<PrintQuery> query = readPrintQuery(jobs.value(0, u"Query").toString());
        QVERIFY2(query.ok(), qPrintable(query.message()));
        QVERIFY(query->sql.contains(QStringLiteral("Cliente LIKE ?")));
        QVERIFY(query->sql.endsWith(QStringLiteral("ORDER BY Data, Personale")));
        QVERIFY(!query->sql.contains(QStringLiteral("rossi"), Qt::CaseInsensitive));
        QCOMPARE(query->values, QVariantList{QStringLiteral("rossi%")});

        const QString pdf = office.folder.filePath(QStringLiteral("appuntamenti.pdf"));
        const ToolRun run = runTool(QStringLiteral("stampa"),
                                    {QStringLiteral("--archive"), archive.location(),
                                     QStringLiteral("--workstation"), office.db().computerName(),
                                     QStringLiteral("--pdf"), pdf});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        // One line each, in the grid's order: the day, the hour (none at midnight), the contact,
        // the type, the notes, concluded or not, the reminder.
        const QString page = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        const qsizetype first = page.indexOf(
            QStringLiteral("10/03/2026 09:00 Rossi Mario Visita controllo annuale Sì"));
        const qsizetype second = page.indexOf(
            QStringLiteral("11/03/2026 Rossi Mario Telefonata richiamare No 09/03/2026"));
        QVERIFY2(first > 0 && first < second, qPrintable(page));
        for (const char *left : {"preventivo", "archiviato", "D'Amico"})
            QVERIFY2(!page.contains(left), qPrintable(left));

        // Nothing listed, nothing printed: the grid says so and the job stays as it was.
        drive::type(&grid, QStringLiteral("Edit4"), QStringLiteral("Nessuno"));
        drive::click(&grid, QStringLiteral("BitBtn2"));
        drive::click(&grid, QStringLiteral("spdStampa"));
        QCOMPARE(office.dialogs.kinds, QList<MessageKind>{MessageKind::Warning});
        QVERIFY(office.dialogs.messages.value(0).contains(
            QStringLiteral("Nessun appuntamento elencato")));
        QCOMPARE(office.jobs().value(0, u"Query"), jobs.value(0, u"Query"));
    }

    void oneRowPerWorkstationHoldingTheLastJob()
    {
        Office office;
        office.installRunner();
        QVERIFY(office.db()
                    .Connessione()
                    .run(u"insert into TempStampa (NomeComputer, Query) values ('ALTRO', 'suo')")
                    .ok());
        office.program.frmInizio().print(ReportKind::ContactBook);
        office.program.frmInizio().print(ReportKind::ContactLabels);
        const db::RowSet rows = office.jobs();
        QCOMPARE(rows.rows.size(), 2);
        QCOMPARE(rows.value(0, u"NomeComputer").toString(), QStringLiteral("ALTRO"));
        QCOMPARE(rows.value(0, u"Query").toString(), QStringLiteral("suo"));
        QCOMPARE(rows.value(1, u"NomeComputer").toString(), office.db().computerName());
        QCOMPARE(rows.value(1, u"NomeReport").toString(),
                 QDir(office.folder.path()).filePath(QStringLiteral("EtichetteClienti.rpt")));
        QCOMPARE(rows.value(1, u"PresenzaTestata").toBool(), false);
        QCOMPARE(rows.value(1, u"Esportazione").toBool(), false);
        QVERIFY(office.dialogs.messages.isEmpty());
    }

    void setupFollowsTheDefaultPrinterOption()
    {
        for (const bool defaultPrinter : {true, false}) {
            Office office;
            office.installRunner();
            QVERIFY(office.db()
                        .Connessione()
                        .runNative(QStringLiteral("update opzioni set StampanteDefault = ?"),
                                   {defaultPrinter})
                        .ok());
            QVERIFY(office.program.options().TableOpzioni.requery().ok());
            office.program.frmInizio().print(ReportKind::ContactsByCategory);
            QCOMPARE(office.jobs().value(0, u"Setup").toBool(), !defaultPrinter);
        }
    }

    void privacyFormOfTheContactBeingEdited()
    {
        Office office;
        office.installRunner();
        QVERIFY(
            office.db().Connessione().run(u"insert into Contatti (Cognome) values ('Rossi')").ok());
        QVERIFY(
            office.db().Connessione().run(u"insert into Contatti (Cognome) values ('Verdi')").ok());
        office.program.contacts().TableContatti.setSql(
            QStringLiteral("select * from Contatti where id =2"));
        office.program.contacts().TableContatti.close();
        QVERIFY(office.program.contacts().TableContatti.open().ok());
        office.program.frmInizio().print(ReportKind::PrivacyForm);
        QVERIFY(office.jobs()
                    .value(0, u"Query")
                    .toString()
                    .endsWith(QStringLiteral("Where Contatti.Id = 2")));
    }

    void missingRunnerIsReportedAndTheJobKept()
    {
        Office office;
        office.program.frmInizio().print(ReportKind::Payments);
        QCOMPARE(
            office.dialogs.messages,
            QStringList{QStringLiteral(
                            "Messaggio di errore: Impossibile avviare il programma di stampa: ") +
                        runnerPath(office.folder.path())});
        QCOMPARE(office.jobs().rows.size(), 1);
    }
};

QTEST_MAIN(TestReportHandOff)
#include "tst_reporthandoff.moc"
