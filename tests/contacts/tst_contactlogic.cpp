#include "common/amounts.h"
#include "contacts/contactnames.h"
#include "contacts/contactsearch.h"

#include <QTest>

class TestContactLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchBoxesBecomeOneFilter_data()
    {
        QTest::addColumn<QStringList>(
            "boxes"); // nominativo fax note telefoni cellulari categoria sesso professione email
        QTest::addColumn<QString>("filter");
        const auto boxes = [](std::initializer_list<std::pair<int, const char *>> set) {
            QStringList b(9);
            for (const auto &[i, text] : set)
                b[i] = QString::fromUtf8(text);
            return b;
        };
        QTest::newRow("nothing") << boxes({}) << "";
        QTest::newRow("star alone adds nothing") << boxes({{0, "*"}, {2, "*"}}) << "";
        QTest::newRow("apostrophe doubled")
            << boxes({{0, "D'Amico"}}) << "NominativoDocumenti like 'D''Amico*'";
        QTest::newRow("ro and 33") << boxes({{0, "ro"}, {4, "33"}})
                                   << "NominativoDocumenti like 'ro*' and (cellulare like '33*' or "
                                      "UfficioCellulare like '33*')";
        QTest::newRow("ro and a")
            << boxes({{0, "ro"}, {8, "a"}})
            << "NominativoDocumenti like 'ro*' and (email like 'a*' or secEmail like 'a*')";
        QTest::newRow("every box in order")
            << boxes({{0, "n"},
                      {1, "f"},
                      {2, "x"},
                      {3, "06"},
                      {4, "3"},
                      {5, "Clienti"},
                      {6, "F"},
                      {7, "Avvocato"},
                      {8, "e"}})
            << "NominativoDocumenti like 'n*' and fax like 'f*' and Note like 'x*' and "
               "(AbitazioneTelefono like "
               "'06*' or UfficioTelefono like '06*') and (cellulare like '3*' or UfficioCellulare "
               "like '3*') and "
               "Categoria = 'Clienti' and Sesso = 'F' and Professione = 'Avvocato' and (email like "
               "'e*' or "
               "secEmail like 'e*')";
        QTest::newRow("category with an apostrophe")
            << boxes({{5, "Dell'Orto & C."}}) << "Categoria = 'Dell''Orto & C.'";
    }
    void searchBoxesBecomeOneFilter()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, filter);
        const ContactSearch search{boxes[0], boxes[1], boxes[2], boxes[3], boxes[4],
                                   boxes[5], boxes[6], boxes[7], boxes[8]};
        QCOMPARE(composeContactFilter(search), filter);
    }

    void rowColours()
    {
        QCOMPARE(contactRowColour(16777215, 255), 255);
        QCOMPARE(contactRowColour(0, 0), 16777215);
        QCOMPARE(contactRowColour(65280, 255), 65280);
        QCOMPARE(contactRowColour(-1, 16777215), 16777215);
    }

    void namesAreComposed_data()
    {
        QTest::addColumn<QStringList>(
            "typed"); // ragione sociale, cognome, nome, codice fiscale, nascita
        QTest::addColumn<QString>("documenti");
        QTest::addColumn<QString>("visualizzato");
        QTest::newRow("company wins over person")
            << QStringList{"Acme S.r.l.", "Rossi", "Mario", "RSSMRA70A01H501U", ""} << "Acme S.r.l."
            << "Acme S.r.l.";
        QTest::newRow("one-letter company is a person")
            << QStringList{"A", "Rossi", "Mario", "", ""} << "Rossi Mario"
            << "Rossi Mario";
        QTest::newRow("surname and birth date")
            << QStringList{"", "Rossi", "", "", "01/02/1970"} << "Rossi"
            << "Rossi - 01/02/1970";
        QTest::newRow("a name alone, blanks typed around")
            << QStringList{"", " ", " Mario ", "", ""} << "Mario"
            << "Mario";
        QTest::newRow("tax code before birth date")
            << QStringList{"", "Rossi", "Mario", "RSSMRA70A01H501U", "01/02/1970"} << "Rossi Mario"
            << "Rossi Mario - RSSMRA70A01H501U";
    }
    void namesAreComposed()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, documenti);
        QFETCH(QString, visualizzato);
        const ContactNames names =
            composeContactNames(typed[0], typed[1], typed[2], typed[3], typed[4]);
        QCOMPARE(names.documenti, documenti);
        QCOMPARE(names.visualizzato, visualizzato);
    }

    void addressesOfTheSelection()
    {
        QCOMPARE(recipientsOf({{"a@x.it", "b@x.it"}, {"", ""}, {"", "c@x.it"}}),
                 QStringList({"a@x.it", "b@x.it", "c@x.it"}));
    }

    void amountsAreReadTheItalianWay_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("amount");
        QTest::addColumn<bool>("valid");
        QTest::newRow("Italian") << "1.234,56" << 1234.56 << true;
        QTest::newRow("comma only") << "1234,56" << 1234.56 << true;
        QTest::newRow("dot decimals") << "1234.56" << 1234.56 << true;
        QTest::newRow("euro sign and spaces") << " 1 234,50 € " << 1234.5 << true;
        QTest::newRow("thousands dot") << "1.234" << 1234.0 << true;
        QTest::newRow("whole") << "-5" << -5.0 << true;
        QTest::newRow("words") << "cento" << 0.0 << false;
        QTest::newRow("two commas") << "1,2,3" << 0.0 << false;
        QTest::newRow("bad grouping") << "12.34.56" << 0.0 << false;
        QTest::newRow("empty") << "" << 0.0 << false;
    }
    void amountsAreReadTheItalianWay()
    {
        QFETCH(QString, typed);
        QFETCH(double, amount);
        QFETCH(bool, valid);
        const std::optional<double> read = LeggiImporto(typed);
        QCOMPARE(read.has_value(), valid);
        if (valid)
            QCOMPARE(*read, amount);
        QCOMPARE(ScriviImporto(1234.5), QStringLiteral("1.234,50 €"));
    }
};

QTEST_APPLESS_MAIN(TestContactLogic)
#include "tst_contactlogic.moc"
