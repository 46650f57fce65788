// Every SQL text the program sends runs unchanged on a new archive, and the ones whose result
// matters give the right rows. The texts are the code's own: the features' functions and the
// shared data sets their stores declare, filled with sample values (this workstation
// PC-UFFICIO, contact 42 and 7 for the payments, category 3, today 7 December 2026, user texts
// holding an apostrophe).

#include "agenda/agendastore.h"
#include "app/reports.h"
#include "contacts/contactstore.h"
#include "contacts/vcardexport.h"
#include "db/core/datetimes.h"
#include "featurestores.h"
#include "notices/noticequery.h"
#include "notices/noticestore.h"
#include "notices/recipients.h"
#include "payments/paymentstore.h"
#include "reference/capfinder.h"
#include "reference/lookuptables.h"
#include "testsupport.h"
#include "tools/stampa/jobsource.h"

#include <QTest>

namespace {

struct ProgramText
{
    QString name;
    QString sql;
    QVariantList values; // bound to its ?, in order
};

QString workstation()
{
    return QStringLiteral("PC-UFFICIO");
}

// Every shared data set as start-up and the windows open it: its SQL and, for a data set of one
// workstation's rows, the SQL start-up reads them with.
void addRegistryTexts(QList<ProgramText> &texts)
{
    Stores stores;
    for (const SharedDataSets::Entry &entry : stores.module.shared().entries()) {
        const SharedDataSet &declared = entry.declaration;
        const QString name = QStringLiteral("registry.") + declared.name;
        texts.append({name, declared.sql, {}});
        if (declared.kind == SharedDataSet::Kind::PerWorkstation)
            texts.append(
                {name + QStringLiteral(".workstation"), declared.workstationSql, {workstation()}});
    }
}

// The filter step's query, one text per kind of condition and one with all of them.
void addNoticeFilterTexts(QList<ProgramText> &texts)
{
    const QString from = QStringLiteral("01/01/1960");
    const QString to = QStringLiteral("31/12/1960");
    const QString notes = QStringLiteral("fornitore d'ufficio");
    using notices::NoticeFilter;
    // A filter with only the choices `choose` makes.
    const auto with = [](const auto &choose) {
        NoticeFilter filter;
        choose(filter);
        return filter;
    };
    const QList<std::pair<const char *, NoticeFilter>> filters = {
        {"none", {}},
        {"profession", with([](NoticeFilter &f) { f.professione = 4; })},
        {"category", with([](NoticeFilter &f) { f.categoria = 2; })},
        {"municipality", with([](NoticeFilter &f) { f.comune = 15; })},
        {"province", with([](NoticeFilter &f) { f.provincia = QStringLiteral("RM"); })},
        {"notes-apostrophe", with([&](NoticeFilter &f) { f.note = notes; })},
        {"notes-wildcard", with([](NoticeFilter &f) { f.note = QStringLiteral("rif*2024"); })},
        {"birth-from", with([&](NoticeFilter &f) { f.daData = from; })},
        {"birth-to", with([&](NoticeFilter &f) { f.aData = to; })},
        {"birth-range", with([&](NoticeFilter &f) {
             f.daData = from;
             f.aData = to;
         })},
        {"all", {4, 2, 15, QStringLiteral("RM"), notes, from, to}},
    };
    for (const auto &[name, filter] : filters) {
        const db::Result<QString> sql = notices::composeNoticeQuery(filter);
        if (!sql)
            qFatal("notices.filter-%s: %s", name, qPrintable(sql.message()));
        texts.append({QStringLiteral("notices.filter-") + QLatin1String(name), *sql, {}});
    }
}

// Each report's query, bound as the report runner binds it; the appointments' also as the
// agenda lists them after a search by every box, by the clicked day and by a sort.
void addReportTexts(QList<ProgramText> &texts)
{
    for (int kind = int(ReportKind::ContactBook); kind <= int(ReportKind::Appointments); ++kind) {
        const std::optional<ReportDefinition> report = reportDefinition(ReportKind(kind), 42);
        if (!report)
            qFatal("no report of kind %d", kind);
        const db::Result<QVariantList> values = stampa::queryValues(report->sql, workstation());
        if (!values)
            qFatal("print.kind%d: %s", kind, qPrintable(values.message()));
        texts.append({QStringLiteral("print.kind%1").arg(kind), report->sql, *values});
    }
    const QList<std::pair<const char *, AgendaListing>> listings = {
        {"every-box",
         {{QStringLiteral("Vis*"),
           QStringLiteral("D'Amico_"),
           QStringLiteral("due%"),
           QStringLiteral("01/12/2026"),
           QStringLiteral("31/12/2026"),
           false,
           {}},
          QStringLiteral("Cliente DESC")}},
        {"day", {{{}, {}, {}, {}, {}, true, QDate(2026, 12, 9)}, QStringLiteral("Note ASC")}},
    };
    for (const auto &[name, listing] : listings) {
        const ReportDefinition report = AgendaStore::appointmentsReport(listing);
        texts.append({QStringLiteral("print.appointments-") + QLatin1String(name), report.sql,
                      report.values});
    }
}

QList<ProgramText> programTexts()
{
    const QDate today(2026, 12, 7);
    const QStringList scratch = NoticeStore::scratchRowsSql();
    QList<ProgramText> texts = {
        {QStringLiteral("startup.delete-temp-avvisi"), scratch.value(0), {workstation()}},
        {QStringLiteral("startup.delete-temp-avvisi-contatti"), scratch.value(1), {workstation()}},
        {QStringLiteral("reminders.due-query"), AgendaStore::remindersSql(today), {}},
        {QStringLiteral("birthdays.current-month"), ContactStore::birthdaysSql(today), {}},
        // After the 25th the next month's birthdays come too.
        {QStringLiteral("birthdays.month-end-with-next"),
         ContactStore::birthdaysSql(QDate(2026, 12, 28)),
         {}},
        {QStringLiteral("contacts.contact"), ContactStore::contactSql(), {42}},
        {QStringLiteral("contacts.rename-appointments"), AgendaStore::renameContactSql(), {42}},
        {QStringLiteral("payments.of-contact"), PaymentStore::contactPaymentsSql(), {7}},
        {QStringLiteral("vcard.export-query"), vCardExportSql(), {42}},
        {QStringLiteral("categories.delete-clear-colour"),
         reference::clearCategoryColourSql(),
         {3}},
        {QStringLiteral("postcodes.single-code-lookup"),
         capShortcutSql(QStringLiteral("Reggio nell'Emilia")),
         {}},
        {QStringLiteral("postcodes.streets-of-town"),
         streetListSql(QStringLiteral("Sant'Agata de' Goti")),
         {}},
        {QStringLiteral("postcodes.single-code-lookup-plain"),
         capShortcutSql(QStringLiteral("Milano")),
         {}},
        {QStringLiteral("notices.print-delete-recipients"),
         notices::clearRecipientsSql(),
         {workstation()}},
        {QStringLiteral("notices.print-insert-recipient"),
         notices::addRecipientSql(),
         {workstation(), 42}},
        {QStringLiteral("notices.stored-text"), notices::storedNoticeTextSql(), {workstation()}},
    };
    addRegistryTexts(texts);
    addNoticeFilterTexts(texts);
    addReportTexts(texts);
    return texts;
}

ProgramText textNamed(const QString &name)
{
    for (const ProgramText &t : programTexts()) {
        if (t.name == name)
            return t;
    }
    qFatal("no program text named %s", qPrintable(name));
}

// Runs the text with its sample values; it must succeed.
db::RowSet runText(FreshArchive &archive, const QString &name)
{
    const ProgramText text = textNamed(name);
    db::Result<db::RowSet> result = archive.connection().run(text.sql, text.values);
    if (!result) {
        QTest::qFail(qPrintable(name + QStringLiteral(": ") + result.message()), __FILE__,
                     __LINE__);
        return {};
    }
    return std::move(*result);
}

QDateTime at(int y, int m, int d, int h = 0, int min = 0)
{
    return db::naiveDateTime(QDate(y, m, d), QTime(h, min));
}

// A few rows in every table the texts read, with the edge cases their results depend on.
void addFixture(FreshArchive &archive)
{
    db::Connection &c = archive.connection();
    const auto insert = [&](const QString &sql, const QVariantList &values) {
        const db::Result<db::RowSet> r = c.runNative(sql, values);
        if (!r)
            qFatal("%s", qPrintable(r.message()));
    };
    const QString contact = QStringLiteral(
        "INSERT INTO Contatti (ID, RagioneSociale, Cognome, Nome, NominativoDocumenti, "
        "NominativoVisualizzato, Categoria_ID, ColoreCategoria, Citta_ID, DataNascita, Note, "
        "Annullato, Professione_id) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert(contact,
           {42, QVariant(), "D'Amico", "Lucia", "D'Amico Lucia", "D'Amico Lucia - 15/12/1960", 3,
            255, 15, at(1960, 12, 15), "Fornitore D'Ufficio dal 2019", false, 4});
    insert(contact, {7, "D'Amico Forniture S.r.l.", QVariant(), QVariant(),
                     "D'Amico Forniture S.r.l.", "D'Amico Forniture S.r.l.", 2, 65280, 15,
                     at(1960, 12, 31, 12), "rif. 2024/17", false, 4});
    insert(contact, {8, QVariant(), "bianchi", "Anna", "bianchi Anna", "bianchi Anna", 3, 255, 16,
                     at(1975, 1, 3), QVariant(), false, 5});
    insert(contact, {9, QVariant(), "Zeta", "Ugo", "Zeta Ugo", "Zeta Ugo", 1, 16711680, 15,
                     at(1961, 1, 1), QVariant(), true, 4});
    insert(
        QStringLiteral("INSERT INTO Categorie (Id, Descrizione, ColoreCategoria) VALUES (?, ?, ?)"),
        {3, "Clienti", 255});
    insert(
        QStringLiteral("INSERT INTO Categorie (Id, Descrizione, ColoreCategoria) VALUES (?, ?, ?)"),
        {2, "Fornitori", 65280});
    const QString appointment =
        QStringLiteral("INSERT INTO Calendario (Id, Data, DataAvviso, Cliente_ID, Cliente, "
                       "TipologiaCalendario, "
                       "Note, Conclusa, Storico, Personale) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert(appointment, {1, at(2026, 12, 9, 10), at(2026, 12, 6), 42, "old name", "Visita",
                         "due yesterday", false, false, "A"});
    insert(appointment, {2, at(2026, 12, 9, 11), at(2026, 12, 7), 42, "old name", "Visita",
                         "due today", false, false, "B"});
    insert(appointment, {3, at(2026, 12, 10), at(2026, 12, 8), 7, "old name", "Visita",
                         "due tomorrow", false, false, "C"});
    insert(appointment, {4, at(2026, 12, 1), at(2026, 11, 30), 7, "old name", "Visita", "concluded",
                         true, false, "D"});
    insert(appointment, {5, at(2020, 1, 1), at(2019, 12, 30), 8, "old name", "Visita", "archived",
                         false, true, "E"});
    const QString payment = QStringLiteral("INSERT INTO Pagamenti (Id, Contatto_ID, data, "
                                           "Descrizione, Importo) VALUES (?, ?, ?, ?, ?)");
    insert(payment, {1, 7, at(2026, 1, 10), "Acconto", 1234.56});
    insert(payment, {2, 7, at(2026, 2, 10), "Saldo", 0.1});
    insert(payment, {3, 7, at(2026, 3, 10), "Saldo", 0.2});
    insert(QStringLiteral("INSERT INTO TempAvvisi (NomeComputer, Testo) VALUES (?, ?)"),
           {"PC-UFFICIO", "Gentile cliente, l'ufficio resterà chiuso."});
    insert(QStringLiteral("INSERT INTO TempAvvisi (NomeComputer, Testo) VALUES (?, ?)"),
           {"PC-CASSA", "Altro avviso"});
    insert(
        QStringLiteral("INSERT INTO TempAvvisiContatti (NomeComputer, Contatto_ID) VALUES (?, ?)"),
        {"PC-UFFICIO", 42});
    insert(
        QStringLiteral("INSERT INTO TempAvvisiContatti (NomeComputer, Contatto_ID) VALUES (?, ?)"),
        {"PC-CASSA", 8});
}

