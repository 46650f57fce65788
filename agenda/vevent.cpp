#include "agenda/vevent.h"

#include "agenda/icaltext.h"

namespace agenda {

namespace {

void appendDate(QByteArray &out, QLatin1String name, const IcalDateValue &date)
{
    if (!date.value.isEmpty())
        appendIcalLine(out, name + withoutControls(date.parameters) + u':' +
                                withoutControls(date.value));
}

void appendText(QByteArray &out, QLatin1String name, const QString &text)
{
    if (!text.isEmpty())
        appendIcalLine(out, name + u':' + escapeIcalText(text));
}

void appendPlain(QByteArray &out, QLatin1String name, const QString &value)
{
    if (!value.isEmpty())
        appendIcalLine(out, name + u':' + withoutControls(value));
}

} // namespace

void appendVEvent(QByteArray &out, const VEvent &e)
{
    out.append("BEGIN:VEVENT\r\n");
    appendDate(out, QLatin1String("CREATED"), e.created);
    appendText(out, QLatin1String("DESCRIPTION"), e.description);
    appendDate(out, QLatin1String("DTEND"), e.dtend);
    appendDate(out, QLatin1String("DTSTAMP"), e.dtstamp);
    appendDate(out, QLatin1String("DTSTART"), e.dtstart);
    appendDate(out, QLatin1String("LAST-MODIFIED"), e.lastModified);
    appendText(out, QLatin1String("LOCATION"), e.location);
    appendPlain(out, QLatin1String("PRIORITY"), e.priority);
    appendPlain(out, QLatin1String("SEQUENCE"), e.sequence);
    appendText(out, QLatin1String("SUMMARY;LANGUAGE=it-IT"), e.summary);
    appendPlain(out, QLatin1String("OPAQUE"), e.opaque);
    appendText(out, QLatin1String("UID"), e.uid);
    out.append("X-MICROSOFT-CDO-BUSYSTATUS:BUSY\r\n"
               "X-MICROSOFT-CDO-IMPORTANCE:1\r\n"
               "X-MICROSOFT-DISALLOW-COUNTER:FALSE\r\n"
               "X-MS-OLK-ALLOWEXTERNCHECK:TRUE\r\n"
               "X-MS-OLK-AUTOFILLLOCATION:FALSE\r\n"
               "X-MS-OLK-CONFTYPE:0\r\n");
    if (!e.alarm.value.isEmpty()) {
        out.append("BEGIN:VALARM\r\nACTION:DISPLAY\r\n");
        appendText(out, QLatin1String("DESCRIPTION"),
                   e.alarmText.isEmpty() ? QStringLiteral("Promemoria") : e.alarmText);
        appendDate(out, QLatin1String("TRIGGER"), e.alarm);
        out.append("END:VALARM\r\n");
    }
    out.append("END:VEVENT\r\n");
}

QByteArray ComponiVEvent(const VEvent &event)
{
    QByteArray out;
    appendVEvent(out, event);
    return out;
}

} // namespace agenda
