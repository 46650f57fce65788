#include "common/textfunctions.h"

QString RaddoppiaApici(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\'')
            result += QStringLiteral("''");
        else
            result += c;
    }
    return result;
}

QString PreparaRicerca(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c == u'\'')
            result += QStringLiteral("''");
        else if (c == u'*')
            result += u'%';
        else
            result += c;
    }
    return result;
}

QString EstraiCampo(QStringView text, int number, QChar separator)
{
    if (text.isEmpty() || number < 1)
        return {};
    qsizetype start = 0;
    for (int field = 1; start <= text.size(); ++field) {
        qsizetype end = text.indexOf(separator, start);
        if (end < 0) {
            // The text does not end with the separator: the rest is the last field.
            if (start == text.size())
                return {};
            end = text.size();
        }
        if (field == number)
            return text.mid(start, end - start).toString();
        start = end + 1;
    }
    return {};
}

int ContaCampi(QStringView text, QChar separator)
{
    if (text.isEmpty())
        return 0;
    const int separators = int(text.count(separator));
    return text.endsWith(separator) ? separators : separators + 1;
}

QString EstensioneFile(QStringView fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot + 1).toString();
}

QString ConvertiMemo(const QVariant &memo)
{
    return memo.isValid() ? memo.toString().left(100) : QString();
}

QString nomeFileDa(QStringView text, const QString &fallback)
{
    QString name;
    for (const QChar c : text) {
        if (c.isPrint() && !QStringView(u"/\\:*?\"<>|").contains(c))
            name += c;
    }
    name = name.simplified();
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return name.isEmpty() ? fallback : name;
}

namespace {

// 0x80-0x9F of Windows-1252; the five unassigned bytes stay the C1 controls they are in
// ISO-8859-1.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar(kWindows1252High[c.unicode() - 0x80]);
    }
    return text;
}
