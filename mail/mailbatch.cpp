#include "mail/mailbatch.h"

#include "mail/mimemessage.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace mail {

namespace {

QList<RecipientOutcome> allFailed(const QList<MailAddress> &recipients, SendFailure kind,
                                  const QString &reason)
{
    QList<RecipientOutcome> outcomes;
    for (const MailAddress &r : recipients)
        outcomes << RecipientOutcome{r, SendResult{kind, reason}};
    return outcomes;
}

// A failure that every later recipient would meet too: the server, not the message.
bool endsTheRun(SendFailure failure)
{
    switch (failure) {
    case SendFailure::Authentication:
    case SendFailure::Timeout:
    case SendFailure::Certificate:
    case SendFailure::Tls:
        return true;
    default:
        return false;
    }
}

} // namespace

QString checkAttachments(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.trimmed().isEmpty())
            continue;
        const QFileInfo info(path);
        if (!info.exists())
            return QStringLiteral("L'allegato \"%1\" non esiste.").arg(path);
        if (!info.isFile() || !info.isReadable())
            return QStringLiteral("L'allegato \"%1\" non si può leggere.").arg(path);
    }
    return {};
}

QList<RecipientOutcome> sendToEach(const SmtpSettings &settings, const MailDraft &draft,
                                   const QList<MailAddress> &recipients,
                                   const BatchProgress &progress)
{
    db::Result<MailAddress> sender = parseAddress(settings.sender);
    if (!sender)
        return allFailed(
            recipients, SendFailure::Refused,
            QStringLiteral("mittente non valido nelle opzioni: %1").arg(sender.message()));

    MailMessage message;
    message.from = MailAddress{QString(), sender->address};
    message.subject = draft.subject;
    message.text = draft.text;
    for (const QString &path : draft.attachmentPaths) {
        if (path.trimmed().isEmpty())
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return allFailed(recipients, SendFailure::File,
                             QStringLiteral("l'allegato \"%1\" non si può leggere (%2)")
                                 .arg(path, file.errorString()));
        message.attachments << Attachment{QFileInfo(path).fileName(), file.readAll()};
    }

    QList<RecipientOutcome> outcomes;
    SmtpConnection connection(settings);
    const int total = int(recipients.size());
    for (int i = 0; i < total; ++i) {
        const MailAddress &to = recipients[i];
        if (progress.keepGoing && !progress.keepGoing()) {
            outcomes << RecipientOutcome{
                to, SendResult{SendFailure::Cancelled, QStringLiteral("invio annullato")}};
            continue;
        }
        if (progress.starting)
            progress.starting(i, total);
        message.to = {to};
        const QByteArray bytes = composeMessage(message, newStamp(message.from));
        // A cancel stops a submission only before the message goes (a server that never
        // answers); a message handed to the server finishes, so that what is reported as sent
        // is what the server received.
        outcomes << RecipientOutcome{to, connection.submit(message.from.address.toLatin1(),
                                                           {to.address.toLatin1()}, bytes,
                                                           progress.keepGoing)};
        // A refused login or a server that does not answer fails the same way for everyone,
        // and a provider locks a mailbox after repeated failed logins: the run ends there.
        if (endsTheRun(outcomes.last().result.failure)) {
            for (int rest = i + 1; rest < total; ++rest)
                outcomes << RecipientOutcome{
                    recipients[rest],
                    SendResult{SendFailure::Cancelled,
                               QStringLiteral("non tentato dopo l'errore precedente")}};
            break;
        }
    }
    return outcomes;
}

RecipientLines readRecipientLines(const QStringList &lines)
{
    RecipientLines read;
    for (const QString &line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        db::Result<QList<MailAddress>> some = parseAddressList(line);
        if (some)
            read.addresses += *some;
        else
            read.unreadable << RecipientOutcome{
                MailAddress{QString(), line.trimmed()},
                SendResult{SendFailure::Refused,
                           QStringLiteral("indirizzo non valido (%1)").arg(some.message())}};
    }
    return read;
}

BatchReport batchReport(const QList<RecipientOutcome> &outcomes)
{
    BatchReport report;
    report.total = int(outcomes.size());
    QStringList notSent, reasons;
    QHash<QString, int> byReason;
    for (const RecipientOutcome &o : outcomes) {
        if (o.result.sent()) {
            ++report.sent;
            continue;
        }
        notSent << QStringLiteral("Messaggio Non inviato a : %1 - %2")
                       .arg(o.recipient.address, o.result.reason);
        if (!byReason.contains(o.result.reason))
            reasons << o.result.reason;
        ++byReason[o.result.reason];
    }
    report.summary = QStringLiteral("Termine Invio Messaggi !\nInviati %1 di %2.")
                         .arg(report.sent)
                         .arg(report.total);
    if (!notSent.isEmpty()) {
        report.summary += QStringLiteral("\nNon inviati %1:").arg(notSent.size());
        // The reasons in the order they first came; a long tail in one line.
        constexpr int kShown = 5;
        for (qsizetype r = 0; r < reasons.size() && r < kShown; ++r)
            report.summary +=
                QStringLiteral("\n- %1: %2").arg(reasons[r]).arg(byReason.value(reasons[r]));
        if (reasons.size() > kShown) {
            int others = 0;
            for (qsizetype r = kShown; r < reasons.size(); ++r)
                others += byReason.value(reasons[r]);
            report.summary += QStringLiteral("\n- altri motivi: %1").arg(others);
        }
        report.details = notSent.join(u'\n');
    }
    return report;
}

QString batchSummary(const QList<RecipientOutcome> &outcomes)
{
    const BatchReport report = batchReport(outcomes);
    return report.details.isEmpty() ? report.summary : report.summary + u'\n' + report.details;
}

} // namespace mail
