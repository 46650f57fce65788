#pragma once

#include "db/core/result.h"

#include <QByteArray>
#include <QString>

namespace db {

// The text of an SQL script file, which must be UTF-8 (a byte-order mark at the start is
// skipped). A file with bytes that are not UTF-8 is refused with the number of the first line
// that holds one: guessing another encoding would store wrong letters without a word.
Result<QString> scriptText(const QByteArray &bytes);

} // namespace db
