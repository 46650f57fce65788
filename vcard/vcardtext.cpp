#include "vcard/vcardtext.h"

#include "common/textfunctions.h"

#include <QStringDecoder>

namespace vcard {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool sameName(QByteArrayView a, const char *upper)
{
    qsizetype i = 0;
    for (; upper[i] != 0; ++i) {
        if (i >= a.size())
            return false;
        char c = a[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return i == a.size();
}

// ISO-8859-15: ISO-8859-1 with eight characters replaced, the euro sign among them.
QString fromLatin9(QByteArrayView octets)
{
    QString text = QString::fromLatin1(octets);
    for (QChar &c : text) {
        switch (c.unicode()) {
        case 0xA4:
            c = QChar(0x20AC);
            break;
        case 0xA6:
            c = QChar(0x0160);
            break;
        case 0xA8:
            c = QChar(0x0161);
            break;
        case 0xB4:
            c = QChar(0x017D);
            break;
        case 0xB8:
            c = QChar(0x017E);
            break;
        case 0xBC:
            c = QChar(0x0152);
            break;
        case 0xBD:
            c = QChar(0x0153);
            break;
        case 0xBE:
            c = QChar(0x0178);
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace

QByteArray decodeQuotedPrintable(QByteArrayView encoded)
{
    QByteArray out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '=' && i + 2 < encoded.size()) {
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                out.append(char(high * 16 + low));
                i += 2;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool isValidUtf8(QByteArrayView octets)
{
    const auto *p = reinterpret_cast<const unsigned char *>(octets.data());
    const auto *end = p + octets.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        char32_t value;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            value = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            value = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            value = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if ((more == 2 && value < 0x800) || (more == 3 && value < 0x10000) ||
            (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            return false;
        p += more + 1;
    }
    return true;
}

// UTF-8 as written: a U+FEFF at the start of a value is a character of the value, not a mark
// to drop (dropped, a value written back would not read the same).
static QString fromUtf8Kept(QByteArrayView octets)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(octets);
}

QString decodeOctets(QByteArrayView octets, QByteArrayView charset)
{
    if (charset.isEmpty() || sameName(charset, "UTF-8") || sameName(charset, "UTF8") ||
        sameName(charset, "US-ASCII") || sameName(charset, "ASCII")) {
        if (isValidUtf8(octets))
            return fromUtf8Kept(octets);
        return fromWindows1252(octets);
    }
    if (sameName(charset, "ISO-8859-15") || sameName(charset, "LATIN-9") ||
        sameName(charset, "LATIN9"))
        return fromLatin9(octets);
    if (sameName(charset, "ISO-8859-1") || sameName(charset, "LATIN1") ||
        sameName(charset, "WINDOWS-1252") || sameName(charset, "CP1252"))
        return fromWindows1252(octets);
    QStringDecoder decoder(QByteArray(charset.data(), charset.size()).constData());
    if (decoder.isValid()) {
        QString text = decoder.decode(octets);
        if (!decoder.hasError())
            return text;
    }
    if (isValidUtf8(octets))
        return fromUtf8Kept(octets);
    return fromWindows1252(octets);
}

} // namespace vcard
