#pragma once

#include "db/core/rowset.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

namespace db {

// The fetched rows of a data set, held column by column: per cell a one-byte type and a 32-bit
// slot; numbers and dates as 64-bit words of their own, texts one after the other in one
// UTF-16 buffer per column (a null or a yes/no takes nothing more). A QVariant is made only
// when a cell is asked for, and gives back exactly the value that was stored (type included).
class RowStore
{
public:
    enum class Type : quint8
    {
        Null,
        NullText, // a QString that is null (an edited row holds its nulls so)
        Bool,
        Integer, // qlonglong
        Real,    // double
        Date,    // a naive (UTC) QDateTime, as milliseconds
        Text,
        Other // anything else, kept as the QVariant it is
    };

    explicit RowStore(int columnCount = 0);

    int columnCount() const { return int(m_columns.size()); }
    qsizetype size() const { return m_size; }

    void append(const QVariantList &row);
    void replace(qsizetype row, const QVariantList &values);
    // Gives back the room taken while the rows came in, keeping a little for the rows and
    // values written later, so that the first of them does not copy whole columns.
    void squeeze();

    Type type(qsizetype row, int column) const
    {
        return m_columns[size_t(column)].types[size_t(row)];
    }
    // The text of a Text cell.
    QStringView text(qsizetype row, int column) const
    {
        const ColumnData &c = m_columns[size_t(column)];
        const size_t at = c.slots[size_t(row)];
        return QStringView(c.text.data() + at + 2,
                           qsizetype(c.text[at]) | (qsizetype(c.text[at + 1]) << 16));
    }
    QVariant value(qsizetype row, int column) const;
    // The QVariant of an Other cell, which stays where it is while the store is unchanged.
    const QVariant &other(qsizetype row, int column) const
    {
        const ColumnData &c = m_columns[size_t(column)];
        return c.others[size_t(c.slots[size_t(row)])];
    }
    qint64 integer(qsizetype row, int column) const { return qint64(word(row, column)); }
    double real(qsizetype row, int column) const;
    QDateTime date(qsizetype row, int column) const;
    QVariantList row(qsizetype row) const;

private:
    struct ColumnData
    {
        std::vector<Type> types;
        // Per row: for a text, where its length (two code units) and then its code units
        // begin in `text`; for a number or a date, its place in `words`; for Other, its place
        // in `others`; a yes/no value itself.
        std::vector<quint32> slots;
        std::vector<char16_t> text;
        std::vector<quint64> words;
        std::vector<QVariant> others;
    };

    quint64 word(qsizetype row, int column) const
    {
        const ColumnData &c = m_columns[size_t(column)];
        return c.words[c.slots[size_t(row)]];
    }

    void store(ColumnData &column, size_t row, const QVariant &value);

    std::vector<ColumnData> m_columns;
    qsizetype m_size = 0;
};

} // namespace db
