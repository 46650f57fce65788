#include "agenda/icaltext.h"

#include <algorithm>

namespace agenda {

namespace {

constexpr qsizetype kMaxLineOctets = 75;

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isControl(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == 0x7f;
}

} // namespace

QString escapeIcalText(QStringView text)
{
    const auto plain = [](QChar c) {
        const char16_t u = c.unicode();
        return !isLineBreak(u) && !isControl(u) && u != u'\\' && u != u';' && u != u',';
    };
    if (std::all_of(text.begin(), text.end(), plain))
        return text.toString();
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (isLineBreak(c)) {
            // CRLF is one break, not two.
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out.append(QLatin1String("\\n"));
        } else if (c == u'\\' || c == u';' || c == u',') {
            out.append(u'\\');
            out.append(QChar(c));
        } else if (!isControl(c)) {
            out.append(QChar(c));
        }
    }
    return out;
}

QString withoutControls(QStringView text)
{
    if (std::none_of(text.begin(), text.end(),
                     [](QChar c) { return isControl(c.unicode()) || isLineBreak(c.unicode()); }))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!isControl(c.unicode()) && !isLineBreak(c.unicode()))
            out.append(c);
    }
    return out;
}

QString icalParameterValue(QStringView text)
{
    QString value = withoutControls(text);
    value.remove(u'"');
    if (value.contains(u':') || value.contains(u';') || value.contains(u','))
        return u'"' + value + u'"';
    return value;
}

void appendIcalLine(QByteArray &out, QStringView line)
{
    const QByteArray bytes = line.toUtf8();
    qsizetype start = 0;
    qsizetype room = kMaxLineOctets;
    while (bytes.size() - start > room) {
        qsizetype cut = start + room;
        // Back to the first byte of the sequence the cut would split (continuation bytes are
        // 10xxxxxx); a sequence is at most four bytes, so the piece is never empty.
        while ((uchar(bytes[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(bytes.constData() + start, cut - start);
        out.append("\r\n ");
        start = cut;
        room = kMaxLineOctets - 1; // the leading space counts
    }
    out.append(bytes.constData() + start, bytes.size() - start);
    out.append("\r\n");
}

} // namespace agenda
