// What the archive remembers of the phones' server: the settings, and per collection its
// address, its sync token and the items agreed; an archive that never synced is read without
// being written.

#include "dav/syncstore.h"
#include "testsupport.h"

#include <QTest>

using namespace dav;

class TestDavSyncStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsAndStateComeBack()
    {
        FreshArchive archive;
        db::Connection &c = archive.connection();
        // Never synced: nothing, and no table made by reading.
        QVERIFY(readStoredSettings(c)->server.isEmpty());
        QVERIFY(readCollectionState(c, Collection::Contacts, "https://x/")->items.isEmpty());
        QVERIFY(
            !c.tableNames()->contains(QStringLiteral("SincroniaElementi"), Qt::CaseInsensitive));

        QVERIFY(writeStoredSettings(c, {" https://dav.esempio.it/ ", "ufficio", "l'è segreta"}));
        const db::Result<StoredSettings> settings = readStoredSettings(c);
        QCOMPARE(settings->server, QStringLiteral("https://dav.esempio.it/"));
        QCOMPARE(settings->password, QStringLiteral("l'è segreta"));

        CollectionState contacts;
        contacts.url = QStringLiteral("https://dav.esempio.it/ufficio/calvetra-contatti/");
        contacts.syncToken = QStringLiteral("tok-1");
        contacts.items.insert(7, {7, "/ufficio/calvetra-contatti/Calvetra7.vcf", "\"e1\"",
                                  "BEGIN:VCARD\r\nN:D'Amico;Lucia;;;\r\nEND:VCARD\r\n",
                                  "BEGIN:VCARD\r\nN:D'Amico;Lucia;;;\r\nUID:Calvetra7\r\n"
                                  "END:VCARD\r\n"});
        QVERIFY(writeCollectionState(c, Collection::Contacts, contacts));
        QVERIFY(writeCollectionState(c, Collection::Agenda, {"https://dav.esempio.it/a/", "", {}}));
        const db::Result<CollectionState> back =
            readCollectionState(c, Collection::Contacts, contacts.url);
        QVERIFY(back);
        QCOMPARE(back->syncToken, QStringLiteral("tok-1"));
        QCOMPARE(back->items.size(), 1);
        QCOMPARE(back->items[7].etag, QStringLiteral("\"e1\""));
        QVERIFY(back->items[7].agreed.contains(QStringLiteral("D'Amico")));
        QVERIFY(back->items[7].archive.contains(QStringLiteral("UID:Calvetra7")));
        // Another server or user: its state means nothing here.
        QVERIFY(readCollectionState(c, Collection::Contacts, "https://altro/")->items.isEmpty());
        // Written again, the state replaces the old one.
        contacts.items.clear();
        QVERIFY(writeCollectionState(c, Collection::Contacts, contacts));
        QVERIFY(readCollectionState(c, Collection::Contacts, contacts.url)->items.isEmpty());
        QCOMPARE(readCollectionState(c, Collection::Agenda, "https://dav.esempio.it/a/")->url,
                 QStringLiteral("https://dav.esempio.it/a/"));
    }

    // A table of the first version, without the archive's side, is read (its items with none)
    // and takes the column at the next write.
    void firstVersionTableIsCarriedOn()
    {
        FreshArchive archive;
        db::Connection &c = archive.connection();
        archive.native(QStringLiteral(
            "CREATE TABLE SincroniaElementi (Tipo TEXT NOT NULL, Locale INTEGER NOT NULL, "
            "Href TEXT NOT NULL, ETag TEXT, Accordato TEXT, PRIMARY KEY (Tipo, Locale))"));
        archive.native(QStringLiteral("CREATE TABLE SincroniaRaccolte (Tipo TEXT PRIMARY KEY, "
                                      "Url TEXT NOT NULL, SyncToken TEXT)"));
        archive.native(QStringLiteral("INSERT INTO SincroniaRaccolte VALUES ('contatti', "
                                      "'https://x/', 't')"));
        archive.native(QStringLiteral("INSERT INTO SincroniaElementi VALUES ('contatti', 3, "
                                      "'/x/3.vcf', 'e', 'BEGIN:VCARD')"));
        db::Result<CollectionState> old =
            readCollectionState(c, Collection::Contacts, "https://x/");
        QVERIFY2(old, qPrintable(old.message()));
        QCOMPARE(old->items.value(3).agreed, QStringLiteral("BEGIN:VCARD"));
        QVERIFY(old->items.value(3).archive.isEmpty());
        old->items[3].archive = QStringLiteral("vista");
        QVERIFY(writeCollectionState(c, Collection::Contacts, *old));
        QCOMPARE(readCollectionState(c, Collection::Contacts, "https://x/")->items.value(3).archive,
                 QStringLiteral("vista"));
    }
};

QTEST_GUILESS_MAIN(TestDavSyncStore)
#include "tst_davsyncstore.moc"
