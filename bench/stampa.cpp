// The report runner on a generated archive: the contact directory and the small label sheets
// written to PDF, with the time (query, layout and PDF) and the peak memory of each.
// Usage: bench_stampa [contacts]   (10000 by default)

#include "app/reports.h"
#include "bench/generatearchive.h"
#include "db/core/archive.h"
#include "tools/stampa/reportdocument.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <cstdio>

#include <malloc.h>

namespace {

long statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Starts the peak resident size again from the current one (Linux 4.0 and later), after giving
// the memory freed by the previous report back to the system.
void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

bool render(db::Connection &connection, const QString &name, const QString &layoutFile,
            const QString &query, const QString &pdf)
{
    resetPeak();
    const long before = statusKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    db::Result<stampa::ReportData> data = stampa::loadReportData(connection, query);
    if (!data) {
        std::fprintf(stderr, "%s\n", qPrintable(data.message()));
        return false;
    }
    data->smallLabels = true;
    const double queryMs = double(timer.nsecsElapsed()) / 1e6;
    db::Result<stampa::ReportLayout> layout =
        stampa::readLayoutFile(QCoreApplication::applicationDirPath() + u'/' + layoutFile);
    if (!layout) {
        std::fprintf(stderr, "%s\n", qPrintable(layout.message()));
        return false;
    }
    const qsizetype rows = data->rows.rows.size();
    const stampa::ReportDocument document(std::move(*layout), std::move(*data), true);
    int pages = 0;
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        db::Result<int> printed = document.print(writer);
        if (!printed) {
            std::fprintf(stderr, "%s\n", qPrintable(printed.message()));
            return false;
        }
        pages = *printed;
    }
    const double totalMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%s: %lld rows, %d pages, %.0f ms (query %.0f ms), PDF %lld KB, "
                "peak memory %ld MB (%+ld MB over the %ld MB before)\n",
                qPrintable(name), qlonglong(rows), pages, totalMs, queryMs,
                QFileInfo(pdf).size() / 1024, statusKb("VmHWM:") / 1024,
                (statusKb("VmHWM:") - before) / 1024, before / 1024);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int contacts = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    if (db::Status made = bench::generateArchive(path, contacts, 1); !made) {
        std::fprintf(stderr, "%s\n", qPrintable(made.message()));
        return 1;
    }
    auto connection = db::openArchive(path);
    if (!connection) {
        std::fprintf(stderr, "%s\n", qPrintable(connection.message()));
        return 1;
    }
    const bool ok =
        render(**connection, QStringLiteral("contact directory (Agenda.rpt)"),
               QStringLiteral("Agenda.rpt"), reportDefinition(ReportKind::ContactBook, 0)->sql,
               dir.filePath(QStringLiteral("agenda.pdf"))) &&
        render(**connection, QStringLiteral("small labels (EtichetteClienti.rpt)"),
               QStringLiteral("EtichetteClienti.rpt"),
               reportDefinition(ReportKind::ContactLabels, 0)->sql,
               dir.filePath(QStringLiteral("etichette.pdf")));
    return ok ? 0 : 1;
}
