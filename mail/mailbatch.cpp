#include "mail/mailbatch.h"

#include "mail/mimemessage.h"

#include <QFile>
#include <QFileInfo>

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
        outcomes << RecipientOutcome{to, connection.submit(message.from.address.toLatin1(),
                                                           {to.address.toLatin1()}, bytes,
                                                           progress.keepGoing)};
    }
    return outcomes;
}

QString batchSummary(const QList<RecipientOutcome> &outcomes)
{
    qsizetype sent = 0;
    QStringList notSent;
    for (const RecipientOutcome &o : outcomes) {
        if (o.result.sent())
            ++sent;
        else
            notSent << QStringLiteral("Messaggio Non inviato a : %1 - %2")
                           .arg(o.recipient.address, o.result.reason);
    }
    QString text = QStringLiteral("Termine Invio Messaggi !\nInviati %1 di %2.")
                       .arg(sent)
                       .arg(outcomes.size());
    if (!notSent.isEmpty())
        text += u'\n' + notSent.join(u'\n');
    return text;
}

} // namespace mail
