#pragma once

#include "agenda/icalzone.h"

#include <QDateTime>
#include <QString>

namespace agenda {

// A date property's parameters (";VALUE=DATE", ";TZID=..."), and its value. An empty value
// means the property is left out.
struct IcalDateValue
{
    QString parameters;
    QString value;
};

// yyyyMMdd and yyyyMMddThhmmss, the year always with four digits (0999).
QString icalDateText(QDate date);
QString icalDateTimeText(QDate date, QTime time);

// Years a calendar file can hold.
bool isIcalYear(int year);

// An appointment's time, a wall-clock time of the archive: a day without time (midnight) is a
// whole day (VALUE=DATE); any other time is the zone's wall-clock time with its TZID, or, when
// the clocks skip or repeat it, the moment it names in UTC, which every reader places alike.
// In a zone that is UTC all along the time is written in UTC. Empty for a date a calendar
// file cannot hold.
IcalDateValue DataOraICal(const QDateTime &wallClock, const IcalZone &zone);

// The end of a timed appointment that starts at `wallClock` and lasts `seconds` of real time,
// always a date and time (midnight too, never a whole day). Where the clocks change in between,
// or the end's wall-clock time is skipped or repeated, the end is written in UTC. Empty when
// the start is.
IcalDateValue IcalEndAfter(const QDateTime &wallClock, qint64 seconds, const IcalZone &zone);

// A moment (local, UTC or with an offset) written in UTC: yyyyMMddThhmmssZ.
IcalDateValue utcStampIcal(const QDateTime &moment);

} // namespace agenda
