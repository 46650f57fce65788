#include "db/postgres/pgdialect.h"

#include "db/postgres/serverforms.h"

#include "db/core/datetimes.h"

#include <QStringList>

namespace db {

QString PgDialect::quoteIdentifier(const QString &identifier) const
{
    return Dialect::quoteIdentifier(identifier.toLower());
}

QString PgDialect::dateLiteral(const QDateTime &value) const
{
    return QStringLiteral("TIMESTAMP '") + storedDateTimeText(value) + u'\'';
}

QString PgDialect::booleanLiteral(bool value) const
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

// The counter trigger records every key it sees in a setting of the session.
QString PgDialect::lastIdentityExpression() const
{
    return QStringLiteral("COALESCE(CAST(NULLIF(current_setting('%1', true), '') AS BIGINT), 0)")
        .arg(QLatin1String(kLastKeySetting));
}

QString PgDialect::nullSafeEqual(const QString &left, const QString &right) const
{
    return left + QStringLiteral(" IS NOT DISTINCT FROM ") + right;
}

// The Jet functions live in the database under names of their own (some Jet names are words
// the server reserves).
QString PgDialect::functionName(const QString &jetName) const
{
    static const QStringList jet = {"year",   "month", "day",   "hour",  "minute",
                                    "second", "date",  "now",   "ucase", "lcase",
                                    "len",    "left",  "right", "mid",   "nz"};
    const QString lower = jetName.toLower();
    return jet.contains(lower) ? QStringLiteral("calvetra_") + lower : jetName;
}

QString PgDialect::columnType(ColumnType type, int, bool hasOwnDefault) const
{
    // Texts have no length limit, as on a file: a long value is kept, never refused.
    switch (type) {
    case ColumnType::Text:
        return QStringLiteral("VARCHAR COLLATE %1").arg(QLatin1String(kServerTextCollation));
    case ColumnType::Memo:
        return QStringLiteral("TEXT COLLATE %1").arg(QLatin1String(kServerTextCollation));
    case ColumnType::Counter:
        return QStringLiteral("SERIAL PRIMARY KEY");
    case ColumnType::YesNo:
        return hasOwnDefault ? QStringLiteral("BOOLEAN NOT NULL")
                             : QStringLiteral("BOOLEAN NOT NULL DEFAULT FALSE");
    case ColumnType::Currency:
        return QStringLiteral("NUMERIC(19,4)");
    case ColumnType::DateTime:
        return QStringLiteral("TIMESTAMP(0)");
    case ColumnType::Long:
        return QStringLiteral("INTEGER");
    case ColumnType::Short:
    case ColumnType::Byte:
        return QStringLiteral("SMALLINT");
    case ColumnType::Double:
        return QStringLiteral("DOUBLE PRECISION");
    case ColumnType::Single:
        return QStringLiteral("REAL");
    case ColumnType::Binary:
        return QStringLiteral("BYTEA");
    }
    return QStringLiteral("BYTEA");
}

QStringList pgSupportStatements()
{
    const QString now =
        QStringLiteral("COALESCE(CAST(NULLIF(current_setting('%1', true), '') AS TIMESTAMP(0)), "
                       "CAST(LOCALTIMESTAMP AS TIMESTAMP(0)))")
            .arg(QLatin1String(kFixedNowSetting));
    QStringList s = {
        QStringLiteral(
            "CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = 'und-u-ks-level2', "
            "deterministic = false)")
            .arg(QLatin1String(kServerTextCollation)),
        QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = 'und')")
            .arg(QLatin1String(kServerLikeCollation)),
        QStringLiteral("CREATE OR REPLACE FUNCTION calvetra_now() RETURNS TIMESTAMP(0) "
                       "LANGUAGE sql STABLE AS $$ SELECT %1 $$")
            .arg(now),
        QStringLiteral("CREATE OR REPLACE FUNCTION calvetra_date() RETURNS TIMESTAMP(0) "
                       "LANGUAGE sql STABLE AS $$ SELECT date_trunc('day', calvetra_now()) $$"),
    };
    for (const char *part : {"year", "month", "day", "hour", "minute", "second"}) {
        s.append(QStringLiteral("CREATE OR REPLACE FUNCTION calvetra_%1(TIMESTAMP) RETURNS INTEGER "
                                "LANGUAGE sql IMMUTABLE PARALLEL SAFE AS "
                                "$$ SELECT CAST(floor(extract(%1 FROM $1)) AS INTEGER) $$")
                     .arg(QLatin1String(part)));
    }
    const QString text = QStringLiteral("CREATE OR REPLACE FUNCTION calvetra_%1 LANGUAGE sql "
                                        "IMMUTABLE PARALLEL SAFE AS $$ SELECT %2 $$");
    s += {
        text.arg(QStringLiteral("ucase(TEXT) RETURNS TEXT"), QStringLiteral("upper($1)")),
        text.arg(QStringLiteral("lcase(TEXT) RETURNS TEXT"), QStringLiteral("lower($1)")),
        text.arg(QStringLiteral("len(TEXT) RETURNS INTEGER"), QStringLiteral("length($1)")),
        text.arg(QStringLiteral("left(TEXT, INTEGER) RETURNS TEXT"),
                 QStringLiteral("left($1, greatest($2, 0))")),
        text.arg(QStringLiteral("right(TEXT, INTEGER) RETURNS TEXT"),
                 QStringLiteral("right($1, greatest($2, 0))")),
        text.arg(QStringLiteral("mid(TEXT, INTEGER) RETURNS TEXT"),
                 QStringLiteral("substr($1, greatest($2, 1))")),
        text.arg(QStringLiteral("mid(TEXT, INTEGER, INTEGER) RETURNS TEXT"),
                 QStringLiteral("substr($1, greatest($2, 1), greatest($3, 0))")),
        text.arg(QStringLiteral("nz(TEXT) RETURNS TEXT"), QStringLiteral("COALESCE($1, '')")),
        text.arg(QStringLiteral("nz(ANYELEMENT, ANYELEMENT) RETURNS ANYELEMENT"),
                 QStringLiteral("COALESCE($1, $2)")),
        // A key given by the statement moves the counter past it, as on a file; the key of every
        // new row is kept for @@IDENTITY. Arguments: the sequence and the key column.
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION calvetra_counter() RETURNS trigger LANGUAGE plpgsql AS $$\n"
            "DECLARE k BIGINT := CAST(to_jsonb(NEW) ->> TG_ARGV[1] AS BIGINT);\n"
            "BEGIN\n"
            "  PERFORM set_config('%1', CAST(k AS TEXT), false);\n"
            "  IF k > COALESCE(pg_sequence_last_value(CAST(TG_ARGV[0] AS regclass)), 0) THEN\n"
            "    PERFORM setval(CAST(TG_ARGV[0] AS regclass), k);\n"
            "  END IF;\n"
            "  RETURN NEW;\n"
            "END $$")
            .arg(QLatin1String(kLastKeySetting)),
        // Puts the trigger on every counter that lacks it; run after the tables change.
        QStringLiteral(
            "CREATE OR REPLACE FUNCTION calvetra_install_counters() RETURNS void LANGUAGE plpgsql "
            "AS $$\n"
            "DECLARE r RECORD;\n"
            "BEGIN\n"
            "  FOR r IN SELECT c.relname, a.attname, "
            "pg_get_serial_sequence(quote_ident(c.relname), a.attname) AS seq\n"
            "      FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid\n"
            "      WHERE c.relnamespace = CAST(current_schema() AS regnamespace) AND c.relkind = "
            "'r'\n"
            "        AND a.attnum > 0 AND NOT a.attisdropped\n"
            "        AND pg_get_serial_sequence(quote_ident(c.relname), a.attname) IS NOT NULL\n"
            "        AND NOT EXISTS (SELECT 1 FROM pg_trigger t WHERE t.tgrelid = c.oid\n"
            "                        AND t.tgname = 'calvetra_counter')\n"
            "  LOOP\n"
            "    EXECUTE format('CREATE TRIGGER calvetra_counter BEFORE INSERT ON %I FOR EACH ROW "
            "'\n"
            "                   'EXECUTE FUNCTION calvetra_counter(%L, %L)', r.relname, r.seq, "
            "r.attname);\n"
            "  END LOOP;\n"
            "END $$"),
    };
    return s;
}

QString PgDialect::engineForms(const QString &translated) const
{
    return withServerForms(translated);
}

} // namespace db
