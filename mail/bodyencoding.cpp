#include "mail/bodyencoding.h"

#include <QList>

namespace mail {

namespace {

constexpr qsizetype kQpLine = 76;

QByteArray hex(uchar octet)
{
    static const char digits[] = "0123456789ABCDEF";
    const char escape[] = {'=', digits[octet >> 4], digits[octet & 15]};
    return QByteArray(escape, 3);
}

// One line of the text (no line end in it), encoded and soft-broken.
void encodeLine(QByteArrayView line, QByteArray &out)
{
    qsizetype column = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const uchar octet = uchar(line[i]);
        const bool last = i + 1 == line.size();
        const bool literal = (octet >= 33 && octet <= 126 && octet != '=') ||
                             ((octet == ' ' || octet == '\t') && !last);
        const QByteArray piece = literal ? QByteArray(1, char(octet)) : hex(octet);
        // Room for the "=" of a soft break, unless this is the line's last piece.
        const qsizetype room = last ? kQpLine : kQpLine - 1;
        if (column + piece.size() > room) {
            out += "=\r\n";
            column = 0;
        }
        out += piece;
        column += piece.size();
    }
    out += "\r\n";
}

} // namespace

QByteArray quotedPrintable(const QString &text)
{
    if (text.isEmpty())
        return {};
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 8 + 16);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= utf8.size(); ++i) {
        if (i < utf8.size() && utf8[i] != '\r' && utf8[i] != '\n')
            continue;
        encodeLine(QByteArrayView(utf8).sliced(start, i - start), out);
        if (i + 1 < utf8.size() && utf8[i] == '\r' && utf8[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    // A text ending with a line end has an empty last line: no extra blank line for it.
    if (utf8.endsWith('\n') || utf8.endsWith('\r'))
        out.chop(2);
    return out;
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 38 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76) {
        out += QByteArrayView(encoded).sliced(i, qMin<qsizetype>(76, encoded.size() - i));
        out += "\r\n";
    }
    return out;
}

} // namespace mail
