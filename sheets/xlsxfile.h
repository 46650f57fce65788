#pragma once

#include "db/core/result.h"
#include "sheets/sheettable.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace sheets {

// The first sheet (the first of the workbook's list, not the first file) of an .xlsx file, read
// through libzip and Qt's XML reader: shared strings (rich text joined), inline strings, formula
// results as stored, numbers (double), truth values (bool), and numbers whose style is a date
// format (the built-in date formats 14-22 and 45-47, and custom formats made of date letters
// d, m, y with or without time) as QDate (serial days from 1899-12-30, the 1900 leap-year bug
// respected: serial 60 and below shifted by one, as spreadsheets do). A date-1904 workbook
// (workbookPr date1904) counts from 1904-01-01. Cells placed by their reference (r="C7"), gaps
// left as invalid QVariants. Not a zip, a zip without a workbook, broken XML, a sheet too big
// (over 1,000,000 rows or 16,384 columns, or uncompressed parts over 200 MB): an Italian
// message.
//
// In more detail: an empty file is one too. Row N of the sheet is rows[N - 1], an empty row an
// empty list, and the empty rows after the last one with a value are left out; a cell without a
// reference follows the one before it. An error cell (#DIV/0!) is its text; a cell typed as an ISO
// date (t="d") a QDate; a date serial out of the years 1900-9999 (1904-9999) stays a number.
// Escaped characters of the format (_x000D_) are undone in texts.
db::Result<SheetRows> readXlsx(QByteArrayView bytes);

// Writes `rows` as the one sheet "Contatti" of a new .xlsx file at `path` through
// libxlsxwriter: the first row is the header (bold, frozen); a QString is always a text cell (so
// that CAP "00118", phone numbers and tax codes keep their leading zeros and are never turned
// into numbers); a QDate is a date cell shown dd/mm/yyyy, except a date before 1900-03-01,
// which spreadsheets cannot hold as a date, written as dd/mm/yyyy text; a double a number cell;
// an empty cell is left out. Column widths fit the longest text of each column (capped at 60
// characters). The file is written to a temporary file in the same folder and renamed over
// `path` only when complete, with the permissions of db::privatePermissions(); on failure
// nothing is left and an Italian message says why.
//
// In more detail: a bool is a truth-value cell, an integer a number cell, anything else the
// text of QVariant::toString(); a date after 9999 is text too; a text longer than a cell holds
// (32,767 characters) is cut there. More rows or columns than a sheet holds is a failure.
db::Status writeXlsx(const QString &path, const SheetRows &rows);

} // namespace sheets
