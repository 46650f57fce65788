// An update script file on any bytes: the UTF-8 check, the split into statements and the
// translation of each. A text accepted as UTF-8 must come back byte for byte; the statements
// must hold every token of the script but the separating semicolons, in order.

#include "db/core/enginefunctions.h"
#include "db/sql/scripttext.h"
#include "db/sql/sqltokenizer.h"
#include "db/sql/sqltranslation.h"
#include "fuzz/fuzzcheck.h"

#include <QStringList>

namespace {

QStringList significant(const QString &sql, bool withoutSemicolons)
{
    QStringList texts;
    for (const db::Token &t : db::tokenizeSql(sql)) {
        if (!t.isBlank() && !(withoutSemicolons && t.isPunct(u";")))
            texts.append(t.text.trimmed());
    }
    return texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const db::Dialect &dialect = db::fileDialect();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<QString> text = db::scriptText(bytes);
    if (!text)
        return 0;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    FUZZ_CHECK(text->toUtf8() == (bom ? bytes.mid(3) : bytes));

    const QStringList statements = db::splitSqlScript(*text);
    QStringList pieces;
    for (const QString &statement : statements) {
        FUZZ_CHECK(!statement.trimmed().isEmpty());
        pieces += significant(statement, false);
        (void)db::translateSql(statement, dialect);
    }
    FUZZ_CHECK(pieces == significant(*text, true));
    return 0;
}
