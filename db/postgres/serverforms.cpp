#include "db/postgres/serverforms.h"

#include "db/postgres/pgdialect.h"
#include "db/sql/sqltokenizer.h"

#include <QStringList>

namespace db {

namespace {

// The forms the server needs on top of the shared translation: LIKE that ignores letter
// case and reads no escape character, and nulls sorted before every value.
class ServerForms
{
public:
    explicit ServerForms(const QString &sql) : m_t(tokenizeSql(sql)) {}

    QString run()
    {
        rewriteLike();
        rewriteNullOrder();
        return joined(m_t, 0, m_t.size());
    }

private:
    // Where an operand that starts at `from` ends: before the first word or operator at its own
    // depth that binds less tightly than the operators inside it, or a closing parenthesis.
    qsizetype operandEnd(qsizetype from) const
    {
        static const QStringList stopWords = {
            "AND",   "OR",    "NOT",    "ESCAPE", "THEN",   "WHEN",  "ELSE",   "END",
            "ORDER", "GROUP", "HAVING", "LIMIT",  "OFFSET", "UNION", "EXCEPT", "INTERSECT",
            "FROM",  "WHERE", "AS",     "ASC",    "DESC",   "IS",    "IN",     "BETWEEN",
            "LIKE",  "ILIKE", "ON",     "JOIN",   "INNER",  "LEFT",  "RIGHT"};
        static const QStringList stopPuncts = {",", "=", "<", ">", "<=", ">=", "<>", "!=", ";"};
        int depth = 0;
        qsizetype i = from;
        for (; i < m_t.size(); ++i) {
            const Token &t = m_t[i];
            if (t.isPunct(u"(")) {
                ++depth;
            } else if (t.isPunct(u")")) {
                if (depth-- == 0)
                    break;
            } else if (depth == 0 && i > from &&
                       ((t.kind == TokenKind::Word &&
                         stopWords.contains(t.text, Qt::CaseInsensitive)) ||
                        (t.kind == TokenKind::Punct && stopPuncts.contains(t.text)))) {
                break;
            }
        }
        while (i > from && m_t[i - 1].isBlank())
            --i;
        return i;
    }

    void rewriteLike()
    {
        for (qsizetype i = m_t.size() - 1; i >= 0; --i) {
            if (!m_t[i].isWord(u"LIKE"))
                continue;
            const qsizetype start = nextSignificant(m_t, i);
            if (start < 0)
                continue;
            const qsizetype end = operandEnd(start);
            const bool ownEscape = wordAt(m_t, nextSignificant(m_t, end - 1), u"ESCAPE");
            QString pattern = QStringLiteral("(") + joined(m_t, start, end) +
                              QStringLiteral(") COLLATE ") + QLatin1String(kServerLikeCollation);
            if (!ownEscape)
                pattern += QStringLiteral(" ESCAPE ''");
            m_t.remove(start, end - start);
            m_t.insert(start, Token{TokenKind::Word, pattern});
            m_t[i].text = QStringLiteral("ILIKE");
        }
    }

    void rewriteNullOrder()
    {
        for (qsizetype i = m_t.size() - 1; i >= 0; --i) {
            if (!m_t[i].isWord(u"ORDER") || !wordAt(m_t, nextSignificant(m_t, i), u"BY"))
                continue;
            const qsizetype first = nextSignificant(m_t, nextSignificant(m_t, i));
            if (first < 0)
                continue;
            // The ends of the items, last first, so that the earlier positions stay valid.
            QList<qsizetype> ends;
            int depth = 0;
            qsizetype j = first;
            for (; j < m_t.size(); ++j) {
                const Token &t = m_t[j];
                if (t.isPunct(u"(")) {
                    ++depth;
                } else if (t.isPunct(u")")) {
                    if (depth-- == 0)
                        break;
                } else if (depth == 0 &&
                           (t.isWord(u"LIMIT") || t.isWord(u"OFFSET") || t.isWord(u"FETCH") ||
                            t.isWord(u"FOR") || t.isWord(u"UNION") || t.isWord(u"EXCEPT") ||
                            t.isWord(u"INTERSECT"))) {
                    break;
                } else if (depth == 0 && t.isPunct(u",")) {
                    ends.prepend(j);
                }
            }
            ends.prepend(j);
            for (qsizetype end : std::as_const(ends)) {
                qsizetype last = end;
                while (last > first && m_t[last - 1].isBlank())
                    --last;
                const qsizetype word = previousSignificant(m_t, last);
                if (word < 0 || wordAt(m_t, word, u"FIRST") || wordAt(m_t, word, u"LAST"))
                    continue;
                const bool descending = wordAt(m_t, word, u"DESC");
                m_t.insert(last,
                           Token{TokenKind::Word, descending ? QStringLiteral(" NULLS LAST")
                                                             : QStringLiteral(" NULLS FIRST")});
            }
        }
    }

    Tokens m_t;
};

} // namespace

QString withServerForms(const QString &translated)
{
    return ServerForms(translated).run();
}

} // namespace db
