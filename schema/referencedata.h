#pragma once

#include "db/core/connection.h"

namespace schema {

// Fills a new archive's reference tables (regions, provinces, municipalities, countries,
// postal codes of the municipalities that have several) and its first rows (sexes, export
// formats, options, company).
db::Status loadReferenceData(db::Connection &connection);

// Short lists of common titles, payment types and appointment types for a new archive.
db::Status loadStarterLists(db::Connection &connection);

} // namespace schema
