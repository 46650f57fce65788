#include "migration/windowsarchive.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace migration {

namespace {

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

} // namespace

bool namesWindowsArchive(const QString &named)
{
    return named.trimmed().endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive);
}

std::optional<QString> findWindowsArchive(const QString &named, const QString &programFolder,
                                          const QString &pathFileFolder, bool hasOwnArchive)
{
    if (namesWindowsArchive(named)) {
        const QString path = named.trimmed();
        if (!path.contains(u'\\') && isFile(QDir(programFolder).absoluteFilePath(path)))
            return QDir::cleanPath(QDir(programFolder).absoluteFilePath(path));
        // A Windows path: its last part, whichever separator it uses.
        const QString name = path.section(QRegularExpression(QStringLiteral("[\\\\/]")), -1);
        for (const QString &folder : {programFolder, pathFileFolder}) {
            const QString candidate = QDir(folder).filePath(name);
            if (!name.isEmpty() && isFile(candidate))
                return candidate;
        }
        return std::nullopt;
    }
    const QString beside = QDir(programFolder).filePath(QStringLiteral("archivio.mdb"));
    if (!hasOwnArchive && isFile(beside))
        return beside;
    return std::nullopt;
}

QString freeArchivePath(const QString &wished)
{
    if (!QFileInfo::exists(wished))
        return wished;
    const QFileInfo info(wished);
    for (int n = 2;; ++n) {
        const QString candidate =
            info.dir().filePath(QStringLiteral("%1-%2.sqlite").arg(info.completeBaseName()).arg(n));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

} // namespace migration
