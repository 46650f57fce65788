#include "db/sqlite/archiveuse.h"

#include "db/core/privatefiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

enum class LockResult
{
    Taken,
    Held,
    NoFile
};

// Opens (creating it when missing) the lock file and tries the lock without waiting.
LockResult tryLock(const QString &archivePath, short type, int *descriptor)
{
    const QString lockPath = ArchiveUse::lockPath(archivePath);
    const QByteArray path = QFile::encodeName(lockPath);
    // Made with the mode of the archive's folder's private files, so that in a folder shared
    // by a group every user of the group can take the lock whatever the umask.
    const mode_t mode = mode_t(privateFileMode(QFileInfo(lockPath).absolutePath()));
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0)
        (void)::fchmod(fd, mode);
    else if (errno == EEXIST)
        fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return LockResult::NoFile;
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    // Locks of the open file description, not of the process: closing another descriptor of
    // the same file elsewhere in this process does not drop them, and two of them in one
    // process conflict as between two processes.
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        ::close(fd);
        return LockResult::Held;
    }
    *descriptor = fd;
    return LockResult::Taken;
}

} // namespace

ArchiveUse::ArchiveUse(ArchiveUse &&other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

ArchiveUse &ArchiveUse::operator=(ArchiveUse &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

ArchiveUse::~ArchiveUse()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString ArchiveUse::lockPath(const QString &archivePath)
{
    return archivePath + QStringLiteral("-postazioni");
}

Result<ArchiveUse> ArchiveUse::share(const QString &archivePath)
{
    int fd = -1;
    switch (tryLock(archivePath, F_RDLCK, &fd)) {
    case LockResult::Taken:
        return ArchiveUse(fd);
    case LockResult::NoFile:
        return ArchiveUse();
    case LockResult::Held:
        break;
    }
    return Error{QStringLiteral("L'archivio %1 è in fase di ripristino da una copia di sicurezza: "
                                "riprovare fra qualche istante.")
                     .arg(archivePath)};
}

Result<ArchiveUse> ArchiveUse::takeAlone(const QString &archivePath)
{
    int fd = -1;
    switch (tryLock(archivePath, F_WRLCK, &fd)) {
    case LockResult::Taken:
        return ArchiveUse(fd);
    case LockResult::NoFile:
        return Error{QStringLiteral("Impossibile scrivere %1: %2.")
                         .arg(lockPath(archivePath), QString::fromLocal8Bit(std::strerror(errno)))};
    case LockResult::Held:
        break;
    }
    return Error{QStringLiteral("L'archivio %1 è aperto su un'altra postazione (o in un altro "
                                "programma): chiudere Calvetra dappertutto e riprovare.")
                     .arg(archivePath)};
}

} // namespace db
