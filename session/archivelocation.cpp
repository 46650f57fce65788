#include "session/archivelocation.h"

#include "db/core/archive.h"
#include "session/installfolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kPathFile = QStringLiteral("percorso.txt");
const QString kDefaultArchive = QStringLiteral("archivio.sqlite");

bool isWritableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

db::Result<ArchiveLocation> locateArchive(const QString &programFolder)
{
    ArchiveLocation location;
    if (isWritableFolder(programFolder) && !runsInstalled(programFolder)) {
        location.pathFile = QDir(programFolder).filePath(kPathFile);
        location.defaultArchive = QDir(programFolder).filePath(kDefaultArchive);
    } else {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        for (const QString &folder : {config, data}) {
            if (!QDir().mkpath(folder))
                return db::Error{QStringLiteral("Impossibile creare la cartella %1.").arg(folder)};
        }
        location.pathFile = QDir(config).filePath(kPathFile);
        location.defaultArchive = QDir(data).filePath(kDefaultArchive);
    }

    QFile file(location.pathFile);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return db::Error{QStringLiteral("Impossibile leggere %1.").arg(location.pathFile)};
        const QString path = QString::fromUtf8(file.readAll()).trimmed();
        file.close();
        if (!path.isEmpty()) {
            // A relative path is relative to the program's folder, wherever it is started from.
            // A server's address is taken as it is.
            location.archive = db::isServerLocation(path)
                                   ? path
                                   : QDir::cleanPath(QDir(programFolder).absoluteFilePath(path));
            location.isDefault = false;
            return location;
        }
    }
    location.archive = location.defaultArchive;
    if (db::Status written = writeArchivePath(location, location.archive); !written)
        return written.error();
    return location;
}

db::Status writeArchivePath(const ArchiveLocation &location, const QString &archive)
{
    QFile file(location.pathFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return db::Error{QStringLiteral("Impossibile scrivere %1.").arg(location.pathFile)};
    if (file.write(archive.toUtf8() + "\n") < 0 || !file.flush())
        return db::Error{QStringLiteral("Impossibile scrivere %1: %2.")
                             .arg(location.pathFile, file.errorString())};
    return {};
}
