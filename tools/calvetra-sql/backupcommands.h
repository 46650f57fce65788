#pragma once

#include <QStringList>

#include <optional>

// --backup ARCHIVIO COPIA and --restore ARCHIVIO COPIA [--conferma]: the exit code of the
// command, or nothing when the arguments ask for something else.
std::optional<int> runBackupCommand(const QStringList &arguments);
