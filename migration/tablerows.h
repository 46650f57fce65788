#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

namespace migration {

// The rows of one table held in memory: column names and values in their order.
struct TableRows
{
    QStringList columns;
    QList<QVariantList> rows;

    // The column's index regardless of letter case; -1 when there is none.
    int column(QStringView name) const;
    QVariant value(qsizetype row, QStringView name) const;
    void set(qsizetype row, QStringView name, const QVariant &value);
    // The highest whole number in the column, 0 for none.
    qint64 highest(QStringView name) const;

private:
    // Column indexes by the names asked for, as they were spelled.
    mutable QHash<QString, int> m_found;
};

// A text as the lists compare names: letter case, accents and blanks at the ends aside.
QString nameKey(const QString &text);

} // namespace migration
