#include "agenda/calendarexport.h"

#include "agenda/icaldatetime.h"
#include "agenda/icaltext.h"
#include "agenda/vevent.h"

#include <algorithm>

namespace agenda {

namespace {

bool hasTime(const QDateTime &wallClock)
{
    return wallClock.time() != QTime(0, 0);
}

// CREATED is the start of the export day in the office's zone.
QDateTime startOfDay(const IcalSettings &settings)
{
    if (!settings.zone.isValid())
        return QDateTime(settings.moment.toUTC().date(), QTime(0, 0), Qt::UTC);
    const QDate day = settings.moment.toTimeZone(settings.zone).date();
    return QDateTime(day, QTime(0, 0), settings.zone);
}

// How long a timed appointment lasts on a phone: the archive keeps no end.
constexpr qint64 kTimedLength = 3600;
// When a reminder without a time rings: the start of an office's day.
const QTime kReminderTime(9, 0);

} // namespace

QDateTime reminderMoment(const Appointment &a, const QTimeZone &zone)
{
    if (!a.avviso.isValid() || a.conclusa || !isIcalYear(a.avviso.date().year()))
        return {};
    QDateTime wall(a.avviso.date(), kReminderTime, Qt::UTC);
    if (a.data.isValid() && hasTime(a.data) && a.data < wall)
        wall = a.data;
    const QDateTime moment = zone.isValid() ? QDateTime(wall.date(), wall.time(), zone) : wall;
    return moment.toUTC();
}

namespace {

// The reminder's moment written in UTC, as an alarm's moment must be.
IcalDateValue alarmOf(const Appointment &a, const IcalSettings &settings)
{
    const QDateTime moment = reminderMoment(a, settings.zone);
    if (!moment.isValid())
        return {};
    IcalDateValue value = utcStampIcal(moment);
    value.parameters = QStringLiteral(";VALUE=DATE-TIME");
    return value;
}

} // namespace

QString composeSummary(const QString &personale, const QString &tipologia, const QString &cliente,
                       const QString &note)
{
    // Each part followed by its separator when another part comes after it: nothing dangles
    // when a part is missing.
    const std::pair<QString, const char16_t *> parts[] = {
        {personale.trimmed(), u" - "},
        {tipologia.trimmed(), u" / "},
        {cliente.trimmed(), u" : "},
        {note.trimmed(), u""},
    };
    QString summary;
    const char16_t *separator = nullptr;
    for (const auto &[text, after] : parts) {
        if (text.isEmpty())
            continue;
        if (separator)
            summary += QStringView(separator);
        summary += text;
        separator = after;
    }
    return summary.isEmpty() ? QStringLiteral("Appuntamento") : summary;
}

QString eventUid(const QUuid &archive, const Appointment &appointment)
{
    // A row without a key (never the case for a stored one) is named by what it holds.
    const QString name =
        appointment.id >= 0
            ? QString::number(appointment.id)
            : QStringLiteral("senza-chiave:%1:%2:%3:%4:%5")
                  .arg(appointment.data.toString(Qt::ISODate), appointment.personale,
                       appointment.tipologia, appointment.cliente, appointment.note);
    return QUuid::createUuidV5(archive, name).toString(QUuid::WithoutBraces);
}

IcalExport composeCalendar(const QList<Appointment> &appointments, const IcalSettings &settings)
{
    QList<int> years;
    for (const Appointment &a : appointments) {
        const int year = a.data.date().year();
        if (a.data.isValid() && isIcalYear(year) && hasTime(a.data))
            years.append(year);
    }
    std::sort(years.begin(), years.end());
    years.erase(std::unique(years.begin(), years.end()), years.end());
    const IcalZone zone = IcalZone::of(settings.zone, years);

    IcalExport result;
    QByteArray &out = result.text;
    out.reserve(1024 + appointments.size() * 480);
    out.append("BEGIN:VCALENDAR\r\n"
               "VERSION:2.0\r\n"
               "PRODID:Calendario-Calvetra\r\n");
    for (const QString &line : zone.vtimezone())
        appendIcalLine(out, line);

    VEvent event;
    event.created = utcStampIcal(startOfDay(settings));
    event.dtstamp = utcStampIcal(settings.moment);
    for (const Appointment &a : appointments) {
        event.dtstart = DataOraICal(a.data, zone);
        if (event.dtstart.value.isEmpty()) {
            ++result.undated;
            continue;
        }
        // The archive keeps no end: a timed appointment is shown an hour long, a whole day
        // ends at the start of the next.
        event.dtend = hasTime(a.data) ? IcalEndAfter(a.data, kTimedLength, zone)
                                      : DataOraICal(a.data.addDays(1), zone);
        event.summary = composeSummary(a.personale, a.tipologia, a.cliente, a.note);
        event.alarm = alarmOf(a, settings);
        event.alarmText = event.summary;
        event.uid = a.uid.isEmpty() ? eventUid(settings.archive, a) : a.uid;
        appendVEvent(out, event);
        ++result.events;
    }
    out.append("END:VCALENDAR\r\n");
    return result;
}

} // namespace agenda
