// CSV files as spreadsheets, phones and mail programs save them (made by Python's csv module),
// read; and the file written, read back by the csv module and by our reader.

#include "sheetfiles.h"
#include "sheets/csvfile.h"

#include <QDate>
#include <QTest>

using namespace sheets;

namespace {

// The cells read, every one of them required to be a text.
QList<QStringList> texts(const SheetRows &rows)
{
    QList<QStringList> table;
    for (const QVariantList &row : rows) {
        QStringList cells;
        for (const QVariant &cell : row) {
            if (cell.typeId() != QMetaType::QString)
                cells.append(QStringLiteral("<not a text>"));
            else
                cells.append(cell.toString());
        }
        table.append(cells);
    }
    return table;
}

QList<QStringList> read(const QByteArray &bytes, CsvFormat *format = nullptr)
{
    const db::Result<SheetRows> rows = readCsv(bytes, format);
    if (!rows) {
        QTest::qFail(rows.message().toUtf8().constData(), __FILE__, __LINE__);
        return {};
    }
    return texts(*rows);
}

const QList<QStringList> kOffice = {
    {"Cognome", "Nome", "Città", "CAP", "Note"},
    {"D'Angelo", "Lucia", "Forlì", "00118", "è già cliente"},
    {"Rossi", "Mario", "Roma", "00184", ""},
    {"Bianchi", "", "Cantù", "22063", "€ 10,50"},
};

} // namespace

class TestCsvFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void anItalianSpreadsheetsFile()
    {
        SheetFiles files;
        const QByteArray bytes = files.csv(kOffice, "cp1252", ";", "\r\n");
        QVERIFY(bytes.contains("Citt\xE0"));
        CsvFormat format;
        QCOMPARE(read(bytes, &format), kOffice);
        QCOMPARE(format.separator, QChar(u';'));
        QVERIFY(!format.utf8);
        QVERIFY(!format.byteOrderMark);
    }

    void utf8WithMarkAndCommas()
    {
        SheetFiles files;
        const QByteArray bytes = files.csv(kOffice, "utf-8-sig", ",", "\r\n");
        CsvFormat format;
        QCOMPARE(read(bytes, &format), kOffice);
        QCOMPARE(format.separator, QChar(u','));
        QVERIFY(format.utf8);
        QVERIFY(format.byteOrderMark);
        // Without the mark, the same.
        QCOMPARE(read(files.csv(kOffice, "utf-8", ",", "\r\n"), &format), kOffice);
        QVERIFY(format.utf8);
        QVERIFY(!format.byteOrderMark);
    }

    void tabsWinOverTheCommasAndSemicolonsOfTheirCells()
    {
        // Every row holds one comma and one semicolon, unquoted: each of them splits the rows
        // evenly too, into fewer cells.
        const QList<QStringList> rows = {{"Nome", "Indirizzo", "Orari"},
                                         {"Rossi", "Via Roma, 1", "9-12; 15-18"},
                                         {"Bianchi", "Piazza Duomo, 3", "8-13; chiuso"}};
        SheetFiles files;
        CsvFormat format;
        QCOMPARE(read(files.csv(rows, "utf-8", "\t", "\r\n"), &format), rows);
        QCOMPARE(format.separator, QChar(u'\t'));
    }

    void quotedCells()
    {
        const QList<QStringList> rows = {
            {"Nome", "Note", "Ditta"},
            {"Rossi; Mario", "detto \"il Capo\"", "Rossi & C."},
            {"Bianchi", "prima riga\nseconda riga", "\"Bianchi\" S.r.l."},
            {"Verdi", "", " spazi "},
        };
        SheetFiles files;
        for (const char *separator : {";", ","}) {
            CsvFormat format;
            QCOMPARE(read(files.csv(rows, "utf-8", separator, "\r\n"), &format), rows);
            QCOMPARE(format.separator, QChar::fromLatin1(*separator));
        }
        // A line break in a cell is read as LF whatever the file writes.
        const QList<QStringList> crlfInside = {{"a", "uno\r\ndue"}, {"b", "tre\rquattro"}};
        QCOMPARE(read(files.csv(crlfInside, "utf-8", ";", "\r\n")),
                 QList<QStringList>({{"a", "uno\ndue"}, {"b", "tre\nquattro"}}));
    }

    void lineEnds()
    {
        SheetFiles files;
        for (const char *end : {"\n", "\r"}) {
            const QByteArray bytes = files.csv(kOffice, "utf-8", ";", end);
            QVERIFY(!bytes.contains("\r\n"));
            QCOMPARE(read(bytes), kOffice);
        }
        // The last line may end without one; a mix of the three is read the same.
        QCOMPARE(read("a;b\r\nc;d\ne;f\rg;h"),
                 QList<QStringList>({{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", "h"}}));
    }

    void aPhonesExportWithManyEmptyCells()
    {
        const QStringList header =
            QStringLiteral("Name,Given Name,Additional Name,Family Name,Yomi Name,Name Prefix,"
                           "Name Suffix,Nickname,Birthday,Notes,Group Membership,E-mail 1 - Type,"
                           "E-mail 1 - Value,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,"
                           "Phone 2 - Value,Address 1 - Formatted,Address 1 - Street,"
                           "Address 1 - City,Address 1 - Postal Code")
                .split(u',');
        QStringList mario(header.size());
        mario[0] = "Mario Rossi";
        mario[1] = "Mario";
        mario[3] = "Rossi";
        mario[8] = "1975-12-31";
        mario[10] = "* myContacts";
        mario[13] = "Mobile";
        mario[14] = "+39 333 123 4567 ::: 06 1234567";
        mario[17] = "Via Roma 1\n00184 Roma";
        mario[20] = "00184";
        QStringList lucia(header.size());
        lucia[0] = "Lucia";
        lucia[1] = "Lucia";
        lucia[12] = "lucia@example.it";
        SheetFiles files;
        CsvFormat format;
        const QList<QStringList> rows = {header, mario, lucia};
        QCOMPARE(read(files.csv(rows, "utf-8", ",", "\r\n"), &format), rows);
        QCOMPARE(format.separator, QChar(u','));
    }

    void choosingTheSeparator()
    {
        // Both split evenly: the Italian one, even where the other gives more cells.
        QCOMPARE(read("Rossi;Mario, dott.\r\nBianchi;Anna, avv.\r\n"),
                 QList<QStringList>({{"Rossi", "Mario, dott."}, {"Bianchi", "Anna, avv."}}));
        QCOMPARE(read("Via Roma, 1, scala B;Roma\r\nVia Po, 2, int. 3;Torino\r\n"),
                 QList<QStringList>(
                     {{"Via Roma, 1, scala B", "Roma"}, {"Via Po, 2, int. 3", "Torino"}}));
        // Even rows beat more cells on the first row alone.
        QCOMPARE(read("a,b,c;d;e;f\r\ng,h,i\r\n"),
                 QList<QStringList>({{"a", "b", "c;d;e;f"}, {"g", "h", "i"}}));
        // No separator splits the rows evenly: the one splitting the first row most.
        CsvFormat format;
        QCOMPARE(read("a;b;c\r\nd\r\ne,f\r\n", &format),
                 QList<QStringList>({{"a", "b", "c"}, {"d"}, {"e,f"}}));
        QCOMPARE(format.separator, QChar(u';'));
        QCOMPARE(read("a,b\r\nc\r\n", &format), QList<QStringList>({{"a", "b"}, {"c"}}));
        QCOMPARE(format.separator, QChar(u','));
        // A separator inside quotes does not count; one column only: one cell a row.
        QCOMPARE(read("\"Rossi; Mario\"\r\n\"Bianchi, Anna\"\r\n", &format),
                 QList<QStringList>({{"Rossi; Mario"}, {"Bianchi, Anna"}}));
        QCOMPARE(format.separator, QChar(u';'));
    }

    void blankLinesAndOddQuotes()
    {
        // Blank lines and rows of empty cells are skipped, a trailing empty cell kept.
        QCOMPARE(read("\r\n\r\na;b\r\n;\r\n\r\nc;\r\n\r\n"),
                 QList<QStringList>({{"a", "b"}, {"c", ""}}));
        // A quote inside a cell, and text after a closing quote, are kept as written.
        QCOMPARE(read("O\"Neil;x\r\n\"ab\"cd;y\r\n"),
                 QList<QStringList>({{"O\"Neil", "x"}, {"abcd", "y"}}));
        // An empty quoted cell, and one ending the file without a line end.
        QCOMPARE(read("\"\";\"\"\"\"\r\nz;\"w\""), QList<QStringList>({{"", "\""}, {"z", "w"}}));
        // A DOS end-of-file mark is not a cell.
        QCOMPARE(read("a;b\r\n\x1A"), QList<QStringList>({{"a", "b"}}));
    }

    void encodings()
    {
        // One byte that is not UTF-8 makes the whole file Windows-1252 (its 0x80-0x9F too).
        CsvFormat format;
        QCOMPARE(read("Citt\xC3\xA0;\x80 5\r\nN\xB0;\x93x\x94\r\n", &format),
                 QList<QStringList>({{"CittÃ\u00A0", "€ 5"}, {"N°", "“x”"}}));
        QVERIFY(!format.utf8);
        QCOMPARE(read("Citt\xC3\xA0;\xE2\x82\xAC 5\r\n", &format),
                 QList<QStringList>({{"Città", "€ 5"}}));
        QVERIFY(format.utf8);
    }

    void filesThatAreNotCsv()
    {
        for (const QByteArray &empty :
             {QByteArray(), QByteArray("\xEF\xBB\xBF"), QByteArray("\r\n\r\n;;\r\n")}) {
            const db::Result<SheetRows> rows = readCsv(empty);
            QVERIFY(!rows);
            QCOMPARE(rows.message(), QStringLiteral("Il file è vuoto."));
        }
        const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000010000"
                                                   "00010806000000") +
                               QByteArray("\x1f\x15\xc4\x89", 4);
        for (const QByteArray &binary : {png, QByteArray("\x01\x02\x03\x04 abc;def\x05\x06")}) {
            const db::Result<SheetRows> rows = readCsv(binary);
            QVERIFY(!rows);
            QVERIFY2(rows.message().contains(QStringLiteral("dati binari")),
                     qPrintable(rows.message()));
        }
        // A few control characters in a text are still a text.
        QCOMPARE(read("a;b\x01\r\nc;d e f g h i l m n\r\n").size(), 2);

        const db::Result<SheetRows> unclosed = readCsv("a;b\r\nc;\"d\r\ne;f\r\n");
        QVERIFY(!unclosed);
        QVERIFY2(unclosed.message().contains(QStringLiteral("riga 2")),
                 qPrintable(unclosed.message()));
    }

    void writtenForItalianSpreadsheets()
    {
        const SheetRows rows = {
            {QStringLiteral("Cognome"), QStringLiteral("Nato il"), QStringLiteral("Importo"),
             QStringLiteral("Note"), QStringLiteral("CAP")},
            {QStringLiteral("D'Angelo; Lucia"), QDate(1975, 12, 31), 12.5,
             QStringLiteral("detto \"il Capo\"\nseconda riga"), QStringLiteral("00118")},
            {QStringLiteral(" Rossi"), QVariant(), 3, QStringLiteral("fine "), true},
            {},
        };
        const QByteArray bytes = writeCsv(rows);
        QCOMPARE(bytes, QByteArray("\xEF\xBB\xBF"
                                   "Cognome;Nato il;Importo;Note;CAP\r\n"
                                   "\"D'Angelo; Lucia\";31/12/1975;12.5;"
                                   "\"detto \"\"il Capo\"\"\nseconda riga\";00118\r\n"
                                   "\" Rossi\";;3;\"fine \";true\r\n"
                                   "\r\n"));
        const QList<QStringList> cells = {
            {"Cognome", "Nato il", "Importo", "Note", "CAP"},
            {"D'Angelo; Lucia", "31/12/1975", "12.5", "detto \"il Capo\"\nseconda riga", "00118"},
            {" Rossi", "", "3", "fine ", "true"}};
        SheetFiles files;
        QCOMPARE(files.readCsv(bytes), cells + QList<QStringList>{QStringList()});
        CsvFormat format;
        QCOMPARE(read(bytes, &format), cells);
        QCOMPARE(format.separator, QChar(u';'));
        QVERIFY(format.utf8 && format.byteOrderMark);

        // Commas in every cell, and a character like the byte-order mark starting the file.
        const SheetRows commas = {{QStringLiteral("\uFEFFa, b, c"), QStringLiteral("d,e")},
                                  {QStringLiteral("f,g,h"), QStringLiteral("i,l")}};
        QCOMPARE(read(writeCsv(commas)),
                 QList<QStringList>({{QStringLiteral("\uFEFFa, b, c"), "d,e"}, {"f,g,h", "i,l"}}));
    }
};

QTEST_GUILESS_MAIN(TestCsvFile)
#include "tst_csvfile.moc"
