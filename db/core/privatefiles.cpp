#include "db/core/privatefiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

bool sharedByGroup(const QString &folder)
{
    struct stat st;
    const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    return ::stat(path.constData(), &st) == 0 && (st.st_mode & S_ISGID) != 0;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

QFileDevice::Permissions privatePermissions(const QString &folder)
{
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ReadUser | QFileDevice::WriteUser;
    if (sharedByGroup(folder))
        permissions |= QFileDevice::ReadGroup | QFileDevice::WriteGroup;
    return permissions;
}

unsigned privateFileMode(const QString &folder)
{
    return sharedByGroup(folder) ? 0660U : 0600U;
}

Status makePrivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (::chmod(name.constData(), mode_t(privateFileMode(folderOf(path)))) != 0)
        return Error{
            QStringLiteral("Impossibile proteggere il file %1: %2.")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno)))};
    return {};
}

Status createPrivateFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const mode_t mode = mode_t(privateFileMode(folderOf(path)));
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return Error{
            QStringLiteral("Impossibile creare il file %1: %2.")
                .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(errno)))};
    // The umask may have taken the group's rights away: the mode is set whatever it is.
    const bool set = ::fchmod(fd, mode) == 0;
    ::close(fd);
    if (!set) {
        QFile::remove(path);
        return Error{QStringLiteral("Impossibile proteggere il file %1.")
                         .arg(QDir::toNativeSeparators(path))};
    }
    return {};
}

bool openPrivate(QSaveFile &file)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!file.setPermissions(privatePermissions(folderOf(file.fileName())))) {
        file.cancelWriting();
        return false;
    }
    return true;
}

Status writePrivateFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (openPrivate(file) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    return Error{QStringLiteral("Impossibile scrivere il file %1: %2.")
                     .arg(QDir::toNativeSeparators(path), file.errorString())};
}

bool readableByOthers(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IROTH) != 0;
}

} // namespace db
