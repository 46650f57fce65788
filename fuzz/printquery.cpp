// The reader of a print job's query on any text: no crash, and a query it accepts with values of
// its own has a value for each of its parameters and writes back to what it read.

#include "session/printquery.h"
#include "db/sql/sqltokenizer.h"
#include "fuzz/fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<PrintQuery> query = readPrintQuery(text);
    if (!query || !query->ownValues)
        return 0;
    qsizetype parameters = 0;
    for (const db::Token &token : db::tokenizeSql(query->sql))
        parameters += token.isPunct(u"?") ? 1 : 0;
    FUZZ_CHECK(parameters == query->values.size());
    const db::Result<PrintQuery> again = readPrintQuery(printQueryText(query->sql, query->values));
    FUZZ_CHECK(again.ok() && again->sql == query->sql && again->values == query->values);
    return 0;
}
