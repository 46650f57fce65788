// Contacts in from the spreadsheets offices have (an Italian CSV, a phone's contacts export, a
// mail program's, an .xlsx workbook) and out to CSV and .xlsx, read back by Python's csv module
// and openpyxl: the hard values, the duplicates, the bad files, the command-line tool.

#include "contacts/sheetexport.h"
#include "contacts/sheetimport.h"
#include "db/core/datetimes.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate kToday(2026, 12, 8);

// Runs contactsheets.py; its output.
QByteArray python(const QString &kind, const QString &path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(CALVETRA_TEST_DATA "/contacts/contactsheets.py"), kind, path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        QTest::qFail(p.readAllStandardError().constData(), __FILE__, __LINE__);
        return {};
    }
    return p.readAllStandardOutput();
}

QVariant value(FreshArchive &archive, const QString &column, const QString &where,
               const QVariantList &values)
{
    return archive
        .native(QStringLiteral("SELECT %1 FROM Contatti WHERE %2").arg(column, where), values)
        .rows.value(0)
        .value(0);
}

qint64 count(FreshArchive &archive)
{
    return archive.run(QStringLiteral("SELECT COUNT(*) FROM Contatti")).rows[0][0].toLongLong();
}

qint64 townId(FreshArchive &archive, const QString &name, const QString &province)
{
    return archive
        .native(QStringLiteral("SELECT ID FROM Comuni WHERE Comune = ? AND Provincia = ?"),
                {name, province})
        .rows.value(0)
        .value(0)
        .toLongLong();
}

db::Result<SheetImportSummary>
import(FreshArchive &archive, const QString &path,
       AzioneImportazioneVCard azione = AzioneImportazioneVCard::Salta)
{
    const db::Result<sheets::SheetRows> rows = readSheetFile(path);
    if (!rows)
        return rows.error();
    return importSheet(archive.connection(), *rows, {}, azione, kToday);
}

} // namespace

