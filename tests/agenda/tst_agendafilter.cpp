#include "agenda/agendafilter.h"
#include "db/core/datetimes.h"

#include <QTest>

class TestAgendaFilter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filterFromTheSearchPanel_data()
    {
        QTest::addColumn<QStringList>("boxes"); // tipologia, contatto, note, dalla, alla
        QTest::addColumn<QDate>("day");         // a day clicked in the calendar, or none
        QTest::addColumn<QString>("filter");
        QTest::newRow("nothing") << QStringList(5) << QDate() << QString();
        QTest::newRow("star is no criterion")
            << QStringList({"*", "*", "*", "", ""}) << QDate() << QString();
        QTest::newRow("contact with an apostrophe")
            << QStringList({"", "D'Amico", "", "", ""}) << QDate() << "Cliente like 'D''Amico*'";
        QTest::newRow("every box, in order")
            << QStringList({"Visita", "Rossi", "urgente", "01/03/2024", "31/12/2024"}) << QDate()
            << "TipologiaCalendario like 'Visita*' and Cliente like 'Rossi*' and Note like "
               "'urgente*' and Data >= #01/03/2024# and Data <= #31/12/2024 23.59.59#";
        QTest::newRow("the first clause has no and")
            << QStringList({"", "Rossi", "", "01/03/2024", ""}) << QDate()
            << "Cliente like 'Rossi*' and Data >= #01/03/2024#";
        QTest::newRow("incomplete dates add nothing")
            << QStringList({"", "", "", "01/03/20", "  /  /    "}) << QDate() << QString();
        QTest::newRow("a date that does not exist adds nothing")
            << QStringList({"", "", "", "31/02/2024", "30/02/2023"}) << QDate() << QString();
        QTest::newRow("the clicked day wins over the range")
            << QStringList({"", "", "", "01/01/2024", "31/01/2024"}) << QDate(2024, 2, 29)
            << "Data >= #29/02/2024# and Data <#01/03/2024#";
        QTest::newRow("the last day of the year") << QStringList(5) << QDate(2024, 12, 31)
                                                  << "Data >= #31/12/2024# and Data <#01/01/2025#";
    }
    void filterFromTheSearchPanel()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QDate, day);
        QFETCH(QString, filter);
        AgendaSearch s{boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], day.isValid(), day};
        QCOMPARE(composeAgendaFilter(s), filter);
    }

    // The print's query carries the typed texts and the dates as values, never in its text;
    // its order is the grid's sort with the columns as the table names them.
    void queryOfThePrint_data()
    {
        QTest::addColumn<QStringList>("boxes"); // tipologia, contatto, note, dalla, alla
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("conditions"); // after "WHERE "
        QTest::addColumn<QVariantList>("values");
        const auto at = [](int y, int m, int d) {
            return QVariant(db::naiveDateTime(QDate(y, m, d)));
        };
        QTest::newRow("texts: apostrophe, wildcards, underscore, backslash")
            << QStringList({"*", "D'Am*co_", "50%\\", "", ""}) << QDate() << QString()
            << "Storico=false AND Cliente LIKE ? ESCAPE '\\' AND Note LIKE ? ESCAPE '\\' "
               "ORDER BY Data DESC, Personale"
            << QVariantList{"D'Am%co\\_%", "50%\\\\%"};
        QTest::newRow("the clicked day wins over the range")
            << QStringList({"", "", "", "01/01/2024", "31/01/2024"}) << QDate(2024, 12, 31)
            << QString() << "Storico=false AND Data >= ? AND Data < ? ORDER BY Data DESC, Personale"
            << QVariantList{at(2024, 12, 31), at(2025, 1, 1)};
        QTest::newRow("the grid's sort, a column the table lacks no order")
            << QStringList(5) << QDate() << QStringLiteral("cliente DESC, Note; drop table x")
            << "Storico=false ORDER BY Cliente DESC, Data DESC, Personale" << QVariantList();
    }
    void queryOfThePrint()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QDate, day);
        QFETCH(QString, sort);
        QFETCH(QString, conditions);
        QFETCH(QVariantList, values);
        const AgendaQuery query = composeAgendaQuery(
            {{boxes[0], boxes[1], boxes[2], boxes[3], boxes[4], day.isValid(), day}, sort});
        QCOMPARE(query.sql, QStringLiteral("SELECT Data, Cliente, TipologiaCalendario, Note, "
                                           "Conclusa, DataAvviso FROM Calendario WHERE ") +
                                conditions);
        QCOMPARE(query.values, values);
    }

    void onlyWholeRealDatesCount()
    {
        QCOMPARE(fullDate(QStringLiteral(" 29/02/2024 ")), QDate(2024, 2, 29));
        QCOMPARE(fullDate(QStringLiteral("29/02/2023")), std::nullopt);
        QCOMPARE(fullDate(QStringLiteral("1/2/2024")), std::nullopt);
        QCOMPARE(fullDate(QStringLiteral("01/02/24")), std::nullopt);
        QCOMPARE(fullDate(QStringLiteral("aa/bb/cccc")), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestAgendaFilter)
#include "tst_agendafilter.moc"
