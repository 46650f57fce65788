// .xlsx files made by openpyxl (rewritten where other spreadsheets write them otherwise), read;
// and the file written, read back by openpyxl and by our reader.

#include "sheetfiles.h"
#include "sheets/xlsxfile.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QTest>

#include <sys/stat.h>

using namespace sheets;

namespace {

SheetRows read(const QByteArray &bytes)
{
    const db::Result<SheetRows> rows = readXlsx(bytes);
    if (!rows) {
        QTest::qFail(rows.message().toUtf8().constData(), __FILE__, __LINE__);
        return {};
    }
    return *rows;
}

// The cell at `column` of `row`, invalid where there is none.
QVariant at(const SheetRows &rows, qsizetype row, qsizetype column)
{
    return row < rows.size() ? rows[row].value(column) : QVariant();
}

QString readError(const QByteArray &bytes)
{
    const db::Result<SheetRows> rows = readXlsx(bytes);
    return rows ? QStringLiteral("<read>") : rows.message();
}

unsigned modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

QJsonObject cellOf(const QJsonObject &sheet, int row, int column)
{
    return sheet[QStringLiteral("rows")].toArray()[row].toArray()[column].toObject();
}

} // namespace

class TestXlsxFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aWorkbookOfContacts()
    {
        SheetFiles files;
        const SheetRows rows = read(files.xlsx(QStringLiteral("contacts")));
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows[0], QVariantList({"Cognome", "Nome", "CAP", "Nato il", "Importo", "Attivo",
                                        "Doppio", "Ricco"}));
        // A number, a date, the stored result of a formula, a rich text joined without its
        // phonetic guide.
        QCOMPARE(rows[1], QVariantList({"Rossi", "Mario", 118.0, QDate(1975, 12, 31), 12.5, true,
                                        25.0, "Ricco "}));
        QCOMPARE(at(rows, 1, 2).typeId(), QMetaType::Double);
        QCOMPARE(at(rows, 1, 5).typeId(), QMetaType::Bool);
        // Texts stay texts, a date before 1900 among them; the row ends at its last value.
        QCOMPARE(rows[2],
                 QVariantList({"D'Angelo", "Lucia è già", "00118", "01/02/1850", 0.1, false}));
        // A row left out, a cell left out.
        QCOMPARE(rows[3], QVariantList());
        QCOMPARE(rows[4], QVariantList({"Verdi", QVariant(), "Forlì"}));
        QVERIFY(!at(rows, 4, 1).isValid());
        // Formats of the user's with a time and with a locale; a number format; the first
        // months of 1900; a time alone stays a number; an escaped CR.
        QCOMPARE(at(rows, 5, 0), QVariant(QDate(2024, 3, 5)));
        QCOMPARE(at(rows, 5, 1), QVariant(QDate(2001, 9, 11)));
        QCOMPARE(at(rows, 5, 2), QVariant(45000.0));
        QCOMPARE(at(rows, 5, 3), QVariant(QDate(1900, 2, 1)));
        QCOMPARE(at(rows, 5, 4).typeId(), QMetaType::Double);
        QCOMPARE(at(rows, 5, 5), QVariant(QStringLiteral("A\rB")));
    }

    void theFirstSheetOfTheList()
    {
        // Listed first but kept in sheet2.xml, its elements prefixed, its texts inline, the
        // workbook's targets from the root.
        SheetFiles files;
        const SheetRows rows = read(files.xlsx(QStringLiteral("order")));
        QCOMPARE(rows, SheetRows({{"giusto", 7.0}}));
    }

    void aWorkbookCountingFrom1904()
    {
        SheetFiles files;
        const SheetRows rows = read(files.xlsx(QStringLiteral("date1904")));
        QCOMPARE(rows, SheetRows({{QDate(2024, 3, 5), QDate(1904, 1, 1)}}));
    }

    void filesThatCannotBeRead()
    {
        SheetFiles files;
        QVERIFY(readError("Cognome;Nome\r\n").contains(QStringLiteral("non è un archivio ZIP")));
        QCOMPARE(readError({}), QStringLiteral("Il file è vuoto."));
        QVERIFY(readError(QByteArray::fromHex("d0cf11e0a1b11ae1") + QByteArray(512, '\0'))
                    .contains(QStringLiteral(".xls")));
        QVERIFY(readError(files.xlsx(QStringLiteral("noworkbook")))
                    .contains(QStringLiteral("manca la cartella di lavoro")));
        const QByteArray whole = files.xlsx(QStringLiteral("contacts"));
        for (const qsizetype kept : {whole.size() / 2, whole.size() - 10}) {
            const QString error = readError(whole.first(kept));
            QVERIFY2(error.startsWith(QStringLiteral("Il file")), qPrintable(error));
        }
        QVERIFY(readError(files.xlsx(QStringLiteral("brokenxml")))
                    .contains(QStringLiteral("xl/worksheets/sheet1.xml non è XML valido")));
        QVERIFY(readError(files.xlsx(QStringLiteral("toobig")))
                    .contains(QStringLiteral("più di 1.000.000 di righe")));
    }

    void writtenAndReadByAnotherReader()
    {
        const QString longText(80, u'x');
        const SheetRows rows = {
            {"Cognome", "CAP", "Telefono", "Codice fiscale", "Nato il", "Importo", "Note",
             "Cliente"},
            {"Rossi", "00118", "0612345678", "RSSMRA75T31H501X", QDate(1975, 12, 31), 12.5,
             longText, true},
            {"Bianchi", "", QVariant(), "0123", QDate(1850, 2, 1), 3, "riga uno\nriga due",
             "a\tb\x01"
             "c"},
        };
        SheetFiles files;
        const QString path = QDir(files.folder()).filePath(QStringLiteral("contatti.xlsx"));
        const db::Status written = writeXlsx(path, rows);
        QVERIFY2(written, qPrintable(written.message()));
        QCOMPARE(modeOf(path), 0600U);
        // Only the file: no temporary one left beside it.
        QCOMPARE(QDir(files.folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"contatti.xlsx"}));

        const QJsonObject sheet = files.readXlsx(path);
        QCOMPARE(sheet["sheets"].toArray(), QJsonArray({"Contatti"}));
        QCOMPARE(sheet["panes"].toString(), QStringLiteral("A2"));
        for (int c = 0; c < 8; ++c) {
            QVERIFY(cellOf(sheet, 0, c)["bold"].toBool());
            QVERIFY(!cellOf(sheet, 1, c)["bold"].toBool());
        }
        const auto check = [&](int row, int column, const char *type, const QJsonValue &value) {
            const QJsonObject cell = cellOf(sheet, row, column);
            QCOMPARE(cell["type"].toString(), QString::fromLatin1(type));
            QCOMPARE(cell["value"], value);
        };
        check(1, 1, "str", "00118");
        check(1, 2, "str", "0612345678");
        check(1, 4, "date", "1975-12-31");
        QCOMPARE(cellOf(sheet, 1, 4)["format"].toString(), QStringLiteral("dd/mm/yyyy"));
        check(1, 5, "number", 12.5);
        check(1, 7, "bool", true);
        check(2, 1, "empty", QJsonValue::Null);
        check(2, 2, "empty", QJsonValue::Null);
        check(2, 3, "str", "0123");
        check(2, 4, "str", "01/02/1850");
        check(2, 5, "number", 3);
        check(2, 6, "str", "riga uno\nriga due");
        // A control character XML cannot carry, escaped in the file (which this reader leaves
        // as it is, and spreadsheets undo).
        check(2, 7, "str", "a\tb_x0001_c");

        // Each column as wide as its longest text and two characters more, never past 60 (the
        // file adds the cell's margins, less than one character).
        const QJsonObject widths = sheet["widths"].toObject();
        const auto width = [&](const char *column) {
            return int(widths[QLatin1String(column)].toDouble());
        };
        QCOMPARE(width("A"), 9);  // "Bianchi", "Cognome"
        QCOMPARE(width("D"), 18); // the tax code
        QCOMPARE(width("E"), 12); // a date
        QCOMPARE(width("G"), 60);

        // Our reader reads back what was written.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const SheetRows back = read(file.readAll());
        QCOMPARE(back[0], rows[0]);
        QCOMPARE(back[1], QVariantList({"Rossi", "00118", "0612345678", "RSSMRA75T31H501X",
                                        QDate(1975, 12, 31), 12.5, longText, true}));
        QCOMPARE(back[2], QVariantList({"Bianchi", QVariant(), QVariant(), "0123", "01/02/1850",
                                        3.0, "riga uno\nriga due",
                                        "a\tb\x01"
                                        "c"}));
    }

    void aFailedWriteLeavesTheOldFile()
    {
        SheetFiles files;
        const QString path = QDir(files.folder()).filePath(QStringLiteral("contatti.xlsx"));
        QVERIFY(writeXlsx(path, {{"Cognome"}, {"Rossi"}}));
        // Written again over it: replaced.
        QVERIFY(writeXlsx(path, {{"Cognome"}, {"Bianchi"}}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        QCOMPARE(read(before), SheetRows({{"Cognome"}, {"Bianchi"}}));
        file.close();

        const db::Status tooWide = writeXlsx(path, {QVariantList(16'385, QStringLiteral("x"))});
        QVERIFY(!tooWide);
        QVERIFY2(tooWide.message().contains(QStringLiteral("16.384 colonne")),
                 qPrintable(tooWide.message()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();

        const QString nowhere = QDir(files.folder()).filePath(QStringLiteral("manca/c.xlsx"));
        const db::Status missing = writeXlsx(nowhere, {{"Cognome"}});
        QVERIFY(!missing);
        QVERIFY2(missing.message().startsWith(QStringLiteral("Impossibile scrivere il file")),
                 qPrintable(missing.message()));
        QCOMPARE(QDir(files.folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"contatti.xlsx"}));
    }
};

QTEST_GUILESS_MAIN(TestXlsxFile)
#include "tst_xlsxfile.moc"
