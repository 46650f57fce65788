#include "common/dates.h"

#include "db/core/datetimes.h"

#include <QList>

namespace {

db::Error notADate(QStringView text)
{
    return db::Error{QStringLiteral("Data non valida: \"%1\"").arg(text.toString())};
}

bool allDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

} // namespace

db::Result<QDateTime> LeggiDataItaliana(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 2)
        return notADate(text);
    QChar separator = u'/';
    for (QChar c : {QChar(u'/'), QChar(u'-'), QChar(u'.')}) {
        if (parts[0].contains(c)) {
            separator = c;
            break;
        }
    }
    const QList<QStringView> d = parts[0].split(separator);
    if (d.size() != 3 || !allDigits(d[0]) || !allDigits(d[1]) || !allDigits(d[2]) ||
        d[0].size() > 2 || d[1].size() > 2 || (d[2].size() != 2 && d[2].size() != 4))
        return notADate(text);
    int year = d[2].toInt();
    if (d[2].size() == 2)
        year += year < 30 ? 2000 : 1900;
    const QDate date(year, d[1].toInt(), d[0].toInt());
    if (!date.isValid())
        return notADate(text);
    QTime time(0, 0);
    if (parts.size() == 2) {
        const QList<QStringView> t = parts[1].split(parts[1].contains(u':') ? u':' : u'.');
        if (t.size() < 2 || t.size() > 3)
            return notADate(text);
        for (QStringView piece : t) {
            if (!allDigits(piece) || piece.size() > 2)
                return notADate(text);
        }
        time = QTime(t[0].toInt(), t[1].toInt(), t.size() == 3 ? t[2].toInt() : 0);
        if (!time.isValid())
            return notADate(text);
    }
    return db::naiveDateTime(date, time);
}

db::Result<QDate> LeggiCasellaData(QStringView shown)
{
    const QStringView typed = shown.trimmed();
    bool anyDigit = false;
    for (QChar c : typed)
        anyDigit = anyDigit || (c >= u'0' && c <= u'9');
    if (!anyDigit)
        return QDate();
    // The whole box: two digits of day and month, four of year.
    const bool complete = typed.size() == 10 && typed[2] == u'/' && typed[5] == u'/' &&
                          allDigits(typed.mid(0, 2)) && allDigits(typed.mid(3, 2)) &&
                          allDigits(typed.mid(6, 4));
    if (!complete)
        return notADate(typed);
    const db::Result<QDateTime> read = LeggiDataItaliana(typed);
    if (!read)
        return read.error();
    return read->date();
}

QString ScriviDataItaliana(const QDateTime &value)
{
    return db::italianDateText(value);
}

QString ScriviDataItaliana(QDate value)
{
    return value.isValid() ? value.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

db::Result<QString> DataSql(QStringView italianDate)
{
    db::Result<QDateTime> value = LeggiDataItaliana(italianDate);
    if (!value)
        return value.error();
    const QDate d = value->date();
    return QStringLiteral("%1/%2/%3").arg(d.month()).arg(d.day()).arg(d.year());
}

QString DataIso(QDate date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.year())
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

db::Result<QDate> LeggiDataIso(QStringView text)
{
    if (text.size() < 10)
        return notADate(text);
    const QStringView y = text.mid(0, 4), m = text.mid(5, 2), d = text.mid(8, 2);
    if (!allDigits(y) || !allDigits(m) || !allDigits(d))
        return notADate(text);
    const QDate date(y.toInt(), m.toInt(), d.toInt());
    if (!date.isValid())
        return notADate(text);
    return date;
}
