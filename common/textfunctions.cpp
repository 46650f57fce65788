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
