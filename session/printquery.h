#pragma once

#include "db/core/result.h"

#include <QString>
#include <QVariantList>

// The query of a print job as TempStampa keeps it (the Query column). A query whose only ? is
// the workstation is kept as its SQL text, as every job always was. A query with values of its
// own (a search typed in a window) is kept with them, so that the runner binds them and never
// finds them written into the text:
//   {"calvetraQuery": 1, "sql": "SELECT ... WHERE Cliente LIKE ?", "values": ["ros%"]}
// Values are JSON texts, numbers, true/false and null; a date and time is
// {"datetime": "2024-03-01 09:30:00"}.
struct PrintQuery
{
    QString sql;
    QVariantList values;    // bound to the ?s of sql in order, when ownValues
    bool ownValues = false; // otherwise a ? (one at most) stands for the workstation
};

// What TempStampa keeps for `sql` with `values`: the SQL text alone without values.
QString printQueryText(const QString &sql, const QVariantList &values);

// Reads the Query column. A kept query whose values do not match its ?s, or that is not what
// printQueryText() writes, gives an Italian message.
db::Result<PrintQuery> readPrintQuery(const QString &text);
