#pragma once

#include "db/core/dialect.h"

namespace db {

// The collation of every text column on a server: letter case ignored, accented letters beside
// their plain ones (equal only when the accents are the same too).
inline constexpr char kServerTextCollation[] = "calvetra_testo";
// The collation LIKE works with on a server: the one above cannot match patterns.
inline constexpr char kServerLikeCollation[] = "calvetra_confronto";

class PgDialect final : public Dialect
{
public:
    QString name() const override { return QStringLiteral("PostgreSQL"); }
    // The tables and columns are created without quotes, so their names are kept in lower case.
    QString quoteIdentifier(const QString &identifier) const override;
    QString dateLiteral(const QDateTime &value) const override;
    QString booleanLiteral(bool value) const override;
    QString lastIdentityExpression() const override;
    QString nullSafeEqual(const QString &left, const QString &right) const override;
    QString functionName(const QString &jetName) const override;
    QString columnType(ColumnType type, int length, bool hasOwnDefault) const override;
    // LIKE ignores letter case and reads no escape character, and nulls sort before every value,
    // as on a file (serverforms.h).
    QString engineForms(const QString &translated) const override;
};

// The names of the session settings the server-side functions read.
inline constexpr char kLastKeySetting[] = "calvetra.chiave";
inline constexpr char kFixedNowSetting[] = "calvetra.adesso";

// What a new database needs before the tables: the collations, the functions the program's SQL
// calls by their Jet names and the trigger that keeps the counters as the program expects.
QStringList pgSupportStatements();

} // namespace db
