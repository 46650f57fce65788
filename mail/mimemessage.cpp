#include "mail/mimemessage.h"

#include "mail/bodyencoding.h"
#include "mail/headerencoding.h"

#include <QRandomGenerator>

namespace mail {

namespace {

QByteArray randomHex(int octets)
{
    QByteArray bytes(octets, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), octets / 4);
    return bytes.toHex();
}

QByteArray addressField(const MailAddress &a)
{
    const QByteArray address = a.address.toLatin1();
    if (a.name.trimmed().isEmpty())
        return address;
    return encodePhrase(a.name) + " <" + address + '>';
}

QByteArray addressHeader(const char *name, const QList<MailAddress> &list)
{
    QByteArray out = QByteArray(name) + ": ";
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i > 0)
            out += ",\r\n ";
        out += addressField(list[i]);
    }
    return out + "\r\n";
}

const QByteArray kTextHeaders =
    QByteArrayLiteral("Content-Type: text/plain; charset=UTF-8\r\n"
                      "Content-Transfer-Encoding: quoted-printable\r\n");

} // namespace

MessageStamp newStamp(const MailAddress &from)
{
    MessageStamp stamp;
    stamp.date = QDateTime::currentDateTime();
    const qsizetype at = from.address.lastIndexOf(u'@');
    const QByteArray domain =
        at >= 0 ? from.address.mid(at + 1).toLatin1() : QByteArrayLiteral("localhost");
    stamp.messageId = '<' + randomHex(16) + '.' +
                      QByteArray::number(stamp.date.toMSecsSinceEpoch()) + '@' + domain + '>';
    stamp.boundary = "=_" + randomHex(16);
    return stamp;
}

QByteArray composeMessage(const MailMessage &message, const MessageStamp &stamp)
{
    QByteArray out;
    out += "Date: " + headerDate(stamp.date) + "\r\n";
    out += addressHeader("From", {message.from});
    out += addressHeader("To", message.to);
    if (!message.cc.isEmpty())
        out += addressHeader("Cc", message.cc);
    const QByteArray subject = encodeUnstructured(message.subject, 9);
    out += subject.isEmpty() ? QByteArrayLiteral("Subject:\r\n") : "Subject: " + subject + "\r\n";
    out += "Message-ID: " + stamp.messageId + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    if (message.attachments.isEmpty()) {
        out += kTextHeaders + "\r\n";
        out += quotedPrintable(message.text);
        return out;
    }
    const QByteArray delimiter = "--" + stamp.boundary;
    out += "Content-Type: multipart/mixed;\r\n boundary=\"" + stamp.boundary + "\"\r\n\r\n";
    out += "This is a multi-part message in MIME format\r\n";
    out += delimiter + "\r\n" + kTextHeaders + "\r\n" + quotedPrintable(message.text);
    for (const Attachment &a : message.attachments) {
        out += "\r\n" + delimiter + "\r\n";
        out +=
            "Content-Type: application/octet-stream" + encodeParameter("name", a.fileName) + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "Content-Disposition: attachment" + encodeParameter("filename", a.fileName) +
               "\r\n\r\n";
        out += base64Lines(a.content);
    }
    out += "\r\n" + delimiter + "--\r\n";
    return out;
}

} // namespace mail
