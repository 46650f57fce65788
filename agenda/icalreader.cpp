#include "agenda/icalreader.h"

#include "agenda/icaldatetime.h"
#include "db/core/datetimes.h"

#include <QList>
#include <QStringDecoder>

#include <optional>
#include <utility>
#include <vector>

namespace agenda {

namespace {

// Components nested deeper than this end the reading: no calendar a phone writes comes close,
// and the search for the component an END closes stays short.
constexpr qsizetype kMaxDepth = 32;

constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// A line is UTF-8 when it decodes without error; otherwise it is windows-1252, the charset of
// older phones and desktop programs in Italy.
QString decodeLine(QByteArrayView octets)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(octets);
    if (!utf8.hasError())
        return text;
    text = QString::fromLatin1(octets);
    for (QChar &c : text) {
        if (c.unicode() >= 0x80 && c.unicode() <= 0x9F)
            c = QChar(kWindows1252High[c.unicode() - 0x80]);
    }
    return text;
}

struct Property
{
    QString name; // upper case
    // Names upper case, values unquoted; the values of a list joined with commas.
    QList<std::pair<QString, QString>> parameters;
    QString value;

    QString parameter(QLatin1String wanted) const
    {
        for (const auto &[key, text] : parameters) {
            if (key == wanted)
                return text;
        }
        return {};
    }
};

// NAME *(;PARAM=VALUE[,VALUE]) : VALUE, a parameter value quoted when it holds ; : or ,.
// Nothing for a line without a name or without the colon.
std::optional<Property> parseContentLine(QStringView line)
{
    const qsizetype n = line.size();
    qsizetype i = 0;
    while (i < n && line[i] != u';' && line[i] != u':')
        ++i;
    Property p;
    p.name = line.first(i).trimmed().toString().toUpper();
    if (p.name.isEmpty())
        return std::nullopt;
    while (i < n && line[i] == u';') {
        const qsizetype nameStart = ++i;
        while (i < n && line[i] != u'=' && line[i] != u';' && line[i] != u':')
            ++i;
        QString name = line.sliced(nameStart, i - nameStart).trimmed().toString().toUpper();
        QString value;
        if (i < n && line[i] == u'=') {
            ++i;
            while (true) {
                if (i < n && line[i] == u'"') {
                    const qsizetype close = line.indexOf(u'"', i + 1);
                    if (close < 0)
                        return std::nullopt;
                    value += line.sliced(i + 1, close - i - 1);
                    i = close + 1;
                }
                // Whatever follows a quoted value up to the next separator belongs to it too.
                const qsizetype start = i;
                while (i < n && line[i] != u',' && line[i] != u';' && line[i] != u':')
                    ++i;
                value += line.sliced(start, i - start);
                if (i == n || line[i] != u',')
                    break;
                value += u',';
                ++i;
            }
        }
        p.parameters.append({std::move(name), std::move(value)});
    }
    if (i >= n || line[i] != u':')
        return std::nullopt;
    p.value = line.sliced(i + 1).toString();
    return p;
}

struct Component
{
    QString name; // upper case
    QList<Property> properties;
    QList<qsizetype> children; // indexes in the list of all components

    const Property *property(QLatin1String wanted) const
    {
        for (const Property &p : properties) {
            if (p.name == wanted)
                return &p;
        }
        return nullptr;
    }
};

// The components of the file in order of their BEGIN, in a flat list so that no nesting, however
// deep, is followed by recursion. An END without its BEGIN is ignored; a component left open
// ends with the file.
class ComponentReader
{
public:
    std::vector<Component> components;
    QList<qsizetype> roots;

