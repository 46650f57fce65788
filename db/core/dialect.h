#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace db {

// The column types that the program's schema and update scripts name.
enum class ColumnType
{
    Text,     // TEXT(n), VARCHAR(n), CHAR(n)
    Memo,     // MEMO, LONGTEXT
    Counter,  // COUNTER, AUTOINCREMENT: an automatically numbered key
    YesNo,    // YESNO, BIT, LOGICAL
    Currency, // CURRENCY, MONEY
    DateTime, // DATETIME, DATE, TIME
    Long,     // LONG, INTEGER, INT
    Short,    // SHORT, SMALLINT
    Byte,     // BYTE, TINYINT
    Double,   // DOUBLE, FLOAT, NUMBER
    Single,   // SINGLE, REAL
    Binary,   // OLEOBJECT, LONGBINARY, BINARY
};

// What differs between the engines that can hold an archive. The translation of the
// program's SQL asks the dialect for every piece of text that is not the same everywhere.
class Dialect
{
public:
    virtual ~Dialect() = default;

    virtual QString name() const = 0;

    virtual QString quoteIdentifier(const QString &identifier) const;
    virtual QString dateLiteral(const QDateTime &value) const;
    virtual QString booleanLiteral(bool value) const = 0;
    // The expression that reads the key of the row inserted last on this connection.
    virtual QString lastIdentityExpression() const = 0;
    virtual QString limitClause(qint64 rows) const;
    // The operator that matches a LIKE pattern regardless of letter case.
    virtual QString likeOperator() const { return QStringLiteral("LIKE"); }
    // A condition true of every value that `operand LIKE pattern` is true of, which the engine
    // can answer from an index on the operand (a range of texts); empty when there is none.
    virtual QString likeRange(const QString & /*operand*/, QStringView /*pattern*/,
                              std::optional<QChar> /*escape*/) const
    {
        return {};
    }
    // A comparison that is true when both sides are null or equal.
    virtual QString nullSafeEqual(const QString &left, const QString &right) const
    {
        return left + QStringLiteral(" IS ") + right;
    }
    // The engine's name for a function the program calls by its Jet name.
    virtual QString functionName(const QString &jetName) const { return jetName; }
    // The full column type, with the constraints it implies (a counter is the primary key,
    // a yes/no column is never null). hasOwnDefault: the definition gives its own DEFAULT.
    virtual QString columnType(ColumnType type, int length, bool hasOwnDefault) const = 0;
    // The translated statement with what only this engine needs on top of the translation
    // every engine shares; by default the statement as it is.
    virtual QString engineForms(const QString &translated) const { return translated; }
};

} // namespace db
