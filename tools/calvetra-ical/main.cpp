// calvetra-ical: writes the agenda's appointments as a calendar file, with the code the agenda
// grid's export uses, for scripts and for exporting without opening the program.

#include "agenda/agendaexport.h"
#include "agenda/agendastore.h"
#include "common/toolinfo.h"
#include "db/core/archive.h"
#include "db/datasets/dataset.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-ical ARCHIVIO [--filter FILTRO] [-o FILE]\n"
    "        scrive gli appuntamenti non archiviati in formato iCalendar, nell'ordine\n"
    "        dell'agenda, nel FILE o sullo standard output; FILTRO scelto come nei filtri\n"
    "        dell'agenda (per esempio \"Cliente like 'Rossi*'\")\n";

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString &message)
{
    err() << message << Qt::endl;
    return 1;
}

struct Arguments
{
    QString archive;
    QString filter;
    QString output; // empty: standard output
    bool valid = false;
};

Arguments parse(const QStringList &args)
{
    Arguments a;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool takesValue = args[i] == u"--filter" || args[i] == u"-o";
        if (takesValue && i + 1 < args.size()) {
            (args[i] == u"-o" ? a.output : a.filter) = args[i + 1];
            ++i;
        } else if (takesValue || (args[i].startsWith(u'-') && args[i] != u"-")) {
            return a;
        } else {
            positional.append(args[i]);
        }
    }
    if (positional.size() != 1)
        return a;
    a.archive = positional[0];
    a.valid = true;
    return a;
}

int exportCalendar(const Arguments &a)
{
    auto connection = db::openArchive(a.archive);
    if (!connection)
        return fail(connection.message());
    db::DataSet agenda(**connection);
    agenda.setSql(AgendaStore::agendaSql());
    if (db::Status opened = agenda.open(); !opened)
        return fail(opened.message());
    if (db::Status filtered = agenda.setFilter(a.filter); !filtered)
        return fail(filtered.message());
    db::Result<agenda::IcalExport> done = agenda::exportAgenda(agenda);
    if (!done)
        return fail(done.message());
    if (a.output.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(done->text) != done->text.size() ||
            !out.flush())
            return fail(QStringLiteral("Impossibile scrivere sullo standard output."));
    } else if (db::Status saved = agenda::saveCalendar(a.output, done->text); !saved) {
        return fail(saved.message());
    }
    // Standard output may be the calendar itself: the closing message goes apart.
    err() << agenda::exportMessage(*done) << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-ical"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    const Arguments arguments = parse(QCoreApplication::arguments().mid(1));
    if (!arguments.valid) {
        err() << kUsage;
        err().flush();
        return 2;
    }
    return exportCalendar(arguments);
}
