#pragma once

#include "db/core/result.h"
#include "session/gridlayouts.h"
#include "session/reporthandoff.h"

#include <QList>
#include <QString>

#include <functional>
#include <utility>

class DataSetModel;
class TfrmPass;
class TfrmPromemoriaScadenze;

// What the main window reaches, filled by Program once every window exists: the windows its
// buttons open, the password and reminder windows of the start-up, the grids whose layout the
// workstation keeps, the print hand-off. The main window knows no other window and not the
// program.
struct MainWindowLinks
{
    // The program's folder: percorso.txt and the report runner are there.
    QString programFolder;
    // By the objectName of the button that opens it.
    QList<std::pair<QString, std::function<void()>>> openers;
    TfrmPass *password = nullptr;
    TfrmPromemoriaScadenze *reminders = nullptr;
    // The grids whose layout this workstation keeps, by the name it is kept under, in the
    // order start-up restores them, and where the layouts are.
    QList<std::pair<QString, DataSetModel *>> layoutGrids;
    std::function<GridLayouts()> gridLayouts;
    // The company's name as stored.
    std::function<QString()> companyName;
    // Where the archive in use is (for its backup).
    std::function<QString()> archiveLocation;
    // Asked before the program ends ("Esci", the close box): false keeps it running (a window
    // holds changes the user wants to keep and their save was refused).
    std::function<bool()> mayQuit;
    // Writes this workstation's print job of `kind`.
    std::function<db::Status(ReportKind kind)> writePrintJob;
};
