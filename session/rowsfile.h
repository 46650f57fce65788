#pragma once

#include "db/core/result.h"
#include "db/core/rowset.h"

#include <QByteArray>
#include <QString>

// Rows handed to the report runner in a file rather than through a query, for what the archive
// must not keep even for a moment (a person's data assembled for a copy of their own):
//   {"calvetraRows": 1, "columns": ["Sezione", "Voce"], "rows": [["Pagamenti", "…"], …]}
// Values are texts, numbers, true/false or null; every row has one value per column.
QByteArray rowsFileText(const db::RowSet &rows);

// Reads such a file; anything else is refused with an Italian message that names the file.
db::Result<db::RowSet> readRowsFile(const QString &path);
// The same, of the file's bytes; `name` names the file in the messages.
db::Result<db::RowSet> readRowsText(const QByteArray &bytes, const QString &name);
