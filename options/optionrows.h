#pragma once

#include <functional>

#include "db/datasets/dataset.h"

#include <QList>
#include <QVariant>

// The changes the user made to one row, column by column, kept apart from the shared data set
// until they are saved: other windows go on reading what is stored.
class RowChanges
{
public:
    void set(const QString &column, const QVariant &value);
    void remove(const QString &column);
    bool contains(const QString &column) const;
    QVariant value(const QString &column) const;
    bool isEmpty() const { return m_columns.isEmpty(); }
    void clear() { m_columns.clear(); }
    const QList<std::pair<QString, QVariant>> &columns() const { return m_columns; }

private:
    QList<std::pair<QString, QVariant>> m_columns;
};

// Writes the changes to the current row of `options` and of `company` in one transaction: both
// rows are written or neither. A change to the value a row holds already writes nothing (an
// empty text and a null are the same), so a row the user did not change stays as it is, byte
// for byte. A table without a row gets one, the options row with Id 1.
//
// On failure both data sets are read again, so that they hold what the archive holds, and the
// caller still has its changes for another attempt. Engine messages never carry the values.
// `alsoWrite`, when given, writes more in the same transaction.
db::Status saveOptionRows(db::DataSet &options, const RowChanges &optionChanges,
                          db::DataSet &company, const RowChanges &companyChanges,
                          const std::function<db::Status()> &alsoWrite = {});
