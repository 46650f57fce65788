#pragma once

#include "db/core/connection.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

#include <optional>

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

// A municipality of the national list the program ships.
struct ShippedMunicipality
{
    QString name;  // "Genova"
    QString sigla; // its province, "GE"
};

// The municipality of the shipped national list with the cadastral code `code` (the "codice
// catastale" a codice fiscale holds, such as D969); nothing for a code it does not hold.
std::optional<ShippedMunicipality> shippedMunicipality(const QString &code);

// A new archive's first rows: the sexes, the export formats, the options and the company.
db::Status loadFirstRows(db::Connection &connection);

// Fills a new archive's reference tables (regions, provinces, municipalities, countries,
// postal codes of the municipalities that have several) and its first rows (sexes, export
// formats, options, company).
db::Status loadReferenceData(db::Connection &connection);

// Short lists of common titles, payment types and appointment types for a new archive.
db::Status loadStarterLists(db::Connection &connection);

} // namespace schema
