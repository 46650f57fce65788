#pragma once

#include <QString>

#include <optional>

struct sqlite3;

namespace db {

// The collation of every text column: the program's own order (compareNoCase). It has a name
// of its own, so that an SQLite tool that does not know the order refuses to use an index built
// by it instead of reading or writing it by another order.
inline constexpr char kTextCollation[] = "CALVETRA_NOCASE";

// Gives an SQLite connection what the program's SQL expects of the engine: texts that compare
// and sort regardless of letter case (the kTextCollation collation, Unicode-aware), LIKE
// regardless of case, and the Jet functions Month, Year, Day, Hour, Minute, Second, Date, Now,
// UCase, LCase, Len, Left, Right, Mid and Nz.
int registerSqliteFunctions(sqlite3 *handle);

// Archives of the first format declared their texts COLLATE NOCASE and were written with the
// program's order in place of SQLite's own NOCASE: a connection to one must compare the same
// way until the archive is converted, or its indexes would not be found.
int registerFirstFormatNoCase(sqlite3 *handle);

// The program's order on two UTF-8 texts: letter case ignored, accented letters beside their
// plain ones. Returns <0, 0, >0.
int compareNoCase(const char *a, int aLength, const char *b, int bLength);

// Two texts strictly around, in the program's order, every text that a LIKE `pattern` (with
// this ESCAPE character, if any) matches: above < text < below by compareNoCase. Nothing when
// the pattern has no literal beginning, or when a value that is no text could match it.
struct TextBounds
{
    QString above;
    QString below;
};
std::optional<TextBounds> likePrefixBounds(QStringView pattern, std::optional<QChar> escape);

} // namespace db
