#pragma once

#include <QString>

#include <optional>

// The version of the program and its tools, set by the build.
QString programVersion();

// The first look every executable takes at its command line, before anything else starts (no
// display, no archive): `--help` or `-h` as the first argument prints `usage` on standard
// output, `--version` prints the name and version; both exit with 0. Nothing for any other
// command line.
std::optional<int> answerHelpOrVersion(int argc, char *argv[], const QString &name,
                                       const QString &usage);
