#pragma once

#include "agenda/calendarexport.h"
#include "db/core/connection.h"

#include <QList>

#include <optional>

namespace agenda {

struct StoredAppointment
{
    Appointment appointment;
    bool archived = false; // Storico: out of the agenda's list
};
// Every appointment, in the order of their keys, as the calendar file reads them.
db::Result<QList<StoredAppointment>> readAppointments(db::Connection &connection);
// One; none when no appointment has that key.
db::Result<std::optional<StoredAppointment>> readAppointment(db::Connection &connection, qint64 id);

// What a calendar on a phone can change of an appointment: its time, its reminder's day and its
// notes. The contact, the staff and the type stay.
struct AppointmentChange
{
    QDateTime data;   // a wall-clock time of the archive
    QDateTime avviso; // the reminder's day; invalid for none
    QString note;
};

// A new appointment, with no contact: its key.
db::Result<qint64> insertAppointment(db::Connection &connection, const AppointmentChange &change);
// Writes the change into the appointment `id`; an error when it no longer exists.
db::Status updateAppointment(db::Connection &connection, qint64 id,
                             const AppointmentChange &change);
// Moves the appointment into the archive (Storico), out of the agenda's list, or back.
db::Status archiveAppointment(db::Connection &connection, qint64 id, bool archived);

// How many characters the notes of an appointment hold.
inline constexpr int kNoteLength = 255;

} // namespace agenda
