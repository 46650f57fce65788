#pragma once

#include "db/core/connection.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

namespace schema {

// A reference table's rows as the program ships them: the columns they fill and the values of
// each row in that order.
struct ReferenceTable
{
    QString table;
    QStringList columns;
    QList<QVariantList> rows;
};

// The national lists: regions, provinces, countries, municipalities (numbered in their
// alphabetical order) and the postal codes of the municipalities that have several, in the
// order they are written.
db::Result<QList<ReferenceTable>> nationalLists();

// A new archive's first rows: the sexes, the export formats, the options and the company.
db::Status loadFirstRows(db::Connection &connection);

// Fills a new archive's reference tables (regions, provinces, municipalities, countries,
// postal codes of the municipalities that have several) and its first rows (sexes, export
// formats, options, company).
db::Status loadReferenceData(db::Connection &connection);

// Short lists of common titles, payment types and appointment types for a new archive.
db::Status loadStarterLists(db::Connection &connection);

} // namespace schema
