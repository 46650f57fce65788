// The notice wizard on a generated archive, offscreen: the filter step's query without filters
// and with two, filling the recipient list, "Stampa" for 5,000 ticked recipients (the rows
// written and the print job) and the runner writing those 5,000 notices to a PDF.
// Works on a copy of the archive. Usage: QT_QPA_PLATFORM=offscreen bench_notices ARCHIVE

#include "app/reports.h"
#include "notices/noticequery.h"
#include "notices/noticestore.h"
#include "notices/recipients.h"
#include "notices/windows/frmavvisiclienti_griglia.h"
#include "options/optionsstore.h"
#include "session/datamodule.h"
#include "silentdialogs.h"
#include "timing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The median of three runs of the query, and its rows.
double timeQuery(db::Connection &connection, const QString &sql, qsizetype *rows)
{
    QList<double> runs;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        const db::Result<db::RowSet> result = connection.run(sql);
        runs.append(elapsedMs(t));
        *rows = result ? result->rows.size() : -1;
    }
    return percentile(runs, 0.5);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: bench_notices ARCHIVIO\n");
        return 2;
    }
    QTemporaryDir folder;
    const QString archive = folder.filePath(QStringLiteral("archivio.sqlite"));
    if (!QFile::copy(QString::fromLocal8Bit(argv[1]), archive)) {
        std::fprintf(stderr, "impossibile copiare l'archivio\n");
        return 1;
    }
    SilentDialogs silent;
    setDialogs(&silent);
    Tform_DB db;
    OptionsStore options(db.shared());
    NoticeStore notices(db.shared());
    if (db::Status opened = db.Connessione().open(archive); !opened || !db.reopenSharedDataSets()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message()));
        return 1;
    }
    db::Connection &connection = db.Connessione();

    qsizetype rows = 0;
    const QString all = *notices::composeNoticeQuery(notices::NoticeFilter{});
    double ms = timeQuery(connection, all, &rows);
    std::printf("query, no filter: %.0f ms, %lld contacts\n", ms, qlonglong(rows));
    // The province with most contacts and a birth-date range of twenty years.
    const db::RowSet busiest = *connection.run(
        u"select top 1 Comuni.Provincia, count(*) as n from Contatti inner join Comuni on "
        u"Contatti.Citta_ID = Comuni.ID group by Comuni.Provincia order by count(*) desc");
    notices::NoticeFilter two;
    two.provincia = busiest.rows.value(0).value(0).toString();
    two.daData = QStringLiteral("01/01/1960");
    two.aData = QStringLiteral("31/12/1979");
    const QString filtered = *notices::composeNoticeQuery(two);
    ms = timeQuery(connection, filtered, &rows);
    std::printf("query, province %s and birth dates 1960-1979: %.0f ms, %lld contacts\n",
                qPrintable(two.provincia), ms, qlonglong(rows));

    {
        const db::RowSet everyone = *connection.run(all);
        QElapsedTimer sorting;
        sorting.start();
        const qsizetype listed = notices::recipientsOf(everyone).size();
        std::printf("recipients named and ordered: %.0f ms, %lld\n", elapsedMs(sorting),
                    qlonglong(listed));
    }

    const QString runnerFolder = QCoreApplication::applicationDirPath();
    TfrmAvvisiClienti_Griglia recipients(
        notices, NoticeLinks{[&](ReportKind kind) {
            db::Result<bool> askPrinter = options.askPrinter();
            db::Status written = askPrinter ? writePrintJob(db, *reportDefinition(kind, 0),
                                                            *askPrinter, runnerFolder)
                                            : db::Status(askPrinter.error());
            if (!written)
                std::fprintf(stderr, "%s\n", qPrintable(written.message()));
        }});
    QElapsedTimer t;
    t.start();
    if (db::Status listed = recipients.carica(all); !listed) {
        std::fprintf(stderr, "%s\n", qPrintable(listed.message()));
        return 1;
    }
    ms = elapsedMs(t);
    t.restart();
    recipients.SelezionaTutti();
    std::printf("recipient list filled (query included): %.0f ms, ticked: %.0f ms, %d contacts\n",
                ms, elapsedMs(t), recipients.list()->count());

    (void)connection.run(u"update TempAvvisi set Testo = ? where NomeComputer = ?",
                         {QStringLiteral("Gentile «Titolo» «Cognome»,\n\nl'ufficio resterà "
                                         "chiuso dal 10 al 24 agosto per le ferie estive."),
                          db.computerName()});
    recipients.NessunaSelezione();
    const int ticked = std::min(5000, recipients.list()->count());
    for (int i = 0; i < ticked; ++i)
        recipients.list()
            ->item(i * (recipients.list()->count() / ticked))
            ->setCheckState(Qt::Checked);
    QList<double> prints;
    for (int run = 0; run < 3; ++run) {
        t.restart();
        recipients.btnStampaClick();
        prints.append(elapsedMs(t));
    }
    const db::RowSet stored = *connection.run(
        u"select count(*) from TempAvvisiContatti where NomeComputer = ?", {db.computerName()});
    std::printf("\"Stampa\" with %d ticked: %.0f ms (median of 3), %lld rows written%s\n", ticked,
                percentile(prints, 0.5), stored.rows[0][0].toLongLong(),
                silent.last.isEmpty() ? ""
                                      : qPrintable(QStringLiteral(", message: ") + silent.last));

    const QString pdf = folder.filePath(QStringLiteral("avvisi.pdf"));
    QProcess runner;
    t.restart();
    runner.start(QDir(runnerFolder).filePath(QStringLiteral("stampa")),
                 {QStringLiteral("--archive"), archive, QStringLiteral("--workstation"),
                  db.computerName(), QStringLiteral("--pdf"), pdf});
    if (!runner.waitForFinished(600000) || runner.exitCode() != 0) {
        std::fprintf(stderr, "stampa: %s\n", runner.readAllStandardError().constData());
        return 1;
    }
    std::printf("PDF of the %d notices: %.0f ms, %lld kB\n", ticked, elapsedMs(t),
                QFileInfo(pdf).size() / 1024);
    return 0;
}
