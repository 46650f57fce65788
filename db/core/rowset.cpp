#include "db/core/rowset.h"

namespace db {

int RowSet::columnIndex(QStringView name) const
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QVariant RowSet::value(qsizetype row, QStringView column) const
{
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= rows.size())
        return {};
    return rows[row][c];
}

QStringList RowSet::firstColumnTexts() const
{
    QStringList texts;
    texts.reserve(rows.size());
    for (const QVariantList &row : rows)
        texts.append(row.value(0).toString());
    return texts;
}

} // namespace db
