#pragma once

#include <QString>

namespace db {

// A case-folded text without its accents ("è" -> "e"): the first key of the program's text
// order, in the archive and in the data sets alike.
QString withoutAccents(const QString &folded);

// Whether a QVariant of this type holds a number.
bool isNumberType(int typeId);

} // namespace db
