#pragma once

#include "db/core/archivedriver.h"

namespace db {

// Archives in a PostgreSQL database, named by a postgresql:// address or libpq keywords.
class PgDriver final : public ArchiveDriver
{
public:
    bool handles(const QString &location) const override;
    bool isServer() const override { return true; }
    Result<std::unique_ptr<Connection>> open(const QString &location, Access access) const override;
    Status create(const QString &location, const ArchiveBuilder &build) const override;
    Result<ArchiveCheck> check(const QString &location) const override;
    // The server's copies are made with its own tools, pg_dump and pg_restore.
    QString backupAdvice(const QString &location, const QString &copy,
                         bool restoring) const override;
    Result<QString> copyInto(Connection &source, const QString &location,
                             const ArchiveBuilder &createTables,
                             const TableCopied &copied) const override;
    void setPasswordPrompt(const PasswordPrompt &prompt) const override;
};

} // namespace db
