#pragma once

#include <QStringList>

#include <optional>

// --import-mdb ARCHIVIO.mdb DESTINAZIONE: the exit code when the arguments ask for it, nothing
// otherwise.
std::optional<int> runImportCommand(const QStringList &arguments);
