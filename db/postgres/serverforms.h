#pragma once

#include <QString>

namespace db {

// A statement the shared translation wrote, in the forms the server needs to answer it as a
// file would: LIKE that ignores letter case (ILIKE, the pattern in kServerLikeCollation) and
// reads no escape character unless the statement names one, and an ORDER BY that puts nulls
// first in an ascending order and last in a descending one.
QString withServerForms(const QString &translated);

} // namespace db
