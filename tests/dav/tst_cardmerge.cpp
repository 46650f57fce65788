// The three-way merge of a contact between the archive and a phone: changes on different
// fields both kept, the same field changed on both sides a conflict the archive wins and that
// is reported with both values.

#include "dav/cardmerge.h"
#include "vcard/vcardreader.h"

#include <QTest>

using namespace dav;
using namespace vcard;

namespace {

DatiVCard card(const QString &lines)
{
    const QList<DatiVCard> cards = LeggiVCard(
        (QStringLiteral("BEGIN:VCARD\nVERSION:4.0\n") + lines + QStringLiteral("\nEND:VCARD\n"))
            .toUtf8());
    if (cards.size() != 1)
        qFatal("not one card");
    return cards.first();
}

} // namespace

class TestCardMerge : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachSideKeepsItsChange()
    {
        const DatiVCard agreed =
            card("N:Rossi;Mario;;;\nTEL;TYPE=home:06 1\nEMAIL;TYPE=home:mario@esempio.it");
        const DatiVCard office =
            card("N:Rossi;Mario;;;\nTEL;TYPE=home:06 1\nEMAIL;TYPE=home:m.rossi@esempio.it");
        const DatiVCard phone =
            card("N:Rossi;Mario;;;\nTEL;TYPE=home:333 2\nEMAIL;TYPE=home:mario@esempio.it");
        const MergedCard merged = mergeCards(agreed, office, phone);
        QCOMPARE(merged.card[HomeTel1], QStringLiteral("333 2"));
        QCOMPARE(merged.card[HomeEmail1], QStringLiteral("m.rossi@esempio.it"));
        QVERIFY(merged.archiveChanges && merged.serverChanges);
        QVERIFY(merged.conflicts.isEmpty());
    }

    void theSameFieldOnBothSidesIsAConflictTheArchiveWins()
    {
        const DatiVCard agreed = card("N:D'Amico;Lucia;;;\nTEL;TYPE=home:06 1");
        const DatiVCard office = card("N:D'Amico;Lucia;;;\nTEL;TYPE=home:06 2");
        const DatiVCard phone = card("N:D'Amico;Lucia;;;\nTEL;TYPE=home:06 3\nNOTE:è tornata");
        const MergedCard merged = mergeCards(agreed, office, phone);
        QCOMPARE(merged.card[HomeTel1], QStringLiteral("06 2"));
        QCOMPARE(merged.card[Note], QStringLiteral("è tornata"));
        QCOMPARE(merged.conflicts.size(), 1);
        QCOMPARE(merged.conflicts[0].field, QStringLiteral("telefono"));
        QCOMPARE(merged.conflicts[0].office, QStringLiteral("06 2"));
        QCOMPARE(merged.conflicts[0].phone, QStringLiteral("06 3"));
        QVERIFY(merged.archiveChanges && merged.serverChanges);
    }

    // Nothing changed, or the same change on both sides: nothing to write anywhere. The key
    // and the revision are never merged.
    void agreementWritesNothing()
    {
        const DatiVCard a = card("UID:Calvetra7\nN:Verdi;Anna;;;\nBDAY:19700201\nREV:20260101");
        DatiVCard b = a;
        b[Uid] = QStringLiteral("urn:uuid:altro");
        b[Revision] = QStringLiteral("2026-12-08");
        MergedCard merged = mergeCards(a, a, b);
        QVERIFY(!merged.archiveChanges && !merged.serverChanges && merged.conflicts.isEmpty());
        QCOMPARE(merged.card[Uid], QStringLiteral("Calvetra7"));
        DatiVCard both = a;
        both[HomeCell1] = QStringLiteral("347 1");
        merged = mergeCards(a, both, both);
        QVERIFY(!merged.archiveChanges && !merged.serverChanges && merged.conflicts.isEmpty());
        // A field emptied on the phone is emptied in the archive.
        DatiVCard emptied = both;
        emptied[HomeCell1].clear();
        merged = mergeCards(both, both, emptied);
        QVERIFY(merged.card[HomeCell1].isEmpty() && merged.archiveChanges);
    }
};

QTEST_APPLESS_MAIN(TestCardMerge)
#include "tst_cardmerge.moc"
