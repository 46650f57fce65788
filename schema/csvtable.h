#pragma once

#include "db/core/result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace schema {

// A comma-separated table with a header row (RFC 4180: fields in double quotes may hold
// commas, doubled quotes and line breaks). Every value stays text.
class CsvTable
{
public:
    static db::Result<CsvTable> parse(QStringView text);

    qsizetype rowCount() const { return m_rows.size(); }
    // The value of the named column in row `row`; empty for an unknown column.
    QString value(qsizetype row, const QString &column) const;

private:
    QHash<QString, int> m_columns;
    QList<QStringList> m_rows;
};

} // namespace schema
