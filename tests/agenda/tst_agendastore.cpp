// The agenda's store without a window: a new appointment and its defaults, a contact's new name
// in its appointments.

#include "agenda/agendastore.h"
#include "db/core/datetimes.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QTest>

namespace {

struct Agenda
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    SharedDataSets shared{archive.connection(), QStringLiteral("PC")};
    AgendaStore store{shared};
    db::DataSet personalizzazioni{archive.connection()};

    Agenda()
    {
        const QString appointment = QStringLiteral(
            "insert into Calendario (Data, Cliente_ID, Cliente, Note, Storico) values (?, ?, ?, ?, "
            "?)");
        archive.native(appointment,
                       {db::naiveDateTime(QDate(2026, 1, 2)), 1, "Rossi Mario", "uno", false});
        archive.native(appointment,
                       {db::naiveDateTime(QDate(2026, 1, 3)), 2, "Verdi Anna", "due", false});
        archive.native(appointment,
                       {db::naiveDateTime(QDate(2026, 1, 4)), 1, "Rossi Mario", "tre", true});
        archive.native(
            QStringLiteral("insert into Contatti (ID, NominativoDocumenti) values (?, ?)"),
            {1, "Bianchi Mario"});
        personalizzazioni.setSql(QStringLiteral("select * from Personalizzazioni"));
    }
    void setDefault(const QString &column, const QString &type, const QString &value)
    {
        archive.native(
            QStringLiteral("insert into Personalizzazioni (NomeTabella, NomeCampo, Tipo, "
                           "Valore) values ('Calendario', ?, ?, ?)"),
            {column, type, value});
    }
    QStringList clients(const QString &where)
    {
        const db::RowSet rows = archive.run(
            QStringLiteral("select Cliente from Calendario where %1 order by Id").arg(where));
        QStringList names;
        for (qsizetype r = 0; r < rows.rows.size(); ++r)
            names << rows.value(r, u"Cliente").toString();
        return names;
    }
};

} // namespace

class TestAgendaStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aNewAppointmentTakesTheDayAndTheDefaults()
    {
        Agenda a;
        a.setDefault(QStringLiteral("Personale"), QStringLiteral("t"), QStringLiteral("Studio"));
        QVERIFY(a.personalizzazioni.open().ok());
        db::DataSet &ds = a.store.TableCalendario;
        // Not read yet: the new appointment reads the agenda first; a search is lifted.
        QVERIFY(a.store.append(QDate(2026, 5, 1), a.personalizzazioni).ok());
        QCOMPARE(ds.asDateTime(u"Data"), db::naiveDateTime(QDate(2026, 5, 1)));
        QCOMPARE(ds.asString(u"Personale"), QStringLiteral("Studio"));
        QCOMPARE(ds.asBoolean(u"Storico"), false);
        QVERIFY(a.store.save().ok());
        QCOMPARE(ds.recordCount(), 3);
        QVERIFY(ds.setFilter(QStringLiteral("Note = 'uno'")).ok());
        QVERIFY(a.store.append(QDate(2026, 5, 2), a.personalizzazioni).ok());
        QCOMPARE(ds.filter(), QString());
        ds.cancel();
    }

    void aWrongDefaultAddsNothing()
    {
        Agenda a;
        a.setDefault(QStringLiteral("Nessuna"), QStringLiteral("t"), QStringLiteral("x"));
        QVERIFY(a.personalizzazioni.open().ok());
        QVERIFY(a.store.open().ok());
        QVERIFY(!a.store.append(QDate(2026, 5, 1), a.personalizzazioni).ok());
        QCOMPARE(a.store.TableCalendario.state(), db::DataSet::State::Browse);
        QCOMPARE(a.store.TableCalendario.recordCount(), 2);
        QCOMPARE(a.clients(QStringLiteral("1 = 1")).size(), 3);
    }

    void dueRemindersAreTodaysAndOlderNotConcluded()
    {
        Agenda a;
        const QString reminder =
            QStringLiteral("update Calendario set DataAvviso = ?, Conclusa = ? where Note = ?");
        a.archive.native(reminder, {db::naiveDateTime(QDate(2026, 5, 1)), false, "uno"});
        a.archive.native(reminder, {db::naiveDateTime(QDate(2026, 5, 2)), false, "due"});
        a.archive.native(reminder, {db::naiveDateTime(QDate(2026, 4, 1)), true, "tre"});
        const db::RowSet due = a.archive.run(AgendaStore::remindersSql(QDate(2026, 5, 1)));
        QCOMPARE(due.rows.size(), 1);
        QCOMPARE(due.value(0, u"Cliente").toString(), QStringLiteral("Rossi Mario"));
    }

    void aRenamedContactIsRenamedInItsAppointmentsOnly()
    {
        Agenda a;
        // The agenda not read yet has nothing to read again.
        QVERIFY(AgendaStore::renameContact(a.archive.connection(), 1).ok());
        QVERIFY(a.store.contactRenamed(1).ok());
        QVERIFY(!a.store.TableCalendario.isOpen());
        QCOMPARE(a.clients(QStringLiteral("Cliente_ID = 1")),
                 (QStringList{"Bianchi Mario", "Bianchi Mario"}));
        QCOMPARE(a.clients(QStringLiteral("Cliente_ID = 2")), QStringList{"Verdi Anna"});

        QVERIFY(a.store.open().ok());
        a.archive.native(
            QStringLiteral("update Contatti set NominativoDocumenti = 'Neri Mario' where ID = 1"));
        QVERIFY(AgendaStore::renameContact(a.archive.connection(), 1).ok());
        QVERIFY(a.store.contactRenamed(1).ok());
        QVERIFY(a.store.TableCalendario.locate(u"Note", QStringLiteral("uno")).ok());
        QCOMPARE(a.store.TableCalendario.asString(u"Cliente"), QStringLiteral("Neri Mario"));
    }

    // The print's query gives the rows the agenda lists, in its order, for every kind of search
    // and sort: the archive's LIKE, collation and date comparisons agree with the data set's
    // filter and sort, on letter case, accents, wildcards, a literal underscore, nulls and the
    // last second of a day.
    void thePrintListsWhatTheAgendaLists_data()
    {
        QTest::addColumn<QStringList>("boxes"); // tipologia, contatto, note, dalla, alla
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<int>("listed");
        const QStringList none(5);
        QTest::newRow("everything") << none << QDate() << QString() << 8;
        QTest::newRow("contact, letter case aside")
            << QStringList{"", "D'AMICO", "", "", ""} << QDate() << QString() << 2;
        QTest::newRow("accented initial")
            << QStringList{"", "àl", "", "", ""} << QDate() << QString() << 1;
        QTest::newRow("an underscore is itself")
            << QStringList{"", "Rossi_", "", "", ""} << QDate() << QString() << 1;
        QTest::newRow("wildcards inside")
            << QStringList{"", "r*i%b", "", "", ""} << QDate() << QString() << 2;
        QTest::newRow("a day, to its last second") << none << QDate(2026, 3, 10) << QString() << 3;
        QTest::newRow("a range") << QStringList{"", "", "", "09/03/2026", "10/03/2026"} << QDate()
                                 << QStringLiteral("Data ASC") << 4;
        QTest::newRow("by contact, nulls first")
            << none << QDate() << QStringLiteral("Cliente ASC") << 8;
        QTest::newRow("by type, ties newest first")
            << none << QDate() << QStringLiteral("TipologiaCalendario ASC") << 8;
    }
    void thePrintListsWhatTheAgendaLists()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QDate, day);
        QFETCH(QString, sort);
        QFETCH(int, listed);
        Agenda a;
        const QString appointment = QStringLiteral(
            "insert into Calendario (Data, Cliente, TipologiaCalendario, Note, Storico, "
            "Personale) values (?, ?, ?, ?, ?, ?)");
        const auto at = [](int m, int d, int h, int min, int sec = 0) {
            return db::naiveDateTime(QDate(2026, m, d), QTime(h, min, sec));
        };
        for (const QVariantList &row : QList<QVariantList>{
                 {at(3, 10, 9, 30), "D'Amico Lucia", "Telefonata", "quattro", false, "B"},
                 {at(3, 10, 23, 59, 59), "d'amico lucia", "telefonata", "cinque", false, "A"},
                 {at(3, 11, 0, 0), "Àlberti Niccolò", "Visita", "sei", false, "A"},
                 {at(3, 9, 15, 0), QVariant(), "Visita", "sette", false, "A"},
                 {at(3, 10, 12, 0), "Rossi_Bis", "Visita", "otto", false, "A"},
                 {at(2, 1, 8, 0), "RossiXBis", QVariant(), "nove", false, "A"},
                 {at(2, 2, 8, 0), "Zanetti", "Visita", "dieci", true, "A"}})
            a.archive.native(appointment, row);
        QVERIFY(a.store.open().ok());
        QVERIFY(
            a.store.search({boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], day.isValid(), day})
                .ok());
        db::DataSet &agenda = a.store.TableCalendario;
        QVERIFY(agenda.setSort(sort).ok());
        QStringList shown;
        for (int r = 0; r < agenda.recordCount(); ++r)
            shown << agenda.valueAt(r, agenda.columnIndex(u"Note")).toString();
        QCOMPARE(shown.size(), listed);

        const ReportDefinition report = AgendaStore::appointmentsReport(a.store.listing());
        const db::Result<db::RowSet> printed =
            a.archive.connection().run(report.sql, report.values);
        QVERIFY2(printed.ok(), qPrintable(printed.message()));
        QStringList notes;
        for (qsizetype r = 0; r < printed->rows.size(); ++r)
            notes << printed->value(r, u"Note").toString();
        QCOMPARE(notes, shown);
    }
};

QTEST_GUILESS_MAIN(TestAgendaStore)
#include "tst_agendastore.moc"
