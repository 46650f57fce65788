// calvetra-mail: sends one message to each address given, with the SMTP settings of an archive
// (or given here), through the same code as the e-mail window.

#include "common/toolinfo.h"
#include "db/core/archive.h"
#include "mail/mailbatch.h"
#include "mail/smtpsettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-mail [ARCHIVIO] --to INDIRIZZO [--to INDIRIZZO...] [--subject TESTO]\n"
    "                [--body-file FILE] [--attach FILE...] [--ca-file PEM] [--timeout SECONDI]\n"
    "                [--server HOST] [--port N] [--security none|tls|starttls]\n"
    "                [--sender INDIRIZZO] [--user NOME]\n"
    "  Invia un messaggio a ogni destinatario con le impostazioni SMTP dell'ARCHIVIO; le opzioni\n"
    "  --server, --port, --security, --sender e --user le sostituiscono (senza ARCHIVIO servono\n"
    "  almeno --server e --sender). La password di autenticazione si prende dalla variabile\n"
    "  d'ambiente CALVETRA_SMTP_PASSWORD quando è data con --user.\n"
    "  --ca-file aggiunge un'autorità di certificazione fidata per questo invio.\n"
    "  Per ogni destinatario stampa \"inviato INDIRIZZO\" oppure \"non inviato INDIRIZZO: "
    "MOTIVO\".\n"
    "  Esce con 0 quando tutti sono inviati, 1 quando qualcuno non lo è, 2 per un uso errato.\n";

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
    return 2;
}

struct Arguments
{
    QString archive;
    QStringList to;
    QString subject;
    QString bodyFile;
    QStringList attachments;
    QString caFile;
    int timeout = 30;
    QString server, port, security, sender, user;
};

// Fills `a` from the command line; an empty text when it is well formed.
QString parse(const QStringList &args, Arguments &a)
{
    const QStringList withValue = {QStringLiteral("--to"),        QStringLiteral("--subject"),
                                   QStringLiteral("--body-file"), QStringLiteral("--ca-file"),
                                   QStringLiteral("--timeout"),   QStringLiteral("--server"),
                                   QStringLiteral("--port"),      QStringLiteral("--security"),
                                   QStringLiteral("--sender"),    QStringLiteral("--user")};
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--attach") {
            while (i + 1 < args.size() && !args[i + 1].startsWith(u"--"))
                a.attachments << args[++i];
            continue;
        }
        if (withValue.contains(arg)) {
            if (i + 1 >= args.size())
                return QStringLiteral("Manca il valore di %1").arg(arg);
            const QString value = args[++i];
            if (arg == u"--to")
                a.to << value;
            else if (arg == u"--subject")
                a.subject = value;
            else if (arg == u"--body-file")
                a.bodyFile = value;
            else if (arg == u"--ca-file")
                a.caFile = value;
            else if (arg == u"--server")
                a.server = value;
            else if (arg == u"--port")
                a.port = value;
            else if (arg == u"--security")
                a.security = value;
            else if (arg == u"--sender")
                a.sender = value;
            else if (arg == u"--user")
                a.user = value;
            else {
                bool number = false;
                a.timeout = value.toInt(&number);
                if (!number || a.timeout <= 0)
                    return QStringLiteral("Tempo non valido: %1").arg(value);
            }
            continue;
        }
        if (arg.startsWith(u"--") || !a.archive.isEmpty())
            return QStringLiteral("Argomento non previsto: %1").arg(arg);
        a.archive = arg;
    }
    return {};
}

// Applies what the command line says over the archive's settings.
QString applyOverrides(const Arguments &a, mail::SmtpSettings &s)
{
    if (!a.server.isEmpty())
        s.host = a.server;
    if (!a.sender.isEmpty())
        s.sender = a.sender;
    if (!a.port.isEmpty()) {
        bool number = false;
        s.port = a.port.toInt(&number);
        if (!number || s.port <= 0 || s.port > 65535)
            return QStringLiteral("Porta non valida: %1").arg(a.port);
    }
    if (a.security == u"none")
        s.security = mail::SmtpSecurity::None;
    else if (a.security == u"tls")
        s.security = mail::SmtpSecurity::ImplicitTls;
    else if (a.security == u"starttls")
        s.security = mail::SmtpSecurity::StartTls;
    else if (!a.security.isEmpty())
        return QStringLiteral("Sicurezza non valida: %1 (none, tls o starttls)").arg(a.security);
    if (!a.user.isEmpty()) {
        s.authenticate = true;
        s.userName = a.user;
        s.password = qEnvironmentVariable("CALVETRA_SMTP_PASSWORD");
    }
    s.caFile = a.caFile;
    s.timeoutSeconds = a.timeout;
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-mail"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    Arguments a;
    if (QString wrong = parse(QCoreApplication::arguments().mid(1), a); !wrong.isEmpty())
        return usage(wrong);
    if (a.to.isEmpty() || (a.archive.isEmpty() && a.server.isEmpty()))
        return usage();

    mail::SmtpSettings settings;
    if (!a.archive.isEmpty()) {
        auto connection = db::openArchiveToRead(a.archive);
        if (!connection)
            return fail(connection.message());
        db::Result<mail::SmtpSettings> stored = mail::readSmtpSettings(**connection);
        if (!stored)
            return fail(stored.message());
        settings = *stored;
    }
    if (QString wrong = applyOverrides(a, settings); !wrong.isEmpty())
        return usage(wrong);
    if (QString missing = mail::missingSetting(settings); !missing.isEmpty())
        return fail(missing);

    db::Result<QList<mail::MailAddress>> recipients = mail::parseAddressLines(a.to);
    if (!recipients)
        return fail(recipients.message());
    mail::MailDraft draft;
    draft.subject = a.subject;
    draft.attachmentPaths = a.attachments;
    if (!a.bodyFile.isEmpty()) {
        QFile body(a.bodyFile);
        if (!body.open(QIODevice::ReadOnly))
            return fail(
                QStringLiteral("Il file del testo \"%1\" non si può leggere.").arg(a.bodyFile));
        draft.text = QString::fromUtf8(body.readAll());
    }
    if (QString missing = mail::checkAttachments(draft.attachmentPaths); !missing.isEmpty())
        return fail(missing);

    QTextStream out(stdout);
    bool all = true;
    for (const mail::RecipientOutcome &o : mail::sendToEach(settings, draft, *recipients)) {
        if (o.result.sent()) {
            out << "inviato " << o.recipient.address << Qt::endl;
        } else {
            out << "non inviato " << o.recipient.address << ": " << o.result.reason << Qt::endl;
            all = false;
        }
    }
    return all ? 0 : 1;
}
