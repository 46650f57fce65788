#pragma once

#include "db/core/result.h"
#include "db/core/rowset.h"
#include "tools/stampa/reportdocument.h"

#include <QString>

namespace stampa {

enum class ExportFormat
{
    Pdf,
    Csv,
    Html
};

// The format a file name asks for by its extension (pdf, csv, html or htm, any letter case).
db::Result<ExportFormat> exportFormatOf(const QString &path);

// The rows as CSV (RFC 4180): a header line with the column names, then one line per row,
// UTF-8, fields quoted when they hold a comma, a quote or a line break. Values in their plain
// form (see plainValue).
QByteArray csvText(const db::RowSet &rows);
// The rows as a simple HTML table, values as the reports print them.
QByteArray htmlText(const db::RowSet &rows, const QString &title);

// Writes the report's data (CSV, HTML) or the report itself (PDF) to `path`, by its extension.
db::Status exportReport(const ReportDocument &document, const QString &path,
                        const PrintProgress &progress = {});

} // namespace stampa
