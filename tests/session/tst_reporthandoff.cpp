// The print job a workstation hands to the report runner.

#include "app/frminizio.h"
#include "app/program.h"
#include "app/reports.h"
#include "contacts/contactstore.h"
#include "db/core/archive.h"
#include "notices/noticestore.h"
#include "options/optionsstore.h"
#include "payments/paymentstore.h"
#include "schema/archivecreator.h"
#include "session/datamodule.h"
#include "session/reporthandoff.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
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
        QVERIFY(!reportDefinition(ReportKind(8), 42).has_value());
        QVERIFY(!reportDefinition(ReportKind(0), 42).has_value());
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
