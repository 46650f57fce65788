#pragma once

#include "db/core/dialect.h"
#include "db/core/result.h"

#include <QString>
#include <QStringList>

namespace db {

// Turns one statement written in the program's SQL dialect (the Jet forms: #m/d/yyyy# dates,
// true/false, "delete * from", "select top N", @@IDENTITY, UPDATE with INNER JOIN, [names],
// & for joining texts, the Jet type names in DDL) into the engine's SQL. Works on tokens, so
// string literals come through untouched; comments come out as blanks. What it does not
// recognise passes as written. Refuses an impossible date literal, more than one statement and
// a block comment never closed.
Result<QString> translateSql(QStringView programSql, const Dialect &dialect);

// Splits a script into its statements at the semicolons outside literals and comments.
// Pieces that hold only white space and comments are left out.
QStringList splitSqlScript(QStringView script);

// Reads the inside of a Jet date literal: m/d/yyyy or yyyy-m-d, with an optional time
// h:mm[:ss] or h.mm[.ss] and an optional AM/PM. Invalid QDateTime when it is not a date.
QDateTime parseJetDate(QStringView text);

} // namespace db
