// The preview window: search, printing without a printer, export, the two layouts and the
// page moves, with every dialog answered from a script.

#include "testsupport.h"
#include "tools/stampa/reportdata.h"
#include "tools/stampa/widgets/previewwindow.h"
#include "tools/stampa/widgets/printprogress.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace stampa;

namespace {

const QString kQuery = QStringLiteral(
    "SELECT Contatti.NominativoDocumenti as Contatto, Contatti.Telefono, Contatti.Cellulare, "
    "Contatti.SecondoCell as UfficioCellulare, Contatti.Indirizzo, Contatti.Numero, "
    "Contatti.email, "
    "Contatti.Note, Comuni.Comune, Comuni.Provincia, Comuni.CAP, Contatti.secTelefono as "
    "UfficioTelefono FROM Contatti LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID ORDER BY "
    "Contatti.NominativoDocumenti");

QString pdfText(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

struct Preview
{
    explicit Preview(bool search, int extraContacts = 0,
                     const QString &landscape = QStringLiteral("AgendaLan.rpt"))
    {
        for (const char *name : {"Àlberti Niccolò", "Bianchi Anna", "Costa Giulia"})
            archive.native(QStringLiteral("INSERT INTO Contatti (NominativoDocumenti) VALUES (?)"),
                           {name});
        for (int i = 1; i <= extraContacts; ++i) {
            archive.native(QStringLiteral("INSERT INTO Contatti (NominativoDocumenti) VALUES (?)"),
                           {QStringLiteral("Contatto %1").arg(i, 3, 10, QChar(u'0'))});
        }
        archive.native(QStringLiteral("UPDATE opzioni SET TipoEsportazione = 2"));
        PrintJob job;
        job.portraitLayout = QStringLiteral(CALVETRA_BIN_DIR "/Agenda.rpt");
        job.landscapeLayout = QStringLiteral(CALVETRA_BIN_DIR "/") + landscape;
        job.query = kQuery;
        job.search = search;
        db::Result<ReportData> data = loadReportData(archive.connection(), kQuery);
        if (!data)
            qFatal("%s", qPrintable(data.message()));
        window = std::make_unique<PreviewWindow>(job, std::move(*data),
                                                 QStringLiteral(CALVETRA_BIN_DIR));
        window->hasPrinter = [] { return false; };
        if (!window->showLayout(false))
            qFatal("no layout");
        window->show();
    }

    void trigger(const char *action)
    {
        window->findChild<QAction *>(QLatin1String(action))->trigger();
    }
    qsizetype records() const { return window->document()->data().rows.rows.size(); }
    QString file(const QString &name) const { return archive.folder() + u'/' + name; }

    ScriptedDialogs dialogs;
    FreshArchive archive;
    std::unique_ptr<PreviewWindow> window;
};

} // namespace

class TestStampaPreview : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void searchFieldOnlyWhenTheJobAsksForIt()
    {
        Preview plain(false);
        QVERIFY(!plain.window->findChild<QLineEdit *>(QStringLiteral("Cerca"))->isVisible());
        Preview searching(true);
        QLineEdit *search = searching.window->findChild<QLineEdit *>(QStringLiteral("Cerca"));
        QVERIFY(search->isVisible());
        QTest::keyClicks(search, QStringLiteral("NICCOL"));
        QTRY_COMPARE(searching.records(), 1);
        search->clear();
        QTRY_COMPARE(searching.records(), 3);
    }

    void withoutAPrinterTheSearchedRecordsGoToAPdf()
    {
        Preview p(true);
        p.window->findChild<QLineEdit *>(QStringLiteral("Cerca"))
            ->setText(QStringLiteral("bianchi"));
        p.dialogs.answers = {true};
        p.dialogs.files = {p.file(QStringLiteral("stampa"))};
        p.trigger("Stampa"); // at once: the search typed just before still counts
        QCOMPARE(p.dialogs.messages.size(), 1);
        QVERIFY(p.dialogs.messages[0].startsWith(QStringLiteral("Messaggio di avviso: ")));
        QVERIFY(p.dialogs.messages[0].contains(QStringLiteral("PDF")));
        const QString text = pdfText(p.file(QStringLiteral("stampa.pdf")));
        QVERIFY(text.contains(QStringLiteral("Bianchi Anna")));
        QVERIFY(!text.contains(QStringLiteral("Costa Giulia")));

        p.dialogs.answers = {false};
        p.dialogs.files = {p.file(QStringLiteral("altra.pdf"))};
        p.trigger("Stampa");
        QCOMPARE(p.dialogs.files.size(), 1); // no file was asked for
        QVERIFY(!QFile::exists(p.file(QStringLiteral("altra.pdf"))));
    }

