// The header encoder on any text: the result is one header line's worth of folded text,
// encoded words of at most 75 characters that each hold whole UTF-8 characters, and it reads
// back to the text with its control characters turned to blanks.

#include "fuzz/fuzzcheck.h"
#include "mail/headerencoding.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray encoded = mail::encodeUnstructured(text, 9);
    const QString expected = mail::singleLine(text);
    const QList<QByteArray> lines = encoded.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i].size() <= 998);
        if (i + 1 < lines.size())
            FUZZ_CHECK(lines[i].endsWith('\r'));
        if (i > 0)
            FUZZ_CHECK(lines[i].startsWith(' '));
        FUZZ_CHECK(!lines[i].chopped(i + 1 < lines.size() ? 1 : 0).contains('\r'));
    }
    if (!encoded.startsWith("=?UTF-8?B?")) {
        FUZZ_CHECK(QString::fromLatin1(QByteArray(encoded).replace("\r\n", "")) == expected);
        return 0;
    }
    QByteArray decoded;
    for (const QByteArray &folded : encoded.split('\n')) {
        const QByteArray word = folded.trimmed();
        FUZZ_CHECK(word.size() <= 75 && word.startsWith("=?UTF-8?B?") && word.endsWith("?="));
        const QByteArray octets = QByteArray::fromBase64(word.mid(10, word.size() - 12));
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8(octets));
        FUZZ_CHECK(!utf8.hasError());
        decoded += octets;
    }
    FUZZ_CHECK(QString::fromUtf8(decoded) == (expected.isEmpty() ? QString() : expected));
    return 0;
}
