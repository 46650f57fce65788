#include "db/datasets/rowwriter.h"

#include <cmath>

namespace db {

namespace {

// What the archive stores for a value typed into a column of this kind.
QVariant boundValue(const Column &column, const QVariant &value)
{
    if (column.kind == FieldKind::Bool)
        return value.toBool();
    if (column.kind == FieldKind::Currency && value.isValid())
        return std::round(value.toDouble() * 10000.0) / 10000.0;
    return value;
}

} // namespace

RowWriter::RowWriter(Connection &connection, const QString &table, const QString &key)
    : m_connection(connection), m_dialect(connection.dialect()),
      m_table(m_dialect.quoteIdentifier(table)), m_key(m_dialect.quoteIdentifier(key))
{
}

Status RowWriter::update(const QVariant &keyValue, const QList<Cell> &changes)
{
    QStringList assignments;
    QStringList unchanged;
    QVariantList values;
    QVariantList originals;
    for (const Cell &cell : changes) {
        const QString name = m_dialect.quoteIdentifier(cell.column->origin);
        assignments.append(name + QStringLiteral(" = ?"));
        values.append(boundValue(*cell.column, cell.value));
        // The row must still hold what it held when it was read, or another workstation
        // changed it in the meantime. Amounts were read rounded to four decimals: they are
        // compared the same way.
        const QString stored = cell.column->kind == FieldKind::Currency
                                   ? QStringLiteral("ROUND(%1, 4)").arg(name)
                                   : name;
        unchanged.append(m_dialect.nullSafeEqual(stored, QStringLiteral("?")));
        originals.append(cell.original);
    }
    const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ? AND %4")
                            .arg(m_table, assignments.join(QStringLiteral(", ")), m_key,
                                 unchanged.join(QStringLiteral(" AND ")));
    Result<RowSet> updated =
        m_connection.runNative(sql, values + QVariantList{keyValue} + originals);
    if (!updated)
        return updated.error();
    if (updated->rowsAffected > 0)
        return {};
    Result<RowSet> still = m_connection.runNative(
        QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(m_table, m_key), {keyValue});
    if (still && still->rows.isEmpty())
        return Error{QStringLiteral("Il record è stato eliminato da un'altra postazione."),
                     ErrorKind::DeletedElsewhere};
    return Error{QStringLiteral("Il record è stato modificato da un'altra postazione."),
                 ErrorKind::ChangedElsewhere};
}

Result<QVariantList> RowWriter::insert(const QList<Cell> &values,
                                       const QList<const Column *> &readBack)
{
    QStringList names;
    QStringList marks;
    QVariantList bound;
    for (const Cell &cell : values) {
        names.append(m_dialect.quoteIdentifier(cell.column->origin));
        marks.append(QStringLiteral("?"));
        bound.append(boundValue(*cell.column, cell.value));
    }
    const QString sql =
        names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(m_table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    Result<RowSet> inserted = m_connection.runNative(sql, bound);
    if (!inserted)
        return inserted.error();
    Result<RowSet> identity =
        m_connection.runNative(QStringLiteral("SELECT ") + m_dialect.lastIdentityExpression());
    if (!identity || identity->rows.isEmpty())
        return identity ? Error{QStringLiteral("Chiave del nuovo record non disponibile.")}
                        : identity.error();

    // The stored row: the key and the defaults the archive gave.
    QStringList selected;
    for (const Column *column : readBack)
        selected.append(m_dialect.quoteIdentifier(column->origin));
    Result<RowSet> stored =
        m_connection.runNative(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                   .arg(selected.join(QStringLiteral(", ")), m_table, m_key),
                               {identity->rows[0][0]});
    if (!stored || stored->rows.size() != 1)
        return QVariantList();
    return stored->rows[0];
}

Status RowWriter::remove(const QVariant &keyValue)
{
    Result<RowSet> deleted = m_connection.runNative(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(m_table, m_key), {keyValue});
    return deleted ? Status() : Status(deleted.error());
}

} // namespace db