class TestSheetImport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const QString &name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    // An Italian spreadsheet's CSV (Windows-1252, ';'): accents and apostrophes, a CAP that lost
    // its zeros, the town found, a company row, dates, a note with the separator and a line
    // break; a row without a name skipped; imported twice, nothing doubles; updated on request.
    void italianCsv()
    {
        FreshArchive archive;
        python(QStringLiteral("italian"), file(QStringLiteral("italiano.csv")));
        const db::Result<SheetImportSummary> done =
            import(archive, file(QStringLiteral("italiano.csv")));
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->nuovi, 3);
        QCOMPARE(done->saltati, 1);
        QCOMPARE(done->colonneIgnorate, QStringList{QStringLiteral("Colore preferito")});
        const QString text = done->testo();
        QVERIFY(text.contains(QStringLiteral("Riga 5: senza cognome, nome né ragione sociale")));
        QVERIFY(text.contains(QStringLiteral("«1990-02-31» non valida")));
        QVERIFY(text.contains(QStringLiteral("«Paperopoli» non è tra i comuni")));
        // A window shows the first notes and how many more there are.
        QVERIFY(done->testo(1).endsWith(QStringLiteral("\n… e altre 4 note.")));
        // A code that does not check goes in as written, and is said.
        QVERIFY(text.contains(QStringLiteral("codice fiscale «DNGNCL80A01H501X» non valido "
                                             "(carattere di controllo errato: atteso A), "
                                             "importato com'è.")));

        const QString angelo = QStringLiteral("Cognome = ?");
        QCOMPARE(value(archive, "Nome", angelo, {"D'Angelo"}).toString(),
                 QStringLiteral("Niccolò"));
        QCOMPARE(value(archive, "Cap", angelo, {"D'Angelo"}).toString(), QStringLiteral("00118"));
        QCOMPARE(value(archive, "Citta_ID", angelo, {"D'Angelo"}).toLongLong(),
                 townId(archive, "Roma", "RM"));
        QCOMPARE(value(archive, "CFisc", angelo, {"D'Angelo"}).toString(),
                 QStringLiteral("DNGNCL80A01H501X"));
        QCOMPARE(value(archive, "DataNascita", angelo, {"D'Angelo"}).toDateTime().date(),
                 QDate(1980, 1, 1));
        QCOMPARE(value(archive, "Note", angelo, {"D'Angelo"}).toString(),
                 QStringLiteral("nota; con punto e virgola\nsu due righe"));
        QCOMPARE(value(archive, "NominativoDocumenti", angelo, {"D'Angelo"}).toString(),
                 QStringLiteral("D'Angelo Niccolò"));
        const QString caffe = QStringLiteral("RagioneSociale = ?");
        QCOMPARE(value(archive, "Telefono", caffe, {"Caffè Srl"}).toString(),
                 QStringLiteral("011 55"));
        QCOMPARE(value(archive, "PIva", caffe, {"Caffè Srl"}).toString(),
                 QStringLiteral("01234567890"));
        QVERIFY(value(archive, "Cognome", caffe, {"Caffè Srl"}).toString().isEmpty());
        QCOMPARE(value(archive, "Citta_ID", caffe, {"Caffè Srl"}).toLongLong(),
                 townId(archive, "Torino", "TO"));

        // Again: every row is already there.
        const db::Result<SheetImportSummary> again =
            import(archive, file(QStringLiteral("italiano.csv")));
        QCOMPARE(again->nuovi, 0);
        QCOMPARE(count(archive), 3);
        QVERIFY(again->testo().contains(QStringLiteral("già in archivio (stesso codice fiscale)")));
        // Updated on request: the one changed value taken, nothing doubled.
        archive.native(QStringLiteral("UPDATE Contatti SET Telefono = 'vecchio' WHERE Cognome = "
                                      "'D''Angelo'"));
        const db::Result<SheetImportSummary> updated = import(
            archive, file(QStringLiteral("italiano.csv")), AzioneImportazioneVCard::Aggiorna);
        QCOMPARE(updated->aggiornati, 3);
        QCOMPARE(count(archive), 3);
        QCOMPARE(value(archive, "Telefono", angelo, {"D'Angelo"}).toString(),
                 QStringLiteral("06 1234"));
    }

    // A phone's contacts export: typed phones, e-mails and addresses to their columns, several
    // values in a cell, the export's own group left out, a birthday without its year noted.
    void phonesContactsExport()
    {
        FreshArchive archive;
        python(QStringLiteral("google"), file(QStringLiteral("google.csv")));
        const db::Result<SheetImportSummary> done =
            import(archive, file(QStringLiteral("google.csv")));
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->nuovi, 2);
        const QString zoe = QStringLiteral("Cognome = ?");
        const QVariantList z{QStringLiteral("Dell'Orto")};
        QCOMPARE(value(archive, "Nome", zoe, z).toString(), QStringLiteral("Zoë"));
        QCOMPARE(value(archive, "Cellulare", zoe, z).toString(),
                 QStringLiteral("+39 333 111 2222"));
        QCOMPARE(value(archive, "secTelefono", zoe, z).toString(), QStringLiteral("06 555 1234"));
        QCOMPARE(value(archive, "Telefono", zoe, z).toString(), QStringLiteral("06 777"));
        QCOMPARE(value(archive, "email", zoe, z).toString(), QStringLiteral("zoe@esempio.it"));
        QCOMPARE(value(archive, "secEmail", zoe, z).toString(), QStringLiteral("zoe@ufficio.it"));
        QCOMPARE(value(archive, "Indirizzo", zoe, z).toString(), QStringLiteral("Via Appia 5"));
        QCOMPARE(value(archive, "Cap", zoe, z).toString(), QStringLiteral("00178"));
        QCOMPARE(value(archive, "Citta_ID", zoe, z).toLongLong(), townId(archive, "Roma", "RM"));
        QCOMPARE(value(archive, "RagioneSociale", zoe, z).toString(),
                 QStringLiteral("Studio Dell'Orto"));
        QCOMPARE(value(archive, "DataNascita", zoe, z).toDateTime().date(), QDate(1975, 12, 31));
        QCOMPARE(archive
                     .native(QStringLiteral("SELECT Categorie.Descrizione FROM Contatti JOIN "
                                            "Categorie ON Categorie.Id = Contatti.Categoria_ID "
                                            "WHERE Cognome = ?"),
                             z)
                     .rows.value(0)
                     .value(0)
                     .toString(),
                 QStringLiteral("Amici"));
        QCOMPARE(value(archive, "Fax", zoe, {"Neri"}).toString(), QStringLiteral("06 999"));
        QVERIFY(done->testo().contains(QStringLiteral("Riga 3 (Neri Pietro): data di nascita "
                                                      "senza anno")));
        // A row with an e-mail only has no name: not a contact, and said so.
        QVERIFY(done->testo().contains(QStringLiteral("Riga 4: senza cognome")));
        QVERIFY(!done->colonneIgnorate.contains(QStringLiteral("Phone 1 - Type")));
        QVERIFY(done->colonneIgnorate.contains(QStringLiteral("Address 1 - Country")));
    }

    // A mail program's exports, with its English and its Italian headers.
    void mailProgramsExports()
    {
        FreshArchive archive;
        python(QStringLiteral("outlook"), file(QStringLiteral("outlook.csv")));
        python(QStringLiteral("outlookit"), file(QStringLiteral("outlook-it.csv")));
        QVERIFY(import(archive, file(QStringLiteral("outlook.csv"))));
        QVERIFY(import(archive, file(QStringLiteral("outlook-it.csv"))));
        const QVariantList b{QStringLiteral("Bianchi")};
        const QString by = QStringLiteral("Cognome = ?");
        QCOMPARE(value(archive, "RagioneSociale", by, b).toString(),
                 QStringLiteral("Bianchi & C. Snc"));
        QCOMPARE(value(archive, "secTelefono", by, b).toString(), QStringLiteral("02 222"));
        QCOMPARE(value(archive, "Cellulare", by, b).toString(), QStringLiteral("347 000 1111"));
        QCOMPARE(value(archive, "UfficioIndirizzo", by, b).toString(),
                 QStringLiteral("Corso Italia 3"));
        QCOMPARE(value(archive, "UfficioCap", by, b).toString(), QStringLiteral("20122"));
        QCOMPARE(value(archive, "DataNascita", by, b).toDateTime().date(), QDate(1968, 4, 15));
        QCOMPARE(value(archive, "secEmail", by, b).toString(), QStringLiteral("luca@casa.it"));
        const QVariantList a{QStringLiteral("Sartò")};
        QCOMPARE(value(archive, "Nome", by, a).toString(), QStringLiteral("Anna"));
        QCOMPARE(value(archive, "Telefono", by, a).toString(), QStringLiteral("081 123"));
        QCOMPARE(value(archive, "Citta_ID", by, a).toLongLong(), townId(archive, "Napoli", "NA"));
        QCOMPARE(value(archive, "DataNascita", by, a).toDateTime().date(), QDate(1990, 3, 2));
        QCOMPARE(value(archive, "Note", by, a).toString(),
                 QStringLiteral("L'ultima; con «virgolette» \"doppie\""));
    }

    // A workbook: a CAP and a mobile stored as numbers, a date cell, a date written as text.
    void workbook()
    {
        FreshArchive archive;
        python(QStringLiteral("workbook"), file(QStringLiteral("clienti.xlsx")));
        const db::Result<SheetImportSummary> done =
            import(archive, file(QStringLiteral("clienti.xlsx")));
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->nuovi, 2);
        const QString by = QStringLiteral("Cognome = ?");
        QCOMPARE(value(archive, "Cap", by, {"Verdi"}).toString(), QStringLiteral("00118"));
        QCOMPARE(value(archive, "Cellulare", by, {"Verdi"}).toString(),
                 QStringLiteral("3331234567"));
        QCOMPARE(value(archive, "DataNascita", by, {"Verdi"}).toDateTime().date(),
                 QDate(1975, 12, 31));
        QCOMPARE(value(archive, "PIva", by, {"Verdi"}).toString(), QStringLiteral("01234567891"));
        QCOMPARE(value(archive, "DataNascita", by, {"Bassi"}).toDateTime().date(),
                 QDate(1961, 1, 31));
        QCOMPARE(value(archive, "Citta_ID", by, {"Bassi"}).toLongLong(),
                 townId(archive, "Milano", "MI"));
    }

    // Files that are not what they say, or say nothing the program knows: a message, nothing
    // written.
    void badFilesWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("binary") << "dati.csv" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                << "";
        QTest::newRow("broken zip") << "rotto.xlsx" << QByteArray("PK\x03\x04rotto") << "";
        QTest::newRow("empty") << "vuoto.csv" << QByteArray() << "";
        QTest::newRow("no known column")
            << "ignoto.csv" << QByteArray("Alfa;Beta\r\nuno;due\r\n") << "Nessuna colonna";
        QTest::newRow("not a spreadsheet")
            << "testo.txt" << QByteArray("Cognome\r\nRossi\r\n") << ".csv o .xlsx";
    }
    void badFilesWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        FreshArchive archive;
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const db::Result<SheetImportSummary> done = import(archive, file(name));
        QVERIFY(!done);
        QVERIFY2(done.message().contains(expected), qPrintable(done.message()));
        QCOMPARE(count(archive), 0);
    }

    // Stopped half way: nothing written.
    void stoppedImportWritesNothing()
    {
        FreshArchive archive;
        sheets::SheetRows rows{{QStringLiteral("Cognome"), QStringLiteral("Nome")}};
        for (int i = 0; i < 1000; ++i)
            rows.append({QStringLiteral("Cognome%1").arg(i), QStringLiteral("Nome")});
        int asked = 0;
        const db::Result<SheetImportSummary> done =
            importSheet(archive.connection(), rows, {}, AzioneImportazioneVCard::Salta, kToday,
                        [&](int, int) { return ++asked < 3; });
        QVERIFY(done);
        QVERIFY(done->annullato);
        QCOMPARE(count(archive), 0);
    }

    // The export, read by other readers: the same values, texts that keep their zeros, dates as
    // dates (one before 1900 as text); read back by the import, the same contacts.
    void exportReadByOthersAndBack()
    {
        FreshArchive archive;
        archive.native(
            QStringLiteral("INSERT INTO Contatti (Cognome, Nome, Cap, Citta_ID, Cellulare, CFisc, "
                           "DataNascita, "
                           "Note, Annullato) VALUES ('D''Angelo', 'Niccolò', '00118', ?, '0612', "
                           "'DNGNCL80A01H501X', ?, 'uno; due \"tre\"', ?)"),
            {townId(archive, "Roma", "RM"), db::naiveDateTime(QDate(1980, 1, 1)), false});
        archive.native(QStringLiteral("INSERT INTO Contatti (Cognome, DataNascita, Annullato) "
                                      "VALUES ('Antico', ?, ?)"),
                       {db::naiveDateTime(QDate(1850, 2, 1)), false});
        const QList<qint64> ids{1, 2, 99};
        int missing = 0;
        const db::Result<sheets::SheetRows> rows =
            contactSheetRows(archive.connection(), ids, &missing);
        QVERIFY2(rows, qPrintable(rows.message()));
        QCOMPARE(missing, 1);
        QCOMPARE(rows->size(), 3);
        QVERIFY(writeSheetFile(file(QStringLiteral("uscita.xlsx")), *rows));
        QVERIFY(writeSheetFile(file(QStringLiteral("uscita.csv")), *rows));
        QVERIFY(!writeSheetFile(file(QStringLiteral("uscita.ods")), *rows));

        const QJsonObject book =
            QJsonDocument::fromJson(
                python(QStringLiteral("readxlsx"), file(QStringLiteral("uscita.xlsx"))))
                .object();
        const QJsonArray xrows = book[QStringLiteral("rows")].toArray();
        const QJsonArray header = xrows[0].toArray();
        const auto column = [&](const QString &title) {
            for (qsizetype c = 0; c < header.size(); ++c) {
                if (header[c].toString() == title)
                    return int(c);
            }
            return -1;
        };
        const QJsonArray angelo = xrows[1].toArray();
        QCOMPARE(angelo[column("Cognome")].toString(), QStringLiteral("D'Angelo"));
        QCOMPARE(angelo[column("CAP")].toString(), QStringLiteral("00118")); // text, not 118
        QCOMPARE(angelo[column("Cellulare")].toString(), QStringLiteral("0612"));
        QCOMPARE(angelo[column("Comune")].toString(), QStringLiteral("Roma"));
        QCOMPARE(angelo[column("Data di nascita")].toObject()[QStringLiteral("date")].toString(),
                 QStringLiteral("1980-01-01"));
        QCOMPARE(xrows[2].toArray()[column("Data di nascita")].toString(),
                 QStringLiteral("01/02/1850"));

        const QJsonArray crows = QJsonDocument::fromJson(python(QStringLiteral("readcsv"),
                                                                file(QStringLiteral("uscita.csv"))))
                                     .array();
        QCOMPARE(crows.size(), 3);
        QCOMPARE(crows[1].toArray()[column("Note")].toString(), QStringLiteral("uno; due \"tre\""));
        QCOMPARE(crows[1].toArray()[column("Data di nascita")].toString(),
                 QStringLiteral("01/01/1980"));

        // Back into a new archive, from either file: the same contacts.
        for (const char *name : {"uscita.xlsx", "uscita.csv"}) {
            FreshArchive other;
            const db::Result<SheetImportSummary> back =
                import(other, file(QString::fromLatin1(name)));
            QVERIFY2(back, qPrintable(back.message()));
            QCOMPARE(back->nuovi, 2);
            QVERIFY2(back->colonneIgnorate.isEmpty(), qPrintable(back->colonneIgnorate.join(u',')));
            QCOMPARE(value(other, "Cap", QStringLiteral("Cognome = ?"), {"D'Angelo"}).toString(),
                     QStringLiteral("00118"));
            QCOMPARE(value(other, "DataNascita", QStringLiteral("Cognome = ?"), {"Antico"})
                         .toDateTime()
                         .date(),
                     QDate(1850, 2, 1));
            QCOMPARE(
                value(other, "Citta_ID", QStringLiteral("Cognome = ?"), {"D'Angelo"}).toLongLong(),
                townId(other, "Roma", "RM"));
        }
    }

    // The tool as a user runs it.
    void commandLine()
    {
        FreshArchive archive;
        python(QStringLiteral("italian"), file(QStringLiteral("riga.csv")));
        ToolRun in = runTool(QStringLiteral("calvetra-csv"),
                             {QStringLiteral("import"), archive.path(), file("riga.csv")});
        QCOMPARE(in.exitCode, 0);
        QVERIFY2(in.out.contains(QStringLiteral("3 nuovi, 0 aggiornati, 1 saltati")),
                 qPrintable(in.out + in.err));
        ToolRun again = runTool(QStringLiteral("calvetra-csv"),
                                {QStringLiteral("import"), archive.path(), file("riga.csv"),
                                 QStringLiteral("--azione"), QStringLiteral("2")});
        QVERIFY(again.out.contains(QStringLiteral("0 nuovi, 3 aggiornati")));
        ToolRun out = runTool(QStringLiteral("calvetra-csv"),
                              {QStringLiteral("export"), archive.path(), QStringLiteral("--filter"),
                               QStringLiteral("Cognome like 'D''Angelo*'")});
        QCOMPARE(out.exitCode, 0);
        QVERIFY2(out.out.contains(QStringLiteral("D'Angelo;Niccolò")),
                 qPrintable(out.out + out.err));
        QVERIFY(!out.out.contains(QStringLiteral("Caffè")));
        ToolRun toFile =
            runTool(QStringLiteral("calvetra-csv"), {QStringLiteral("export"), archive.path(),
                                                     QStringLiteral("-o"), file("tutti.xlsx")});
        QCOMPARE(toFile.exitCode, 0);
        QVERIFY(toFile.err.contains(QStringLiteral("Esportati 3 contatti")));

        QFile bad(file(QStringLiteral("rotto.xlsx")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("PK\x03\x04");
        bad.close();
        QCOMPARE(runTool(QStringLiteral("calvetra-csv"),
                         {QStringLiteral("import"), archive.path(), file("rotto.xlsx")})
                     .exitCode,
                 1);
        QCOMPARE(runTool(QStringLiteral("calvetra-csv"), {}).exitCode, 2);
        QCOMPARE(runTool(QStringLiteral("calvetra-csv"),
                         {QStringLiteral("import"), archive.path(), file("riga.csv"),
                          QStringLiteral("--azione"), QStringLiteral("3")})
                     .exitCode,
                 2);
        QCOMPARE(runTool(QStringLiteral("calvetra-csv"), {QStringLiteral("export"), archive.path(),
                                                          QStringLiteral("-o"), file("x.ods")})
                     .exitCode,
                 2);
        QCOMPARE(count(archive), 3);
    }
};

QTEST_GUILESS_MAIN(TestSheetImport)
#include "tst_sheetimport.moc"
