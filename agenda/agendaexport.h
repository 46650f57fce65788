#pragma once

#include "agenda/calendarexport.h"
#include "db/datasets/dataset.h"

namespace agenda {

// The rows the agenda grid lists: the visible rows of its data set, in its filter and order.
// The current row does not move. Fails when a column the export reads is missing.
db::Result<QList<Appointment>> listedAppointments(const db::DataSet &agenda);

// The calendar of the rows the agenda grid lists, in the system's time zone, stamped with the
// program's clock; the archive's identifier is made at the first export.
db::Result<IcalExport> exportAgenda(db::DataSet &agenda);

// The file name chosen, with ".ics" added when the name itself (not its folder) has no dot.
QString icalFileName(const QString &chosen);

// Writes the calendar: the file is replaced whole or, on failure, left as it was.
db::Status saveCalendar(const QString &path, const QByteArray &text);

// The closing message: how many appointments were written, and how many had no date.
QString exportMessage(const IcalExport &done);

} // namespace agenda
