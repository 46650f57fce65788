#include "db/core/datetimes.h"
#include "db/datasets/rowsort.h"

#include <QRandomGenerator>
#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

namespace {

db::Column column(const QString &name, db::FieldKind kind)
{
    db::Column c;
    c.name = name;
    c.kind = kind;
    return c;
}

QVariant date(int day, int month, int year, int hour = 0)
{
    return db::naiveDateTime(QDate(year, month, day), QTime(hour, 0));
}

const QList<db::Column> columns = {
    column(u"Ide"_s, db::FieldKind::Integer),
    column(u"Cognome"_s, db::FieldKind::Text),
    column(u"Data"_s, db::FieldKind::Date),
    column(u"Importo"_s, db::FieldKind::Currency),
};

const QList<QVariantList> rows = {
    {1LL, u"Rossi"_s, date(1, 12, 2026), 10.0},
    {2LL, u"rossi"_s, date(15, 3, 1990), {}},
    {3LL, {}, date(1, 12, 2026), 5.0},
    {4LL, u"Rosà"_s, {}, 10.0},
    {5LL, u"Èlite"_s, date(15, 3, 1990), 5.0},
    {6LL, u"elite"_s, date(1, 12, 2026, 8), 7.0},
    {7LL, u"Bianchi"_s, {}, {}},
    {8LL, u"ROSSI"_s, date(15, 3, 1990), 7.0},
};

QList<qsizetype> fetchedOrder(qsizetype count)
{
    QList<qsizetype> order(count);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

class TestRowSort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ordersTwoValues_data()
    {
        QTest::addColumn<QVariant>("a");
        QTest::addColumn<QVariant>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("nulls tie") << QVariant() << QVariant() << 0;
        QTest::newRow("null before empty text") << QVariant() << QVariant(u""_s) << -1;
        QTest::newRow("null before zero") << QVariant() << QVariant(0LL) << -1;
        QTest::newRow("numbers by value") << QVariant(2LL) << QVariant(10LL) << -1;
        QTest::newRow("integer and real") << QVariant(2LL) << QVariant(2.5) << -1;
        QTest::newRow("equal integer and real") << QVariant(3LL) << QVariant(3.0) << 0;
        QTest::newRow("integers beyond doubles")
            << QVariant(9007199254740993LL) << QVariant(9007199254740992.0) << 1;
        QTest::newRow("numbers before texts") << QVariant(999LL) << QVariant(u"1"_s) << -1;
        QTest::newRow("false before true") << QVariant(false) << QVariant(true) << -1;
        QTest::newRow("plain before accented") << QVariant(u"a"_s) << QVariant(u"à"_s) << -1;
        QTest::newRow("accented before the next letter")
            << QVariant(u"à"_s) << QVariant(u"b"_s) << -1;
        QTest::newRow("case does not count") << QVariant(u"Rossi"_s) << QVariant(u"ROSSI"_s) << 0;
        QTest::newRow("accented capitals fold")
            << QVariant(u"ÈLITE"_s) << QVariant(u"èlite"_s) << 0;
        QTest::newRow("letters before accents")
            << QVariant(u"Edile"_s) << QVariant(u"Èlite"_s) << -1;
        QTest::newRow("plain word before accented word")
            << QVariant(u"Elite"_s) << QVariant(u"èlite"_s) << -1;
        QTest::newRow("accent only breaks ties")
            << QVariant(u"Rosà"_s) << QVariant(u"Rossi"_s) << -1;
        QTest::newRow("accent only breaks ties, at the end")
            << QVariant(u"Nicolò"_s) << QVariant(u"Nicolos"_s) << -1;
        QTest::newRow("apostrophe before letters")
            << QVariant(u"D'Amico"_s) << QVariant(u"Da"_s) << -1;
        QTest::newRow("prefix first") << QVariant(u"Ross"_s) << QVariant(u"rossi"_s) << -1;
        QTest::newRow("dates") << date(1, 12, 2026) << date(30, 11, 2026, 23) << 1;
        QTest::newRow("dates before texts") << date(1, 12, 2026) << QVariant(u"a"_s) << -1;
        QTest::newRow("binaries after texts") << QVariant(QByteArray("a")) << QVariant(u"z"_s) << 1;
    }
    void ordersTwoValues()
    {
        QFETCH(QVariant, a);
        QFETCH(QVariant, b);
        QFETCH(int, order);
        QCOMPARE(sign(db::compareValues(a, b)), order);
        QCOMPARE(sign(db::compareValues(b, a)), -order);
    }

    void sortsStably_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("no order") << "" << QList{1, 2, 3, 4, 5, 6, 7, 8};
        QTest::newRow("texts, nulls first") << "Cognome" << QList{3, 7, 6, 5, 4, 1, 2, 8};
        QTest::newRow("name in any case, ASC") << "cognome ASC" << QList{3, 7, 6, 5, 4, 1, 2, 8};
        QTest::newRow("bracketed name") << " [Cognome]  asc " << QList{3, 7, 6, 5, 4, 1, 2, 8};
        QTest::newRow("descending keeps ties in fetched order, nulls last")
            << "Cognome DESC" << QList{1, 2, 8, 4, 5, 6, 7, 3};
        QTest::newRow("dates descending, then texts")
            << "Data DESC, Cognome ASC" << QList{6, 3, 1, 5, 2, 8, 7, 4};
        QTest::newRow("numbers, then a key descending")
            << "Importo,Ide desc" << QList{7, 2, 5, 3, 8, 6, 4, 1};
        QTest::newRow("numbers descending") << "Importo DESC" << QList{1, 4, 6, 8, 3, 5, 2, 7};
    }
    void sortsStably()
    {
        QFETCH(QString, sort);
        QFETCH(QList<int>, ids);
        const db::Result<db::RowSort> parsed = db::RowSort::parse(sort, columns);
        QVERIFY2(parsed.ok(), qPrintable(parsed.message()));
        QList<qsizetype> order = fetchedOrder(rows.size());
        parsed->sort(order, rows);
        QList<int> sorted;
        for (qsizetype i : order)
            sorted.append(rows[i][0].toInt());
        QCOMPARE(sorted, ids);
        for (qsizetype i = 1; i < order.size(); ++i)
            QVERIFY(parsed->compare(rows[order[i - 1]], rows[order[i]]) <= 0);
    }

