#include "db/sql/scripttext.h"

#include <QStringDecoder>

namespace db {

namespace {

// The length of the well-formed UTF-8 sequence at bytes[i], or 0 when there is none: no
// overlong forms, no surrogates, nothing beyond U+10FFFF.
qsizetype sequenceLength(const QByteArray &bytes, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    unsigned char low = 0x80; // the range of the second byte, narrower for some leads
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = i + 2; k < i + length; ++k) {
        if (at(k) < 0x80 || at(k) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

Result<QString> scriptText(const QByteArray &bytes)
{
    int line = 1;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = sequenceLength(bytes, i);
        if (length == 0)
            return Error{QStringLiteral("il testo non è in UTF-8 alla riga %1; va salvato con "
                                        "la codifica UTF-8.")
                             .arg(line)};
        if (bytes[i] == '\n')
            ++line;
        i += length;
    }
    // One byte-order mark is dropped; a second one is text, as any other character, so the
    // decoder must not drop it too.
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    QStringDecoder utf8(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return QString(utf8(bom ? bytes.mid(3) : bytes));
}

} // namespace db
