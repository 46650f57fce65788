#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>

namespace agenda {

// The office's time zone as a calendar file describes it, over the years the exported times fall
// in: for each run of consecutive years, the offset in force from the day before it begins and
// every change the zone's rules make until the day after it ends. Times of the archive are
// wall-clock times without a zone; this says which moment each of them names.
class IcalZone
{
public:
    enum class Form
    {
        Zoned,    // wall-clock times with TZID, described by the VTIMEZONE component
        Utc,      // the zone is UTC all along: times are written in UTC
        Floating, // the zone is unknown: times are written as they are, without a zone
    };

    // How a wall-clock time falls in the zone.
    enum class WallTime
    {
        Regular,
        Skipped,  // in the hour the clocks jump over
        Repeated, // in the hour the clocks go through twice
    };

    struct Moment
    {
        qint64 utcSeconds = 0;
        WallTime kind = WallTime::Regular;
    };

    // `zone` over `years` (ascending, each from 1 to 9999); an invalid zone gives floating
    // times.
    static IcalZone of(const QTimeZone &zone, const QList<int> &years);
    static IcalZone utc();

    Form form() const { return m_form; }
    // The TZID; empty unless Zoned.
    QString id() const { return m_id; }
    // The VTIMEZONE component's lines, unfolded; none unless Zoned.
    QStringList vtimezone() const;

    // The moment a wall-clock time of those years names, the time given as seconds since 1970
    // as if it were UTC. A time the clocks skip or repeat is read with the offset before the
    // change, so a repeated one is its first occurrence, as a reader of a zoned time reads it.
    Moment resolve(qint64 wallSeconds) const;

private:
    struct Change
    {
        qint64 utc;
        int before;
        int after;
        bool daylight;
        QString name;
    };

    Form m_form = Form::Floating;
    QString m_id;
    // In time order. Each run of years starts with the observance in force, as a change from
    // its own offset to itself.
    QList<Change> m_changes;
};

} // namespace agenda
