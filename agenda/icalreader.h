#pragma once

#include "db/core/result.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QTimeZone>

namespace agenda {

// One event of a calendar resource as the program keeps it.
struct PhoneEvent
{
    QString uid;
    QString summary;     // escapes undone
    QString description; // escapes undone
    // The start as a wall-clock time of the office's zone, marked as UTC as the archive's
    // times are (see db/core/datetimes.h naiveDateTime): a whole day (DTSTART;VALUE=DATE) is
    // that day at 00:00; a time with TZID, in UTC (Z) or floating is converted to the office's
    // zone.
    QDateTime start;
    bool wholeDay = false;
    // The first VALARM's moment, in UTC (Qt::UTC); invalid when the event has no alarm.
    QDateTime alarm;
};

// Reads the first VEVENT of `text` (a VCALENDAR; when it holds several VEVENTs with the same UID
// — a recurring event's exceptions — the one without RECURRENCE-ID). `zone` is the office's zone.
// Anything that is not a calendar with an event with a readable DTSTART is an Italian error
// message (db::Error{...}).
db::Result<PhoneEvent> readPhoneEvent(QByteArrayView text, const QTimeZone &zone);

} // namespace agenda
