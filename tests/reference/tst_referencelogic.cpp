#include "reference/capfinder.h"
#include "reference/comunisearch.h"
#include "reference/lookuptables.h"

#include <QTest>

class TestReferenceLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void descriptionSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("star alone") << "*"
                                    << "";
        QTest::newRow("prefix") << "Avv"
                                << "Descrizione like 'Avv*'";
        QTest::newRow("apostrophe doubled") << "Dell'A"
                                            << "Descrizione like 'Dell''A*'";
        QTest::newRow("star inside is kept") << "A*"
                                             << "Descrizione like 'A**'";
    }
    void descriptionSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QCOMPARE(reference::descriptionFilter(typed), filter);
    }

    void comuniSearch_data()
    {
        QTest::addColumn<QStringList>("boxes"); // descrizione istat belfiore provincia prefisso cap
        QTest::addColumn<QString>("filter");
        const auto boxes = [](std::initializer_list<std::pair<int, const char *>> set) {
            QStringList b(6);
            for (const auto &[i, text] : set)
                b[i] = QString::fromUtf8(text);
            return b;
        };
        QTest::newRow("nothing") << boxes({}) << "";
        QTest::newRow("stars add nothing") << boxes({{0, "*"}, {3, "*"}}) << "";
        QTest::newRow("name and province")
            << boxes({{0, "San"}, {3, "PD"}}) << "Comune like 'San*' and Provincia like 'PD*'";
        QTest::newRow("province alone has no and") << boxes({{3, "PD"}}) << "Provincia like 'PD*'";
        QTest::newRow("apostrophe") << boxes({{0, "Sant'A"}}) << "Comune like 'Sant''A*'";
        QTest::newRow("every box in order")
            << boxes({{5, "35"}, {4, "049"}, {3, "P"}, {2, "G"}, {1, "028"}, {0, "P"}})
            << "Comune like 'P*' and COD_ISTAT like '028*' and CODICE_F like 'G*' and Provincia "
               "like "
               "'P*' and PrefNaz like '049*' and Cap like '35*'";
    }
    void comuniSearch()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, filter);
        const ComuniSearch s{boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], boxes[5], {}};
        QCOMPARE(composeComuniFilter(s), filter);
    }

    // A postal code finds the towns whose other codes begin with it, inside its own condition.
    void comuniSearchByAnyCode()
    {
        ComuniSearch s;
        s.descrizione = QStringLiteral("R");
        s.cap = QStringLiteral("0013");
        s.altriCap = {4, 9};
        QCOMPARE(composeComuniFilter(s),
                 QStringLiteral("Comune like 'R*' and (Cap like '0013*' or ID = 4 or ID = 9)"));
        QVERIFY(capSearchedAmongAllCodes(QStringLiteral("00135")));
        QVERIFY(!capSearchedAmongAllCodes(QStringLiteral("001*5")));
        QVERIFY(!capSearchedAmongAllCodes(QStringLiteral("001351")));
        QVERIFY(!capSearchedAmongAllCodes(QString()));
    }

    void streetSearch()
    {
        QCOMPARE(composeStreetFilter(QString(), QStringLiteral("*")), QString());
        QCOMPARE(composeStreetFilter(QString(), QStringLiteral("Via d'A")),
                 QStringLiteral("Indirizzo like 'Via d''A*'"));
        QCOMPARE(composeStreetFilter(QStringLiteral("Lido"), QStringLiteral("Via")),
                 QStringLiteral("Frazione like 'Lido*' and Indirizzo like 'Via*'"));
    }

    void townWithApostropheInBothQueries()
    {
        QCOMPARE(capShortcutSql(QStringLiteral("Sant'Anna")),
                 QStringLiteral("SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN "
                                "Comuni ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = "
                                "'Sant''Anna'"));
        QVERIFY(streetListSql(QStringLiteral("Sant'Anna"))
                    .endsWith(QStringLiteral(
                        "where Comune = 'Sant''Anna' order by Frazione, Indirizzo")));
    }

    void categoryColourShownWhiteWhenNotAboveZero()
    {
        QCOMPARE(reference::shownCategoryColour(QVariant()), 16777215);
        QCOMPARE(reference::shownCategoryColour(0), 16777215);
        QCOMPARE(reference::shownCategoryColour(-5), 16777215);
        QCOMPARE(reference::shownCategoryColour(255), 255);
    }
};

QTEST_APPLESS_MAIN(TestReferenceLogic)
#include "tst_referencelogic.moc"
