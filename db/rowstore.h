#pragma once

#include "db/rowset.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

namespace db {

// The fetched rows of a data set, held column by column: numbers, dates and yes/no values as
// 64-bit words, texts in one UTF-16 buffer per column. A QVariant is made only when a cell is
// asked for, and gives back exactly the value that was stored (type included).
class RowStore
{
public:
    enum class Type : quint8
    {
        Null,
        NullText, // a QString that is null (an edited row holds its nulls so)
        Bool,
        Integer,  // qlonglong
        Real,     // double
        Date,     // a naive (UTC) QDateTime, as milliseconds
        Text,
        Other     // anything else, kept as the QVariant it is
    };

    explicit RowStore(int columnCount = 0);

    int columnCount() const { return int(m_columns.size()); }
    qsizetype size() const { return m_size; }

    void append(const QVariantList &row);
    void replace(qsizetype row, const QVariantList &values);
    // Gives back the room kept for rows to come.
    void squeeze();

    Type type(qsizetype row, int column) const { return m_columns[size_t(column)].types[size_t(row)]; }
    // The text of a Text cell.
    QStringView text(qsizetype row, int column) const
    {
        const ColumnData &c = m_columns[size_t(column)];
        const quint64 at = c.slots[size_t(row)];
        return QStringView(c.text.data() + at + 2, qsizetype(c.text[at]) | (qsizetype(c.text[at + 1]) << 16));
    }
    QVariant value(qsizetype row, int column) const;
    // The QVariant of an Other cell, which stays where it is while the store is unchanged.
    const QVariant &other(qsizetype row, int column) const
    {
        const ColumnData &c = m_columns[size_t(column)];
        return c.others[size_t(c.slots[size_t(row)])];
    }
    qint64 integer(qsizetype row, int column) const { return qint64(m_columns[size_t(column)].slots[size_t(row)]); }
    double real(qsizetype row, int column) const;
    QDateTime date(qsizetype row, int column) const;
    QVariantList row(qsizetype row) const;

private:
    struct ColumnData
    {
        std::vector<Type> types;
        // Per row: the value of a number, date or yes/no; for a text, where its length (two
        // code units) and then its code units begin in `text`; for Other, its place in `others`.
        std::vector<quint64> slots;
        std::vector<char16_t> text;
        std::vector<QVariant> others;
    };

    void store(ColumnData &column, size_t row, const QVariant &value);

    std::vector<ColumnData> m_columns;
    qsizetype m_size = 0;
};

} // namespace db
