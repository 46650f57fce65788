#include "agenda/appointmentrows.h"

#include "db/core/datetimes.h"

namespace agenda {

namespace {

QVariant dateValue(const QDateTime &value)
{
    return value.isValid() ? QVariant(db::toNaive(value)) : QVariant();
}

} // namespace

namespace {

const char kSelect[] =
    "SELECT Id, Data, Personale, TipologiaCalendario, Cliente, Note, DataAvviso, "
    "Conclusa, Storico FROM Calendario";

StoredAppointment appointmentOf(const QVariantList &row)
{
    return {{row[0].toLongLong(), row[1].toDateTime(), row[2].toString(), row[3].toString(),
             row[4].toString(), row[5].toString(), row[6].toDateTime(), row[7].toBool(), QString()},
            row[8].toBool()};
}

} // namespace

db::Result<QList<StoredAppointment>> readAppointments(db::Connection &connection)
{
    const db::Result<db::RowSet> rows =
        connection.run(QLatin1String(kSelect) + QStringLiteral(" ORDER BY Id"));
    if (!rows)
        return rows.error();
    QList<StoredAppointment> appointments;
    appointments.reserve(rows->rows.size());
    for (const QVariantList &row : std::as_const(rows->rows))
        appointments.append(appointmentOf(row));
    return appointments;
}

db::Result<std::optional<StoredAppointment>> readAppointment(db::Connection &connection, qint64 id)
{
    const db::Result<db::RowSet> rows =
        connection.run(QLatin1String(kSelect) + QStringLiteral(" WHERE Id = ?"), {id});
    if (!rows)
        return rows.error();
    if (rows->rows.isEmpty())
        return std::optional<StoredAppointment>();
    return std::optional<StoredAppointment>(appointmentOf(rows->rows.first()));
}

db::Result<qint64> insertAppointment(db::Connection &connection, const AppointmentChange &change)
{
    const db::Result<db::RowSet> inserted = connection.run(
        QStringLiteral("INSERT INTO Calendario (Data, DataAvviso, Note, Conclusa, Storico) "
                       "VALUES (?, ?, ?, false, false)"),
        {dateValue(change.data), dateValue(change.avviso), change.note.left(kNoteLength)});
    if (!inserted)
        return inserted.error();
    return db::lastInsertedKey(connection);
}

db::Status updateAppointment(db::Connection &connection, qint64 id, const AppointmentChange &change)
{
    const db::Result<db::RowSet> updated = connection.run(
        QStringLiteral("UPDATE Calendario SET Data = ?, DataAvviso = ?, Note = ? WHERE Id = ?"),
        {dateValue(change.data), dateValue(change.avviso), change.note.left(kNoteLength), id});
    if (!updated)
        return updated.error();
    if (updated->rowsAffected == 0)
        return db::Error{
            QStringLiteral("L'appuntamento è stato eliminato da un'altra postazione.")};
    return {};
}

db::Status archiveAppointment(db::Connection &connection, qint64 id, bool archived)
{
    const db::Result<db::RowSet> set = connection.run(
        QStringLiteral("UPDATE Calendario SET Storico = ? WHERE Id = ?"), {archived, id});
    if (!set)
        return set.error();
    return {};
}

} // namespace agenda
