#pragma once

#include <QString>

#include <optional>

namespace migration {

// The Windows version's archive the program finds when it starts, if any:
// - when percorso.txt names an .mdb file (`named`), that file; a Windows path
//   (D:\Dati\archivio.mdb) is looked for by its file name beside the program and in the folder
//   of percorso.txt (`pathFileFolder`);
// - otherwise archivio.mdb beside the program, when the program has no archive of its own yet
//   (`hasOwnArchive` false).
std::optional<QString> findWindowsArchive(const QString &named, const QString &programFolder,
                                          const QString &pathFileFolder, bool hasOwnArchive);

// Whether percorso.txt's line names an archive of the Windows version.
bool namesWindowsArchive(const QString &named);

// Where a converted archive goes: `wished` when no file is there, else the first free of
// "<name>-2.sqlite", "<name>-3.sqlite", ... beside it.
QString freeArchivePath(const QString &wished);

} // namespace migration
