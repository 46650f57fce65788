#pragma once

#include "db/core/result.h"
#include "db/core/rowset.h"
#include "db/datasets/rowstore.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace db {

// A data-set sort text: one or more "column [ASC|DESC]" separated by commas (ASC when
// omitted). Sorting is stable; texts compare regardless of letter case, with accented
// letters beside their plain ones (a < à < b); nulls come first in ascending order and
// last in descending order.
class RowSort
{
public:
    RowSort(); // no order: rows stay as fetched

    // Refuses, with an Italian message, a text that does not parse or names an unknown column.
    static Result<RowSort> parse(QStringView text, const QList<Column> &columns);

    bool isEmpty() const { return m_keys.isEmpty(); }

    // Reorders `order` (indexes into `rows`) stably by the sort keys.
    void sort(QList<qsizetype> &order, const QList<QVariantList> &rows) const;
    void sort(QList<qsizetype> &order, const RowStore &rows) const;

    // Orders two rows: <0, 0 or >0.
    int compare(const QVariantList &a, const QVariantList &b) const;
    int compare(const RowStore &rows, qsizetype a, qsizetype b) const;

private:
    template <typename MakeKey> void sortBy(QList<qsizetype> &order, MakeKey makeKey) const;

    struct Key
    {
        int column;
        bool descending;
    };
    QList<Key> m_keys;
};

// Orders two values of one column as the sort does: nulls first, numbers and dates by
// value, texts regardless of case and accents (a tie broken by the exact case-folded text).
int compareValues(const QVariant &a, const QVariant &b);
// The same for two texts.
int compareTexts(QStringView a, QStringView b);

} // namespace db
