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

constexpr qint64 kDay = 24 * 3600;

qint64 midnightSeconds(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC).toSecsSinceEpoch();
}

// The zone's changes in [from, to), asked one calendar year at a time: asked over a longer span,
// Qt 6.4 stops at the last change its zone file lists (2037) instead of going on by the zone's
// rule.
QTimeZone::OffsetDataList changesBetween(const QTimeZone &zone, qint64 from, qint64 to)
{
    QTimeZone::OffsetDataList changes;
    for (qint64 start = from; start < to;) {
        const int year = utcAt(start).date().year();
        const qint64 end = std::min(to, midnightSeconds(year + 1, 1, 1));
        for (const QTimeZone::OffsetData &change : zone.transitions(utcAt(start), utcAt(end))) {
            const qint64 at = change.atUtc.toSecsSinceEpoch();
            if (at >= start && at < end)
                changes.append(change);
        }
        start = end;
    }
    return changes;
}

} // namespace

IcalZone IcalZone::utc()
{
    IcalZone zone;
    zone.m_form = Form::Utc;
    return zone;
}

IcalZone IcalZone::of(const QTimeZone &zone, const QList<int> &years)
{
    if (!zone.isValid() || years.isEmpty())
        return {};
    IcalZone z;
    bool utcAllAlong = true; // no offset but zero, no change: the zone is UTC in those years
    for (qsizetype i = 0; i < years.size();) {
        qsizetype last = i;
        while (last + 1 < years.size() && years[last + 1] <= years[last] + 1)
            ++last;
        // A day either side, so that every wall-clock time of the run falls inside whatever the
        // offset; but, in UTC, not before year 1, which some readers cannot hold even when they
        // round the offset up to the minute.
        const qint64 firstMoment = midnightSeconds(1, 1, 1);
        qint64 startWall = std::max(midnightSeconds(years[i], 1, 1) - kDay, firstMoment);
        const int offset = zone.offsetFromUtc(utcAt(startWall));
        startWall = std::max(startWall, firstMoment + (std::max(offset, 0) + 59) / 60 * 60);
        const qint64 start = startWall - offset;
        const qint64 end = midnightSeconds(years[last] + 1, 1, 1) + kDay;
        z.m_changes.append({start, offset, offset, zone.isDaylightTime(utcAt(start)),
                            zone.abbreviation(utcAt(start))});
        utcAllAlong = utcAllAlong && offset == 0;
        int before = offset;
        for (const QTimeZone::OffsetData &change : changesBetween(zone, start + 1, end)) {
            z.m_changes.append({change.atUtc.toSecsSinceEpoch(), before, change.offsetFromUtc,
                                change.daylightTimeOffset != 0, change.abbreviation});
            before = change.offsetFromUtc;
            utcAllAlong = false;
        }
        i = last + 1;
    }
    if (utcAllAlong)
        return utc();
    z.m_form = Form::Zoned;
    z.m_id = QString::fromUtf8(zone.id());
    if (z.m_id.isEmpty())
        z.m_id = QStringLiteral("Ora locale");
    return z;
}

QStringList IcalZone::vtimezone() const
{
    if (m_form != Form::Zoned)
        return {};
    QStringList lines{QStringLiteral("BEGIN:VTIMEZONE"),
                      QStringLiteral("TZID:") + escapeIcalText(m_id)};
    // One observance per change: exact for whatever rules the zone had in those years. Its
    // onset is the wall-clock time before the change. Between two runs of years the file
    // describes nothing, as no time of the file falls there.
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
    if (next == m_changes.cbegin()) // before the years described: not asked for
        return {wallSeconds - m_changes.value(0).after, WallTime::Regular};
    const Change &c = *std::prev(next);
    if (wallSeconds < c.utc + std::max(c.before, c.after))
        return {wallSeconds - c.before,
                c.after > c.before ? WallTime::Skipped : WallTime::Repeated};
    return {wallSeconds - c.after, WallTime::Regular};
}

} // namespace agenda
