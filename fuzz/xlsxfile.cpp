// The .xlsx reader on any bytes. An input that starts as a zip does ("PK") is read as the file;
// any other is cut at its NUL bytes into the parts of a workbook (the sheet, the shared strings,
// the styles, the workbook), which are stored uncompressed into a zip first, so that the
// fuzzer's changes reach the XML readers rather than stopping at the zip's checksums. What is
// read is texts, numbers, dates and truth values within the limits of a sheet, no row ending
// with an empty cell, no empty row last.

#include "sheets/xlsxfile.h"
#include "fuzz/fuzzcheck.h"

#include <QDate>

#include <zip.h>

#include <utility>

using namespace sheets;

namespace {

const QByteArray kRoot = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                         "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas."
                         "openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                         "Target=\"xl/workbook.xml\"/></Relationships>";
const QByteArray kLinks =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/sharedStrings\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/styles\" Target=\"/xl/styles.xml\"/></Relationships>";
const QByteArray kWorkbook =
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Contatti\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";

// A zip of `parts` (name, then text), stored uncompressed.
QByteArray packaged(const QList<std::pair<const char *, QByteArray>> &parts)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    FUZZ_CHECK(buffer);
    zip_source_keep(buffer);
    zip_t *zip = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    FUZZ_CHECK(zip);
    for (const auto &[name, text] : parts) {
        zip_source_t *part = zip_source_buffer(zip, text.constData(), zip_uint64_t(text.size()), 0);
        const zip_int64_t index = zip_file_add(zip, name, part, ZIP_FL_OVERWRITE);
        FUZZ_CHECK(index >= 0);
        zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_STORE, 0);
    }
    FUZZ_CHECK(zip_close(zip) == 0);
    QByteArray bytes;
    FUZZ_CHECK(zip_source_open(buffer) == 0);
    char chunk[4096];
    zip_int64_t n = 0;
    while ((n = zip_source_read(buffer, chunk, sizeof chunk)) > 0)
        bytes.append(chunk, qsizetype(n));
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray file = input;
    if (!input.startsWith("PK")) {
        const QList<QByteArray> pieces = input.split('\0');
        file = packaged({{"_rels/.rels", kRoot},
                         {"xl/_rels/workbook.xml.rels", kLinks},
                         {"xl/workbook.xml", pieces.size() > 3 ? pieces[3] : kWorkbook},
                         {"xl/worksheets/sheet1.xml", pieces[0]},
                         {"xl/sharedStrings.xml", pieces.value(1)},
                         {"xl/styles.xml", pieces.value(2)}});
    }
    const db::Result<SheetRows> rows = readXlsx(file);
    if (!rows) {
        FUZZ_CHECK(!rows.message().isEmpty());
        return 0;
    }
    FUZZ_CHECK(rows->size() <= 1'000'000);
    FUZZ_CHECK(rows->isEmpty() || !rows->last().isEmpty());
    for (const QVariantList &row : *rows) {
        FUZZ_CHECK(row.size() <= 16'384);
        FUZZ_CHECK(row.isEmpty() || row.last().isValid());
        for (const QVariant &cell : row) {
            switch (cell.typeId()) {
            case QMetaType::UnknownType:
            case QMetaType::Double:
            case QMetaType::Bool:
                break;
            case QMetaType::QString:
                FUZZ_CHECK(!cell.toString().isEmpty());
                break;
            case QMetaType::QDate:
                FUZZ_CHECK(cell.toDate().isValid());
                break;
            default:
                FUZZ_CHECK(false);
            }
        }
    }
    return 0;
}
