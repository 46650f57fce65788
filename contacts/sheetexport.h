#pragma once

#include "contacts/sheetimport.h"
#include "db/core/connection.h"
#include "sheets/sheettable.h"

#include <QList>

// A header row of Italian titles and one row per contact, in the order of `ids` (a contact no
// longer in the archive is left out and counted in `missing`): names, company, both addresses
// with the towns' names, phones, e-mails, tax codes, the birth date as a date, category,
// profession, notes. The same columns go to CSV and to .xlsx, and the import reads them back.
db::Result<sheets::SheetRows> contactSheetRows(db::Connection &connection, const QList<qint64> &ids,
                                               int *missing = nullptr);

// Writes `rows` as the file's name says (.csv or .xlsx): the whole file or, on failure,
// nothing.
db::Status writeSheetFile(const QString &path, const sheets::SheetRows &rows);

// The name a spreadsheet is written under: `extension` (".xlsx") added when the file's name has
// none.
QString sheetFileName(const QString &chosen, const QString &extension);

// What the export says at the end.
QString sheetExportMessage(qsizetype written, int missing, const QString &path);
