// The agenda's calendar export on a generated archive: the grid's rows narrowed to about
// 15,000 appointments, composed and written to a file, as "Esporta Calendario" does.
// Usage: bench_icalexport ARCHIVE [repeats]   (make ARCHIVE with bench_generate; the first
// export gives the archive its identifier)

#include "agenda/agendaexport.h"
#include "agenda/agendastore.h"
#include "db/core/archive.h"
#include "db/datasets/dataset.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kExported = 15000;

int fail(const QString &message)
{
    std::fprintf(stderr, "%s\n", qPrintable(message));
    return 1;
}

struct Timing
{
    double exportMs;
    double saveMs;
    agenda::IcalExport done;
};

db::Result<Timing> exportOnce(db::DataSet &agenda, const QString &path)
{
    QElapsedTimer t;
    t.start();
    db::Result<agenda::IcalExport> done = agenda::exportAgenda(agenda);
    if (!done)
        return done.error();
    const double exportMs = elapsedMs(t);
    t.restart();
    if (db::Status saved = agenda::saveCalendar(path, done->text); !saved)
        return saved.error();
    return Timing{exportMs, elapsedMs(t), std::move(*done)};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: bench_icalexport ARCHIVE [repeats]\n");
        return 2;
    }
    const int repeats = args.size() > 2 ? std::max(1, args[2].toInt()) : 10;
    auto connection = db::openArchive(args[1]);
    if (!connection)
        return fail(connection.message());

    db::DataSet agenda(**connection);
    agenda.setSql(AgendaStore::agendaSql());
    QElapsedTimer t;
    t.start();
    if (db::Status opened = agenda.open(); !opened)
        return fail(opened.message());
    std::printf("agenda data set: %d appointments opened in %.0f ms\n", agenda.recordCount(),
                elapsedMs(t));
    if (agenda.recordCount() < kExported)
        return fail(QStringLiteral("Servono almeno %1 appuntamenti.").arg(kExported));

    // The newest days down to the 15,000th appointment, as a from-date filter in the grid.
    const QDate from = agenda.valueAt(kExported - 1, agenda.columnIndex(u"Data")).toDate();
    const QString filter =
        QStringLiteral("Data >= #%1/%2/%3#").arg(from.day()).arg(from.month()).arg(from.year());
    if (db::Status filtered = agenda.setFilter(filter); !filtered)
        return fail(filtered.message());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Calendario.ics"));
    QList<double> exportMs;
    QList<double> totalMs;
    qsizetype bytes = 0;
    int events = 0;
    for (int i = 0; i < repeats; ++i) {
        db::Result<Timing> run = exportOnce(agenda, path);
        if (!run)
            return fail(run.message());
        exportMs.append(run->exportMs);
        totalMs.append(run->exportMs + run->saveMs);
        bytes = run->done.text.size();
        events = run->done.events;
    }
    std::sort(exportMs.begin(), exportMs.end());
    std::sort(totalMs.begin(), totalMs.end());
    std::printf("filter %s: %d appointments, file %.1f MB\n", qPrintable(filter), events,
                bytes / 1e6);
    std::printf("export (rows, identifier, text): median %.0f ms, worst %.0f ms\n",
                exportMs[exportMs.size() / 2], exportMs.last());
    std::printf("export and save to file:         median %.0f ms, worst %.0f ms (target 300)\n",
                totalMs[totalMs.size() / 2], totalMs.last());

    if (db::Status all = agenda.setFilter(QString()); !all)
        return fail(all.message());
    db::Result<Timing> whole = exportOnce(agenda, path);
    if (!whole)
        return fail(whole.message());
    std::printf("every appointment (%d): export and save %.0f ms\n", whole->done.events,
                whole->exportMs + whole->saveMs);
    return 0;
}
