#pragma once

#include "db/core/result.h"
#include "privacy/personaldata.h"

#include <QDateTime>
#include <QString>

#include <atomic>

namespace privacy {

enum class ExportKind
{
    Json, // for a machine
    Pdf,  // for a person, through the report runner
};

// The kind a file name asks for by its extension (.json, .pdf, any letter case).
db::Result<ExportKind> exportKindOf(const QString &path);

// Where writePersonalData() finds what it needs besides the data.
struct ExportPlace
{
    QString archive;      // the archive's location, whose office heading the PDF prints
    QString runnerFolder; // where the report runner and its layouts are
    int timeoutSeconds = 120;
};

// Writes `data` to `path`, a file its owner alone can read (the rows handed to the runner for
// a PDF go through a private file that is removed afterwards; the archive keeps nothing of
// them). `stop` ends a runner that has not finished; nothing is left at `path` then.
db::Status writePersonalData(const PersonalData &data, const QString &path,
                             const ExportPlace &place, const QDateTime &now,
                             const std::atomic_bool *stop = nullptr);

} // namespace privacy
