#include "agenda/icalzone.h"

#include "agenda/icaldatetime.h"
#include "agenda/icaltext.h"

#include <algorithm>
#include <cstdlib>

namespace agenda {

namespace {

QDateTime utcAt(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
}

// +hhmm, with seconds only when there are some (local mean times have them).
QString offsetText(int seconds)
{
    const int a = std::abs(seconds);
    QString text = QStringLiteral("%1%2%3")
                       .arg(QChar(seconds < 0 ? u'-' : u'+'))
                       .arg(a / 3600, 2, 10, QLatin1Char('0'))
                       .arg(a / 60 % 60, 2, 10, QLatin1Char('0'));
    if (a % 60 != 0)
        text += QStringLiteral("%1").arg(a % 60, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace

IcalZone IcalZone::utc()
{
    IcalZone zone;
    zone.m_form = Form::Utc;
    return zone;
}

IcalZone IcalZone::of(const QTimeZone &zone, int firstYear, int lastYear)
{
    if (!zone.isValid())
        return {};
    // A day either side, so that every wall-clock time of those years falls inside whatever
    // the offset.
    const QDateTime from = QDateTime(QDate(firstYear, 1, 1), QTime(0, 0), Qt::UTC).addDays(-1);
    const QDateTime to = QDateTime(QDate(lastYear + 1, 1, 1), QTime(0, 0), Qt::UTC).addDays(1);
    const int offset = zone.offsetFromUtc(from);
    const QTimeZone::OffsetDataList changes = zone.transitions(from, to);
    if (changes.isEmpty() && offset == 0)
        return utc();

    IcalZone z;
    z.m_form = Form::Zoned;
    z.m_id = QString::fromUtf8(zone.id());
    if (z.m_id.isEmpty())
        z.m_id = QStringLiteral("Ora locale");
    z.m_start = from.toSecsSinceEpoch();
    z.m_initial = {z.m_start, offset, offset, zone.isDaylightTime(from), zone.abbreviation(from)};
    int before = offset;
    for (const QTimeZone::OffsetData &change : changes) {
        z.m_changes.append({change.atUtc.toSecsSinceEpoch(), before, change.offsetFromUtc,
                            change.daylightTimeOffset != 0, change.abbreviation});
        before = change.offsetFromUtc;
    }
    return z;
}

QStringList IcalZone::vtimezone() const
{
    if (m_form != Form::Zoned)
        return {};
    QStringList lines{QStringLiteral("BEGIN:VTIMEZONE"),
                      QStringLiteral("TZID:") + escapeIcalText(m_id)};
    // One observance per change: exact for whatever rules the zone had in those years. Its
    // onset is the wall-clock time before the change.
    const auto observance = [&lines](const Change &c) {
        const QString kind = c.daylight ? QStringLiteral("DAYLIGHT") : QStringLiteral("STANDARD");
        const QDateTime onset = utcAt(c.utc + c.before);
        lines << QStringLiteral("BEGIN:") + kind
              << QStringLiteral("DTSTART:") + icalDateTimeText(onset.date(), onset.time())
              << QStringLiteral("TZOFFSETFROM:") + offsetText(c.before)
              << QStringLiteral("TZOFFSETTO:") + offsetText(c.after);
        if (!c.name.isEmpty())
            lines << QStringLiteral("TZNAME:") + escapeIcalText(c.name);
        lines << QStringLiteral("END:") + kind;
    };
    observance(m_initial);
    for (const Change &change : m_changes)
        observance(change);
    lines << QStringLiteral("END:VTIMEZONE");
    return lines;
}

IcalZone::Moment IcalZone::resolve(qint64 wallSeconds) const
{
    if (m_form != Form::Zoned)
        return {wallSeconds, WallTime::Regular};
    // The last change whose skipped or repeated wall-clock times begin at or before this one.
    const auto next = std::upper_bound(
        m_changes.cbegin(), m_changes.cend(), wallSeconds,
        [](qint64 wall, const Change &c) { return wall < c.utc + std::min(c.before, c.after); });
    if (next == m_changes.cbegin())
        return {wallSeconds - m_initial.after, WallTime::Regular};
    const Change &c = *std::prev(next);
    if (wallSeconds < c.utc + std::max(c.before, c.after))
        return {wallSeconds - c.before,
                c.after > c.before ? WallTime::Skipped : WallTime::Repeated};
    return {wallSeconds - c.after, WallTime::Regular};
}

} // namespace agenda
