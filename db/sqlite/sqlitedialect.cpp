#include "db/sqlite/sqlitedialect.h"

#include "db/sqlite/sqlitefunctions.h"

namespace db {

QString SqliteDialect::booleanLiteral(bool value) const
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString SqliteDialect::lastIdentityExpression() const
{
    return QStringLiteral("last_insert_rowid()");
}

// LEFT and RIGHT are keywords here; the connection registers the functions under other names.
QString SqliteDialect::functionName(const QString &jetName) const
{
    if (jetName.compare(u"left", Qt::CaseInsensitive) == 0)
        return QStringLiteral("jet_left");
    if (jetName.compare(u"right", Qt::CaseInsensitive) == 0)
        return QStringLiteral("jet_right");
    return jetName;
}

// The texts a pattern with a literal beginning can match lie between two texts in the
// collation's order; compared by the collation, the column's index finds them. Without the
// collation named here a column declared otherwise would be compared by another order.
QString SqliteDialect::likeRange(const QString &operand, QStringView pattern,
                                 std::optional<QChar> escape) const
{
    const std::optional<TextBounds> bounds = likePrefixBounds(pattern, escape);
    if (!bounds)
        return {};
    const auto literal = [](QString text) {
        return u'\'' + text.replace(u'\'', QStringLiteral("''")) + u'\'';
    };
    const QString sorted = operand + QStringLiteral(" COLLATE ") + QLatin1String(kTextCollation);
    return sorted + QStringLiteral(" > ") + literal(bounds->above) + QStringLiteral(" AND ") +
           sorted + QStringLiteral(" < ") + literal(bounds->below);
}

// Texts carry the program's own collation (registered by the connection): equality and order
// ignore letter case and accents sort beside their plain letters, as the program expects. The
// declared type names are what the reading side turns back into kinds of values (see
// kindFromDeclaredType).
QString SqliteDialect::columnType(ColumnType type, int length, bool hasOwnDefault) const
{
    switch (type) {
    case ColumnType::Text:
        return QStringLiteral("VARCHAR(%1) COLLATE %2")
            .arg(length > 0 ? length : 255)
            .arg(QLatin1String(kTextCollation));
    case ColumnType::Memo:
        return QStringLiteral("LONGTEXT COLLATE %1").arg(QLatin1String(kTextCollation));
    case ColumnType::Counter:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ColumnType::YesNo:
        return hasOwnDefault ? QStringLiteral("BOOLEAN NOT NULL")
                             : QStringLiteral("BOOLEAN NOT NULL DEFAULT 0");
    case ColumnType::Currency:
        return QStringLiteral("CURRENCY");
    case ColumnType::DateTime:
        return QStringLiteral("DATETIME");
    case ColumnType::Long:
        return QStringLiteral("INTEGER");
    case ColumnType::Short:
        return QStringLiteral("SMALLINT");
    case ColumnType::Byte:
        return QStringLiteral("TINYINT");
    case ColumnType::Double:
        return QStringLiteral("DOUBLE");
    case ColumnType::Single:
        return QStringLiteral("FLOAT");
    case ColumnType::Binary:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}

} // namespace db
