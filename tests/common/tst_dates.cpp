#include "common/dates.h"

#include <QTest>

class TestDates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void italianDatesBecomeSqlDates_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sql");
        QTest::newRow("5 March 2021") << "05/03/2021"
                                      << "3/5/2021";
        QTest::newRow("Christmas 2020") << "25/12/2020"
                                        << "12/25/2020";
        QTest::newRow("without leading zeros") << "5/3/2021"
                                               << "3/5/2021";
        QTest::newRow("two-digit year") << "01/02/70"
                                        << "2/1/1970";
        QTest::newRow("with a time") << "31/12/1960 23.59.59"
                                     << "12/31/1960";
        QTest::newRow("leap day") << "29/02/2024"
                                  << "2/29/2024";
    }
    void italianDatesBecomeSqlDates()
    {
        QFETCH(QString, typed);
        QFETCH(QString, sql);
        const db::Result<QString> result = DataSql(typed);
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(*result, sql);
    }

    void wrongDatesAreRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << "";
        QTest::newRow("words") << "domani";
        QTest::newRow("month 13") << "01/13/2021";
        QTest::newRow("30 February") << "30/02/2021";
        QTest::newRow("29 February of a common year") << "29/02/2023";
        QTest::newRow("missing year") << "12/05";
        QTest::newRow("three-digit year") << "12/05/202";
        QTest::newRow("bad time") << "12/05/2021 25:00";
        QTest::newRow("trailing rubbish") << "12/05/2021 10:00 x";
    }
    void wrongDatesAreRefused()
    {
        QFETCH(QString, typed);
        const db::Result<QString> result = DataSql(typed);
        QVERIFY(!result.ok());
        QVERIFY(result.message().startsWith(QStringLiteral("Data non valida")));
    }

    // A date box: nothing typed is no date; only the whole box is a date.
    void dateBoxes_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QDate>("date");
        QTest::newRow("mask only") << "__/__/____" << true << QDate();
        QTest::newRow("blanks") << "  /  /    " << true << QDate();
        QTest::newRow("empty") << "" << true << QDate();
        QTest::newRow("whole") << "07/03/1960" << true << QDate(1960, 3, 7);
        QTest::newRow("blanks around") << " 29/02/2024 " << true << QDate(2024, 2, 29);
        QTest::newRow("no leap day") << "29/02/2023" << false << QDate();
        QTest::newRow("year half typed") << "01/01/19__" << false << QDate();
        QTest::newRow("two-digit year") << "01/02/24" << false << QDate();
        QTest::newRow("without zeros") << "1/2/2024" << false << QDate();
        QTest::newRow("other separator") << "01.02.2024" << false << QDate();
        QTest::newRow("with a time") << "01/02/2024 10:00" << false << QDate();
        QTest::newRow("letters") << "ab/cd/1960" << false << QDate();
    }
    void dateBoxes()
    {
        QFETCH(QString, shown);
        QFETCH(bool, ok);
        QFETCH(QDate, date);
        const db::Result<QDate> read = LeggiCasellaData(shown);
        QCOMPARE(read.ok(), ok);
        if (ok)
            QCOMPARE(*read, date);
    }

    void isoDates()
    {
        QCOMPARE(DataIso(QDate(2021, 3, 5)), QStringLiteral("2021-03-05"));
        QCOMPARE(DataIso(QDate(999, 12, 31)), QStringLiteral("999-12-31"));
        QCOMPARE(*LeggiDataIso(u"2021-03-05"), QDate(2021, 3, 5));
        // Characters 5 and 8 are not looked at, and anything after the tenth is ignored.
        QCOMPARE(*LeggiDataIso(u"2021x03y05T10:00"), QDate(2021, 3, 5));
        QVERIFY(!LeggiDataIso(u"2021-02-30").ok());
        QVERIFY(!LeggiDataIso(u"2021-3-5").ok());
        QVERIFY(!LeggiDataIso(u"").ok());
    }

    void italianDatesAreWrittenInOnePlace()
    {
        const db::Result<QDateTime> withTime = LeggiDataItaliana(u"07/12/2026 09:05:00");
        QVERIFY(withTime.ok());
        QCOMPARE(ScriviDataItaliana(*withTime), QStringLiteral("07/12/2026 09:05:00"));
        QCOMPARE(ScriviDataItaliana(*LeggiDataItaliana(u"7.12.2026")),
                 QStringLiteral("07/12/2026"));
        QCOMPARE(ScriviDataItaliana(QDateTime()), QString());
    }
};

QTEST_APPLESS_MAIN(TestDates)
#include "tst_dates.moc"
