#include "session/installfolders.h"

#include <QDir>
#include <QFileInfo>

#ifndef CALVETRA_LAYOUTS_FROM_BIN
#define CALVETRA_LAYOUTS_FROM_BIN "../share/calvetra/reports"
#endif

QString layoutFolder(const QString &programFolder)
{
    const QDir program(programFolder);
    // Any layout will do: the build copies all of them beside the runner.
    if (QFileInfo::exists(program.filePath(QStringLiteral("Agenda.rpt"))))
        return program.path();
    return QDir::cleanPath(program.filePath(QStringLiteral(CALVETRA_LAYOUTS_FROM_BIN)));
}

bool runsInstalled(const QString &programFolder)
{
    const QString layouts = layoutFolder(programFolder);
    return QDir(layouts) != QDir(programFolder) && QFileInfo(layouts).isDir();
}
