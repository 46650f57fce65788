// The SQL translation on any text: no crash, no hang, tokens that give back the text, and a
// comment between two tokens that changes nothing in what comes out but blanks.

#include "db/sql/sqltranslation.h"
#include "db/core/enginefunctions.h"
#include "db/sql/sqltokenizer.h"
#include "fuzz/fuzzcheck.h"

namespace {

// A comment is a blank to the engine, so the translation with one may differ from the one
// without only in blanks.
QString withoutBlanks(const QString &sql)
{
    QString out;
    for (QChar c : sql) {
        if (!c.isSpace())
            out += c;
    }
    return out;
}

// A translation or its message on one line, for the log of a finding.
QByteArray shown(const db::Result<QString> &r)
{
    return (r.ok() ? *r : r.message()).toUtf8().replace('\0', "\\0").replace('\n', "\\n");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const db::Dialect &dialect = db::fileDialect();
    const QString sql =
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QList<db::Token> tokens = db::tokenizeSql(sql);
    QString again;
    for (const db::Token &t : tokens)
        again += t.text;
    FUZZ_CHECK(again == sql);

    const db::Result<QString> plain = db::translateSql(sql, dialect);

    // The first byte chooses where a comment goes and which kind.
    const qsizetype at = tokens.isEmpty() ? 0 : data[0] % (tokens.size() + 1);
    const QString comment = data[0] & 0x80 ? QStringLiteral("-- c\n") : QStringLiteral("/* c */");
    QString commented;
    for (qsizetype i = 0; i < tokens.size(); ++i)
        commented += (i == at ? comment : QString()) + tokens[i].text;
    if (at == tokens.size())
        commented += comment;
    // After an unterminated token the comment is part of it, not a comment; after a "-" or a
    // "/" it would join it into another comment.
    const bool inside =
        at > 0 && (tokens[at - 1].kind == db::TokenKind::Unterminated ||
                   tokens[at - 1].text.endsWith(u'-') || tokens[at - 1].text.endsWith(u'/'));
    const db::Result<QString> withComment = db::translateSql(commented, dialect);
    if (!inside) {
        if (plain.ok() != withComment.ok() ||
            (plain.ok() && withoutBlanks(*plain) != withoutBlanks(*withComment)))
            std::fprintf(stderr, "without: %s\nwith:    %s\n", shown(plain).constData(),
                         shown(withComment).constData());
        FUZZ_CHECK(plain.ok() == withComment.ok());
        if (plain.ok())
            FUZZ_CHECK(withoutBlanks(*plain) == withoutBlanks(*withComment));
    }
    return 0;
}
