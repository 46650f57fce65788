// The report runner as the program starts it: a separate process reading the workstation's
// row of TempStampa from a real archive, checked through the text of the PDF it writes.

#include "app/reports.h"
#include "db/core/datetimes.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kBin = QStringLiteral(CALVETRA_BIN_DIR);

// The print jobs carry the queries the program's hand-off writes.
QString reportQuery(int kind)
{
    return reportDefinition(ReportKind(kind), 42)->sql;
}

const QString kAgenda = reportQuery(1);
const QString kLabels = reportQuery(3);
const QString kCompanyLabels = reportQuery(4);
const QString kPrivacy = reportQuery(5);
const QString kPayments = reportQuery(6);

QString categoriesQuery()
{
    return reportQuery(2);
}

QString noticesQuery()
{
    return reportQuery(7);
}

const QString kLongName = QStringLiteral(
    "Zanetti Società Cooperativa Agricola di Produzione e Lavoro della Romagna Forlivese");
const QString kNotice = QStringLiteral("l'ufficio resterà chiuso per l'inventario.");

struct Run
{
    int exitCode = -1;
    QString err;
};

Run stampa(const QStringList &arguments, const QString &program = kBin + QStringLiteral("/stampa"))
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, QStringLiteral("timeout")};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QString tool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page, as pdftotext lays it out.
QStringList pdfPages(const QString &pdf)
{
    QStringList pages =
        tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")})
            .split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString withoutBlanks(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

QDateTime day(int y, int m, int d)
{
    return db::naiveDateTime(QDate(y, m, d));
}

QByteArray logoPng()
{
    QImage image(60, 30, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Contacts with accented names, an apostrophe, a name too long for any column, null fields,
// two categories and one without; payments whose cents do not add up exactly in binary; the
// office's data; notices for two workstations.
class Fixture
{
public:
    Fixture()
    {
        const qlonglong forli = comune(QStringLiteral("Forlì"));
        const qlonglong cantu = comune(QStringLiteral("Cantù"));
        insert(QStringLiteral("INSERT INTO Categorie (Id, Descrizione) VALUES (?, ?)"),
               {1, "Clienti"});
        insert(QStringLiteral("INSERT INTO Categorie (Id, Descrizione) VALUES (?, ?)"),
               {2, "Fornitori"});
        contact(42, "Àlberti Niccolò", 1, forli, "Via Emilia", "12", "0543 123456",
                "LBRNCL80A01D704X");
        contact(43, "Bianchi Anna", 2, cantu, QVariant(), QVariant(), QVariant(), QVariant());
        contact(44, "D'Amico Lucia", 1, forli, "Corso Mazzini", "3/b", "0543 654321",
                "DMCLCU75C41D704Y");
        contact(45, "Èlite Costruzioni S.r.l.", QVariant(), QVariant(), "Viale Italia", "100",
                QVariant(), QVariant());
        contact(46, kLongName, 2, forli, "Via dei Mille", "1", "0543 000000", QVariant());
        const QString payment = QStringLiteral(
            "INSERT INTO Pagamenti (Contatto_ID, data, Descrizione, Importo) VALUES (?, ?, ?, ?)");
        insert(payment, {42, day(2026, 1, 10), "Acconto", 1234.56});
        insert(payment, {42, day(2026, 2, 10), "Saldo", 0.1});
        insert(payment, {42, day(2026, 3, 10), "Saldo", 0.2});
        insert(payment, {43, day(2026, 4, 1), "Fattura 17/2026", 99.99});
        insert(payment, {43, day(2026, 4, 2), "Arrotondamento", 0.01});
        insert(
            QStringLiteral("UPDATE ditta SET RagSoc = ?, Via = ?, Numero = ?, Cap = ?, Comune = ?, "
                           "Provincia = ?, PIva = ?, CodFisc = ?, Tel = ?, Email = ?"),
            {"Studio Rossi & Figli S.n.c.", "Corso Garibaldi", "5", "47121", "Forlì", "FC",
             "01234567890", "RSSMRA60A01D704Z", "0543 111222", "info@studiorossi.it"});
        insert(
            QStringLiteral("INSERT INTO TempAvvisi (NomeComputer, Testo) VALUES (?, ?)"),
            {"PC-UFFICIO", QStringLiteral("Gentile cliente,\n\n%1\n\nArrivederci.").arg(kNotice)});
        insert(QStringLiteral("INSERT INTO TempAvvisi (NomeComputer, Testo) VALUES (?, ?)"),
               {"PC-CASSA", "Avviso della cassa"});
        for (const auto &[pc, id] :
             {std::pair{"PC-UFFICIO", 42}, {"PC-UFFICIO", 44}, {"PC-CASSA", 43}}) {
            insert(QStringLiteral(
                       "INSERT INTO TempAvvisiContatti (NomeComputer, Contatto_ID) VALUES (?, ?)"),
                   {pc, id});
        }
    }

    QString path() const { return archive.path(); }

    void insert(const QString &sql, const QVariantList &values) { archive.native(sql, values); }

    void contact(int id, const QVariant &name, const QVariant &category, const QVariant &city,
                 const QVariant &street, const QVariant &number, const QVariant &phone,
                 const QVariant &taxCode)
    {
        insert(
            QStringLiteral("INSERT INTO Contatti (ID, NominativoDocumenti, Categoria_ID, Citta_ID, "
                           "Indirizzo, Numero, Telefono, CFisc) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {id, name, category, city, street, number, phone, taxCode});
    }

    // `count` more contacts named "Contatto 001", "Contatto 002", ...
    void addContacts(int count)
    {
        for (int i = 1; i <= count; ++i) {
            insert(QStringLiteral(
                       "INSERT INTO Contatti (NominativoDocumenti, Indirizzo) VALUES (?, ?)"),
                   {QStringLiteral("Contatto %1").arg(i, 3, 10, QChar(u'0')),
                    QStringLiteral("Via %1").arg(i)});
        }
    }

    void job(const QString &workstation, const QString &layout, const QString &landscape,
             const QString &query, bool heading = true)
    {
        archive.native(QStringLiteral("DELETE FROM TempStampa WHERE NomeComputer = ?"),
                       {workstation});
        insert(QStringLiteral(
                   "INSERT INTO TempStampa (NomeComputer, NomeReport, NomeReportLandscape, Query, "
                   "Filtro, Setup, PresenzaTestata) VALUES (?, ?, ?, ?, false, false, ?)"),
               {workstation, layout.isEmpty() ? QString() : kBin + u'/' + layout,
                landscape.isEmpty() ? QString() : kBin + u'/' + landscape, query, heading});
    }

    // Runs the workstation's job into a PDF and returns its pages; fails the test when the
    // runner fails.
    QStringList print(const QString &workstation, const QStringList &more = {})
    {
        const QString pdf = archive.folder() + QStringLiteral("/stampa.pdf");
        QFile::remove(pdf);
        const Run run = stampa(QStringList{QStringLiteral("--archive"), archive.path(),
                                           QStringLiteral("--workstation"), workstation,
                                           QStringLiteral("--pdf"), pdf} +
                               more);
        if (run.exitCode != 0) {
            qWarning().noquote() << run.err;
            return {};
        }
        return pdfPages(pdf);
    }

    // The text of the last PDF in the order it was drawn, without blanks and line breaks: a
    // value wrapped over several lines of its column reads whole.
    QString printedText() const
    {
        return withoutBlanks(
            tool(QStringLiteral("pdftotext"),
                 {QStringLiteral("-raw"), archive.folder() + QStringLiteral("/stampa.pdf"),
                  QStringLiteral("-")}));
    }

    Run fail(const QString &workstation)
    {
        return stampa({QStringLiteral("--archive"), archive.path(), QStringLiteral("--workstation"),
                       workstation, QStringLiteral("--pdf"),
                       archive.folder() + QStringLiteral("/errore.pdf")});
    }

    FreshArchive archive;

private:
    qlonglong comune(const QString &name)
    {
        return archive.run(QStringLiteral("select ID from Comuni where Comune = '%1'").arg(name))
            .value(0, u"ID")
            .toLongLong();
    }
};

// The lines of `text` that hold `needle`.
QStringList linesWith(const QString &text, const QString &needle)
{
    QStringList found;
    for (const QString &line : text.split(u'\n')) {
        if (line.contains(needle))
            found.append(line);
    }
    return found;
}

qsizetype indexOf(const QString &text, const QString &needle)
{
    return text.indexOf(needle);
}

// The rows of a CSV file as Python's csv module reads them: a reader nobody here wrote.
QList<QStringList> readCsv(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    json.dump(list(csv.reader(f)), sys.stdout)\n"),
                  path});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        qFatal("python3 could not read %s: %s", qPrintable(path),
               python.readAllStandardError().constData());
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &field : row.toArray())
            fields.append(field.toString());
        rows.append(fields);
    }
    return rows;
}

} // namespace

class TestStampa : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void contactListInNameOrderWithHeading()
    {
        Fixture f;
        f.insert(QStringLiteral("UPDATE ditta SET Logo = ?"), {logoPng()});
        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
              kAgenda);
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), 1);
        const QString page = pages[0];
        QVERIFY(page.contains(QStringLiteral("Studio Rossi & Figli S.n.c.")));
        QVERIFY(page.contains(QStringLiteral("Rubrica dei contatti")));
        QVERIFY(page.contains(db::clock::today().toString(QStringLiteral("dd/MM/yyyy"))));
        QVERIFY(page.contains(QStringLiteral("Pagina 1 di 1")));
        const QStringList names = {QStringLiteral("Àlberti Niccolò"),
                                   QStringLiteral("Bianchi Anna"), QStringLiteral("D'Amico Lucia"),
                                   QStringLiteral("Èlite Costruzioni"),
                                   QStringLiteral("Zanetti Società")};
        for (qsizetype i = 0; i < names.size(); ++i) {
            QVERIFY2(page.contains(names[i]), qPrintable(names[i]));
            if (i > 0)
                QVERIFY(indexOf(page, names[i - 1]) < indexOf(page, names[i]));
        }
        QVERIFY(page.contains(QStringLiteral("Via Emilia, 12")));
        QVERIFY(page.contains(QStringLiteral("47121 Forlì (FC)")));
        // The long name wraps within its column: the address still starts its own column on
        // the name's first line, and the whole name prints.
        const QStringList longLine = linesWith(page, QStringLiteral("Zanetti"));
        QCOMPARE(longLine.size(), 1);
        QVERIFY(!longLine[0].contains(QStringLiteral("Forlivese")));
        QVERIFY(longLine[0].contains(QStringLiteral("Via dei Mille, 1")));
        QVERIFY(!page.contains(QStringLiteral("…")));
        QVERIFY(f.printedText().contains(withoutBlanks(kLongName)));
        // Bianchi has no street, number or phone: nothing prints in their place.
        QVERIFY(!page.contains(QStringLiteral("NULL"), Qt::CaseInsensitive));
        QVERIFY(linesWith(page, QStringLiteral("Bianchi Anna"))[0].contains(
            QStringLiteral("Cantù (CO)")));
        QCOMPARE(tool(QStringLiteral("pdfimages"),
                      {QStringLiteral("-list"), f.archive.folder() + QStringLiteral("/stampa.pdf")})
                     .split(u'\n', Qt::SkipEmptyParts)
                     .size(),
                 3); // two header lines and the logo
    }

    void longListsNumberTheirPagesAndRepeatColumnTitles()
    {
        Fixture f;
        f.addContacts(75);
        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
              kAgenda, false);
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[0].contains(QStringLiteral("Pagina 1 di 2")));
        QVERIFY(pages[1].contains(QStringLiteral("Pagina 2 di 2")));
        QVERIFY(pages[1].contains(QStringLiteral("Nominativo")));
        // Without PresenzaTestata there is no heading.
        QVERIFY(!pages[0].contains(QStringLiteral("Rubrica dei contatti")));
        QVERIFY(!pages[0].contains(QStringLiteral("Studio Rossi")));
        // Every contact once, in order across the pages.
        const QString all = pages.join(QString());
        QCOMPARE(all.count(QRegularExpression(QStringLiteral("Contatto \\d{3}"))), 75);
        QVERIFY(all.indexOf(QStringLiteral("Contatto 075")) >
                all.indexOf(QStringLiteral("Contatto 074")));
    }

    void landscapeUsesTheLandscapeLayout()
    {
        Fixture f;
        f.insert(QStringLiteral("UPDATE ditta SET Logo = ?"), {QByteArray("non è un'immagine")});
        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QStringLiteral("AgendaLan.rpt"),
              kAgenda);
        const QStringList pages = f.print(QStringLiteral("PC1"), {QStringLiteral("--orizzontale")});
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages[0].contains(QStringLiteral("Tel. ufficio")));
        // A logo that is no picture: the heading prints without it.
        QVERIFY(pages[0].contains(QStringLiteral("Studio Rossi & Figli S.n.c.")));
        const QString info =
            tool(QStringLiteral("pdfinfo"), {f.archive.folder() + QStringLiteral("/stampa.pdf")});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595 pts"))),
                 qPrintable(info));
    }

    // The longest values an office types, in every contact list: narrow columns keep to what
    // they need, the long values wrap within their columns, nothing is cut.
    void longValuesPrintWhole_data()
    {
        QTest::addColumn<QString>("layout"); // and its landscape twin, "...Lan.rpt"
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("turned");
        for (const bool turned : {false, true}) {
            const char *way = turned ? ", landscape" : "";
            QTest::addRow("directory%s", way) << "Agenda" << kAgenda << turned;
            QTest::addRow("by category%s", way) << "Categorie" << categoriesQuery() << turned;
        }
    }
    void longValuesPrintWhole()
    {
        QFETCH(QString, layout);
        QFETCH(QString, query);
        QFETCH(bool, turned);
        Fixture f;
        const QString name = QStringLiteral(
            "Studio Commercialista Associato Bianchi, Verdi & Esposito - Consulenza Tributaria");
        const QString email =
            QStringLiteral("amministrazione.contabilita@studiocommercialistabianchi.it");
        const QString phone = QStringLiteral("+39 0471 123456 int. 22");
        const QString mobile = QStringLiteral("+39 347 123 4567");
        f.insert(QStringLiteral("INSERT INTO Contatti (ID, NominativoDocumenti, Categoria_ID, "
                                "Indirizzo, Numero, Telefono, Cellulare, secTelefono, SecondoCell, "
                                "Fax, email) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {47, name, 1, "Via Giuseppe Garibaldi", "150/B", phone, mobile, phone, mobile,
                  phone, email});
        // The longest address an office meets, beside an ordinary mobile.
        const QString longest = QStringLiteral(
            "segreteria.amministrativa.commercialisti-associati-romagna@esempiodominio.it");
        const QString ordinary = QStringLiteral("+39 333 123 4520");
        f.insert(QStringLiteral("INSERT INTO Contatti (ID, NominativoDocumenti, Categoria_ID, "
                                "Cellulare, email) VALUES (?, ?, ?, ?, ?)"),
                 {48, "Zanetti Ugo", 1, ordinary, longest});
        f.job(QStringLiteral("PC1"), layout + QStringLiteral(".rpt"),
              layout + QStringLiteral("Lan.rpt"), query);
        const QStringList pages =
            f.print(QStringLiteral("PC1"),
                    turned ? QStringList{QStringLiteral("--orizzontale")} : QStringList{});
        QCOMPARE(pages.size(), 1);
        QVERIFY2(!pages[0].contains(QStringLiteral("…")), qPrintable(pages[0]));
        const QString text = f.printedText();
        for (const QString &value : {name, email, phone, mobile, kLongName, longest})
            QVERIFY2(text.contains(withoutBlanks(value)), qPrintable(value));
        // A telephone number that fits its column stays on one line.
        const QStringList ugo = linesWith(pages[0], QStringLiteral("Zanetti Ugo"));
        QVERIFY2(!ugo.isEmpty() && ugo.first().contains(ordinary), qPrintable(ugo.join(u'|')));
        // The values wrap beside one another: the name's first line holds the beginning of the
        // phone number and of the e-mail address, each in its column.
        const QString first = linesWith(pages[0], QStringLiteral("Studio Commercialista")).value(0);
        const qsizetype at = first.indexOf(QStringLiteral("+39 0471"));
        QVERIFY2(at > 0 && at < first.indexOf(QStringLiteral("amministrazione")),
                 qPrintable(first));
    }

    void categoriesHaveOneHeadingEach()
    {
        Fixture f;
        f.addContacts(70); // no category: the group runs over two pages
        f.job(QStringLiteral("PC1"), QStringLiteral("Categorie.rpt"),
              QStringLiteral("CategorieLan.rpt"), categoriesQuery());
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), 2);
        const QString all = pages.join(QString());
        const auto headings = [&](const QString &name) {
            int n = 0;
            for (const QString &line : all.split(u'\n'))
                n += line.trimmed() == name ? 1 : 0;
            return n;
        };
        QCOMPARE(headings(QStringLiteral("Clienti")), 1);
        QCOMPARE(headings(QStringLiteral("Fornitori")), 1);
        QCOMPARE(headings(QStringLiteral("Senza categoria")), 1);
        const qsizetype clienti = all.indexOf(QStringLiteral("Clienti"));
        const qsizetype fornitori = all.indexOf(QStringLiteral("Fornitori"));
        const qsizetype none = all.indexOf(QStringLiteral("Senza categoria"));
        QVERIFY(clienti < fornitori && fornitori < none);
        // Each contact under its category, in name order inside it.
        QVERIFY(clienti < all.indexOf(QStringLiteral("Àlberti")));
        QVERIFY(all.indexOf(QStringLiteral("Àlberti")) < all.indexOf(QStringLiteral("D'Amico")));
        QVERIFY(all.indexOf(QStringLiteral("D'Amico")) < fornitori);
        QVERIFY(fornitori < all.indexOf(QStringLiteral("Bianchi")));
        QVERIFY(all.indexOf(QStringLiteral("Zanetti")) < none);
        QVERIFY(none < all.indexOf(QStringLiteral("Èlite")));
        QVERIFY(none < all.indexOf(QStringLiteral("Contatto 001")));
    }

    void labelSheets_data()
    {
        QTest::addColumn<bool>("small");
        QTest::addColumn<QList<int>>("perPage");
        QTest::newRow("small: 3 x 8") << true << QList<int>{24, 6};
        QTest::newRow("large: 2 x 7") << false << QList<int>{14, 14, 2};
    }

    void labelSheets()
    {
        QFETCH(bool, small);
        QFETCH(QList<int>, perPage);
        Fixture f;
        f.archive.run(QStringLiteral("delete * from Contatti"));
        f.addContacts(30);
        f.archive.native(QStringLiteral("UPDATE opzioni SET EtichettePiccole = ?"), {small});
        f.job(QStringLiteral("PC1"), QStringLiteral("EtichetteClienti.rpt"),
              QStringLiteral("EtichetteClienti.rpt"), kLabels);
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), perPage.size());
        for (qsizetype p = 0; p < pages.size(); ++p)
            QCOMPARE(pages[p].count(QRegularExpression(QStringLiteral("Contatto \\d{3}"))),
                     perPage[p]);
        // Labels carry no heading or page numbers: they are printed on pre-cut sheets.
        QVERIFY(!pages[0].contains(QStringLiteral("Pagina")));
        QVERIFY(pages[0].contains(QStringLiteral("Via 1")));
    }

    void companyLabelsFillOneSheet_data()
    {
        QTest::addColumn<bool>("small");
        QTest::addColumn<int>("labels");
        QTest::newRow("small") << true << 24;
        QTest::newRow("large") << false << 14;
    }

    void companyLabelsFillOneSheet()
    {
        QFETCH(bool, small);
        QFETCH(int, labels);
        Fixture f;
        f.archive.native(QStringLiteral("UPDATE opzioni SET EtichettePiccole = ?"), {small});
        f.job(QStringLiteral("PC1"), QStringLiteral("EtichetteAzienda.rpt"),
              QStringLiteral("EtichetteAzienda.rpt"), kCompanyLabels);
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].count(QStringLiteral("Studio Rossi & Figli S.n.c.")), labels);
        QCOMPARE(pages[0].count(QStringLiteral("47121 Forlì (FC)")), labels);
    }

    void privacyFormForOneContact()
    {
        Fixture f;
        f.job(QStringLiteral("PC1"), QStringLiteral("PrivacyContatti.rpt"),
              QStringLiteral("PrivacyContattiLan.rpt"), kPrivacy);
        for (const QStringList &more :
             {QStringList{}, QStringList{QStringLiteral("--orizzontale")}}) {
            const QString text = f.print(QStringLiteral("PC1"), more).join(QString()).simplified();
            QVERIFY(text.contains(QStringLiteral("Àlberti Niccolò")));
            QVERIFY(text.contains(QStringLiteral("Codice fiscale: LBRNCL80A01D704X")));
            QVERIFY(text.contains(QStringLiteral("Via Emilia, 12")));
            QVERIFY(text.contains(QStringLiteral("2016/679")));
            QVERIFY(text.contains(QStringLiteral("Studio Rossi & Figli S.n.c.")));
            QVERIFY(text.contains(QStringLiteral("P. IVA 01234567890")));
            QVERIFY(text.contains(QStringLiteral("C.F. RSSMRA60A01D704Z")));
            QVERIFY(text.contains(QStringLiteral("Firma dell'interessato")));
            // A contact without a VAT number: its line is left out, not printed empty.
            QVERIFY(!text.contains(QStringLiteral("Partita IVA:")));
            QVERIFY(!text.contains(QStringLiteral("D'Amico")));
        }
    }

    void paymentsWithExactSubtotalsAndTotal()
    {
        Fixture f;
        f.job(QStringLiteral("PC1"), QStringLiteral("Pagamenti.rpt"),
              QStringLiteral("PagamentiLan.rpt"), kPayments);
        for (const QStringList &more :
             {QStringList{}, QStringList{QStringLiteral("--orizzontale")}}) {
            const QStringList pages = f.print(QStringLiteral("PC1"), more);
            QCOMPARE(pages.size(), 1);
            const QString page = pages[0];
            QVERIFY(page.contains(QStringLiteral("10/01/2026")));
            QVERIFY(page.contains(QStringLiteral("1.234,56 €")));
            QVERIFY(page.contains(QStringLiteral("0,10 €")));
            QVERIFY(page.contains(QStringLiteral("0,01 €")));
            const QStringList alberti = linesWith(page, QStringLiteral("Totale Àlberti Niccolò"));
            QCOMPARE(alberti.size(), 1);
            QVERIFY(alberti[0].contains(QStringLiteral("1.234,86 €")));
            const QStringList bianchi = linesWith(page, QStringLiteral("Totale Bianchi Anna"));
            QCOMPARE(bianchi.size(), 1);
            QVERIFY(bianchi[0].contains(QStringLiteral("100,00 €")));
            const QStringList total = linesWith(page, QStringLiteral("Totale generale"));
            QCOMPARE(total.size(), 1);
            QVERIFY(total[0].contains(QStringLiteral("1.334,86 €")));
            QVERIFY(page.indexOf(QStringLiteral("Totale Àlberti")) <
                    page.indexOf(QStringLiteral("Bianchi Anna")));
            // Contacts without payments are not listed.
            QVERIFY(!page.contains(QStringLiteral("D'Amico")));
        }
    }

    void paymentsAreGroupedByContactNotByName()
    {
        // Two companies of the same name, in two towns: two groups, each with its own total, its
        // payments in date order.
        Fixture f;
        const qlonglong cesena =
            f.archive.run(QStringLiteral("select ID from Comuni where Comune = 'Cesena'"))
                .value(0, u"ID")
                .toLongLong();
        f.contact(50, "Adriatica S.r.l.", 1, cesena, QVariant(), QVariant(), "0547 1", QVariant());
        f.contact(51, "Adriatica S.r.l.", 1, QVariant(), QVariant(), QVariant(), "0541 2",
                  QVariant());
        const QString payment = QStringLiteral(
            "INSERT INTO Pagamenti (Contatto_ID, data, Descrizione, Importo) VALUES (?, ?, ?, ?)");
        f.insert(payment, {50, day(2026, 5, 20), "Secondo", 20.0});
        f.insert(payment, {51, day(2026, 5, 1), "Unico", 7.0});
        f.insert(payment, {50, day(2026, 5, 2), "Primo", 10.0});
        f.job(QStringLiteral("PC1"), QStringLiteral("Pagamenti.rpt"),
              QStringLiteral("PagamentiLan.rpt"), kPayments);
        const QString page = f.print(QStringLiteral("PC1")).join(QString());
        const QStringList totals = linesWith(page, QStringLiteral("Totale Adriatica S.r.l."));
        QCOMPARE(totals.size(), 2);
        QVERIFY(totals[0].contains(QStringLiteral("30,00 €")));
        QVERIFY(totals[1].contains(QStringLiteral("7,00 €")));
        QCOMPARE(linesWith(page, QStringLiteral("Cesena")).size(), 1);
        QVERIFY(page.indexOf(QStringLiteral("Primo")) < page.indexOf(QStringLiteral("Secondo")));
        QVERIFY(page.indexOf(QStringLiteral("Secondo")) < page.indexOf(QStringLiteral("Unico")));
    }

    void theContactsOwnPostalCodeIsPrinted()
    {
        // Forlì has several codes: the one chosen for the contact goes on its label and list
        // line; a contact without one gets the town's.
        Fixture f;
        f.insert(QStringLiteral("UPDATE Contatti SET Cap = '47122' WHERE ID = 42"), {});
        f.insert(QStringLiteral("UPDATE Contatti SET Cap = '' WHERE ID = 44"), {});
        const QString town =
            f.archive.run(QStringLiteral("select Cap from Comuni where Comune = 'Forlì'"))
                .value(0, u"Cap")
                .toString();
        QVERIFY(town != u"47122");
        f.job(QStringLiteral("PC1"), QStringLiteral("EtichetteClienti.rpt"),
              QStringLiteral("EtichetteClienti.rpt"), kLabels);
        const QString labels = f.print(QStringLiteral("PC1")).join(QString());
        QCOMPARE(linesWith(labels, QStringLiteral("47122 Forlì")).size(), 1);
        QCOMPARE(linesWith(labels, town + QStringLiteral(" Forlì")).size(), 2);
        for (const QString &query : {kAgenda, kPrivacy, kPayments, categoriesQuery()}) {
            f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QString(), query);
            const QString csv = f.archive.folder() + QStringLiteral("/cap.csv");
            QCOMPARE(stampa({QStringLiteral("--archive"), f.path(), QStringLiteral("--workstation"),
                             QStringLiteral("PC1"), QStringLiteral("--export"), csv})
                         .exitCode,
                     0);
            const QList<QStringList> read = readCsv(csv);
            const qsizetype cap = read[0].indexOf(QStringLiteral("CAP"));
            const qsizetype name = std::max(read[0].indexOf(QStringLiteral("Contatto")),
                                            read[0].indexOf(QStringLiteral("Nominativo")));
            QVERIFY(cap >= 0 && name >= 0);
            for (const QStringList &row : read.mid(1)) {
                if (row[name] == u"Àlberti Niccolò")
                    QCOMPARE(row[cap], QStringLiteral("47122"));
                if (row[name] == u"D'Amico Lucia")
                    QCOMPARE(row[cap], town);
            }
        }
    }

    void oneLetterPerRecipientOfThisWorkstation()
    {
        Fixture f;
        f.job(QStringLiteral("PC-UFFICIO"), QStringLiteral("Avvisi.rpt"),
              QStringLiteral("AvvisiLan.rpt"), noticesQuery());
        const QStringList pages = f.print(QStringLiteral("PC-UFFICIO"));
        QCOMPARE(pages.size(), 2);
        const QStringList recipients = {QStringLiteral("Àlberti Niccolò"),
                                        QStringLiteral("D'Amico Lucia")};
        for (int p = 0; p < 2; ++p) {
            const QString page = pages[p].simplified();
            QVERIFY(page.contains(recipients[p]));
            QVERIFY(!page.contains(recipients[1 - p]));
            QVERIFY(page.contains(kNotice));
            QVERIFY(page.contains(QStringLiteral("Studio Rossi & Figli S.n.c.")));
            QVERIFY(page.contains(QStringLiteral("Forlì, ") +
                                  db::clock::today().toString(QStringLiteral("dd/MM/yyyy"))));
            QVERIFY(!page.contains(QStringLiteral("Bianchi")));
            QVERIFY(!page.contains(QStringLiteral("Avviso della cassa")));
        }
        QVERIFY(pages[0].simplified().contains(QStringLiteral("Via Emilia, 12")));
        QVERIFY(pages[1].simplified().contains(QStringLiteral("Corso Mazzini, 3/b")));
    }

    void noticeFieldsAreFilledForEachRecipient()
    {
        Fixture f;
        f.insert(QStringLiteral("INSERT INTO Titoli (Id, Descrizione) VALUES (7, 'Dott.')"), {});
        f.insert(
            QStringLiteral("UPDATE Contatti SET Cognome = ?, Nome = ?, Titolo_id = ? WHERE ID = ?"),
            {"Àlberti", "Niccolò", 7, 42});
        f.insert(QStringLiteral("UPDATE Contatti SET Cognome = ?, Nome = ?, RagioneSociale = ? "
                                "WHERE ID = ?"),
                 {"D'Amico", "Lucia", "Bar Centrale", 44});
        f.archive.native(
            QStringLiteral("UPDATE TempAvvisi SET Testo = ? WHERE NomeComputer = ?"),
            {QStringLiteral("Gentile «Titolo» «Cognome»,\n\ncaro «Nome» di «Comune» "
                            "(«RagioneSociale»), per «NominativoDocumenti»: «Sconosciuto»."),
             "PC-UFFICIO"});
        f.job(QStringLiteral("PC-UFFICIO"), QStringLiteral("Avvisi.rpt"),
              QStringLiteral("AvvisiLan.rpt"), noticesQuery());
        const QStringList pages = f.print(QStringLiteral("PC-UFFICIO"));
        QCOMPARE(pages.size(), 2);
        const QString first = pages[0].simplified();
        QVERIFY2(first.contains(QStringLiteral("Gentile Dott. Àlberti,")), qPrintable(first));
        QVERIFY(first.contains(QStringLiteral("caro Niccolò di Forlì (), per Àlberti Niccolò: "
                                              "«Sconosciuto».")));
        QVERIFY(!first.contains(QStringLiteral("D'Amico,")));
        const QString second = pages[1].simplified();
        QVERIFY2(second.contains(QStringLiteral("Gentile D'Amico,")), qPrintable(second));
        QVERIFY(second.contains(QStringLiteral("caro Lucia di Forlì (Bar Centrale), per D'Amico "
                                               "Lucia: «Sconosciuto».")));
        QVERIFY(!second.contains(QStringLiteral("Niccolò")));
    }

    void longNoticesGoOnToTheNextPage()
    {
        Fixture f;
        QStringList paragraphs;
        for (int i = 1; i <= 40; ++i) {
            paragraphs.append(
                QStringLiteral("Paragrafo %1: il testo dell'avviso continua con tutte le "
                               "informazioni utili per il cliente e per l'ufficio.")
                    .arg(i));
        }
        f.archive.native(QStringLiteral("UPDATE TempAvvisi SET Testo = ? WHERE NomeComputer = ?"),
                         {paragraphs.join(QStringLiteral("\n\n")), "PC-CASSA"});
        f.job(QStringLiteral("PC-CASSA"), QStringLiteral("Avvisi.rpt"),
              QStringLiteral("AvvisiLan.rpt"), noticesQuery());
        const QStringList pages = f.print(QStringLiteral("PC-CASSA"));
        QVERIFY(pages.size() >= 2);
        const QString all = pages.join(QString()).simplified();
        for (int i = 1; i <= 40; ++i)
            QVERIFY2(all.contains(QStringLiteral("Paragrafo %1:").arg(i)),
                     qPrintable(QString::number(i)));
        // The letter's text is the letter: it closes itself, nothing is added after it but
        // the office's name.
        QVERIFY(!all.contains(QStringLiteral("Distinti saluti")));
        QVERIFY(all.indexOf(QStringLiteral("Paragrafo 40:")) <
                all.lastIndexOf(QStringLiteral("Studio Rossi & Figli S.n.c.")));
        QCOMPARE(all.count(QStringLiteral("Bianchi Anna")), 1);
    }

    void emptyResultsPrintAPageSayingSo_data()
    {
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QString>("query");
        QTest::newRow("list") << "Agenda.rpt" << kAgenda + QString();
        QTest::newRow("labels") << "EtichetteClienti.rpt" << kLabels;
        QTest::newRow("letter") << "Avvisi.rpt" << noticesQuery();
        QTest::newRow("payments") << "Pagamenti.rpt" << kPayments;
    }

    void emptyResultsPrintAPageSayingSo()
    {
        QFETCH(QString, layout);
        QFETCH(QString, query);
        Fixture f;
        f.archive.run(QStringLiteral("delete * from Contatti"));
        f.job(QStringLiteral("PC1"), layout, QString(), query);
        const QStringList pages = f.print(QStringLiteral("PC1"));
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages[0].contains(QStringLiteral("Nessun dato da stampare")));
    }

    void failuresExitWithAnItalianMessage()
    {
        Fixture f;
        const Run noJob = f.fail(QStringLiteral("PC-ASSENTE"));
        QVERIFY(noJob.exitCode != 0);
        QVERIFY2(noJob.err.contains(QStringLiteral("PC-ASSENTE")), qPrintable(noJob.err));
        QVERIFY(noJob.err.contains(QStringLiteral("Non c'è nessuna stampa")));

        f.job(QStringLiteral("PC1"), QStringLiteral("Manca.rpt"), QString(), kAgenda);
        const Run noLayout = f.fail(QStringLiteral("PC1"));
        QVERIFY(noLayout.exitCode != 0);
        QVERIFY2(noLayout.err.contains(kBin + QStringLiteral("/Manca.rpt")),
                 qPrintable(noLayout.err));

        const QString broken = f.archive.folder() + QStringLiteral("/Rotto.rpt");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\n  \"calvetraReport\": 1,\n  \"layout\": \"list\",\n  \"columns\": [\n");
        file.close();
        f.archive.native(QStringLiteral("UPDATE TempStampa SET NomeReport = ?"), {broken});
        const Run malformed = f.fail(QStringLiteral("PC1"));
        QVERIFY(malformed.exitCode != 0);
        QVERIFY2(malformed.err.contains(broken), qPrintable(malformed.err));
        QVERIFY(malformed.err.contains(QStringLiteral("non è valido")));

        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QString(),
              QStringLiteral("select Nominativo from TabellaCheNonEsiste"));
        const Run badQuery = f.fail(QStringLiteral("PC1"));
        QVERIFY(badQuery.exitCode != 0);
        QVERIFY2(badQuery.err.contains(QStringLiteral("TabellaCheNonEsiste"), Qt::CaseInsensitive),
                 qPrintable(badQuery.err));
        QVERIFY(!QFile::exists(f.archive.folder() + QStringLiteral("/errore.pdf")));

        const QString missing = f.archive.folder() + QStringLiteral("/manca.sqlite");
        const Run noArchive = stampa({QStringLiteral("--archive"), missing, QStringLiteral("--pdf"),
                                      f.archive.folder() + QStringLiteral("/errore.pdf")});
        QVERIFY(noArchive.exitCode != 0);
        QVERIFY(noArchive.err.contains(missing));

        QCOMPARE(stampa({QStringLiteral("--pdf")}).exitCode, 2);
        QCOMPARE(stampa({QStringLiteral("--sconosciuto")}).exitCode, 2);
    }

    // The job's query comes from the archive, which any workstation writes: the runner runs a
    // single query that reads, and nothing else.
    void onlyAQueryThatReadsIsRun_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("message");
        QTest::newRow("drop") << "drop table Pagamenti"
                              << "non permessa";
        QTest::newRow("delete") << "delete * from Pagamenti"
                                << "non permessa";
        QTest::newRow("update") << "update Contatti set Annullato = true"
                                << "non permessa";
        QTest::newRow("a query, then a drop") << "select * from Contatti; drop table Pagamenti"
                                              << "più di un'istruzione";
        if (FreshArchive::onServer()) {
            QTest::newRow("a function that writes") << "select setval('pagamenti_id_seq', 9)"
                                                    << "non permessa";
            QTest::newRow("read-only turned off") << "set default_transaction_read_only = off"
                                                  << "non permessa";
        } else {
            QTest::newRow("pragma") << "PRAGMA user_version = 9"
                                    << "non permessa";
            QTest::newRow("attach") << "attach database 'altro.sqlite' as altro"
                                    << "non permessa";
        }
    }
    void onlyAQueryThatReadsIsRun()
    {
        QFETCH(QString, query);
        QFETCH(QString, message);
        Fixture f;
        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QString(), query);
        const Run refused = f.fail(QStringLiteral("PC1"));
        QVERIFY(refused.exitCode > 0);
        QVERIFY2(refused.err.contains(message), qPrintable(refused.err));
        QVERIFY(!QFile::exists(f.archive.folder() + QStringLiteral("/errore.pdf")));
        QCOMPARE(f.archive.run(QStringLiteral("select * from Pagamenti")).rows.size(), 5);
        QCOMPARE(f.archive.run(QStringLiteral("select * from Contatti where Annullato = true"))
                     .rows.size(),
                 0);
        if (!FreshArchive::onServer())
            QCOMPARE(
                f.archive.run(QStringLiteral("PRAGMA user_version")).rows.value(0).value(0).toInt(),
                2);
    }

    // Each number of a layout is checked before anything is laid out: a sheet of 65,536 ×
    // 65,536 labels divided by zero, a large one filled the memory.
    void labelSheetsBeyondThePaperAreRefused_data()
    {
        QTest::addColumn<QByteArray>("sheet");
        QTest::addColumn<QString>("message");
        QTest::newRow("65,536 × 65,536 labels")
            << QByteArray(R"({"columns": 65536, "rows": 65536, "width": 70, "height": 37})")
            << "labels.large.columns";
        QTest::newRow("40,000 × 40,000 labels")
            << QByteArray(R"({"columns": 40000, "rows": 40000, "width": 5, "height": 5})")
            << "labels.large.columns";
        QTest::newRow("labels off the paper")
            << QByteArray(R"({"columns": 50, "rows": 100, "width": 5, "height": 5})")
            << "escono dal foglio";
        QTest::newRow("a label a kilometre wide")
            << QByteArray(R"({"columns": 1, "rows": 1, "width": 1e6, "height": 37})")
            << "labels.large.width";
        QTest::newRow("no room inside the label")
            << QByteArray(R"({"columns": 2, "rows": 7, "width": 105, "height": 42, "padding": 21})")
            << "margine interno";
    }
    void labelSheetsBeyondThePaperAreRefused()
    {
        QFETCH(QByteArray, sheet);
        QFETCH(QString, message);
        Fixture f;
        const QString layout = f.archive.folder() + QStringLiteral("/Etichette.rpt");
        QFile file(layout);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"calvetraReport": 1, "layout": "labels", "labels": {"fillSheet": true,
            "small": {"columns": 3, "rows": 8, "width": 70, "height": 37},
            "lines": ["{Nominativo}"], "large": )" +
                   sheet + "}}");
        file.close();
        f.job(QStringLiteral("PC1"), QStringLiteral("EtichetteClienti.rpt"), QString(), kLabels);
        f.archive.native(QStringLiteral("UPDATE TempStampa SET NomeReport = ?"), {layout});
        const Run refused = f.fail(QStringLiteral("PC1"));
        QVERIFY2(refused.exitCode > 0, qPrintable(refused.err));
        QVERIFY2(refused.err.contains(message), qPrintable(refused.err));
        QVERIFY(refused.err.contains(layout));
        QVERIFY(!QFile::exists(f.archive.folder() + QStringLiteral("/errore.pdf")));
    }

    void csvExportReadsBackAsTheQueryRows()
    {
        Fixture f;
        f.insert(QStringLiteral("UPDATE Contatti SET Note = ? WHERE ID = 44"),
                 {"Nota con \"virgolette\", una virgola\ne un a capo"});
        f.job(QStringLiteral("PC1"), QStringLiteral("Agenda.rpt"), QString(), kAgenda);
        const QString csv = f.archive.folder() + QStringLiteral("/contatti.csv");
        const Run run =
            stampa({QStringLiteral("--archive"), f.path(), QStringLiteral("--workstation"),
                    QStringLiteral("PC1"), QStringLiteral("--export"), csv});
        QCOMPARE(run.exitCode, 0);
        const QList<QStringList> read = readCsv(csv);
        const db::RowSet rows = f.archive.run(kAgenda);
        QCOMPARE(read.size(), rows.rows.size() + 1);
        QStringList names;
        for (const db::Column &c : rows.columns)
            names.append(c.name);
        QCOMPARE(read[0], names);
        for (qsizetype r = 0; r < rows.rows.size(); ++r) {
            QStringList expected;
            for (const QVariant &v : rows.rows[r])
                expected.append(v.toString());
            QCOMPARE(read[r + 1], expected);
        }
        QCOMPARE(read[1][0], QStringLiteral("Àlberti Niccolò"));
    }

    void htmlExportIsAnEscapedTable()
    {
        Fixture f;
        f.job(QStringLiteral("PC1"), QStringLiteral("Pagamenti.rpt"), QString(), kPayments);
        const QString html = f.archive.folder() + QStringLiteral("/pagamenti.html");
        QCOMPARE(stampa({QStringLiteral("--archive"), f.path(), QStringLiteral("--workstation"),
                         QStringLiteral("PC1"), QStringLiteral("--export"), html})
                     .exitCode,
                 0);
        QFile file(html);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count(QStringLiteral("<tr>")), 6);
        QVERIFY(text.contains(QStringLiteral("<td>Àlberti Niccolò</td>")));
        QVERIFY(text.contains(QStringLiteral("1.234,56 €")));
        QVERIFY(text.contains(QStringLiteral("<td>10/01/2026</td>")));
        QVERIFY(text.contains(QStringLiteral("Fattura 17/2026")));

        const Run unknown =
            stampa({QStringLiteral("--archive"), f.path(), QStringLiteral("--workstation"),
                    QStringLiteral("PC1"), QStringLiteral("--export"),
                    f.archive.folder() + QStringLiteral("/pagamenti.xls")});
        QVERIFY(unknown.exitCode != 0);
        QVERIFY(unknown.err.contains(QStringLiteral(".csv")));
    }

    // Installed elsewhere, the runner finds its archive through percorso.txt beside it, and the
    // layout files beside it when the job names another folder.
    void findsTheArchiveAndLayoutsBesideItself()
    {
        Fixture f;
        QTemporaryDir installed;
        const QString runner = installed.filePath(QStringLiteral("stampa"));
        QVERIFY(QFile::copy(kBin + QStringLiteral("/stampa"), runner));
        QVERIFY(
            QFile::setPermissions(runner, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(QFile::copy(kBin + QStringLiteral("/Agenda.rpt"),
                            installed.filePath(QStringLiteral("Agenda.rpt"))));
        QFile path(installed.filePath(QStringLiteral("percorso.txt")));
        QVERIFY(path.open(QIODevice::WriteOnly));
        path.write(f.path().toUtf8() + "\n");
        path.close();
        f.insert(QStringLiteral(
                     "INSERT INTO TempStampa (NomeComputer, NomeReport, Query, PresenzaTestata) "
                     "VALUES (?, ?, ?, true)"),
                 {"PC-REMOTO", "/opt/altrove/Agenda.rpt", kAgenda});
        const QString pdf = installed.filePath(QStringLiteral("stampa.pdf"));
        const Run run = stampa({QStringLiteral("--workstation"), QStringLiteral("PC-REMOTO"),
                                QStringLiteral("--pdf"), pdf},
                               runner);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(pdfPages(pdf).join(QString()).contains(QStringLiteral("Àlberti Niccolò")));
    }
};

QTEST_GUILESS_MAIN(TestStampa)
#include "tst_stampa.moc"
