#pragma once

#include <QStringList>

#include <optional>

// --reset-password ARCHIVIO [--conferma]: takes the administrator password away after asking
// (not asked with --conferma). The exit code of the command, or nothing when the arguments are
// not this command's.
std::optional<int> runPasswordCommand(const QStringList &arguments);
