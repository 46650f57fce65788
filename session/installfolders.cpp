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
    const QString installed =
        QDir::cleanPath(program.filePath(QStringLiteral(CALVETRA_LAYOUTS_FROM_BIN)));
    // Neither: a program copied alone into a folder; its runner looks beside itself as well.
    return QFileInfo(installed).isDir() ? installed : program.path();
}

bool runsInstalled(const QString &programFolder)
{
    return QDir(layoutFolder(programFolder)) != QDir(programFolder);
}