    void read(QByteArrayView text)
    {
        if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        // Physical lines end at CRLF, LF or CR; a line that starts with a space or a tab
        // continues the one before. Octets are joined before decoding, so a fold inside a UTF-8
        // sequence does no harm.
        QByteArray logical;
        const qsizetype n = text.size();
        qsizetype i = 0;
        while (i < n && !m_stopped) {
            qsizetype end = i;
            while (end < n && text[end] != '\r' && text[end] != '\n')
                ++end;
            const QByteArrayView line = text.sliced(i, end - i);
            i = end + (end + 1 < n && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
            if (line.isEmpty())
                continue;
            if (line[0] == ' ' || line[0] == '\t') {
                logical.append(line.sliced(1));
                continue;
            }
            take(logical);
            logical = line.toByteArray();
        }
        take(logical);
    }

private:
    QList<qsizetype> m_open;
    bool m_stopped = false;

    void take(const QByteArray &octets)
    {
        if (octets.isEmpty() || m_stopped)
            return;
        std::optional<Property> p = parseContentLine(decodeLine(octets));
        if (!p)
            return;
        if (p->name == QLatin1String("BEGIN")) {
            if (m_open.size() >= kMaxDepth) {
                m_stopped = true;
                return;
            }
            const qsizetype index = qsizetype(components.size());
            components.push_back(Component{p->value.trimmed().toUpper(), {}, {}});
            if (m_open.isEmpty())
                roots.append(index);
            else
                components[size_t(m_open.last())].children.append(index);
            m_open.append(index);
        } else if (p->name == QLatin1String("END")) {
            const QString name = p->value.trimmed().toUpper();
            for (qsizetype k = m_open.size() - 1; k >= 0; --k) {
                if (components[size_t(m_open[k])].name == name) {
                    m_open.resize(k);
                    break;
                }
            }
        } else if (!m_open.isEmpty()) {
            components[size_t(m_open.last())].properties.append(std::move(*p));
        }
    }
};

// A TEXT value: \n and \N are a line break, \\ \; \, the character. A backslash before any other
// character is kept as written.
QString unescapeText(QStringView value)
{
    if (!value.contains(u'\\'))
        return value.toString();
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out.append(c);
            continue;
        }
        const QChar next = value[i + 1];
        if (next == u'n' || next == u'N') {
            out.append(u'\n');
            ++i;
        } else if (next == u'\\' || next == u';' || next == u',') {
            out.append(next);
            ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

QString textOf(const Component &c, QLatin1String name)
{
    const Property *p = c.property(name);
    return p ? unescapeText(p->value) : QString();
}

// Digits only, at most nine of them.
std::optional<int> number(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

// A DATE (yyyyMMdd) or a DATE-TIME (yyyyMMddThhmmss, with Z when in UTC), by the value's shape
// whatever VALUE says. A leap second is read as the second before it.
struct IcalTime
{
    QDate date;
    QTime time;
    bool hasTime = false;
    bool utc = false;
};

std::optional<IcalTime> parseIcalTime(QStringView value)
{
    value = value.trimmed();
    IcalTime t;
    if (value.size() == 16 && (value[15] == u'Z' || value[15] == u'z')) {
        t.utc = true;
        value.chop(1);
    }
    if (value.size() != 8 && !(value.size() == 15 && (value[8] == u'T' || value[8] == u't')))
        return std::nullopt;
    const auto y = number(value.sliced(0, 4)), mo = number(value.sliced(4, 2)),
               d = number(value.sliced(6, 2));
    if (!y || !mo || !d || !isIcalYear(*y))
        return std::nullopt;
    t.date = QDate(*y, *mo, *d);
    if (!t.date.isValid())
        return std::nullopt;
    if (value.size() == 8)
        return t.utc ? std::nullopt : std::optional<IcalTime>(t);
    const auto h = number(value.sliced(9, 2)), mi = number(value.sliced(11, 2)),
               s = number(value.sliced(13, 2));
    if (!h || !mi || !s || *s > 60)
        return std::nullopt;
    t.time = QTime(*h, *mi, std::min(*s, 59));
    if (!t.time.isValid())
        return std::nullopt;
    t.hasTime = true;
    return t;
}

// A wall-clock time of `zone`. One the clocks skip is read with the offset in force before the
// change, as the program's writer reads it.
QDateTime atWallClock(QDate date, QTime time, const QTimeZone &zone)
{
    const QDateTime zoned(date, time, zone);
    if (zoned.isValid() && zoned.date() == date && zoned.time() == time)
        return zoned;
    const QDateTime asUtc(date, time, Qt::UTC);
    const int before = zone.offsetFromUtc(asUtc.addDays(-1));
    return asUtc.addSecs(-before).toTimeZone(zone);
}

// ±hhmm or ±hhmmss, within the fourteen hours a zone can be away from UTC.
std::optional<int> parseUtcOffset(QStringView value)
{
    value = value.trimmed();
    if ((value.size() != 5 && value.size() != 7) || (value[0] != u'+' && value[0] != u'-'))
        return std::nullopt;
    const auto h = number(value.sliced(1, 2)), m = number(value.sliced(3, 2));
    const auto s = value.size() == 7 ? number(value.sliced(5, 2)) : std::optional<int>(0);
    if (!h || !m || !s || *m > 59 || *s > 59)
        return std::nullopt;
    const int seconds = *h * 3600 + *m * 60 + *s;
    if (seconds > 14 * 3600)
        return std::nullopt;
    return value[0] == u'-' ? -seconds : seconds;
}

// What of a yearly rule places a change of offset: its month, and its weekday with
// the week it falls in (2SU, the second Sunday; -1SU, the last), or else the day of DTSTART.
struct YearlyRule
{
    int month = 0;
    int week = 0;    // 0: the day of the month of DTSTART
    int weekday = 0; // Qt's: Monday 1 to Sunday 7
    QDateTime until; // in UTC; invalid when the rule has no end
};

std::optional<YearlyRule> parseYearlyRule(QStringView rule)
{
    static const QLatin1String kDays[] = {
        QLatin1String("MO"), QLatin1String("TU"), QLatin1String("WE"), QLatin1String("TH"),
        QLatin1String("FR"), QLatin1String("SA"), QLatin1String("SU")};
    YearlyRule r;
    bool yearly = false;
    for (QStringView item : rule.split(u';')) {
        const qsizetype eq = item.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString key = item.first(eq).trimmed().toString().toUpper();
        const QStringView value = item.sliced(eq + 1).trimmed();
        if (key == QLatin1String("FREQ")) {
            yearly = value.compare(QLatin1String("YEARLY"), Qt::CaseInsensitive) == 0;
        } else if (key == QLatin1String("BYMONTH")) {
            const auto m = number(value);
            if (!m || *m < 1 || *m > 12)
                return std::nullopt;
            r.month = *m;
        } else if (key == QLatin1String("BYDAY")) {
            if (value.size() < 3 || value.size() > 4)
                return std::nullopt;
            const QStringView day = value.last(2);
            for (int d = 0; d < 7; ++d) {
                if (day.compare(kDays[d], Qt::CaseInsensitive) == 0)
                    r.weekday = d + 1;
            }
            const QStringView ordinal = value.first(value.size() - 2);
            const bool negative = ordinal.startsWith(u'-');
            const auto week =
                number(negative || ordinal.startsWith(u'+') ? ordinal.sliced(1) : ordinal);
            if (r.weekday == 0 || !week || *week < 1 || *week > 5)
                return std::nullopt;
            r.week = negative ? -*week : *week;
        } else if (key == QLatin1String("UNTIL")) {
            const auto until = parseIcalTime(value);
            if (!until)
                return std::nullopt;
            r.until =
                QDateTime(until->date, until->hasTime ? until->time : QTime(23, 59, 59), Qt::UTC);
        } else if (key != QLatin1String("WKST") && key != QLatin1String("INTERVAL")) {
            return std::nullopt; // a rule this reading does not place
        }
    }
    if (!yearly || r.month == 0)
        return std::nullopt;
    return r;
}

// The `week`th `weekday` of the month (from its end when negative); invalid when the month has
// no such day.
QDate weekdayOfMonth(int year, int month, int week, int weekday)
{
    if (week > 0) {
        const QDate first(year, month, 1);
        const QDate day = first.addDays((weekday - first.dayOfWeek() + 7) % 7 + (week - 1) * 7);
        return day.month() == month ? day : QDate();
    }
    const QDate last = QDate(year, month, 1).addMonths(1).addDays(-1);
    const QDate day = last.addDays(-((last.dayOfWeek() - weekday + 7) % 7) + (week + 1) * 7);
    return day.month() == month ? day : QDate();
}

// One STANDARD or DAYLIGHT block: from DTSTART, and each year its rule names, the offset is
// TZOFFSETTO.
struct Observance
{
    QDateTime start; // wall clock, marked as UTC
    int from = 0;
    int to = 0;
    std::optional<YearlyRule> rule;

    // The latest change of this block at or before `wall`; invalid when there is none.
    QDateTime latestChange(const QDateTime &wall) const
    {
        if (start > wall)
            return {};
        if (!rule)
            return start;
        // UNTIL is in UTC; the changes are wall-clock times of the offset they change from.
        QDateTime limit = wall;
        if (rule->until.isValid() && rule->until.addSecs(from) < limit)
            limit = rule->until.addSecs(from);
        for (int year = limit.date().year(); year >= limit.date().year() - 1; --year) {
            const QDate day = rule->week == 0
                                  ? QDate(year, rule->month, start.date().day())
                                  : weekdayOfMonth(year, rule->month, rule->week, rule->weekday);
            const QDateTime change(day, start.time(), Qt::UTC);
            if (day.isValid() && change <= limit && change >= start)
                return change;
        }
        return start;
    }
};

// The offset a file's own VTIMEZONE gives to a wall-clock time: that of the latest change at or
// before it, each block's changes placed by a yearly rule of one month and one weekday (the
// form every zone's description takes) or, for any other rule, by its DTSTART alone; before
// every change, the offset the earliest one changes from. RDATE is not read.
std::optional<int> offsetFromVTimezone(const Component &vtimezone,
                                       const std::vector<Component> &all, const QDateTime &wall)
{
    std::optional<Observance> latest, earliest;
    QDateTime latestChange;
    for (qsizetype index : vtimezone.children) {
        const Component &block = all[size_t(index)];
        if (block.name != QLatin1String("STANDARD") && block.name != QLatin1String("DAYLIGHT"))
            continue;
        const Property *start = block.property(QLatin1String("DTSTART"));
        const Property *from = block.property(QLatin1String("TZOFFSETFROM"));
        const Property *to = block.property(QLatin1String("TZOFFSETTO"));
        const auto startTime = start ? parseIcalTime(start->value) : std::nullopt;
        const auto fromOffset = from ? parseUtcOffset(from->value) : std::nullopt;
        const auto toOffset = to ? parseUtcOffset(to->value) : std::nullopt;
        if (!startTime || !toOffset)
            continue;
        Observance o;
        o.start = QDateTime(startTime->date,
                            startTime->time.isValid() ? startTime->time : QTime(0, 0), Qt::UTC);
        o.to = *toOffset;
        o.from = fromOffset.value_or(*toOffset);
        if (const Property *rule = block.property(QLatin1String("RRULE")))
            o.rule = parseYearlyRule(rule->value);
        if (!earliest || o.start < earliest->start)
            earliest = o;
        const QDateTime change = o.latestChange(wall);
        if (change.isValid() && (!latest || change > latestChange)) {
            latest = o;
            latestChange = change;
        }
    }
    if (latest)
        return latest->to;
    if (earliest)
        return earliest->from;
    return std::nullopt;
}

// The last segment or segments of a TZID that look like a zone's name: letters first, then letters,
// digits, _ + -, at most three segments ("America/Argentina/Buenos_Aires").
QList<QByteArray> zoneNameCandidates(QStringView tzid)
{
    QList<QByteArray> candidates;
    const QList<QStringView> segments = tzid.trimmed().split(u'/');
    const auto looksLikeName = [](QStringView segment) {
        if (segment.isEmpty() || segment.size() > 32 || !segment[0].isLetter() ||
            segment[0].unicode() > 0x7f)
            return false;
        for (QChar c : segment) {
            const char16_t u = c.unicode();
            const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                            (u >= u'0' && u <= u'9') || u == u'_' || u == u'+' || u == u'-';
            if (!ok)
                return false;
        }
        return true;
    };
    QString name;
    for (qsizetype k = segments.size() - 1; k >= 0 && k >= segments.size() - 3; --k) {
        if (!looksLikeName(segments[k]))
            break;
        name.prepend(name.isEmpty() ? segments[k].toString() : segments[k].toString() + u'/');
        candidates.prepend(name.toLatin1());
    }
    return candidates;
}

class EventReader
{
public:
    EventReader(const ComponentReader &file, qsizetype calendar, const QTimeZone &office)
        : m_file(file), m_calendar(calendar), m_office(office)
    {
    }

    // A time as the file gives it, and the moment it names.
    struct Time
    {
        IcalTime given;
        bool office = false; // a whole day, floating, or a zone not found: the office's clock
        QDateTime moment;    // in the zone it was read in, for adding days on its clock
    };

    std::optional<Time> readTime(const Property &p) const
    {
        const auto given = parseIcalTime(p.value);
        if (!given)
            return std::nullopt;
        Time t{*given, false, {}};
        if (!given->hasTime) {
            t.office = true;
            t.moment = atWallClock(given->date, QTime(0, 0), m_office);
        } else if (given->utc) {
            t.moment = QDateTime(given->date, given->time, Qt::UTC);
        } else if (const QString tzid = p.parameter(QLatin1String("TZID")); !tzid.isEmpty()) {
            t.moment = zonedMoment(tzid, given->date, given->time);
        }
        if (!t.moment.isValid()) {
            t.office = true;
            t.moment = atWallClock(given->date, given->time, m_office);
        }
        if (!t.moment.isValid())
            return std::nullopt;
        return t;
    }

    // The wall-clock time of the office's zone, as the archive keeps it.
    QDateTime officeWallClock(const Time &t) const
    {
        if (t.office)
            return db::naiveDateTime(t.given.date, t.given.hasTime ? t.given.time : QTime(0, 0));
        const QDateTime wall = t.moment.toTimeZone(m_office);
        return db::naiveDateTime(wall.date(), wall.time());
    }

    // The first VALARM's trigger as a moment in UTC; invalid when it cannot be read.
    QDateTime alarmOf(const Component &event, const Time &start) const
    {
        for (qsizetype index : event.children) {
            const Component &alarm = m_file.components[size_t(index)];
            const Property *trigger = alarm.property(QLatin1String("TRIGGER"));
            if (alarm.name != QLatin1String("VALARM") || !trigger)
                continue;
            const QDateTime moment = triggerMoment(event, start, *trigger);
            return moment.isValid() ? moment.toUTC() : QDateTime();
        }
        return {};
    }

private:
    const ComponentReader &m_file;
    qsizetype m_calendar;
    QTimeZone m_office;

    // A TZID is read as the zone it names, or the last segments of it that name one (writers put
    // a prefix of their own before the name); failing that, by the file's VTIMEZONE of that
    // TZID; failing that, as a Windows zone name. Invalid when none of them is known: the time
    // is then read as the office's.
    QDateTime zonedMoment(const QString &tzid, QDate date, QTime time) const
    {
        for (const QByteArray &name : zoneNameCandidates(tzid)) {
            // A name without a file of its own is read by Qt as a POSIX rule: a plain word
            // ("Ufficio") as UTC. Only a name with a slash, which no such rule holds, or one Qt
            // lists, is a zone.
            if (!name.contains('/') && !QTimeZone::isTimeZoneIdAvailable(name))
                continue;
            const QTimeZone zone(name);
            if (zone.isValid())
                return atWallClock(date, time, zone);
        }
        for (qsizetype index : m_file.components[size_t(m_calendar)].children) {
            const Component &c = m_file.components[size_t(index)];
            const Property *id = c.property(QLatin1String("TZID"));
            if (c.name != QLatin1String("VTIMEZONE") || !id ||
                id->value.trimmed().compare(tzid.trimmed(), Qt::CaseInsensitive) != 0)
                continue;
            const auto offset =
                offsetFromVTimezone(c, m_file.components, QDateTime(date, time, Qt::UTC));
            if (offset)
                return QDateTime(date, time, QTimeZone(*offset));
            break;
        }
        if (tzid.size() <= 64) {
            const QByteArray iana = QTimeZone::windowsIdToDefaultIanaId(tzid.trimmed().toLatin1());
            const QTimeZone zone = iana.isEmpty() ? QTimeZone() : QTimeZone(iana);
            if (zone.isValid())
                return atWallClock(date, time, zone);
        }
        return {};
    }

    // The end a trigger RELATED=END counts from: DTEND, or else DTSTART plus DURATION, or else
    // the start itself.
    QDateTime endOf(const Component &event, const Time &start) const
    {
        if (const Property *end = event.property(QLatin1String("DTEND"))) {
            if (const auto t = readTime(*end))
                return t->moment;
        }
        if (const Property *duration = event.property(QLatin1String("DURATION"))) {
            const QDateTime end = afterDuration(start.moment, duration->value);
            if (end.isValid())
                return end;
        }
        return start.moment;
    }

    QDateTime triggerMoment(const Component &event, const Time &start,
                            const Property &trigger) const
    {
        const QString value = trigger.value.trimmed();
        const bool relative = value.startsWith(u'P', Qt::CaseInsensitive) ||
                              value.startsWith(u'-') || value.startsWith(u'+');
        if (!relative) {
            const auto t = readTime(trigger);
            return t ? t->moment : QDateTime();
        }
        const bool fromEnd = trigger.parameter(QLatin1String("RELATED"))
                                 .trimmed()
                                 .compare(QLatin1String("END"), Qt::CaseInsensitive) == 0;
        return afterDuration(fromEnd ? endOf(event, start) : start.moment, value);
    }

    // `base` moved by a duration: [+-]P, then weeks (W) and days (D), then T with hours (H),
    // minutes (M) and seconds (S). Days are the clock's days of the zone `base` is in.
    static QDateTime afterDuration(const QDateTime &base, QStringView duration)
    {
        duration = duration.trimmed();
        qint64 sign = 1;
        if (duration.startsWith(u'-') || duration.startsWith(u'+')) {
            sign = duration.startsWith(u'-') ? -1 : 1;
            duration = duration.sliced(1);
        }
        if (!duration.startsWith(u'P', Qt::CaseInsensitive))
            return {};
        qint64 days = 0;
        qint64 seconds = 0;
        bool inTime = false;
        bool any = false;
        qsizetype i = 1;
        while (i < duration.size()) {
            const QChar c = duration[i].toUpper();
            if (c == u'T' && !inTime) {
                inTime = true;
                ++i;
                continue;
            }
            const qsizetype start = i;
            while (i < duration.size() && duration[i] >= u'0' && duration[i] <= u'9')
                ++i;
            const auto n = number(duration.sliced(start, i - start));
            if (!n || i == duration.size())
                return {};
            const QChar unit = duration[i++].toUpper();
            if (!inTime && unit == u'W')
                days += qint64(*n) * 7;
            else if (!inTime && unit == u'D')
                days += *n;
            else if (inTime && unit == u'H')
                seconds += qint64(*n) * 3600;
            else if (inTime && unit == u'M')
                seconds += qint64(*n) * 60;
            else if (inTime && unit == u'S')
                seconds += *n;
            else
                return {};
            any = true;
        }
        if (!any)
            return {};
        return base.addDays(sign * days).addSecs(sign * seconds);
    }
};

} // namespace

db::Result<PhoneEvent> readPhoneEvent(QByteArrayView text, const QTimeZone &zone)
{
    ComponentReader file;
    file.read(text);

    // The first event of the calendars in the file; for a recurring one, the series rather than
    // one of its exceptions (RECURRENCE-ID) that come with it.
    qsizetype calendar = -1;
    const Component *event = nullptr;
    bool exception = false;
    QString uid;
    for (qsizetype root : file.roots) {
        if (file.components[size_t(root)].name != QLatin1String("VCALENDAR"))
            continue;
        if (calendar < 0)
            calendar = root;
        for (qsizetype index : file.components[size_t(root)].children) {
            const Component &c = file.components[size_t(index)];
            if (c.name != QLatin1String("VEVENT"))
                continue;
            const bool isException = c.property(QLatin1String("RECURRENCE-ID")) != nullptr;
            if (!event) {
                uid = textOf(c, QLatin1String("UID"));
            } else if (isException || textOf(c, QLatin1String("UID")) != uid) {
                continue;
            }
            calendar = root;
            event = &c;
            exception = isException;
            if (!exception)
                break;
        }
        if (event && !exception)
            break;
    }
    if (calendar < 0)
        return db::Error{QStringLiteral("Il file non è un calendario.")};
    if (!event)
        return db::Error{QStringLiteral("Il calendario non contiene appuntamenti.")};

    const EventReader reader(file, calendar, zone.isValid() ? zone : QTimeZone::utc());
    const Property *dtstart = event->property(QLatin1String("DTSTART"));
    if (!dtstart)
        return db::Error{QStringLiteral("L'appuntamento del calendario non ha una data d'inizio.")};
    const auto start = reader.readTime(*dtstart);
    if (!start)
        return db::Error{QStringLiteral("La data d'inizio dell'appuntamento non è leggibile: %1.")
                             .arg(dtstart->value.left(40))};

    PhoneEvent result;
    result.uid = uid;
    result.summary = textOf(*event, QLatin1String("SUMMARY"));
    result.description = textOf(*event, QLatin1String("DESCRIPTION"));
    result.wholeDay = !start->given.hasTime;
    result.start = reader.officeWallClock(*start);
    result.alarm = reader.alarmOf(*event, *start);
    return result;
}

} // namespace agenda