    void longPrintsShowProgressAndCanBeCancelled()
    {
        // 300 contacts are several pages: the bar follows them, and "Annulla" stops the PDF
        // before it is written, leaving no file.
        Preview p(false, 300);
        PrintProgressWindow progress(p.window.get(), QStringLiteral("Scrittura del file PDF..."));
        progress.dialog().setMinimumDuration(0);
        QList<qsizetype> seen;
        const PrintProgress shown = progress.callback();
        const QString pdf = p.file(QStringLiteral("lunga.pdf"));
        const db::Status written =
            writePdf(*p.window->document(), pdf, [&](qsizetype painted, qsizetype total) {
                seen.append(painted);
                if (painted == 2)
                    progress.dialog().cancel();
                const bool goOn = shown(painted, total);
                if (painted == 1) {
                    const QString label = progress.dialog().labelText();
                    if (!label.startsWith(QStringLiteral("Pagina 1 di ")) || total < 3)
                        qFatal("unexpected progress %s", qPrintable(label));
                }
                return goOn;
            });
        QCOMPARE(written.message(), QStringLiteral("Stampa annullata."));
        QCOMPARE(seen, QList<qsizetype>({1, 2}));
        QVERIFY(!QFile::exists(pdf));
        QVERIFY(writePdf(*p.window->document(), pdf).ok());
        QVERIFY(QFile::exists(pdf));
    }

    void exportWritesTheFormatTheOptionsPropose()
    {
        Preview p(false);
        p.dialogs.files = {p.file(QStringLiteral("contatti"))};
        p.trigger("Esporta");
        QFile csv(p.file(QStringLiteral("contatti.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].startsWith(QStringLiteral("Àlberti Niccolò,")));

        p.dialogs.files = {p.file(QStringLiteral("contatti.html"))};
        p.trigger("Esporta");
        QVERIFY(QFile::exists(p.file(QStringLiteral("contatti.html"))));
        p.dialogs.files = {p.file(QStringLiteral("contatti.doc"))};
        p.trigger("Esporta");
        QCOMPARE(p.dialogs.messages.size(), 1);
        QVERIFY(p.dialogs.messages[0].startsWith(QStringLiteral("Messaggio di errore: ")));
        QVERIFY(!QFile::exists(p.file(QStringLiteral("contatti.doc"))));
    }

    void orientationPicksTheOtherLayoutFile()
    {
        Preview p(false);
        p.trigger("Orizzontale");
        QVERIFY(p.window->isLandscape());
        QCOMPARE(p.window->document()->layout().orientation, QPageLayout::Landscape);
        QVERIFY(p.window->document()->layout().path.endsWith(QStringLiteral("/AgendaLan.rpt")));
        p.trigger("Verticale");
        QCOMPARE(p.window->document()->layout().orientation, QPageLayout::Portrait);

        Preview missing(false, 0, QStringLiteral("NonEsiste.rpt"));
        missing.trigger("Orizzontale");
        QVERIFY(!missing.window->isLandscape());
        QVERIFY(missing.window->findChild<QAction *>(QStringLiteral("Verticale"))->isChecked());
        QCOMPARE(missing.dialogs.messages.size(), 1);
        QVERIFY(missing.dialogs.messages[0].startsWith(QStringLiteral("Messaggio di errore: ")));
        QVERIFY(missing.dialogs.messages[0].contains(QStringLiteral("NonEsiste.rpt")));
    }

    void pageMoves()
    {
        Preview p(false, 90);
        QLabel *number = p.window->findChild<QLabel *>(QStringLiteral("NumeroPagina"));
        QTRY_COMPARE(number->text(), QStringLiteral("Pagina 1 di 2"));
        p.trigger("UltimaPagina");
        QTRY_COMPARE(number->text(), QStringLiteral("Pagina 2 di 2"));
        p.trigger("PaginaSuccessiva");
        QTRY_COMPARE(number->text(), QStringLiteral("Pagina 2 di 2"));
        p.trigger("PrimaPagina");
        QTRY_COMPARE(number->text(), QStringLiteral("Pagina 1 di 2"));
        p.trigger("PaginaPrecedente");
        QTRY_COMPARE(number->text(), QStringLiteral("Pagina 1 di 2"));
        p.trigger("Chiudi");
        QVERIFY(!p.window->isVisible());
    }
};

QTEST_MAIN(TestStampaPreview)
#include "tst_stampapreview.moc"
