// Spreadsheet figures: importing N rows (a CSV and an .xlsx, the export of a generated archive)
// into a new archive, beside Python's csv module reading the same CSV in the same run, and the
// export of the same contacts.
// Usage: bench_sheetimport [rows=20000]

#include "contacts/sheetimport.h"
#include "bench/generatearchive.h"
#include "contacts/sheetexport.h"
#include "db/core/archive.h"
#include "schema/archivecreator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 20000;
    if (count <= 0)
        return fail(QStringLiteral("Uso: bench_sheetimport [righe]"));
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("origine.sqlite"));
    if (db::Status made = bench::generateArchive(source, count, 11); !made)
        return fail(made.message());

    // The files: the export of the generated contacts.
    QElapsedTimer timer;
    sheets::SheetRows rows;
    double exportCsv = 0, exportXlsx = 0;
    {
        auto connection = db::openArchive(source);
        if (!connection)
            return fail(connection.message());
        QList<qint64> ids;
        const db::Result<db::RowSet> keys =
            (*connection)->runNative(QStringLiteral("SELECT ID FROM Contatti ORDER BY ID"));
        for (const QVariantList &row : keys->rows)
            ids << row[0].toLongLong();
        timer.start();
        db::Result<sheets::SheetRows> read = contactSheetRows(**connection, ids);
        if (!read)
            return fail(read.message());
        rows = std::move(*read);
        if (db::Status w = writeSheetFile(dir.filePath(QStringLiteral("c.csv")), rows); !w)
            return fail(w.message());
        exportCsv = seconds(timer);
        timer.restart();
        if (db::Status w = writeSheetFile(dir.filePath(QStringLiteral("c.xlsx")), rows); !w)
            return fail(w.message());
        exportXlsx = seconds(timer);
    }

    const auto importInto = [&](const QString &file, const QString &name) -> double {
        const QString target = dir.filePath(name);
        if (db::Status made = schema::createArchive(target); !made) {
            fail(made.message());
            return -1;
        }
        auto connection = db::openArchive(target);
        if (!connection) {
            fail(connection.message());
            return -1;
        }
        QElapsedTimer t;
        t.start();
        const db::Result<sheets::SheetRows> read = readSheetFile(file);
        if (!read) {
            fail(read.message());
            return -1;
        }
        const db::Result<SheetImportSummary> done = importSheet(
            **connection, *read, {}, AzioneImportazioneVCard::Salta, QDate(2026, 12, 8));
        if (!done || done->nuovi + done->saltati != count) {
            fail(done ? done->testo().left(300) : done.message());
            return -1;
        }
        const double elapsed = seconds(t);
        // The generated contacts share some e-mails: those rows are duplicates, and skipped.
        std::printf("%s: %d nuovi, %d saltati come doppi\n", qPrintable(QFileInfo(file).fileName()),
                    done->nuovi, done->saltati);
        return elapsed;
    };
    const double csvImport =
        importInto(dir.filePath(QStringLiteral("c.csv")), QStringLiteral("da-csv.sqlite"));
    const double xlsxImport =
        importInto(dir.filePath(QStringLiteral("c.xlsx")), QStringLiteral("da-xlsx.sqlite"));
    if (csvImport < 0 || xlsxImport < 0)
        return 1;

    QProcess python;
    timer.restart();
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                 "    rows = list(csv.reader(f, delimiter=';'))\n"
                                 "print(len(rows))\n"),
                  dir.filePath(QStringLiteral("c.csv"))});
    if (!python.waitForFinished(120000) || python.exitCode() != 0)
        return fail(QString::fromUtf8(python.readAllStandardError()));
    const double pythonRead = seconds(timer);

    std::printf("%d righe (%d colonne)\n", count, int(rows.value(0).size()));
    std::printf("%-48s %8.2f s\n", "importazione CSV (lettura, confronto, scrittura)", csvImport);
    std::printf("%-48s %8.2f s\n", "importazione .xlsx", xlsxImport);
    std::printf("%-48s %8.2f s\n", "python3 csv: sola lettura dello stesso CSV", pythonRead);
    std::printf("%-48s %8.2f\n", "rapporto importazione CSV / lettura python",
                csvImport / pythonRead);
    std::printf("%-48s %8.2f s\n", "esportazione CSV (lettura archivio e file)", exportCsv);
    std::printf("%-48s %8.2f s\n", "esportazione .xlsx (solo file)", exportXlsx);
    return 0;
}
