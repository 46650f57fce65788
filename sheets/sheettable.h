#pragma once

#include <QList>
#include <QVariant>

namespace sheets {

// The cells of a sheet, row by row, as read: a text (QString), a number (double), a date
// (QDate: a date cell of a spreadsheet), a truth value (bool); an empty cell is an invalid
// QVariant. Rows keep their cells from the first column; trailing empty cells may be missing.
using SheetRows = QList<QVariantList>;

} // namespace sheets
