#pragma once

#include "db/core/result.h"
#include "sheets/sheettable.h"

#include <QByteArrayView>
#include <QStringList>

namespace sheets {

// How a CSV file was written, as found when reading it.
struct CsvFormat
{
    QChar separator = u';';
    bool utf8 = true; // else Windows-1252
    bool byteOrderMark = false;
};

// Every row of a CSV file, each cell a QString (never another type). The encoding is UTF-8
// (with or without byte-order mark) or, where the bytes are not UTF-8, Windows-1252; the
// separator is ';', ',' or a tab, found from the file (the one that splits the first lines,
// outside quotes, into the same number of cells, more than one); quoted fields may hold
// separators, doubled quotes and line breaks (RFC 4180); CRLF, LF or CR line ends; blank lines
// skipped. An empty file, binary data (NUL bytes, or most bytes control characters), a quote
// never closed: an Italian message. `format`, when given, says what was found.
//
// In more detail: of the separators that split every one of the first 20 rows into the same
// number of cells (more than one), ';' wins before ',' before the tab, however many cells each
// gives (so that a file of writeCsv(), its commas unquoted, reads back as written); when none
// does, the one that splits the first row into the most cells; when none splits it, ';' and
// one cell a row. A line break inside quotes is read
// as LF, whatever the file's line ends. A row whose cells are all empty (";;;") is skipped like
// a blank line. A quote inside an unquoted cell, or text after a closing quote, is kept as
// written. Binary: a NUL byte, or more than one byte in ten a control character other than tab,
// CR, LF and form feed. A DOS end-of-file mark (0x1A) closing the file is dropped.
db::Result<SheetRows> readCsv(QByteArrayView bytes, CsvFormat *format = nullptr);

// A CSV for Italian spreadsheets: UTF-8 with byte-order mark, ';' between cells, CRLF at every
// line end, a cell quoted (quotes doubled) when it holds ';', '"', CR or LF, or starts or ends
// with a blank. Cells are texts (QVariant::toString() of anything else, a QDate as
// dd/MM/yyyy).
QByteArray writeCsv(const SheetRows &rows);

} // namespace sheets
