#pragma once

#include "migration/jetimport.h"

namespace migration {

// Imports the Windows version's archive `mdbPath` into a new archive at `destination`: a new
// file (refused when it exists) or an empty database on a server (refused when it holds
// tables). A refused, failed or stopped import leaves nothing behind: no file, or the server's
// database still empty. The old file is only read.
db::Result<ImportSummary> importArchive(const QString &mdbPath, const QString &destination,
                                        const ImportProgress &progress = {});

} // namespace migration
