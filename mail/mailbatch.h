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

// One message per recipient, each with its own To, Date and Message-ID: a recipient the server
// refuses does not stop the others; a refused login, a time-out, a certificate or TLS failure
// ends the run, and the recipients left are reported not sent ("non tentato..."). `keepGoing`
// is asked between messages and while a message waits to go: a message already handed to the
// server finishes and counts as sent. Runs in the caller's thread.
QList<RecipientOutcome> sendToEach(const SmtpSettings &settings, const MailDraft &draft,
                                   const QList<MailAddress> &recipients,
                                   const BatchProgress &progress = {});

// The recipients' lines read one by one: the addresses to send to, and each line that holds no
// valid address as a recipient not sent, so that one typing error does not stop the others.
struct RecipientLines
{
    QList<MailAddress> addresses;
    QList<RecipientOutcome> unreadable;
};
RecipientLines readRecipientLines(const QStringList &lines);

// The end of a run as the window shows it.
struct BatchReport
{
    int sent = 0, total = 0;
    // "Termine Invio Messaggi !", how many were sent of how many, and how many were not sent
    // for each reason.
    QString summary;
    // Every recipient not sent with its reason, one line each.
    QString details;
};
BatchReport batchReport(const QList<RecipientOutcome> &outcomes);

// The report's summary and details in one text, as calvetra-mail prints it.
QString batchSummary(const QList<RecipientOutcome> &outcomes);

} // namespace mail

Q_DECLARE_METATYPE(QList<mail::RecipientOutcome>)
