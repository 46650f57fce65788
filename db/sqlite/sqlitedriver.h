#pragma once

#include "db/core/archivedriver.h"

namespace db {

// Archives in one SQLite file: every location that is not an address of some kind.
class SqliteDriver final : public ArchiveDriver
{
public:
    bool handles(const QString &location) const override;
    Result<std::unique_ptr<Connection>> open(const QString &location, Access access) const override;
    Status create(const QString &location, const ArchiveBuilder &build) const override;
    Result<ArchiveCheck> check(const QString &location) const override;
    QString backupAdvice(const QString &location, const QString &copy,
                         bool restoring) const override;
    Status backup(const QString &archive, const QString &copy) const override;
    Status restore(const QString &copy, const QString &archive) const override;
    Status restoreRefusal(const QString &copy, const QString &archive) const override;
};

// The integrity check of the archive file at `path`, with the program's text order in place.
Result<ArchiveCheck> checkArchiveFile(const QString &path);

} // namespace db
