#pragma once

#include "mail/mailaddress.h"
#include "mail/smtptransport.h"

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <functional>

namespace mail {

// What the user wrote: the same for every recipient.
struct MailDraft
{
    QString subject;
    QString text;
    QStringList attachmentPaths; // full paths, in list order
};

struct RecipientOutcome
{
    MailAddress recipient;
    SendResult result;
};

// The first attachment that is missing or cannot be read, as an Italian message; empty when
// every one can be sent.
QString checkAttachments(const QStringList &paths);

struct BatchProgress
{
    std::function<void(int index, int total)> starting; // before the message to recipient `index`
    std::function<bool()> keepGoing;                    // false cancels what is left
};

// One message per recipient, each with its own To, Date and Message-ID, over a connection of
// its own: a failure for one recipient does not stop the others. Runs in the caller's thread.
QList<RecipientOutcome> sendToEach(const SmtpSettings &settings, const MailDraft &draft,
                                   const QList<MailAddress> &recipients,
                                   const BatchProgress &progress = {});

// The end message: "Termine Invio Messaggi !", how many were sent of how many, and every
// recipient not sent with its reason.
QString batchSummary(const QList<RecipientOutcome> &outcomes);

} // namespace mail

Q_DECLARE_METATYPE(QList<mail::RecipientOutcome>)
