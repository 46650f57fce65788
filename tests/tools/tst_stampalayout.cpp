// The runner's pure parts: placeholders, printed forms of values, layout files, the search
// and the CSV form, and the placing of text that must never leave its room.

#include "db/core/datetimes.h"
#include "tools/stampa/columnwidths.h"
#include "tools/stampa/dataexport.h"
#include "tools/stampa/fieldtemplate.h"
#include "tools/stampa/pagecanvas.h"
#include "tools/stampa/reportdata.h"
#include "tools/stampa/reportlayout.h"

#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <QTest>

using namespace stampa;

namespace {

class MapSource final : public FieldSource
{
public:
    QHash<QString, QString> values;
    QString text(const Placeholder &p) const override
    {
        const QString v = values.value(p.key);
        if (p.format == ValueFormat::Amount)
            return formatValue(v.toDouble(), db::FieldKind::Currency, p.format);
        return v;
    }
};

db::RowSet rowSet(const QList<std::pair<QString, db::FieldKind>> &columns,
                  const QList<QVariantList> &rows)
{
    db::RowSet set;
    for (const auto &[name, kind] : columns)
        set.columns.append(db::Column{name, kind, {}, {}});
    set.rows = rows;
    return set;
}

// JSON written with ' for " so that it reads inside a C++ string.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

const QByteArray kListLayout =
    json("{'calvetraReport': 1, 'layout': 'list', 'columns': [{'field': 'A'}]}");

} // namespace

class TestStampaLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void templates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values"); // name=value pairs
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("onlyBlanks");
        QTest::newRow("field") << "{Contatto}" << QStringList{"contatto=Àlberti"} << "Àlberti"
                               << false;
        QTest::newRow("empty field outside a section prints nothing")
            << "{Indirizzo}, {Numero}" << QStringList{"indirizzo=Via Roma"} << "Via Roma, "
            << false;
        QTest::newRow("section left out")
            << "{Indirizzo}[, {Numero}]" << QStringList{"indirizzo=Via Roma"} << "Via Roma"
            << false;
        QTest::newRow("sections around a field")
            << "[{CAP} ]{Comune}[ ({Provincia})]" << QStringList{"comune=Forlì", "provincia=FC"}
            << "Forlì (FC)" << false;
        QTest::newRow("spaces are no value")
            << "[Tel. {Telefono}]" << QStringList{"telefono=   "} << "" << true;
        QTest::newRow("nested section kept") << "[Via: {Indirizzo}[ {Numero}]]"
                                             << QStringList{"indirizzo=Corso Mazzini", "numero=3/b"}
                                             << "Via: Corso Mazzini 3/b" << false;
        QTest::newRow("nested section out, outer kept")
            << "[Via: {Indirizzo}[ {Numero}]]" << QStringList{"indirizzo=Corso Mazzini"}
            << "Via: Corso Mazzini" << false;
        QTest::newRow("a line of missing data")
            << "Tel. {Telefono} Cell. {Cellulare}" << QStringList{} << "Tel.  Cell. " << true;
        QTest::newRow("fixed text is never blank")
            << "Distinti saluti." << QStringList{} << "Distinti saluti." << false;
        QTest::newRow("escapes") << "\\{Nome\\} \\[x\\] \\\\" << QStringList{} << "{Nome} [x] \\"
                                 << false;
        QTest::newRow("names regardless of case")
            << "{NOMINATIVO}" << QStringList{"nominativo=Rossi"} << "Rossi" << false;
        QTest::newRow("format") << "Totale {Importo|amount}" << QStringList{"importo=1234.5"}
                                << "Totale 1.234,50 €" << false;
    }

    void templates()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(QString, expected);
        QFETCH(bool, onlyBlanks);
        MapSource source;
        for (const QString &pair : values)
            source.values.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        db::Result<FieldTemplate> t = FieldTemplate::parse(text);
        QVERIFY2(t.ok(), qPrintable(t.message()));
        const FieldTemplate::Expansion e = t->expand(source);
        QCOMPARE(e.text, expected);
        QCOMPARE(e.onlyBlanks, onlyBlanks);
    }

    void badTemplates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("open brace") << "{Nome"
                                    << "Manca la parentesi }";
        QTest::newRow("close brace") << "Nome}"
                                     << "Parentesi } senza apertura";
        QTest::newRow("open bracket") << "[{Nome}"
                                      << "Manca la parentesi ]";
        QTest::newRow("close bracket") << "{Nome}]"
                                       << "Parentesi ] senza apertura";
        QTest::newRow("no name") << "{ }"
                                 << "Campo senza nome";
        QTest::newRow("format") << "{Importo|lire}"
                                << "Formato \"lire\" sconosciuto";
    }

    void badTemplates()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        db::Result<FieldTemplate> t = FieldTemplate::parse(text);
        QVERIFY(!t.ok());
        QVERIFY2(t.message().contains(message), qPrintable(t.message()));
    }

    void printedValues_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const int currency = int(db::FieldKind::Currency);
        QTest::newRow("null") << QVariant() << int(db::FieldKind::Text) << "";
        QTest::newRow("null amount") << QVariant() << currency << "";
        QTest::newRow("amount") << QVariant(1234.56) << currency << "1.234,56 €";
        QTest::newRow("millions") << QVariant(1234567.891) << currency << "1.234.567,89 €";
        QTest::newRow("half cent up") << QVariant(0.005) << currency << "0,01 €";
        QTest::newRow("negative") << QVariant(-1234.5) << currency << "-1.234,50 €";
        QTest::newRow("negative under half a cent") << QVariant(-0.004) << currency << "0,00 €";
        QTest::newRow("date") << QVariant(db::naiveDateTime(QDate(2026, 3, 5), QTime(14, 30)))
                              << int(db::FieldKind::Date) << "05/03/2026";
        QTest::newRow("yes") << QVariant(true) << int(db::FieldKind::Bool) << "Sì";
        QTest::newRow("number") << QVariant(1234.5) << int(db::FieldKind::Real) << "1.234,5";
        QTest::newRow("picture") << QVariant(QByteArray("\x89PNG")) << int(db::FieldKind::Binary)
                                 << "";
    }

    void printedValues()
    {
        QFETCH(QVariant, value);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        QCOMPARE(formatValue(value, db::FieldKind(kind)), expected);
    }

    // The line shared out among a list's columns: each column gets what it needs when that is
    // within its part of what is left, the others share the rest by their shares.
    void columnWidthsShareTheLine_data()
    {
        QTest::addColumn<QList<double>>("shares");
        QTest::addColumn<QList<double>>("natural");
        QTest::addColumn<double>("total");
        QTest::addColumn<QList<double>>("widths");
        QTest::newRow("everything fits: the room left goes by shares")
            << QList<double>{1, 3} << QList<double>{10, 10} << 100.0 << QList<double>{30, 70};
        QTest::newRow("narrow columns leave their room to the long one")
            << QList<double>{30, 15, 15, 24} << QList<double>{200, 10, 12, 8} << 190.0
            << QList<double>{160, 10, 12, 8};
        QTest::newRow("two long columns share what is left by their shares")
            << QList<double>{30, 15, 30} << QList<double>{500, 10, 300} << 110.0
            << QList<double>{50, 10, 50};
        // The first column needs more than its part of the line (25) until the second one
        // settles and leaves it room.
        QTest::newRow("settled in a later pass")
            << QList<double>{1, 1, 2} << QList<double>{30, 5, 1000} << 100.0
            << QList<double>{30, 5, 65};
        QTest::newRow("nothing fits: the layout's shares")
            << QList<double>{1, 1, 2} << QList<double>{900, 900, 900} << 100.0
            << QList<double>{25, 25, 50};
        QTest::newRow("a column with nothing to print")
            << QList<double>{1, 1} << QList<double>{0, 500} << 100.0 << QList<double>{0, 100};
        QTest::newRow("exactly the line")
            << QList<double>{1, 1} << QList<double>{40, 60} << 100.0 << QList<double>{40, 60};
    }
    void columnWidthsShareTheLine()
    {
        QFETCH(QList<double>, shares);
        QFETCH(QList<double>, natural);
        QFETCH(double, total);
        QFETCH(QList<double>, widths);
        const QList<double> shared = shareColumnWidths(shares, natural, total);
        QCOMPARE(shared.size(), widths.size());
        double sum = 0;
        for (qsizetype c = 0; c < widths.size(); ++c) {
            QVERIFY2(qAbs(shared[c] - widths[c]) < 1e-9,
                     qPrintable(QStringLiteral("%1: %2").arg(c).arg(shared[c])));
            sum += shared[c];
        }
        QVERIFY(qAbs(sum - total) < 1e-9);
    }

    void amountsAddUpToTheCent()
    {
        qint64 sum = 0;
        for (int i = 0; i < 10; ++i)
            sum += toTenThousandths(0.1);
        sum += toTenThousandths(0.2);
        QCOMPARE(formatAmount(sum), QStringLiteral("1,20 €"));
    }

    void layoutProblemsNameTheFileAndThePlace_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::newRow("not json") << QByteArray(
                                         "{\n  \"calvetraReport\": 1,\n  \"layout\": list\n}")
                                  << "riga 3";
        QTest::newRow("no version")
            << json("{'layout': 'list', 'columns': [{'field': 'A'}]}") << "\"calvetraReport\": 1";
        QTest::newRow("misspelt key")
            << json("{'calvetraReport': 1, 'layout': 'list', 'colums': [{'field': 'A'}]}")
            << "chiave sconosciuta \"colums\"";
        QTest::newRow("no kind") << json("{'calvetraReport': 1, 'columns': [{'field': 'A'}]}")
                                 << "manca il tipo di stampa";
        QTest::newRow("unknown kind")
            << json("{'calvetraReport': 1, 'layout': 'tabella'}") << "list, groups, labels, letter";
        QTest::newRow("bad width") << json("{'calvetraReport': 1, 'layout': 'list', 'columns': "
                                           "[{'field': 'A'}, {'field': 'B', 'width': -2}]}")
                                   << "columns[2].width";
        QTest::newRow("field and text") << json("{'calvetraReport': 1, 'layout': 'list', "
                                                "'columns': [{'field': 'A', 'text': '{A}'}]}")
                                        << "columns[1]: serve \"field\" oppure \"text\"";
        QTest::newRow("bad column text")
            << json("{'calvetraReport': 1, 'layout': 'list', 'columns': [{'text': '{A'}]}")
            << "columns[1].text: Manca la parentesi }";
        QTest::newRow("subtotal in a plain list")
            << json("{'calvetraReport': 1, 'layout': 'list', 'columns': [{'field': 'A'}], "
                    "'subtotal': {'fields': []}}")
            << "subtotal";
        QTest::newRow("sum without its column")
            << json("{'calvetraReport': 1, 'layout': 'groups', 'group': {'field': 'A'}, 'columns': "
                    "[{'field': 'A'}], 'total': {'label': 'T', 'fields': ['Importo']}}")
            << "\"Importo\" non ha una colonna";
        QTest::newRow("labels without a sheet")
            << json("{'calvetraReport': 1, 'layout': 'labels', 'labels': {'lines': ['{A}'], "
                    "'large': {'width': 70, 'height': 37}}}")
            << "labels.small";
        QTest::newRow("signatures without labels")
            << json("{'calvetraReport': 1, 'layout': 'letter', 'blocks': [{'type': 'signatures'}]}")
            << "blocks[1]";
        QTest::newRow("margins") << json("{'calvetraReport': 1, 'layout': 'list', 'page': "
                                         "{'margins': [1, 2]}, 'columns': [{'field': 'A'}]}")
                                 << "page.margins";
        // Numbers beyond any paper, and beyond what an int holds.
        const auto list = [](const char *inside) {
            return json(("{'calvetraReport': 1, 'layout': 'list', " + QByteArray(inside) + "}")
                            .constData());
        };
        QTest::newRow("margins leaving no room")
            << list("'page': {'margins': [60, 0, 60, 0]}, 'columns': [{'field': 'A'}]")
            << "page.margins";
        QTest::newRow("huge margin")
            << list("'page': {'margins': [1e300, 0, 0, 0]}, 'columns': [{'field': 'A'}]")
            << "page.margins";
        QTest::newRow("huge font")
            << list("'font': {'size': 1e9}, 'columns': [{'field': 'A'}]") << "font.size";
        QTest::newRow("maxLines beyond an int")
            << list("'columns': [{'field': 'A', 'maxLines': 1e12}]") << "columns[1].maxLines";
        QTest::newRow("fractional maxLines")
            << list("'columns': [{'field': 'A', 'maxLines': 2.5}]") << "numero intero";
        QTest::newRow("huge column share")
            << list("'columns': [{'field': 'A', 'width': 1e308}]") << "columns[1].width";
        QTest::newRow("space block a kilometre high")
            << json("{'calvetraReport': 1, 'layout': 'letter', 'blocks': [{'type': 'space', "
                    "'height': 1e6}]}")
            << "blocks[1].height";
    }

    void layoutProblemsNameTheFileAndThePlace()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        db::Result<ReportLayout> layout = parseLayout(json, QStringLiteral("/cartella/Prova.rpt"));
        QVERIFY(!layout.ok());
        QVERIFY2(layout.message().contains(QStringLiteral("/cartella/Prova.rpt")),
                 qPrintable(layout.message()));
        QVERIFY2(layout.message().contains(message), qPrintable(layout.message()));
        QVERIFY(parseLayout(kListLayout, QStringLiteral("x")).ok());
    }

    void everyShippedLayoutReadsAndIsInstalled_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("Agenda") << "Agenda.rpt" << int(LayoutKind::List) << false;
        QTest::newRow("AgendaLan") << "AgendaLan.rpt" << int(LayoutKind::List) << true;
        QTest::newRow("Categorie") << "Categorie.rpt" << int(LayoutKind::Groups) << false;
        QTest::newRow("CategorieLan") << "CategorieLan.rpt" << int(LayoutKind::Groups) << true;
        QTest::newRow("EtichetteClienti")
            << "EtichetteClienti.rpt" << int(LayoutKind::Labels) << false;
        QTest::newRow("EtichetteAzienda")
            << "EtichetteAzienda.rpt" << int(LayoutKind::Labels) << false;
        QTest::newRow("PrivacyContatti")
            << "PrivacyContatti.rpt" << int(LayoutKind::Letter) << false;
        QTest::newRow("PrivacyContattiLan")
            << "PrivacyContattiLan.rpt" << int(LayoutKind::Letter) << true;
        QTest::newRow("Pagamenti") << "Pagamenti.rpt" << int(LayoutKind::Groups) << false;
        QTest::newRow("PagamentiLan") << "PagamentiLan.rpt" << int(LayoutKind::Groups) << true;
        QTest::newRow("Avvisi") << "Avvisi.rpt" << int(LayoutKind::Letter) << false;
        QTest::newRow("AvvisiLan") << "AvvisiLan.rpt" << int(LayoutKind::Letter) << true;
        QTest::newRow("Appuntamenti") << "Appuntamenti.rpt" << int(LayoutKind::List) << false;
        QTest::newRow("AppuntamentiLan") << "AppuntamentiLan.rpt" << int(LayoutKind::List) << true;
    }

    void everyShippedLayoutReadsAndIsInstalled()
    {
        QFETCH(QString, file);
        QFETCH(int, kind);
        QFETCH(bool, landscape);
        const QString installed = QStringLiteral(CALVETRA_BIN_DIR "/") + file;
        db::Result<ReportLayout> layout = readLayoutFile(installed);
        QVERIFY2(layout.ok(), qPrintable(layout.message()));
        QCOMPARE(int(layout->kind), kind);
        QCOMPARE(layout->orientation == QPageLayout::Landscape, landscape);
        QCOMPARE(layout->pageSize.id(), QPageSize::A4);
        QVERIFY(!layout->title.isEmpty());
        QFile source(QStringLiteral(CALVETRA_TEST_DATA "/../tools/stampa/reports/") + file);
        QFile copy(installed);
        QVERIFY(source.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), source.readAll());
    }

    void searchKeepsRowsWithTheTextInAnyTextColumn()
    {
        const db::RowSet rows =
            rowSet({{"Nome", db::FieldKind::Text},
                    {"Note", db::FieldKind::Memo},
                    {"Data", db::FieldKind::Date}},
                   {{"Àlberti Niccolò", QVariant(), db::naiveDateTime(QDate(2026, 1, 1))},
                    {"Bianchi", "fattura 2026 da SALDARE", QVariant()},
                    {"Costa", QVariant(), db::naiveDateTime(QDate(2026, 2, 1))}});
        QCOMPARE(rowsContaining(rows, QStringLiteral("niccolò")).rows.size(), 1);
        const db::RowSet saldo = rowsContaining(rows, QStringLiteral("saldare"));
        QCOMPARE(saldo.rows.size(), 1);
        QCOMPARE(saldo.rows[0][0].toString(), QStringLiteral("Bianchi"));
        QCOMPARE(rowsContaining(rows, QStringLiteral("2026")).rows.size(), 1); // dates are not text
        QCOMPARE(rowsContaining(rows, QStringLiteral("  ")).rows.size(), 3);
        QCOMPARE(rowsContaining(rows, QStringLiteral("zeta")).rows.size(), 0);
        QCOMPARE(rowsContaining(rows, QStringLiteral("zeta")).columns.size(), 3);
    }

    void csvQuotesWhatNeedsIt()
    {
        const db::RowSet rows =
            rowSet({{"Nome", db::FieldKind::Text},
                    {"Importo", db::FieldKind::Currency},
                    {"Data", db::FieldKind::Date},
                    {"Logo", db::FieldKind::Binary}},
                   {{"D'Amico, \"Lucia\"", 1234.56, db::naiveDateTime(QDate(2026, 3, 5)),
                     QByteArray("\x89PNG")},
                    {"riga\ndue", 0.1, QVariant(), QVariant()}});
        QCOMPARE(QString::fromUtf8(csvText(rows)),
                 QStringLiteral("Nome,Importo,Data,Logo\r\n"
                                "\"D'Amico, \"\"Lucia\"\"\",1234.56,05/03/2026,\r\n"
                                "\"riga\ndue\",0.1,,\r\n"));
        const QString html = QString::fromUtf8(htmlText(rows, QStringLiteral("Prova <1>")));
        QVERIFY(html.contains(QStringLiteral("<title>Prova &lt;1&gt;</title>")));
        QVERIFY(html.contains(QStringLiteral("<td>D'Amico, &quot;Lucia&quot;</td>")));
        QVERIFY(html.contains(QStringLiteral("<td>riga<br>due</td>")));
        QVERIFY(html.contains(QStringLiteral("<td class=\"numero\">1.234,56 €</td>")));
        QVERIFY(exportFormatOf(QStringLiteral("a/b.HTM")).ok());
        QVERIFY(!exportFormatOf(QStringLiteral("a/b")).ok());
    }

    // Whatever its length, a text stays inside the room it is given.
    void textNeverLeavesItsRoom()
    {
        QBuffer sink;
        sink.open(QIODevice::WriteOnly);
        QPdfWriter device(&sink);
        Canvas canvas(device, FontStyle{defaultFontFamily(), 8, false, false});
        const int font = canvas.font(canvas.baseFont());
        const double width = canvas.mm(30);
        const QString longName = QStringLiteral(
            "Zanetti Società Cooperativa Agricola di Produzione e Lavoro della Romagna Forlivese");
        Page page;
        canvas.text(page, font, canvas.mm(10), width, canvas.mm(10), longName, Align::Left);
        canvas.text(page, font, canvas.mm(10), width, canvas.mm(20), longName, Align::Right);
        canvas.text(page, font, canvas.mm(10), width, canvas.mm(30),
                    QStringLiteral("riga uno\nriga due"), Align::Left);
        QCOMPARE(page.size(), 3);
        for (const PageItem &item : page) {
            QVERIFY(item.at.x() >= canvas.mm(10) - 0.5);
            QVERIFY(item.at.x() + canvas.metrics(font).horizontalAdvance(item.text) <=
                    canvas.mm(40) + 0.5);
        }
        QVERIFY(page[0].text.endsWith(QStringLiteral("…")));
        QCOMPARE(page[2].text, QStringLiteral("riga uno riga due"));

        const QStringList lines = canvas.wrap(font, longName, width, 2);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].endsWith(QStringLiteral("…")));
        for (const QString &line : lines)
            QVERIFY(canvas.metrics(font).horizontalAdvance(line) <= width + 0.5);
        const QStringList unbroken = canvas.wrap(font, QString(60, u'X'), width, 5);
        QVERIFY(unbroken.size() > 1);
        QCOMPARE(unbroken.join(QString()), QString(60, u'X'));
        QVERIFY(canvas.wrap(font, QStringLiteral("   "), width, 3).isEmpty());
    }
};

QTEST_MAIN(TestStampaLayout)
#include "tst_stampalayout.moc"
