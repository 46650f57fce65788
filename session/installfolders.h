#pragma once

#include <QString>

// The report layouts: beside the program when it runs from its build folder, otherwise in the
// data folder it was installed with (share/calvetra/reports, found from the program's own
// folder, so that an installation moved as a whole still finds them). The program's folder
// when neither holds them.
QString layoutFolder(const QString &programFolder);

// Whether the program in `programFolder` is an installed one (its layouts in the data folder),
// rather than a folder of its own such as the build's: an installed program keeps nothing in
// its folder, even where it could write there (run by the administrator).
bool runsInstalled(const QString &programFolder);
