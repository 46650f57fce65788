#pragma once

#include "db/core/fieldkind.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace db {

struct Column
{
    QString name;
    FieldKind kind = FieldKind::Unknown;
    QString table;  // the table the column comes from; empty for a computed column
    QString origin; // its name in that table (the name before any alias)
};

// The rows a statement returned, fetched whole. Values are typed by the column's kind:
// QString for texts and memos, qlonglong for integers, double for reals and currency (rounded
// to four decimals), QDateTime (see datetimes.h) for dates, bool for yes/no, QByteArray for
// binaries; a null is an invalid QVariant.
struct RowSet
{
    QList<Column> columns;
    QList<QVariantList> rows;
    qint64 rowsAffected = 0; // for statements that change rows

    // Column index by name regardless of letter case; -1 when there is none.
    int columnIndex(QStringView name) const;
    QVariant value(qsizetype row, QStringView column) const;
    // The values of the first column, as texts: for a list of names.
    QStringList firstColumnTexts() const;
};

} // namespace db
