#pragma once

#include "db/core/result.h"

#include <QString>

namespace db {

// Who has an SQLite archive open. The engine keeps no lock while a workstation is idle, so the
// programs say it themselves: each holds a shared lock on the file "<archive>-postazioni" beside
// the archive for as long as it has the archive open, and a restore holds it exclusively. The
// locks are the system's (open file description locks, also across a network share); a
// program that ends or crashes lets go of its lock with it, so nothing is ever left behind.
class ArchiveUse
{
public:
    ArchiveUse() = default;
    ArchiveUse(ArchiveUse &&other) noexcept;
    ArchiveUse &operator=(ArchiveUse &&other) noexcept;
    ArchiveUse(const ArchiveUse &) = delete;
    ArchiveUse &operator=(const ArchiveUse &) = delete;
    ~ArchiveUse();

    // The shared lock of a program that opens the archive. Fails only while a restore holds
    // the archive; where the lock file cannot be written (a read-only folder) there is nothing
    // to take and the archive is used without it.
    static Result<ArchiveUse> share(const QString &archivePath);
    // The exclusive lock of a restore: fails while any program has the archive open.
    static Result<ArchiveUse> takeAlone(const QString &archivePath);

    static QString lockPath(const QString &archivePath);

private:
    explicit ArchiveUse(int descriptor) : m_fd(descriptor) {}
    int m_fd = -1;
};

} // namespace db
