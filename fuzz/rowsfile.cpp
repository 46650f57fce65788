// The reader of the runner's rows files on any bytes: no crash, and rows it accepts have one
// value per column and write back to the same rows.

#include "session/rowsfile.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<db::RowSet> rows = readRowsText(bytes, QStringLiteral("prova.json"));
    if (!rows)
        return 0;
    for (const QVariantList &row : rows->rows)
        FUZZ_CHECK(row.size() == rows->columns.size());
    const db::Result<db::RowSet> again =
        readRowsText(rowsFileText(*rows), QStringLiteral("prova.json"));
    FUZZ_CHECK(again.ok() && again->rows.size() == rows->rows.size() &&
               again->columns.size() == rows->columns.size());
    return 0;
}
