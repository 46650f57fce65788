// The data-set sort grammar on the first line of the input, the rest as text values to sort.
// The order must be total (what the sort puts first never compares greater), and the
// archive's collation must order the same texts the same way, or an index and a list would
// disagree.

#include "db/datasets/rowsort.h"
#include "db/core/enginefunctions.h"
#include "fuzz/fuzzcheck.h"

#include <QStringList>

namespace {

int sign(int v)
{
    return (v > 0) - (v < 0);
}

int collation(const QString &a, const QString &b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return sign(
        db::compareArchiveTexts(x.constData(), int(x.size()), y.constData(), int(y.size())));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList lines = text.split(u'\n');
    const QString sortText = lines.takeFirst();
    if (lines.size() > 64)
        return 0;
    static const QList<db::Column> columns = {
        {QStringLiteral("Nome"), db::FieldKind::Text, {}, {}},
        {QStringLiteral("Numero"), db::FieldKind::Integer, {}, {}},
    };
    QList<QVariantList> rows;
    for (const QString &line : std::as_const(lines)) {
        bool isNumber = false;
        const qlonglong n = line.toLongLong(&isNumber);
        rows.append({line, isNumber ? QVariant(n) : QVariant()});
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (qsizetype j = 0; j < rows.size(); ++j) {
            const QString &a = lines[i];
            const QString &b = lines[j];
            FUZZ_CHECK(collation(a, b) == -collation(b, a));
            FUZZ_CHECK(sign(db::compareValues(a, b)) == collation(a, b));
        }
    }
    const db::Result<db::RowSort> sort = db::RowSort::parse(sortText, columns);
    if (!sort)
        return 0;
    QList<qsizetype> order;
    for (qsizetype i = 0; i < rows.size(); ++i)
        order.append(i);
    sort->sort(order, rows);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        FUZZ_CHECK(sort->compare(rows[order[i]], rows[order[i + 1]]) <= 0);
    return 0;
}
