#pragma once

#include "db/core/connection.h"

#include <QUuid>

namespace agenda {

// The archive's own identifier, made at the first call and kept in the archive (the one row of
// the table IdentitaArchivio, created then), so that it stays the same for as long as the
// archive lives and differs from any other archive's. Archives older than the table get it the
// same way. Two workstations asking at once get the same one.
db::Result<QUuid> archiveIdentifier(db::Connection &connection);

} // namespace agenda
