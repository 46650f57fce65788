#include "agenda/icaldatetime.h"

#include "agenda/icaltext.h"

namespace agenda {

namespace {

void appendDigits(QString &out, int value, int width)
{
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(QLatin1String(digits, width));
}

QDateTime wallClockAt(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

} // namespace

bool isIcalYear(int year)
{
    return year >= 1 && year <= 9999;
}

QString icalDateText(QDate date)
{
    QString text;
    text.reserve(8);
    appendDigits(text, date.year(), 4);
    appendDigits(text, date.month(), 2);
    appendDigits(text, date.day(), 2);
    return text;
}

QString icalDateTimeText(QDate date, QTime time)
{
    QString text = icalDateText(date);
    text.reserve(15);
    text.append(u'T');
    appendDigits(text, time.hour(), 2);
    appendDigits(text, time.minute(), 2);
    appendDigits(text, time.second(), 2);
    return text;
}

IcalDateValue DataOraICal(const QDateTime &wallClock, const IcalZone &zone)
{
    const QDate date = wallClock.date();
    const QTime time = wallClock.time();
    if (!wallClock.isValid() || !isIcalYear(date.year()))
        return {};
    if (time == QTime(0, 0))
        return {QStringLiteral(";VALUE=DATE"), icalDateText(date)};
    switch (zone.form()) {
    case IcalZone::Form::Floating:
        return {{}, icalDateTimeText(date, time)};
    case IcalZone::Form::Utc:
        return {{}, icalDateTimeText(date, time) + u'Z'};
    case IcalZone::Form::Zoned:
        break;
    }
    const QDateTime wall(date, time, Qt::UTC);
    const IcalZone::Moment moment = zone.resolve(wall.toSecsSinceEpoch());
    if (moment.kind == IcalZone::WallTime::Regular)
        return {QStringLiteral(";TZID=") + icalParameterValue(zone.id()),
                icalDateTimeText(date, time)};
    return utcStampIcal(wallClockAt(moment.utcSeconds));
}

IcalDateValue IcalEndAfter(const QDateTime &wallClock, qint64 seconds, const IcalZone &zone)
{
    if (!wallClock.isValid() || !isIcalYear(wallClock.date().year()))
        return {};
    const QDateTime wall(wallClock.date(), wallClock.time(), Qt::UTC);
    const QDateTime end = wall.addSecs(seconds);
    if (!isIcalYear(end.date().year()))
        return {};
    switch (zone.form()) {
    case IcalZone::Form::Floating:
        return {{}, icalDateTimeText(end.date(), end.time())};
    case IcalZone::Form::Utc:
        return {{}, icalDateTimeText(end.date(), end.time()) + u'Z'};
    case IcalZone::Form::Zoned:
        break;
    }
    const qint64 endUtc = zone.resolve(wall.toSecsSinceEpoch()).utcSeconds + seconds;
    const IcalZone::Moment asWall = zone.resolve(end.toSecsSinceEpoch());
    if (asWall.kind == IcalZone::WallTime::Regular && asWall.utcSeconds == endUtc)
        return {QStringLiteral(";TZID=") + icalParameterValue(zone.id()),
                icalDateTimeText(end.date(), end.time())};
    return utcStampIcal(wallClockAt(endUtc));
}

IcalDateValue utcStampIcal(const QDateTime &moment)
{
    const QDateTime utc = moment.toUTC();
    if (!moment.isValid() || !isIcalYear(utc.date().year()))
        return {};
    return {{}, icalDateTimeText(utc.date(), utc.time()) + u'Z'};
}

} // namespace agenda
