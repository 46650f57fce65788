#pragma once

#include "db/core/archive.h"

namespace db {

// What one engine does with an archive as a whole. The base holds what is the same for every
// engine; an engine overrides only what differs. The factory (archive.h) picks the driver by
// the location and nothing above the database layer sees one.
class ArchiveDriver
{
public:
    virtual ~ArchiveDriver() = default;

    // True when `location` names an archive of this engine.
    virtual bool handles(const QString &location) const = 0;
    // True for an archive held by a server rather than in a file.
    virtual bool isServer() const { return false; }

    enum class Access
    {
        ReadWrite,
        // Reading and writing, the archive marked as in use by this workstation for as long
        // as the connection stays open.
        InUse,
        // Single queries only; nothing in the archive changes, an earlier format is read as
        // it is.
        QueriesOnly
    };
    virtual Result<std::unique_ptr<Connection>> open(const QString &location,
                                                     Access access) const = 0;
    virtual Status create(const QString &location, const ArchiveBuilder &build) const = 0;
    virtual Result<ArchiveCheck> check(const QString &location) const = 0;

    // The words that tell how the engine's own tools copy the archive, for an engine whose
    // copies the program does not write itself; empty when it does.
    virtual QString backupAdvice(const QString &location, const QString &copy,
                                 bool restoring) const;
    virtual Status backup(const QString &archive, const QString &copy) const;
    virtual Status restore(const QString &copy, const QString &archive) const;
    // What restore() would refuse now, checked without changing anything.
    virtual Status restoreRefusal(const QString &copy, const QString &archive) const;

    // Fills the new archive at `location` with the tables of `source`, all or nothing.
    virtual Result<QString> copyInto(Connection &source, const QString &location,
                                     const ArchiveBuilder &createTables,
                                     const TableCopied &copied) const;

    virtual void setPasswordPrompt(const PasswordPrompt & /*prompt*/) const {}
};

} // namespace db
