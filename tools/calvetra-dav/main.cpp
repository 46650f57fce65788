// calvetra-dav: one sync, both ways, of an archive's contacts and agenda with the office's
// CardDAV/CalDAV server, through the same code as the main window's "Sincronizza".

#include "common/toolinfo.h"
#include "dav/davsync.h"
#include "dav/syncstore.h"
#include "db/core/archive.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-dav ARCHIVIO [--server URL] [--utente NOME] [--ca-file PEM] [--timeout SECONDI]\n"
    "  Sincronizza nei due sensi i contatti e l'agenda dell'ARCHIVIO con la rubrica e il\n"
    "  calendario del server (CardDAV/CalDAV). Senza --server e --utente usa le impostazioni\n"
    "  salvate nell'archivio. La password si prende dalla variabile d'ambiente\n"
    "  CALVETRA_DAV_PASSWORD, altrimenti da quella salvata nell'archivio.\n"
    "  --ca-file aggiunge un'autorità di certificazione fidata per questa sincronizzazione;\n"
    "  --timeout è l'attesa massima di ogni risposta del server (30 secondi se non dato).\n"
    "  Stampa quanto inviato, ricevuto e aggiornato, e una riga per ogni conflitto.\n"
    "  Esce con 0 quando la sincronizzazione è avvenuta (anche con conflitti), 1 quando non\n"
    "  è stato possibile (l'archivio resta com'era), 2 per un uso errato.\n";

int usage(const QString &message = {})
{
    QTextStream err(stderr);
    if (!message.isEmpty())
        err << message << Qt::endl;
    err << kUsage;
    return 2;
}

int fail(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
    return 1;
}

struct Arguments
{
    QString archive, server, user, caFile;
    int timeout = 30;
};

QString parse(const QStringList &args, Arguments &a)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--server" || arg == u"--utente" || arg == u"--ca-file" ||
            arg == u"--timeout") {
            if (i + 1 >= args.size())
                return QStringLiteral("Manca il valore di %1").arg(arg);
            const QString value = args[++i];
            if (arg == u"--server")
                a.server = value;
            else if (arg == u"--utente")
                a.user = value;
            else if (arg == u"--ca-file")
                a.caFile = value;
            else {
                bool number = false;
                a.timeout = value.toInt(&number);
                if (!number || a.timeout <= 0 || a.timeout > 3600)
                    return QStringLiteral("Tempo non valido: %1").arg(value);
            }
            continue;
        }
        if (arg.startsWith(u"--") || !a.archive.isEmpty())
            return QStringLiteral("Argomento non previsto: %1").arg(arg);
        a.archive = arg;
    }
    if (a.archive.isEmpty())
        return QStringLiteral("Manca l'archivio.");
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-dav"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    Arguments a;
    if (QString wrong = parse(QCoreApplication::arguments().mid(1), a); !wrong.isEmpty())
        return usage(wrong);

    auto connection = db::openArchive(a.archive);
    if (!connection)
        return fail(connection.message());
    db::Result<dav::StoredSettings> stored = dav::readStoredSettings(**connection);
    if (!stored)
        return fail(stored.message());
    dav::DavSettings settings;
    settings.server = a.server.isEmpty() ? stored->server : a.server;
    settings.user = a.user.isEmpty() ? stored->user : a.user;
    settings.password = qEnvironmentVariableIsSet("CALVETRA_DAV_PASSWORD")
                            ? qEnvironmentVariable("CALVETRA_DAV_PASSWORD")
                            : stored->password;
    settings.caFile = a.caFile;
    settings.timeoutSeconds = a.timeout;
    if (settings.server.trimmed().isEmpty())
        return fail(QStringLiteral("Manca l'indirizzo del server: indicarlo con --server o "
                                   "nelle Opzioni, scheda «Sincronizzazione»."));

    db::Result<dav::SyncReport> done = dav::synchronise(**connection, settings, {});
    if (!done)
        return fail(done.message());
    QTextStream(stdout) << done->text() << Qt::endl;
    return 0;
}
