// The card writer: the lines it writes, and what two readers (ours and one nobody here wrote)
// read back from them.

#include "vcard/vcardreader.h"
#include "vcard/vcardvalues.h"
#include "vcard/vcardwriter.h"
#include "vobjectcheck.h"

#include <QJsonObject>
#include <QTest>

using namespace vcard;

namespace {

DatiVCard person()
{
    DatiVCard c;
    c[FamilyName] = QStringLiteral("Rossi");
    c[GivenName] = QStringLiteral("Mario");
    c[HomeTel1] = QStringLiteral("06 1234567");
    c[HomeCell1] = QStringLiteral("333 1234567");
    c[WorkEmail1] = QStringLiteral("mario@studio.it");
    c[HomeStreet] = QStringLiteral("Via Appia");
    c[HomeNumber] = QStringLiteral("12");
    c[HomeLocality] = QStringLiteral("Roma");
    c[HomeRegion] = QStringLiteral("RM");
    c[HomePostalCode] = QStringLiteral("00184");
    c[Uid] = QStringLiteral("Calvetra7");
    c[Birthday] = slotDate(QDate(1970, 2, 1));
    c[Revision] = slotDate(QDate(2026, 12, 7));
    return c;
}

QStringList linesOf(const QByteArray &card)
{
    return QString::fromUtf8(card).split(QStringLiteral("\r\n"));
}

} // namespace

class TestVCardWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aPersonLineByLine()
    {
        QCOMPARE(linesOf(ComponiVCard(person())),
                 QStringList({"BEGIN:VCARD", "VERSION:4.0", "FN:Mario Rossi", "N:Rossi;Mario;;;",
                              "TEL;TYPE=home,voice:06 1234567", "TEL;TYPE=cell:333 1234567",
                              "EMAIL;TYPE=work:mario@studio.it",
                              "ADR;TYPE=home:;;Via Appia N°12;Roma;RM;00184;",
                              "UID;VALUE=text:Calvetra7", "REV:20261207T000000Z", "BDAY:19700201",
                              "END:VCARD", ""}));
    }

    void companiesWithAndWithoutAPerson()
    {
        DatiVCard company;
        company[Organisation] = QStringLiteral("Rossi, Bianchi & C. S.n.c.");
        const QStringList alone = linesOf(ComponiVCard(company));
        QVERIFY(alone.contains(QStringLiteral("KIND:org")));
        QVERIFY(alone.contains(QStringLiteral("FN:Rossi\\, Bianchi & C. S.n.c.")));
        QVERIFY(alone.contains(QStringLiteral("N:;;;;")));
        QVERIFY(alone.contains(QStringLiteral("ORG:Rossi\\, Bianchi & C. S.n.c.")));
        company[FamilyName] = QStringLiteral("Bianchi");
        const QStringList withPerson = linesOf(ComponiVCard(company));
        QVERIFY(!withPerson.contains(QStringLiteral("KIND:org")));
        QVERIFY(withPerson.contains(QStringLiteral("N:Bianchi;;;;")));
        QVERIFY(withPerson.contains(QStringLiteral("ORG:Rossi\\, Bianchi & C. S.n.c.")));
        // Without a company or a surname the name in documents is the formatted name.
        DatiVCard nameless;
        nameless.formattedName = QStringLiteral("Lucia");
        QVERIFY(linesOf(ComponiVCard(nameless)).contains(QStringLiteral("FN:Lucia")));
        QVERIFY(linesOf(ComponiVCard(DatiVCard())).contains(QStringLiteral("FN:")));
    }

    void valuesComeBackFromBothReaders()
    {
        const QString note = QStringLiteral("Prezzo; 10,50 € \\ sconto\nl’ultima riga\r\nfine");
        const QString accents = QString(50, QChar(u'è')); // 100 octets
        DatiVCard a = person();
        a[Note] = note;
        a[Label] = accents;
        DatiVCard b;
        b[Organisation] = QStringLiteral("Forlì; Servizi");
        b[FamilyName] = QStringLiteral("D'Annunzio");
        b[Birthday] = slotDate(QDate(1980, 2, 29));
        b[WorkStreet] = QStringLiteral("Corso, Garibaldi");
        b[WorkPostalCode] = QStringLiteral("00184");
        DatiVCard c;
        c[FamilyName] = QStringLiteral("Antichi");
        c[Birthday] = slotDate(QDate(999, 12, 31));
        const QByteArray file = ComponiVCard(a) + ComponiVCard(b) + ComponiVCard(c);

        for (const QByteArray &line : file.split('\n')) {
            QVERIFY2(line.size() <= 76, line.constData());     // 75 octets and the CR
            QVERIFY(QString::fromUtf8(line).toUtf8() == line); // no character cut in two
        }
        QString error;
        const QJsonArray cards = vobjectCards(file, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(cards.size(), 3);
        QCOMPARE(cards[0][QStringLiteral("note")].toString(), QString(note).remove(u'\r'));
        QCOMPARE(cards[0][QStringLiteral("x-calvetra-destmerce")].toString(), accents);
        QCOMPARE(cards[1][QStringLiteral("org")].toArray().first().toString(),
                 QStringLiteral("Forlì; Servizi"));
        QCOMPARE(cards[1][QStringLiteral("bday")].toString(), QStringLiteral("19800229"));
        QCOMPARE(cards[1][QStringLiteral("adr")][0][1].toArray(),
                 QJsonArray({"", "", "Corso, Garibaldi", "", "", "00184", ""}));
        QCOMPARE(cards[2][QStringLiteral("bday")].toString(), QStringLiteral("09991231"));

        const QList<DatiVCard> ours = LeggiVCard(file);
        QCOMPARE(ours.size(), 3);
        QCOMPARE(ours[0][Note], QString(note).remove(u'\r'));
        QCOMPARE(ours[0][Label], accents);
        QCOMPARE(ours[0][HomeStreet], QStringLiteral("Via Appia"));
        QCOMPARE(ours[0][HomeNumber], QStringLiteral("12"));
        QCOMPARE(ours[1][Organisation], b[Organisation]);
        QCOMPARE(ours[1][FamilyName], b[FamilyName]);
        QCOMPARE(ours[1][WorkStreet], b[WorkStreet]);
        QCOMPARE(ours[1][WorkPostalCode], QStringLiteral("00184"));
        QCOMPARE(readCardDate(ours[1][Birthday]).date, QDate(1980, 2, 29));
        QCOMPARE(readCardDate(ours[2][Birthday]).date, QDate(999, 12, 31));
    }
};

QTEST_APPLESS_MAIN(TestVCardWriter)
#include "tst_vcardwriter.moc"
