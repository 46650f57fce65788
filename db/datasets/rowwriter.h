#pragma once

#include "db/core/connection.h"

namespace db {

// Writes one row of one table for a data set: every value bound, every name quoted by the
// dialect's quoteIdentifier(), the row found by its key.
class RowWriter
{
public:
    // A column of the table with the value to write; `original` is what the row held when it
    // was read (for an update).
    struct Cell
    {
        const Column *column;
        QVariant value;
        QVariant original;
    };

    RowWriter(Connection &connection, const QString &table, const QString &key);

    // Writes `changes` into the row whose key is `keyValue`, only if each changed column still
    // holds its original value: otherwise the error says whether another workstation changed
    // the row (ErrorKind::ChangedElsewhere) or deleted it (ErrorKind::DeletedElsewhere).
    Status update(const QVariant &keyValue, const QList<Cell> &changes);

    // Inserts a row with `values` (the archive's defaults for every other column) and reads
    // back the stored values of `readBack`, in that order; an empty list when the new row
    // cannot be read back.
    Result<QVariantList> insert(const QList<Cell> &values, const QList<const Column *> &readBack);

    Status remove(const QVariant &keyValue);

private:
    Connection &m_connection;
    const Dialect &m_dialect;
    QString m_table; // quoted
    QString m_key;   // quoted
};

} // namespace db
