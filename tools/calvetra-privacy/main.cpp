// calvetra-privacy: what the archive holds about one person, handed over on request, and that
// person erased for good, from the command line.

#include "common/console.h"
#include "common/toolinfo.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "privacy/erasure.h"
#include "privacy/personaldata.h"
#include "privacy/personalexport.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-privacy ARCHIVIO --esporta ID -o FILE\n"
    "        scrive tutto ciò che l'archivio contiene sul contatto con codice ID (i suoi dati,\n"
    "        con i nomi di comuni, categoria, professione e titolo, i pagamenti, gli\n"
    "        appuntamenti, il consenso privacy): FILE.json per un programma, FILE.pdf per la\n"
    "        persona. Il file è leggibile solo dal proprietario.\n"
    "  calvetra-privacy ARCHIVIO --cancella ID [--conferma]\n"
    "        cancella per sempre il contatto con i suoi pagamenti, appuntamenti e le righe di\n"
    "        lavoro che lo nominano, dopo aver mostrato cosa sarà cancellato e chiesto conferma\n"
    "        (non chiesta con --conferma; senza risposta non cancella nulla). Su un archivio\n"
    "        SQLite i byte cancellati sono sovrascritti.\n"
    "Esce con 0 quando riesce, 1 quando non riesce o non c'è conferma, 2 per una riga di\n"
    "comando errata.\n";

int usage()
{
    err() << kUsage;
    err().flush();
    return 2;
}

int fail(const QString &message)
{
    err() << message << Qt::endl;
    return 1;
}

struct Arguments
{
    QString archive;
    enum class Command
    {
        None,
        Export,
        Erase
    } command = Command::None;
    qint64 id = 0;
    QString output;
    bool confirmed = false;
};

bool parse(const QStringList &args, Arguments &a)
{
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto next = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        if (arg == u"--esporta" || arg == u"--cancella") {
            if (a.command != Arguments::Command::None)
                return false;
            a.command =
                arg == u"--esporta" ? Arguments::Command::Export : Arguments::Command::Erase;
            const std::optional<QString> id = next();
            bool number = false;
            a.id = id ? id->toLongLong(&number) : 0;
            if (!number || a.id <= 0)
                return false;
        } else if (arg == u"-o") {
            const std::optional<QString> file = next();
            if (!file || file->isEmpty())
                return false;
            a.output = *file;
        } else if (arg == u"--conferma") {
            a.confirmed = true;
        } else if (arg.startsWith(u'-')) {
            return false;
        } else {
            positional << arg;
        }
    }
    if (positional.size() != 1)
        return false;
    a.archive = positional.first();
    if (a.command == Arguments::Command::Export)
        return !a.output.isEmpty() && !a.confirmed;
    if (a.command == Arguments::Command::Erase)
        return a.output.isEmpty();
    return false;
}

int exportData(const Arguments &a)
{
    if (db::Result<privacy::ExportKind> kind = privacy::exportKindOf(a.output); !kind)
        return fail(kind.message());
    auto connection = db::openArchive(a.archive);
    if (!connection)
        return fail(connection.message());
    db::Result<privacy::PersonalData> data = privacy::readPersonalData(**connection, a.id);
    if (!data)
        return fail(data.message());
    const privacy::ExportPlace place{a.archive, QCoreApplication::applicationDirPath()};
    if (db::Status written = privacy::writePersonalData(*data, a.output, place, db::clock::now());
        !written)
        return fail(written.message());
    out() << QStringLiteral("Dati personali di «%1» scritti in %2: %3 campi, %4 pagamenti, %5 "
                            "appuntamenti.")
                 .arg(data->name, QDir::toNativeSeparators(a.output))
                 .arg(data->fields.size())
                 .arg(data->payments.size())
                 .arg(data->appointments.size())
          << Qt::endl;
    return 0;
}

int erase(const Arguments &a)
{
    auto connection = db::openArchive(a.archive);
    if (!connection)
        return fail(connection.message());
    db::Result<privacy::ErasurePlan> plan = privacy::planErasure(**connection, a.id);
    if (!plan)
        return fail(plan.message());
    if (a.confirmed)
        out() << "Saranno cancellati per sempre:\n" << privacy::erasureSummary(*plan) << Qt::endl;
    else if (!askYes(privacy::erasureQuestion(*plan)))
        return fail(QStringLiteral("Nulla è stato cancellato."));
    db::Result<privacy::ErasureDone> done = privacy::eraseContact(**connection, a.id);
    if (!done)
        return fail(QStringLiteral("Nulla è stato cancellato: %1").arg(done.message()));
    out() << "Cancellati:\n" << privacy::erasureSummary(done->plan) << Qt::endl;
    if (!done->note.isEmpty())
        out() << done->note << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-privacy"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    Arguments a;
    if (!parse(QCoreApplication::arguments().mid(1), a))
        return usage();
    return a.command == Arguments::Command::Export ? exportData(a) : erase(a);
}
