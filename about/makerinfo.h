#pragma once

#include <QString>
#include <QStringList>

namespace about {

// Who makes or distributes the program and how to reach them: the lines of the about box and
// the address of the support mail. They are the distributor's, read from a file installed with
// the program (realizzazione.ini); a line not filled in there is not shown.
struct MakerInfo
{
    QString programLine; // "Programma Calvetra", always
    QString versionLine; // "Versione 0.1", always
    QString phoneLine;   // "Telefono: …"
    QString authorLine;  // "Realizzazione: …"
    QString webAddress;
    QString supportAddress; // without it there is no support mail
};

// The maker's lines from the first of `files` that exists, an INI file whose [Realizzazione]
// group holds Telefono, Realizzazione, Sito and Assistenza; none found, only the program's and
// the version's lines.
MakerInfo readMakerInfo(const QStringList &files);

// Where the program looks for realizzazione.ini: the program's own folder (where percorso.txt
// is), then the installed data folder beside the executable (../share/calvetra).
QStringList makerInfoFiles(const QString &programFolder);

} // namespace about
