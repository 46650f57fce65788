#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>
#include <QUuid>

namespace agenda {

// What the export reads of one appointment.
struct Appointment
{
    qint64 id = -1; // the row's key; -1 when it has none
    QDateTime data; // a wall-clock time of the archive; invalid when the row has no date
    QString personale;
    QString tipologia;
    QString cliente;
    QString note;
    QDateTime avviso;      // the reminder's day (DataAvviso); invalid when there is none
    bool conclusa = false; // done: no reminder any more
    QString uid = {};      // when set, the event's UID instead of the one the archive gives it
};

struct IcalSettings
{
    QTimeZone zone;   // the office's
    QDateTime moment; // when the export runs: local, UTC or with an offset
    QUuid archive;    // the archive's identifier
};

// The calendar file and what went into it.
struct IcalExport
{
    QByteArray text; // UTF-8 without byte-order mark, CRLF line ends
    int events = 0;
    int undated = 0; // appointments left out for want of a date the file can hold
};

// The event's title: the parts present of personale, type, contact and notes, in this order,
// joined by " - ", " / " and " : " as each part's own separator ("Anna - Telefonata / Rossi :
// Richiamare", "Rossi : Richiamare"); "Appuntamento" when none is.
QString composeSummary(const QString &personale, const QString &tipologia, const QString &cliente,
                       const QString &note);

// When the reminder rings, in UTC: its day at the start of the office's day (9:00 in `zone`), or
// the appointment's own time when that comes first. Invalid when there is no reminder, or the
// appointment is done.
QDateTime reminderMoment(const Appointment &appointment, const QTimeZone &zone);

// The same for every export of the same appointment, different between two archives.
QString eventUid(const QUuid &archive, const Appointment &appointment);

// One event per appointment, in the order given, and the VTIMEZONE of the years their times
// fall in when any of them has a time.
IcalExport composeCalendar(const QList<Appointment> &appointments, const IcalSettings &settings);

} // namespace agenda
