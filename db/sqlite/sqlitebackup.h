#pragma once

#include "db/core/result.h"

#include <QString>

namespace db {

// Writes a copy of the SQLite archive `archivePath` to `copyPath` while other workstations may
// be using it: the engine's online backup reads the archive as one consistent state (writers
// wait the moments the copy takes). The copy is written beside its destination under another
// name, checked (the archive check, with the program's text order) and only then put in place
// of `copyPath`; on any failure `copyPath` is left as it was.
Status backupArchiveFile(const QString &archivePath, const QString &copyPath);

// Puts the copy `copyPath` back as the archive `archivePath`. The copy must be a sound archive;
// no program may have the archive open (ArchiveUse), and none can open it meanwhile. The
// archive is replaced page by page through the engine, in one transaction: an interruption
// leaves it as it was.
Status restoreArchiveFile(const QString &copyPath, const QString &archivePath);

// What restoreArchiveFile() would refuse now: a missing or unsound copy, the archive itself as
// its copy, a missing archive, an archive some program has open. Nothing is changed.
Status restoreArchiveFileRefusal(const QString &copyPath, const QString &archivePath);

} // namespace db
