// The CSV reader on any bytes. What it reads is texts, no row of empty cells; a table whose
// rows have as many cells, more than one, comes back the same from the file the writer makes of
// it (its cells holding no control characters, which could make the file look binary).

#include "sheets/csvfile.h"
#include "fuzz/fuzzcheck.h"

using namespace sheets;

namespace {

bool plainText(const SheetRows &rows)
{
    for (const QVariantList &row : rows) {
        for (const QVariant &cell : row) {
            for (const QChar c : cell.toString()) {
                if ((c.unicode() < 0x20 || c.unicode() == 0x7F) && c != u'\n' && c != u'\t')
                    return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    CsvFormat format;
    const db::Result<SheetRows> rows =
        readCsv(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), &format);
    if (!rows) {
        FUZZ_CHECK(!rows.message().isEmpty());
        return 0;
    }
    FUZZ_CHECK(!rows->isEmpty());
    FUZZ_CHECK(format.separator == u';' || format.separator == u',' || format.separator == u'\t');
    bool even = true;
    for (const QVariantList &row : *rows) {
        FUZZ_CHECK(!row.isEmpty());
        bool empty = true;
        for (const QVariant &cell : row) {
            FUZZ_CHECK(cell.typeId() == QMetaType::QString);
            empty = empty && cell.toString().isEmpty();
        }
        FUZZ_CHECK(!empty);
        even = even && row.size() == rows->first().size();
    }
    if (even && rows->first().size() > 1 && plainText(*rows)) {
        CsvFormat again;
        const db::Result<SheetRows> back = readCsv(writeCsv(*rows), &again);
        FUZZ_CHECK(back.ok());
        FUZZ_CHECK(*back == *rows);
        FUZZ_CHECK(again.separator == u';' && again.utf8 && again.byteOrderMark);
    }
    return 0;
}
