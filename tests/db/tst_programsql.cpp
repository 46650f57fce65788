// Every SQL text the program sends runs unchanged on a new archive, and the ones whose result
// matters give the right rows.

#include "db/core/datetimes.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

namespace {

struct ProgramText
{
    QString name;
    QString sql;
};

QList<ProgramText> programTexts()
{
    QFile file(QStringLiteral(CALVETRA_TEST_DATA "/db/data/program_sql.txt"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("program_sql.txt missing");
    QList<ProgramText> texts;
    ProgramText current;
    const auto flush = [&] {
        if (!current.name.isEmpty())
            texts.append(current);
        current = {};
    };
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.startsWith(u"-- ")) {
            flush();
            current.name = line.mid(3).trimmed();
        } else if (line.isEmpty() || line.startsWith(u'#')) {
            flush();
        } else if (!current.name.isEmpty()) {
            current.sql += (current.sql.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        }
    }
    flush();
    return texts;
}

QString textNamed(const QString &name)
{
    for (const ProgramText &t : programTexts()) {
        if (t.name == name)
            return t.sql;
    }
    qFatal("no program text named %s", qPrintable(name));
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
    const QString appointment = QStringLiteral(
        "INSERT INTO Calendario (Id, Data, DataAvviso, Cliente_ID, Cliente, TipologiaCalendario, "
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
        const QList<ProgramText> texts = programTexts();
        QVERIFY(texts.size() >= 60);
        for (const ProgramText &t : texts)
            QTest::newRow(qPrintable(t.name)) << t.sql;
    }
    void everyTextRuns()
    {
        QFETCH(QString, sql);
        FreshArchive archive;
        addFixture(archive);
        // The one text that names a workstation does it with a ?.
        const QVariantList values =
            sql.contains(u'?') ? QVariantList{QStringLiteral("PC-UFFICIO")} : QVariantList{};
        const db::Result<db::RowSet> result = archive.connection().run(sql, values);
        QVERIFY2(result.ok(), qPrintable(result.message()));
    }

    void dueRemindersComparedWithStoredDates()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet due = archive.run(textNamed(QStringLiteral("reminders.due-query")));
        // The query does not look at the archived mark: an old, unconcluded reminder stays due.
        QCOMPARE(column(due, QStringLiteral("Note")),
                 QStringList({"archived", "due yesterday", "due today"}));
        QCOMPARE(due.rows[1][0].toDateTime(), at(2026, 12, 9, 10));
    }

    void archivedAppointmentsAreLeftOutNewestFirst()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet agenda = archive.run(textNamed(QStringLiteral("datamodule.calendario")));
        QCOMPARE(column(agenda, QStringLiteral("Id")), QStringList({"3", "2", "1", "4"}));
        QCOMPARE(agenda.value(0, u"Conclusa").typeId(), QMetaType::Bool);
    }

    void topOneTakesTheFirstRegardlessOfCase()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet first =
            archive.run(textNamed(QStringLiteral("datamodule.contatti-first")));
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
        const db::RowSet december =
            archive.run(textNamed(QStringLiteral("birthdays.current-month")));
        QStringList ids = column(december, QStringLiteral("ID"));
        ids.sort();
        QCOMPARE(ids, QStringList({"42", "7"}));
        const db::RowSet withJanuary =
            archive.run(textNamed(QStringLiteral("birthdays.month-end-with-next")));
        QCOMPARE(withJanuary.rows.size(), 4);
    }

    void identityReadsTheKeyJustInserted()
    {
        FreshArchive archive;
        addFixture(archive);
        archive.run(QStringLiteral("insert into Professioni (Descrizione) values ('Notaio')"));
        const db::RowSet id = archive.run(textNamed(QStringLiteral("records.identity")));
        QCOMPARE(id.columns[0].name, QStringLiteral("ID"));
        const db::RowSet row =
            archive.run(QStringLiteral("select Id from Professioni where Descrizione = 'NOTAIO'"));
        QCOMPARE(id.rows[0][0].toLongLong(), row.rows[0][0].toLongLong());
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
        const db::RowSet changed =
            archive.run(textNamed(QStringLiteral("contacts.rename-appointments")));
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
        archive.run(textNamed(QStringLiteral("categories.delete-clear-colour")));
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
        const db::RowSet upTo = archive.run(textNamed(QStringLiteral("notices.filter-birth-to")));
        // Born on 31/12/1960 at noon is in; the cancelled contact is out.
        QStringList ids = column(upTo, QStringLiteral("Id"));
        ids.sort();
        QCOMPARE(ids, QStringList({"42", "7"}));
    }

    void textsCompareRegardlessOfCase()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet notes =
            archive.run(textNamed(QStringLiteral("notices.filter-notes-apostrophe")));
        QCOMPARE(column(notes, QStringLiteral("Id")), QStringList({"42"}));
        const db::RowSet company = archive.run(QStringLiteral(
            "Select * from Contatti where RagioneSociale = 'd''amico forniture s.r.l.'"));
        QCOMPARE(company.rows.size(), 1);
        const db::RowSet wildcard =
            archive.run(textNamed(QStringLiteral("notices.filter-notes-wildcard")));
        QCOMPARE(column(wildcard, QStringLiteral("Id")), QStringList({"7"}));
    }

    void noticeRecipientsOfThisWorkstationOnly()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet all = archive.run(textNamed(QStringLiteral("print.kind7")));
        QCOMPARE(all.rows.size(), 2); // every workstation's recipients
        const db::Result<db::RowSet> bound = archive.connection().run(
            textNamed(QStringLiteral("print.kind7-workstation")), {QStringLiteral("PC-UFFICIO")});
        QVERIFY2(bound.ok(), qPrintable(bound.message()));
        const db::RowSet mine = *bound;
        QCOMPARE(column(mine, QStringLiteral("Contatto")), QStringList({"D'Amico Lucia"}));
        QCOMPARE(column(mine, QStringLiteral("Testo")),
                 QStringList({"Gentile cliente, l'ufficio resterà chiuso."}));
    }

    void paymentsAddUpToTheCent()
    {
        FreshArchive archive;
        addFixture(archive);
        const db::RowSet payments = archive.run(textNamed(QStringLiteral("print.kind6")));
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
        const db::RowSet deleted =
            archive.run(textNamed(QStringLiteral("startup.delete-temp-avvisi")));
        QCOMPARE(deleted.rowsAffected, 1);
        QCOMPARE(archive.run(QStringLiteral("select * from TempAvvisi")).rows.size(), 1);
        const db::RowSet top =
            archive.run(textNamed(QStringLiteral("datamodule.temp-avvisi-first")));
        QCOMPARE(column(top, QStringLiteral("NomeComputer")), QStringList({"PC-CASSA"}));
    }
};

QTEST_GUILESS_MAIN(TestProgramSql)
#include "tst_programsql.moc"
