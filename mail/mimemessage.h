#pragma once

#include "mail/mailaddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace mail {

struct Attachment
{
    QString fileName; // without its folder
    QByteArray content;
};

// What a message says; the envelope takes its addresses from here too.
struct MailMessage
{
    MailAddress from;
    QList<MailAddress> to;
    QList<MailAddress> cc;
    QString subject;
    QString text;
    QList<Attachment> attachments;
};

// What makes each message unique: its date, its Message-ID and its part boundary.
struct MessageStamp
{
    QDateTime date;
    QByteArray messageId; // with its angle brackets
    QByteArray boundary;
};

// The local time now, a random Message-ID at the sender's domain and a random boundary.
MessageStamp newStamp(const MailAddress &from);

// The whole message (RFC 5322, MIME): headers, then the text as UTF-8 quoted-printable, alone or
// as the first part of a multipart/mixed message with one base64 part per attachment. Every
// line ends with CR LF and has at most 998 octets; no line of any field breaks out of its
// header. Dot-stuffing is the transport's (it applies to the lines of the finished message).
QByteArray composeMessage(const MailMessage &message, const MessageStamp &stamp);

} // namespace mail
