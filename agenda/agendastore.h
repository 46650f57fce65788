#pragma once

#include "agenda/agendafilter.h"
#include "db/datasets/dataset.h"
#include "session/reporthandoff.h"

#include <QDate>

class SharedDataSets;

// The agenda: the shared data set of the appointments not archived, the SQL it is read with and
// the operations the agenda windows run on it.
class AgendaStore
{
public:
    // Declares TableCalendario into `shared`.
    explicit AgendaStore(SharedDataSets &shared);
    AgendaStore(const AgendaStore &) = delete;
    AgendaStore &operator=(const AgendaStore &) = delete;

    // The appointments not archived, newest first; read when a window first needs them.
    db::DataSet TableCalendario;

    // What TableCalendario selects: the agenda grid's rows, and what calvetra-ical exports.
    static QString agendaSql();

    // Reads the agenda unless it is open already; a failure is shown to the user and returned.
    db::Status open();
    // Lists the appointments `search` finds (composeAgendaFilter); an empty search lists all.
    db::Status search(const AgendaSearch &search);
    // What the agenda lists: the search in force and the sort of TableCalendario.
    AgendaListing listing() const;
    // The print of the appointments `listing` shows, in its order (composeAgendaQuery).
    static ReportDefinition appointmentsReport(const AgendaListing &listing);
    // A new appointment on `day`, not archived, with the defaults `personalizzazioni` sets for
    // Calendario; the agenda's search is lifted. Not written yet; nothing is added on a failure.
    db::Status append(QDate day, db::DataSet &personalizzazioni);
    // Writes the current appointment and stays on it; a failure is shown to the user and
    // returned.
    db::Status save();
    // Deletes the current appointment; a failure is shown to the user and returned.
    db::Status remove();
    // Deletes the appointments with these keys, one after the other; stops at the first
    // failure, which is shown to the user. How many were deleted.
    int remove(const QList<qint64> &ids);
    // Reads the agenda again, on the same appointment.
    db::Status reload();

    // The due reminders: not concluded, reminder date `today` or earlier, oldest reminder first.
    static QString remindersSql(QDate today);

    // The appointments of a contact show its name: after the contact is renamed,
    // renameContact() writes the new name into them (inside the caller's transaction, on
    // `connection`), and contactRenamed() reads those rows again when the agenda is open.
    static db::Status renameContact(db::Connection &connection, qint64 contactId);
    // What renameContact() runs, the contact's key bound to the ?.
    static QString renameContactSql();
    db::Status contactRenamed(qint64 contactId);

private:
    AgendaSearch m_search; // the one TableCalendario's filter was made from
};