QStringList column(const db::RowSet &rows, const QString &name)
{
    QStringList values;
    const int c = rows.columnIndex(name);
    for (const QVariantList &row : rows.rows)
        values.append(c < 0 ? QStringLiteral("<no column>") : row[c].toString());
    return values;
}

// For a query without an order.
QStringList sortedColumn(const db::RowSet &rows, const QString &name)
{
    QStringList values = column(rows, name);
    values.sort();
    return values;
}

} // namespace

class TestProgramSql : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { db::clock::setFixedNow(at(2026, 12, 7, 9)); }
    void cleanup() { db::clock::useSystemTime(); }

    void everyTextRuns_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QVariantList>("values");
        const QList<ProgramText> texts = programTexts();
        QVERIFY(texts.size() >= 60);
        for (const ProgramText &t : texts)
            QTest::newRow(qPrintable(t.name)) << t.sql << t.values;
    }
    void everyTextRuns()
    {
        QFETCH(QString, sql);
        QFETCH(QVariantList, values);
        FreshArchive archive;
        addFixture(archive);
        const db::Result<db::RowSet> result = archive.connection().run(sql, values);
        QVERIFY2(result.ok(), qPrintable(result.message()));
    }

    void dueRemindersComparedWithStoredDates()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet due = runText(archive, QStringLiteral("reminders.due-query"));
        // The query does not look at the archived mark: an old, unconcluded reminder stays due.
        QCOMPARE(column(due, QStringLiteral("Note")),
                 QStringList({"archived", "due yesterday", "due today"}));
        QCOMPARE(due.rows[1][0].toDateTime(), at(2026, 12, 9, 10));
    }

    void archivedAppointmentsAreLeftOutNewestFirst()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet agenda = runText(archive, QStringLiteral("registry.TableCalendario"));
        QCOMPARE(column(agenda, QStringLiteral("Id")), QStringList({"3", "2", "1", "4"}));
        QCOMPARE(agenda.value(0, u"Conclusa").typeId(), QMetaType::Bool);
    }

    void topOneTakesTheFirstRegardlessOfCase()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet first = runText(archive, QStringLiteral("registry.TableContatti"));
        QCOMPARE(first.rows.size(), 1);
        // Null surnames sort first, then 'bianchi' before "D'Amico" and 'Zeta'.
        QCOMPARE(first.value(0, u"ID").toInt(), 7);
        const db::RowSet persons = archive.run(QStringLiteral(
            "select top 2 * from Contatti where Cognome is not null order by Cognome,Nome"));
        QCOMPARE(column(persons, QStringLiteral("Cognome")), QStringList({"bianchi", "D'Amico"}));
    }

    void birthdaysOfTheMonth()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet december = runText(archive, QStringLiteral("birthdays.current-month"));
        QCOMPARE(sortedColumn(december, QStringLiteral("ID")), QStringList({"42", "7"}));
        const db::RowSet withJanuary =
            runText(archive, QStringLiteral("birthdays.month-end-with-next"));
        QCOMPARE(withJanuary.rows.size(), 4);
    }

    // Report layouts and exports find their fields by the names the query gives them.
    void columnsAreCalledAsTheQueryCallsThem()
    {
        FreshArchive archive;
        const db::RowSet row = archive.run(QStringLiteral(
            "select Comuni.Cap, COALESCE(NULLIF('', ''), Comuni.CAP) AS CAP, Comune AS NomeComune, "
            "Provincia from Comuni where Comune = 'Forlì'"));
        QStringList names;
        for (const db::Column &column : row.columns)
            names << column.name;
        QCOMPARE(names, QStringList({"Cap", "CAP", "NomeComune", "Provincia"}));
    }

    void renameReachesOnlyTheContactsAppointments()
    {
        FreshArchive archive;
        addFixture(archive);
        archive.run(QStringLiteral(
            "update Contatti set NominativoDocumenti = 'D''Amico Lucia Maria' where ID = 42"));
        const db::RowSet changed = runText(archive, QStringLiteral("contacts.rename-appointments"));
        QCOMPARE(changed.rowsAffected, 2);
        const db::RowSet rows =
            archive.run(QStringLiteral("select Cliente from Calendario order by Id"));
        QCOMPARE(column(rows, QStringLiteral("Cliente")),
                 QStringList({"D'Amico Lucia Maria", "D'Amico Lucia Maria", "old name", "old name",
                              "old name"}));
    }

    void deletedCategoryClearsOnlyItsContactsColour()
    {
        FreshArchive archive;
        addFixture(archive);
        runText(archive, QStringLiteral("categories.delete-clear-colour"));
        const db::RowSet rows = archive.run(
            QStringLiteral("select ID, Categoria_ID, ColoreCategoria from Contatti order by ID"));
        QCOMPARE(column(rows, QStringLiteral("ColoreCategoria")),
                 QStringList({"65280", "", "16711680", ""}));
        QCOMPARE(column(rows, QStringLiteral("Categoria_ID")), QStringList({"2", "3", "1", "3"}));
    }

    void endOfDayLiteralTakesTheWholeDay()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet upTo = runText(archive, QStringLiteral("notices.filter-birth-to"));
        // Born on 31/12/1960 at noon is in; the cancelled contact is out.
        QCOMPARE(sortedColumn(upTo, QStringLiteral("Id")), QStringList({"42", "7"}));
    }

    void textsCompareRegardlessOfCase()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet notes =
            runText(archive, QStringLiteral("notices.filter-notes-apostrophe"));
        QCOMPARE(column(notes, QStringLiteral("Id")), QStringList({"42"}));
        const db::RowSet company = archive.run(QStringLiteral(
            "Select * from Contatti where RagioneSociale = 'd''amico forniture s.r.l.'"));
        QCOMPARE(company.rows.size(), 1);
        const db::RowSet wildcard =
            runText(archive, QStringLiteral("notices.filter-notes-wildcard"));
        QCOMPARE(column(wildcard, QStringLiteral("Id")), QStringList({"7"}));
    }

    void noticeRecipientsOfThisWorkstationOnly()
    {
        FreshArchive archive;
        addFixture(archive);
        // Both workstations have a recipient; the query gives this workstation's only.
        QCOMPARE(archive.run(QStringLiteral("select * from TempAvvisiContatti")).rows.size(), 2);
        const db::RowSet mine = runText(archive, QStringLiteral("print.kind7"));
        QCOMPARE(column(mine, QStringLiteral("Contatto")), QStringList({"D'Amico Lucia"}));
        QCOMPARE(column(mine, QStringLiteral("Testo")),
                 QStringList({"Gentile cliente, l'ufficio resterà chiuso."}));
    }

    void paymentsAddUpToTheCent()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet payments = runText(archive, QStringLiteral("print.kind6"));
        QCOMPARE(payments.rows.size(), 3);
        const db::RowSet sum =
            archive.run(QStringLiteral("select sum(Importo) as Totale from Pagamenti"));
        QCOMPARE(qRound64(sum.rows[0][0].toDouble() * 100), 123486);
        const db::RowSet one =
            archive.run(QStringLiteral("select Importo from Pagamenti where Id = 2"));
        QCOMPARE(one.columns[0].kind, db::FieldKind::Currency);
        QCOMPARE(one.rows[0][0].toDouble(), 0.1);
    }

    void deleteStarAndTopOnTheStartupTexts()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet deleted = runText(archive, QStringLiteral("startup.delete-temp-avvisi"));
        QCOMPARE(deleted.rowsAffected, 1);
        QCOMPARE(archive.run(QStringLiteral("select * from TempAvvisi")).rows.size(), 1);
        const db::RowSet top = runText(archive, QStringLiteral("registry.TableTempAvvisi"));
        QCOMPARE(column(top, QStringLiteral("NomeComputer")), QStringList({"PC-CASSA"}));
    }
};

QTEST_GUILESS_MAIN(TestProgramSql)
#include "tst_programsql.moc"
