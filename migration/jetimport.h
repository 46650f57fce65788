#pragma once

#include "db/core/connection.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace jet {
class Archive;
}

namespace migration {

struct ImportedTable
{
    QString table; // the program's name for it
    qint64 rows = 0;
};

// What an import did, for the summary the user reads.
struct ImportSummary
{
    QList<ImportedTable> tables;
    // What did not come across, one Italian line each (tables and columns the program does not
    // know, the workstations' scratch rows, settings the program replaces).
    QStringList leftOut;
    // National rows added beside the office's own lists.
    qint64 comuniAdded = 0, indirizziAdded = 0;
};

// Rows handed over so far and in all; false stops the import (nothing is then written).
using ImportProgress = std::function<bool(qint64 done, qint64 total)>;

// Builds a new archive on `empty` (a connection to a new file or an empty server database)
// from the Windows version's archive `source`, in one transaction: the program's tables, the
// national reference lists merged with the office's own (see mergeReferenceLists), and every
// row of the office's tables with its key, so that what pointed at a row still does. Counters
// continue past the highest key and past every key another table still points at. The
// administrator password is stored as its key. On failure or when `progress` stops it, nothing
// is written.
db::Result<ImportSummary> importJetArchive(jet::Archive &source, db::Connection &empty,
                                           const ImportProgress &progress = {});

// The summary as the tool prints it and the window shows it.
QString describeImport(const ImportSummary &summary);

} // namespace migration
