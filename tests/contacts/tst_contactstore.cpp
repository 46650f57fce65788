// The contacts' store without a window: the save with the appointments' names, a new contact's
// defaults, the deletion from the list.

#include "agenda/agendastore.h"
#include "common/colours.h"
#include "contacts/contactstore.h"
#include "db/core/datetimes.h"
#include "session/shareddatasets.h"
#include "testsupport.h"

#include <QTest>

namespace {

struct Contacts
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    SharedDataSets shared{archive.connection(), QStringLiteral("PC")};
    AgendaStore agenda{shared};
    ContactStore store{shared, agenda};
    db::DataSet personalizzazioni{archive.connection()};

    Contacts()
    {
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, Cognome, NominativoDocumenti) values (?, ?, ?)");
        archive.native(contact, {1, "Bianchi", "Bianchi"});
        archive.native(contact, {2, "Rossi", "Rossi"});
        archive.native(contact, {3, "Verdi", "Verdi"});
        archive.native(QStringLiteral("insert into Calendario (Data, Cliente_ID, Cliente, "
                                      "Storico) values (?, 2, 'Rossi', false)"),
                       {db::naiveDateTime(QDate(2026, 3, 1))});
        personalizzazioni.setSql(QStringLiteral("select * from Personalizzazioni"));
        if (!shared.reopen() || !store.openList() || !agenda.open() || !personalizzazioni.open())
            qFatal("cannot open the contacts");
    }
    QString stored(const QString &sql)
    {
        return archive.run(sql).rows.value(0).value(0).toString();
    }
};

} // namespace

class TestContactStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { db::clock::useSystemTime(); }

    void aRenameReachesTheAppointmentsAndTheList()
    {
        Contacts c;
        QVERIFY(c.store.openContact(2).ok());
        QVERIFY(
            c.store.TableContatti.setValue(u"NominativoDocumenti", QStringLiteral("Neri")).ok());
        QVERIFY(c.store.save(true).ok());
        QCOMPARE(c.stored(QStringLiteral("select Cliente from Calendario")),
                 QStringLiteral("Neri"));
        QCOMPARE(c.agenda.TableCalendario.asString(u"Cliente"), QStringLiteral("Neri"));
        QCOMPARE(c.store.TableCercaContatti.asInteger(u"Ide"), 2);
        QCOMPARE(c.store.TableCercaContatti.asString(u"NominativoDocumenti"),
                 QStringLiteral("Neri"));
        // Without a rename the appointments keep the name they show.
        QVERIFY(
            c.store.TableContatti.setValue(u"NominativoDocumenti", QStringLiteral("Gialli")).ok());
        QVERIFY(c.store.save(false).ok());
        QCOMPARE(c.stored(QStringLiteral("select Cliente from Calendario")),
                 QStringLiteral("Neri"));
        QVERIFY(c.dialogs.messages.isEmpty());
    }

    void aRefusedRenameStoresNothingAndKeepsTheTyping()
    {
        Contacts c;
        QVERIFY(c.store.openContact(2).ok());
        c.archive.refuseWrites(QStringLiteral("update"), QStringLiteral("Calendario"),
                               QStringLiteral("agenda bloccata"));
        QVERIFY(
            c.store.TableContatti.setValue(u"NominativoDocumenti", QStringLiteral("Neri")).ok());
        QVERIFY(!c.store.save(true).ok());
        QCOMPARE(c.stored(QStringLiteral("select NominativoDocumenti from Contatti where ID = 2")),
                 QStringLiteral("Rossi"));
        QCOMPARE(c.store.TableContatti.asString(u"NominativoDocumenti"), QStringLiteral("Neri"));
        QCOMPARE(c.dialogs.messages.size(), 1);
        // Saved again once the archive accepts it.
        c.archive.allowWrites();
        QVERIFY(c.store.save(true).ok());
        QCOMPARE(c.stored(QStringLiteral("select Cliente from Calendario")),
                 QStringLiteral("Neri"));
    }

    void aNewContactTakesTheDefaults()
    {
        Contacts c;
        db::clock::setFixedNow(db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        c.archive.native(QStringLiteral("insert into Personalizzazioni (NomeTabella, NomeCampo, "
                                        "Tipo, Valore) values ('Contatti', 'Note', 't', 'nuovo')"));
        QVERIFY(c.personalizzazioni.requery().ok());
        QVERIFY(c.store.appendContact(c.personalizzazioni).ok());
        QVERIFY(c.store.storeNewContact().ok());
        const qint64 id = c.store.TableContatti.asInteger(u"Id");
        const db::RowSet row =
            c.archive.run(QStringLiteral("select * from Contatti where ID = %1").arg(id));
        QCOMPARE(row.value(0, u"Annullato").toBool(), false);
        QCOMPARE(row.value(0, u"NumeroColore").toLongLong(), kBianco);
        QCOMPARE(row.value(0, u"DataInserimento").toDateTime(),
                 db::naiveDateTime(QDate(2026, 12, 7)));
        QCOMPARE(row.value(0, u"Note").toString(), QStringLiteral("nuovo"));
        // Left blank, it goes again; the list does not show it.
        QVERIFY(c.store.dropContact().ok());
        QCOMPARE(c.stored(QStringLiteral("select count(*) from Contatti")), QStringLiteral("3"));
        QCOMPARE(c.store.TableCercaContatti.recordCount(), 3);
    }

    void aDefaultThatDoesNotFitAddsNothing()
    {
        Contacts c;
        c.archive.native(QStringLiteral("insert into Personalizzazioni (NomeTabella, NomeCampo, "
                                        "Tipo, Valore) values ('Contatti', 'Nessuna', 't', 'x')"));
        QVERIFY(c.personalizzazioni.requery().ok());
        QVERIFY(!c.store.appendContact(c.personalizzazioni).ok());
        QCOMPARE(c.store.TableContatti.state(), db::DataSet::State::Browse);
        QCOMPARE(c.stored(QStringLiteral("select count(*) from Contatti")), QStringLiteral("3"));
    }

    void birthdaysAfterThe25thReachIntoTheNextMonth_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("born");
        QTest::newRow("10 December") << QDate(2026, 12, 10) << QStringList{"Rossi"};
        QTest::newRow("26 December") << QDate(2026, 12, 26) << QStringList{"Rossi", "Verdi"};
        QTest::newRow("26 November") << QDate(2026, 11, 26) << QStringList{"Rossi"};
    }
    void birthdaysAfterThe25thReachIntoTheNextMonth()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, born);
        Contacts c;
        const QString birth = QStringLiteral("update Contatti set DataNascita = ? where ID = ?");
        c.archive.native(birth, {db::naiveDateTime(QDate(1970, 12, 31)), 2});
        c.archive.native(birth, {db::naiveDateTime(QDate(1980, 1, 1)), 3});
        const db::RowSet rows = c.archive.run(ContactStore::birthdaysSql(today));
        QStringList names;
        for (qsizetype r = 0; r < rows.rows.size(); ++r)
            names << rows.value(r, u"Cognome").toString();
        names.sort();
        QCOMPARE(names, born);
    }

    void aDeletedContactLeavesTheListOnTheOneBefore()
    {
        Contacts c;
        db::DataSet &list = c.store.TableCercaContatti;
        QVERIFY(*list.locate(u"Ide", 2));
        QVERIFY(c.store.removeListed().ok());
        QCOMPARE(list.recordCount(), 2);
        QCOMPARE(list.asInteger(u"Ide"), 1);
        // The first one deleted, the list goes to the one that followed.
        list.first();
        QVERIFY(c.store.removeListed().ok());
        QCOMPARE(list.asInteger(u"Ide"), 3);
        QCOMPARE(c.stored(QStringLiteral("select count(*) from Contatti")), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestContactStore)
#include "tst_contactstore.moc"
