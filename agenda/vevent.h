#pragma once

#include "agenda/icaldatetime.h"

#include <QByteArray>
#include <QString>

namespace agenda {

// The twelve properties an event may carry; an empty value leaves its line out. Texts are
// given as they are and escaped when written.
struct VEvent
{
    IcalDateValue created;
    QString description;
    IcalDateValue dtend;
    IcalDateValue dtstamp;
    IcalDateValue dtstart;
    IcalDateValue lastModified;
    QString location;
    QString priority;
    QString sequence;
    QString summary; // written with LANGUAGE=it-IT
    QString opaque;
    QString uid;
    // A reminder: VALARM with ACTION:DISPLAY, `alarmText` shown at the UTC moment `alarm`.
    // None when `alarm` is empty.
    IcalDateValue alarm;
    QString alarmText;
};

// The event block: BEGIN:VEVENT, the properties that have a value in the order CREATED,
// DESCRIPTION, DTEND, DTSTAMP, DTSTART, LAST-MODIFIED, LOCATION, PRIORITY, SEQUENCE, SUMMARY,
// OPAQUE, UID, six fixed X- lines, the reminder's VALARM block and END:VEVENT, one line each
// whatever the values hold: CRLF line ends, folded at 75 octets.
void appendVEvent(QByteArray &out, const VEvent &event);
QByteArray ComponiVEvent(const VEvent &event);

// The fixed X- lines of every event.
inline constexpr int kVEventExtraLines = 6;

} // namespace agenda
