#include "about/makerinfo.h"

#include "common/toolinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace about {

MakerInfo readMakerInfo(const QStringList &files)
{
    MakerInfo info;
    info.programLine = QStringLiteral("Programma Calvetra");
    info.versionLine = QStringLiteral("Versione ") + programVersion();
    for (const QString &file : files) {
        if (!QFileInfo(file).isFile())
            continue;
        QSettings ini(file, QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Realizzazione"));
        const auto read = [&](const char *key) {
            return ini.value(QString::fromLatin1(key)).toString().trimmed();
        };
        if (const QString phone = read("Telefono"); !phone.isEmpty())
            info.phoneLine = QStringLiteral("Telefono: ") + phone;
        if (const QString author = read("Realizzazione"); !author.isEmpty())
            info.authorLine = QStringLiteral("Realizzazione: ") + author;
        info.webAddress = read("Sito");
        info.supportAddress = read("Assistenza");
        break;
    }
    return info;
}

QStringList makerInfoFiles(const QString &programFolder)
{
    const QString name = QStringLiteral("realizzazione.ini");
    return {QDir(programFolder).filePath(name),
            QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral("../share/calvetra/") + name)};
}

} // namespace about
