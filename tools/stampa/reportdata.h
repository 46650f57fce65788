#pragma once

#include "db/core/connection.h"

#include <QDate>
#include <QImage>

namespace stampa {

// Everything a report prints: the rows of the job's query and the office's own data.
struct ReportData
{
    db::RowSet rows;
    db::RowSet company;       // the ditta row; its fields print as {ditta.Campo}
    QImage logo;              // ditta.Logo when it holds a picture
    QDate date;               // the day printed in the heading and as {oggi}
    bool smallLabels = false; // opzioni.EtichettePiccole
    QString exportExtension = QStringLiteral("pdf"); // the export format the options propose
};

// Runs `query` and reads the office's data and options.
// `values` are bound to the query's ? in order.
db::Result<ReportData> loadReportData(db::Connection &connection, const QString &query,
                                      const QVariantList &values = {});

// The office's data and options alone, without rows.
db::Result<ReportData> loadOfficeData(db::Connection &connection);

// The rows where some text column contains `text`, regardless of letter case, in their order.
db::RowSet rowsContaining(const db::RowSet &rows, const QString &text);

} // namespace stampa
