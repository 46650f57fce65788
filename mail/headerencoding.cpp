#include "mail/headerencoding.h"

#include <QRegularExpression>

namespace mail {

namespace {

constexpr int kFoldAt = 78;
// An encoded word "=?UTF-8?B?...?=" is 12 characters around the Base64; 45 octets give 60.
constexpr qsizetype kWordOctets = 45;

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator || (c.unicode() >= 0x80 && c.unicode() < 0xa0);
}

// The encoded words of `text`, joined by folds; no word splits a character (a surrogate pair
// or the octets of one UTF-8 sequence).
QByteArray encodedWords(const QString &text)
{
    QByteArray out;
    QByteArray chunk;
    const auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray octets = text.mid(i, length).toUtf8();
        if (chunk.size() + octets.size() > kWordOctets)
            flush();
        chunk += octets;
        i += length;
    }
    flush();
    return out;
}

bool isPlainWords(const QString &text, int maxWord)
{
    static const QRegularExpression plain(QStringLiteral("^[\\x21-\\x7e]+( [\\x21-\\x7e]+)*$"));
    if (!plain.match(text).hasMatch() || text.contains(u"=?"))
        return false;
    for (QStringView word : QStringView(text).split(u' ')) {
        if (word.size() > maxWord)
            return false;
    }
    return true;
}

} // namespace

QString singleLine(const QString &text)
{
    QString line = text;
    for (QChar &c : line) {
        if (isControl(c))
            c = u' ';
    }
    return line;
}

QByteArray encodeUnstructured(const QString &text, int used)
{
    const QString line = singleLine(text);
    if (line.isEmpty())
        return {};
    if (!isPlainWords(line, kFoldAt - 2))
        return encodedWords(line);
    QByteArray out;
    int column = used;
    bool first = true;
    for (QStringView word : QStringView(line).split(u' ')) {
        const QByteArray w = word.toLatin1();
        if (first) {
            out += w;
            column += int(w.size());
            first = false;
        } else if (column + 1 + w.size() > kFoldAt) {
            out += "\r\n " + w;
            column = 1 + int(w.size());
        } else {
            out += ' ' + w;
            column += 1 + int(w.size());
        }
    }
    return out;
}

QByteArray encodePhrase(const QString &text)
{
    const QString line = singleLine(text).trimmed();
    static const QRegularExpression atoms(
        QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+( [A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*$"));
    if (line.size() <= 60 && atoms.match(line).hasMatch() && !line.contains(u"=?"))
        return line.toLatin1();
    if (line.size() <= 60 && isPlainWords(line, 60)) {
        QByteArray quoted = "\"";
        for (QChar c : line) {
            if (c == u'"' || c == u'\\')
                quoted += '\\';
            quoted += char(c.unicode());
        }
        return quoted + '"';
    }
    return encodedWords(line);
}

QByteArray encodeParameter(const QByteArray &name, const QString &value)
{
    const QString line = singleLine(value);
    bool simple = line.size() <= 60;
    for (QChar c : line) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == u'"' || c == u'\\')
            simple = false;
    }
    if (simple)
        return ";\r\n " + name + "=\"" + line.toLatin1() + '"';

    // RFC 2231: attribute characters as they are, every other octet as %XX; sections of at most
    // 60 characters that never split an escape.
    static const QByteArray attrChars = QByteArrayLiteral("!#$&+-.^_`|~");
    QList<QByteArray> sections{QByteArrayLiteral("UTF-8''")};
    for (char octet : line.toUtf8()) {
        const uchar u = uchar(octet);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                           (u >= '0' && u <= '9') || attrChars.contains(octet);
        const QByteArray piece =
            plain ? QByteArray(1, octet)
                  : '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        if (sections.last().size() + piece.size() > 60)
            sections.append(QByteArray());
        sections.last() += piece;
    }
    if (sections.size() == 1)
        return ";\r\n " + name + "*=" + sections.first();
    QByteArray out;
    for (qsizetype i = 0; i < sections.size(); ++i)
        out += ";\r\n " + name + '*' + QByteArray::number(i) + "*=" + sections[i];
    return out;
}

QByteArray headerDate(const QDateTime &when)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate date = when.date();
    const QTime time = when.time();
    const int offset = when.offsetFromUtc() / 60;
    const int absolute = offset < 0 ? -offset : offset;
    return QByteArray(days[date.dayOfWeek() - 1]) + ", " + QByteArray::number(date.day()) + ' ' +
           months[date.month() - 1] + ' ' + QByteArray::number(date.year()) + ' ' +
           time.toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + (offset < 0 ? '-' : '+') +
           QByteArray::number(absolute / 60 * 100 + absolute % 60).rightJustified(4, '0');
}

} // namespace mail
