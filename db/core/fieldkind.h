#pragma once

#include <QString>

namespace db {

// What a column holds, as the program reads it.
enum class FieldKind
{
    Unknown, // a computed column: its values keep the type the engine gives them
    Text,
    Memo,
    Integer,
    Real,
    Currency,
    Date,
    Bool,
    Binary,
};

// The kind of a column from the type name the engine reports for it.
FieldKind kindFromDeclaredType(const QString &declaredType);

} // namespace db
