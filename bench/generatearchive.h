#pragma once

#include "db/core/result.h"

#include <QString>

namespace bench {

// Creates a new archive at `path` (refused if the file exists) and fills it with `contacts`
// made-up contacts of an Italian office, with their payments (two each on average) and
// appointments (one each on average), plus the lists they refer to: categories, professions,
// titles, payment types and kinds of appointment.
// The same seed always gives the same archive. On failure nothing is left at `path`.
db::Status generateArchive(const QString &path, int contacts, quint32 seed);

} // namespace bench
