// The data-set filter grammar on any text, evaluated on a few rows of every kind of value; a
// second filter after the first line break is asked whether it narrows the first.

#include "db/datasets/rowfilter.h"
#include "db/core/datetimes.h"
#include "fuzz/fuzzcheck.h"

namespace {

const QList<db::Column> &columns()
{
    static const QList<db::Column> c = {
        {QStringLiteral("Nome"), db::FieldKind::Text, {}, {}},
        {QStringLiteral("Note"), db::FieldKind::Memo, {}, {}},
        {QStringLiteral("ID"), db::FieldKind::Integer, {}, {}},
        {QStringLiteral("Data"), db::FieldKind::Date, {}, {}},
        {QStringLiteral("Annullato"), db::FieldKind::Bool, {}, {}},
        {QStringLiteral("Importo"), db::FieldKind::Currency, {}, {}},
        {QStringLiteral("Peso"), db::FieldKind::Real, {}, {}},
    };
    return c;
}

const QList<QVariantList> &rows()
{
    static const QList<QVariantList> r = {
        {QStringLiteral("Àlberti"), QStringLiteral("l'una; *%_"), 42LL,
         db::naiveDateTime(QDate(2026, 12, 7), QTime(9, 30)), true, 1234.56, -0.5},
        {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
        {QString(), QStringLiteral("12/07/2026"), -1LL, db::naiveDateTime(QDate(1, 1, 1)), false,
         0.0, 1e300},
        {QStringLiteral("ZETA"), QStringLiteral("42"), 9223372036854775807LL, QVariant(), false,
         -0.01, std::numeric_limits<double>::quiet_NaN()},
    };
    return r;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = text.indexOf(u'\n');
    const QStringView first = split < 0 ? QStringView(text) : QStringView(text).left(split);
    const db::Result<db::RowFilter> filter = db::RowFilter::parse(first, columns());
    if (!filter)
        return 0;
    QList<bool> kept;
    for (const QVariantList &row : rows())
        kept.append(filter->matches(row));
    if (split < 0)
        return 0;
    const db::Result<db::RowFilter> narrower =
        db::RowFilter::parse(QStringView(text).mid(split + 1), columns());
    if (!narrower || !narrower->refines(*filter))
        return 0;
    // A filter said to narrow another keeps no row the other drops.
    for (qsizetype r = 0; r < rows().size(); ++r)
        FUZZ_CHECK(!narrower->matches(rows()[r]) || kept[r]);
    return 0;
}
