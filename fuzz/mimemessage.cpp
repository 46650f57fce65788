// The message composer on any subject, addresses, file name and text: the output is one
// well-formed message, every line ending with CR LF and at most 998 octets, with exactly the
// headers the composer writes and, in each part, exactly the part's headers.

#include "mail/mimemessage.h"
#include "fuzz/fuzzcheck.h"
#include "mail/mailaddress.h"

#include <QSet>

namespace {

// The names of the header lines of a header block (continuations belong to the line before).
QList<QByteArray> headerNames(const QList<QByteArray> &lines, qsizetype &i)
{
    QList<QByteArray> names;
    for (; i < lines.size() && !lines[i].isEmpty(); ++i) {
        if (lines[i].startsWith(' ') || lines[i].startsWith('\t')) {
            FUZZ_CHECK(!names.isEmpty());
            continue;
        }
        const qsizetype colon = lines[i].indexOf(':');
        FUZZ_CHECK(colon > 0);
        names << lines[i].left(colon);
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Fields separated by NUL octets: subject, to, from, file name, text.
    const QList<QByteArray> fields =
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    const auto field = [&](qsizetype i) {
        return i < fields.size() ? QString::fromUtf8(fields[i]) : QString();
    };
    mail::MailMessage m;
    const db::Result<mail::MailAddress> to = mail::parseAddress(field(1));
    m.to = {to ? *to : mail::MailAddress{field(1), QStringLiteral("a@esempio.it")}};
    const db::Result<mail::MailAddress> from = mail::parseAddress(field(2));
    m.from = from ? *from : mail::MailAddress{QString(), QStringLiteral("b@esempio.it")};
    m.subject = field(0);
    m.text = field(4);
    if (fields.size() > 3)
        m.attachments = {{field(3), fields[3]}};
    const mail::MessageStamp stamp = mail::newStamp(m.from);
    const QByteArray message = mail::composeMessage(m, stamp);

    QList<QByteArray> lines = message.split('\n');
    FUZZ_CHECK(message.endsWith("\r\n"));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].endsWith('\r'));
        lines[i].chop(1);
        FUZZ_CHECK(!lines[i].contains('\r'));
        FUZZ_CHECK(lines[i].size() <= 998);
    }
    qsizetype i = 0;
    QList<QByteArray> expected = {"Date",       "From",         "To",          "Subject",
                                  "Message-ID", "MIME-Version", "Content-Type"};
    if (m.attachments.isEmpty())
        expected << "Content-Transfer-Encoding";
    FUZZ_CHECK(headerNames(lines, i) == expected);
    if (m.attachments.isEmpty())
        return 0;
    const QByteArray delimiter = "--" + stamp.boundary;
    QList<QList<QByteArray>> parts;
    bool closed = false;
    for (++i; i < lines.size(); ++i) {
        if (lines[i] == delimiter) {
            ++i;
            parts << headerNames(lines, i);
        } else if (lines[i] == delimiter + "--") {
            closed = true;
        } else {
            FUZZ_CHECK(!lines[i].startsWith(delimiter));
        }
    }
    FUZZ_CHECK(closed);
    FUZZ_CHECK(parts.size() == 2);
    FUZZ_CHECK(parts[0] == (QList<QByteArray>{"Content-Type", "Content-Transfer-Encoding"}));
    FUZZ_CHECK(parts[1] == (QList<QByteArray>{"Content-Type", "Content-Transfer-Encoding",
                                              "Content-Disposition"}));
    return 0;
}