    void sortsOnlyTheGivenRows()
    {
        // A filtered data set sorts its visible rows; ties keep the order they came in.
        QList<qsizetype> order = {7, 5, 3, 1};
        db::RowSort::parse(u"Cognome", columns)->sort(order, rows);
        QCOMPARE(order, (QList<qsizetype>{5, 3, 7, 1}));
    }

    void sortAgreesWithCompareValues()
    {
        // The sort folds each text once ahead; its order must be the one compareValues gives.
        const QVariantList values = {
            QVariant(),
            u"Rossi"_s,
            u"ROSSI"_s,
            u"rosà"_s,
            u"Rosa"_s,
            u"Ross"_s,
            u"D'Amico"_s,
            u"Da"_s,
            u"Èlite"_s,
            u"elite"_s,
            u"Edile"_s,
            u"ÉLITE"_s,
            u""_s,
            u"e\u0301"_s,
            u"é"_s,
            u"1"_s,
            u"ß"_s,
            u"ss"_s,
            u"Nicolò"_s,
            u"Nicolos"_s,
            u"µ"_s,
            u"μ"_s,
            u"Ærø"_s,
            u"😀"_s,
            3LL,
            2.5,
            -1LL,
            0.0,
            true,
            false,
            date(1, 1, 2000),
            date(1, 1, 1999),
            QByteArray("b"),
            QByteArray("a"),
        };
        QList<QVariantList> table;
        QRandomGenerator random(7);
        for (int i = 0; i < 300; ++i)
            table.append({values[random.bounded(int(values.size()))], qlonglong(i)});
        const QList<db::Column> two = {column(u"Valore"_s, db::FieldKind::Unknown),
                                       column(u"Posizione"_s, db::FieldKind::Integer)};
        QList<qsizetype> order = fetchedOrder(table.size());
        db::RowSort::parse(u"Valore", two)->sort(order, table);
        for (qsizetype i = 1; i < order.size(); ++i) {
            const QVariantList &before = table[order[i - 1]];
            const QVariantList &after = table[order[i]];
            const int c = db::compareValues(before[0], after[0]);
            QVERIFY2(c <= 0, qPrintable(before[0].toString() + u" / "_s + after[0].toString()));
            if (c == 0)
                QVERIFY(before[1].toLongLong() < after[1].toLongLong());
        }
    }

    void faultyTextsAreRefused_data()
    {
        QTest::addColumn<QString>("sort");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown column") << "Xyz"
                                        << "Colonna sconosciuta nell'ordinamento: Xyz";
        QTest::newRow("unknown direction")
            << "Cognome DESCENDING"
            << "Colonna sconosciuta nell'ordinamento: Cognome DESCENDING";
        QTest::newRow("direction alone") << "DESC"
                                         << "Colonna sconosciuta nell'ordinamento: DESC";
        QTest::newRow("trailing comma")
            << "Cognome,"
            << "Ordinamento non valido: manca il nome di una colonna (posizione 9)";
        QTest::newRow("leading comma") << ", Cognome"
                                       << "manca il nome di una colonna (posizione 1)";
        QTest::newRow("empty item") << "Cognome, ,Data"
                                    << "manca il nome di una colonna";
        QTest::newRow("unterminated bracket") << "Data, [Cognome"
                                              << "parentesi quadra chiusa";
        QTest::newRow("empty brackets") << "[ ] ASC"
                                        << "nome di colonna vuoto";
        QTest::newRow("stray closing bracket") << "Cognome] ASC"
                                               << "parentesi quadra fuori posto";
        QTest::newRow("word after a bracketed name") << "[Cognome] su"
                                                     << "atteso ASC o DESC";
    }
    void faultyTextsAreRefused()
    {
        QFETCH(QString, sort);
        QFETCH(QString, message);
        const db::Result<db::RowSort> parsed = db::RowSort::parse(sort, columns);
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.message().contains(message), qPrintable(parsed.message()));
    }
};

QTEST_APPLESS_MAIN(TestRowSort)
#include "tst_rowsort.moc"
