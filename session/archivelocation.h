#pragma once

#include "db/core/result.h"

#include <QString>

// Where the program keeps percorso.txt and its default archive: beside the program when that
// folder is writable and not an installation (runsInstalled()), otherwise in the user's
// configuration and data folders (~/.config/calvetra, ~/.local/share/calvetra).
struct ArchiveLocation
{
    QString pathFile;       // percorso.txt
    QString defaultArchive; // archivio.sqlite in the default folder
    // The path percorso.txt names, made absolute against the program's folder (the default
    // when it names none), or the address of a database server as written there.
    QString archive;
    bool isDefault = true; // archive == defaultArchive because percorso.txt named nothing
};

// Reads percorso.txt from `programFolder` (or the user's folders), writing it with the default
// path when it is missing or blank.
db::Result<ArchiveLocation> locateArchive(const QString &programFolder);

// Writes `archive` into percorso.txt (location.pathFile), so that the next start uses it.
db::Status writeArchivePath(const ArchiveLocation &location, const QString &archive);
