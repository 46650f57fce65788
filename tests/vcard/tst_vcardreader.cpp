// The card reader on cards of every kind phones and address books write.

#include "vcard/vcardreader.h"
#include "vcard/vcardvalues.h"

#include <QFile>
#include <QTest>

using namespace vcard;

namespace {

QList<DatiVCard> sample(const char *name)
{
    QFile file(QStringLiteral(CALVETRA_TEST_DATA "/vcard/data/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("no sample %s", name);
    return LeggiVCard(file.readAll());
}

QList<DatiVCard> read(const char *text)
{
    return LeggiVCard(QByteArray(text));
}

} // namespace

class TestVCardReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quotedPrintableUtf8FromAPhone()
    {
        const QList<DatiVCard> cards = sample("telefono21-utf8.vcf");
        QCOMPARE(cards.size(), 2);
        const DatiVCard &c = cards[0];
        QCOMPARE(c[FamilyName], QStringLiteral("Nicolò"));
        QCOMPARE(c[GivenName], QStringLiteral("Lucia"));
        QCOMPARE(c.formattedName, QStringLiteral("Lucia Nicolò"));
        // Neither home nor work: a CELL is the home mobile, a bare e-mail a home one.
        QCOMPARE(c[HomeCell1], QStringLiteral("+39 333 1234567"));
        QCOMPARE(c[HomeTel1], QStringLiteral("0543 123456"));
        QCOMPARE(c[WorkFax], QStringLiteral("0543 999999"));
        QCOMPARE(c[HomeEmail1], QStringLiteral("lucia@esempio.it"));
        QCOMPARE(c.slot[HomeEmail1 + 1], QStringLiteral("lucia.nicolo@lavoro.it"));
        QCOMPARE(c[HomeStreet], QStringLiteral("Via dei Mille"));
        QCOMPARE(c[HomeNumber], QStringLiteral("7"));
        QCOMPARE(c[HomeLocality], QStringLiteral("Forlì"));
        QCOMPARE(c[HomeRegion], QStringLiteral("FC"));
        QCOMPARE(c[HomePostalCode], QStringLiteral("47121"));
        // The soft line break joins; the encoded CRLF is one line break.
        QCOMPARE(c[Note],
                 QStringLiteral("Prima riga € 10\nseconda riga, più lunga di una riga sola"));
        QCOMPARE(c[Birthday], QStringLiteral("1963-03-12"));
        QCOMPARE(cards[1][Organisation], QStringLiteral("Bianchi Impianti"));
        QCOMPARE(cards[1][WorkTel1], QStringLiteral("051 222333"));
    }

    void oneByteCharsetAndNoCharset()
    {
        const QList<DatiVCard> cards = sample("rubrica21-windows1252.vcf");
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0][FamilyName], QStringLiteral("D'Annunzio"));
        QCOMPARE(cards[0][Organisation], QStringLiteral("Caffè Pescara"));
        QCOMPARE(cards[0][Note], QStringLiteral("Costo € 5 – l’ultimo"));
        // Written in the older form: the postal code where the region belongs.
        QCOMPARE(cards[0][WorkStreet], QStringLiteral("Corso Umberto"));
        QCOMPARE(cards[0][WorkNumber], QStringLiteral("1"));
        QCOMPARE(cards[0][WorkPostalCode], QStringLiteral("65122"));
        QCOMPARE(cards[0][WorkRegion], QString());
        QCOMPARE(cards[1][FamilyName], QStringLiteral("Cantù")); // not UTF-8: windows-1252
        QCOMPARE(cards[1][Categories], QStringLiteral("Clienti"));
    }

    void addressBook30LowerCaseFoldedAndGrouped()
    {
        const QList<DatiVCard> cards = sample("rubrica30.vcf");
        QCOMPARE(cards.size(), 1);
        const DatiVCard &c = cards[0];
        QCOMPARE(c[FamilyName], QStringLiteral("Ferri"));
        QCOMPARE(c[GivenName], QStringLiteral("Anna Maria"));
        QCOMPARE(c[NamePrefix], QStringLiteral("Dott.ssa"));
        QCOMPARE(c[Organisation], QStringLiteral("Studio Ferri, Associati"));
        QCOMPARE(c[WorkTel1], QStringLiteral("06 5550001"));
        QCOMPARE(c[HomeCell1], QStringLiteral("347 0000001"));
        QCOMPARE(c[WorkEmail1], QStringLiteral("anna@studioferri.it"));
        // The quoted label holds ':' and ';' and does not end the parameters.
        QCOMPARE(c[WorkStreet], QStringLiteral("Via Nazionale"));
        QCOMPARE(c[WorkNumber], QStringLiteral("12"));
        QCOMPARE(c[WorkLocality], QStringLiteral("Roma"));
        QCOMPARE(c[WorkPostalCode], QStringLiteral("00184"));
        QCOMPARE(c[Note], QStringLiteral("Cliente dal 1998; paga sempre, a volte in ritardo. "
                                         "Città: Forlì – zona centro"));
        QCOMPARE(c[Categories], QStringLiteral("Fornitori"));
        QCOMPARE(c[HomeUrl], QStringLiteral("https://www.studioferri.it/contatti?a=1"));
        QCOMPARE(readCardDate(c[Birthday]).date, QDate(1971, 6, 30));
    }

    void phone40WithByteOrderMark()
    {
        const QList<DatiVCard> cards = sample("telefono40.vcf");
        QCOMPARE(cards.size(), 1);
        const DatiVCard &c = cards[0];
        QCOMPARE(c[FamilyName], QStringLiteral("D’Amato"));
        QCOMPARE(c[HomeCell1], QStringLiteral("+39-333-7654321"));
        QCOMPARE(c[WorkTel1], QStringLiteral("+39-02-1234567"));
        QCOMPARE(c[HomeEmail1], QStringLiteral("marco@esempio.it"));
        QCOMPARE(readCardDate(c[Birthday]).kind, CardDate::Kind::Partial);
        QCOMPARE(c[HomeStreet], QStringLiteral("Piazza Duomo")); // untyped: home, it is free
        QCOMPARE(c[HomePostalCode], QStringLiteral("20121"));
    }

    // A U+FEFF that begins a value (not the file) is part of the value: it reads the same
    // whether "tel:" came before it or not, so a card written back reads back the same.
    void markInsideAValueIsKept()
    {
        const QList<DatiVCard> first = read("BEGIN:VCARD\nTEL:tel:\xEF\xBB\xBF\nEND:VCARD\n");
        const QList<DatiVCard> again =
            read("BEGIN:VCARD\r\nTEL;TYPE=home,voice:\xEF\xBB\xBF\r\nEND:VCARD\r\n");
        QCOMPARE(first.size(), 1);
        QCOMPARE(again.size(), 1);
        QCOMPARE(first[0][HomeTel1], QString(QChar(0xFEFF)));
        QCOMPARE(again[0][HomeTel1], first[0][HomeTel1]);
    }

    void lineEndsOfEveryKind_data()
    {
        QTest::addColumn<QByteArray>("file");
        const QByteArray lines[] = {"BEGIN:VCARD",    "VERSION:3.0", "N:Rossi;Mario;;;",
                                    "NOTE:uno\\ndue", " tre",        "END:VCARD"};
        for (const char *end : {"\r\n", "\n", "\r"}) {
            QByteArray file;
            for (const QByteArray &line : lines)
                file += line + end;
            QTest::newRow(QByteArray(end).toHex().constData()) << file + file;
        }
    }
    void lineEndsOfEveryKind()
    {
        QFETCH(QByteArray, file);
        const QList<DatiVCard> cards = LeggiVCard(file);
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[1][GivenName], QStringLiteral("Mario"));
        QCOMPARE(cards[1][Note], QStringLiteral("uno\nduetre")); // a fold takes one blank out
    }

    void namesAndParametersInAnyCase()
    {
        const QList<DatiVCard> cards =
            read("Begin:VCard\nN;CHARSET=UTF-8:Rossi;Mario\ntel;type=CELL:333\n"
                 "Tel;Type=\"work,fax\":051\nEnd:VCard\n");
        QCOMPARE(cards.size(), 1);
        QCOMPARE(cards[0][FamilyName], QStringLiteral("Rossi"));
        QCOMPARE(cards[0][HomeCell1], QStringLiteral("333"));
        QCOMPARE(cards[0][WorkFax], QStringLiteral("051"));
    }

    void cardsThatAreNotWhole()
    {
        // A missing END ends at the next BEGIN; a card cut short by the end of the file is lost.
        QCOMPARE(read("BEGIN:VCARD\nN:A;;;;\nBEGIN:VCARD\nN:B;;;;\nEND:VCARD\n"
                      "BEGIN:VCARD\nN:C;;;;\n")
                     .size(),
                 2);
        // A 2.1 AGENT card inside a card is not a card of the file.
        const QList<DatiVCard> agent = read("BEGIN:VCARD\nVERSION:2.1\nN:A;;;;\nAGENT:\n"
                                            "BEGIN:VCARD\nN:B;;;;\nEND:VCARD\nTEL:1\nEND:VCARD\n");
        QCOMPARE(agent.size(), 1);
        QCOMPARE(agent[0][FamilyName], QStringLiteral("A"));
        QCOMPARE(agent[0][HomeTel1], QStringLiteral("1"));
        QVERIFY(read("").isEmpty());
        QVERIFY(read("\xEF\xBB\xBF").isEmpty());
        QCOMPARE(read("\xEF\xBB\xBF\xEF\xBB\xBF"
                      "BEGIN:VCARD\nN:A;;;;\nEND:VCARD\n")
                     .size(),
                 1);
        QVERIFY(read("N:Rossi\nEND:VCARD\n").isEmpty());
    }

    void aUidIsTakenAsWritten()
    {
        const QList<DatiVCard> cards =
            read("BEGIN:VCARD\nUID:Calvetra0 or 1=1\nN:X;;;;\nEND:VCARD\n"
                 "BEGIN:VCARD\nUID;VALUE=text:Calvetra12\\,3\nN:X;;;;\nEND:VCARD\n");
        QCOMPARE(cards[0][Uid], QStringLiteral("Calvetra0 or 1=1"));
        QCOMPARE(cards[1][Uid], QStringLiteral("Calvetra12,3"));
    }

    void cardDates_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QDate>("date");
        const int date = int(CardDate::Kind::Date), partial = int(CardDate::Kind::Partial),
                  bad = int(CardDate::Kind::Bad);
        QTest::newRow("extended") << "1963-03-12" << date << QDate(1963, 3, 12);
        QTest::newRow("basic") << "19630312" << date << QDate(1963, 3, 12);
        QTest::newRow("with time") << "1963-03-12T10:30:00Z" << date << QDate(1963, 3, 12);
        QTest::newRow("basic with time") << "19630312T103000" << date << QDate(1963, 3, 12);
        QTest::newRow("leap day") << "19800229" << date << QDate(1980, 2, 29);
        QTest::newRow("year 999") << "09991231" << date << QDate(999, 12, 31);
        QTest::newRow("no year") << "--0415" << partial << QDate();
        QTest::newRow("year only") << "1963" << partial << QDate();
        QTest::newRow("no such day") << "1981-02-29" << bad << QDate();
        QTest::newRow("italian") << "12/03/1963" << bad << QDate();
        QTest::newRow("empty") << "" << bad << QDate();
    }
    void cardDates()
    {
        QFETCH(QString, value);
        QFETCH(int, kind);
        QFETCH(QDate, date);
        const CardDate read = readCardDate(value);
        QCOMPARE(int(read.kind), kind);
        QCOMPARE(read.date, date);
    }

    void streetAndCivicNumber_data()
    {
        QTest::addColumn<QString>("street");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("component");
        QTest::newRow("both") << "Via Roma"
                              << "12"
                              << "Via Roma N°12";
        QTest::newRow("no number") << "Via Roma"
                                   << ""
                                   << "Via Roma";
        QTest::newRow("number alone") << ""
                                      << "12/b"
                                      << "N°12/b";
        QTest::newRow("N° in the street") << "Piazza N°1 Maggio"
                                          << ""
                                          << "Piazza N°1 Maggio N°";
        QTest::newRow("N° in both") << "Piazza N°1 Maggio"
                                    << "3"
                                    << "Piazza N°1 Maggio N°3";
    }
    void streetAndCivicNumber()
    {
        QFETCH(QString, street);
        QFETCH(QString, number);
        QFETCH(QString, component);
        QCOMPARE(joinStreet(street, number), component);
        const StreetAndNumber split = splitStreet(component);
        QCOMPARE(split.street, street);
        QCOMPARE(split.number, number);
    }
};

QTEST_APPLESS_MAIN(TestVCardReader)
#include "tst_vcardreader.moc"
