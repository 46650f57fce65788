#pragma once

#include "db/core/dialect.h"

struct sqlite3;

namespace db {

// What a check or a measurement beside the program needs of the engines without opening an
// archive through the factory: the program's SQL as an archive file receives it, and the
// text order and functions that an archive file's indexes and statements rely on.

// The dialect of an archive file, for translating the program's SQL without an archive.
const Dialect &fileDialect();

// Gives a connection that a tool opens on an archive file with the engine's own library the
// program's text order and functions. The engine's result code.
int addProgramFunctions(sqlite3 *handle);

// The program's order on two UTF-8 texts, as the indexes of an archive file hold them: letter
// case ignored, accented letters beside their plain ones. Returns <0, 0, >0.
int compareArchiveTexts(const char *a, int aLength, const char *b, int bLength);

} // namespace db
