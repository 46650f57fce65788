#include "db/sql/sqltranslation.h"

#include "db/core/datetimes.h"
#include "db/sql/sqltokenizer.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>

namespace db {

namespace {

QString unquoted(const Token &token)
{
    if (token.kind == TokenKind::QuotedName)
        return token.text.mid(1, token.text.size() - 2);
    return token.text;
}

// Index of the first token at parenthesis depth 0 (relative to `from`) that satisfies pred,
// before `to`; -1 when none.
template <typename Pred>
qsizetype findAtDepth0(const Tokens &t, qsizetype from, qsizetype to, Pred pred)
{
    int depth = 0;
    for (qsizetype i = from; i < to && i < t.size(); ++i) {
        if (t[i].isPunct(u"(")) {
            ++depth;
        } else if (t[i].isPunct(u")")) {
            if (depth == 0)
                return -1;
            --depth;
        } else if (depth == 0 && pred(t[i])) {
            return i;
        }
    }
    return -1;
}

// A part of a date or time literal: one to maxDigits decimal digits, nothing else. A sign or
// a space would otherwise be read by toInt() ("-5" as a year).
int toInt(QStringView s, bool *ok, qsizetype maxDigits = 2)
{
    *ok = !s.isEmpty() && s.size() <= maxDigits &&
          std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return *ok ? s.toInt() : 0;
}

} // namespace

QDateTime parseJetDate(QStringView text)
{
    const QList<QStringView> parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return {};
    QStringView datePart = parts[0];
    QList<QStringView> d = datePart.split(datePart.contains(u'/') ? u'/' : u'-');
    if (d.size() != 3)
        return {};
    bool ok1 = false, ok2 = false, ok3 = false;
    int year, month, day;
    if (d[0].size() == 4) {
        year = toInt(d[0], &ok1, 4);
        month = toInt(d[1], &ok2);
        day = toInt(d[2], &ok3);
    } else {
        month = toInt(d[0], &ok1);
        day = toInt(d[1], &ok2);
        year = toInt(d[2], &ok3, 4);
        if (ok3 && d[2].size() <= 2)
            year += year < 30 ? 2000 : 1900;
    }
    if (!ok1 || !ok2 || !ok3)
        return {};
    const QDate date(year, month, day);
    if (!date.isValid())
        return {};
    QTime time(0, 0);
    if (parts.size() >= 2) {
        QStringView timePart = parts[1];
        QList<QStringView> tp = timePart.split(timePart.contains(u':') ? u':' : u'.');
        if (tp.size() < 2 || tp.size() > 3)
            return {};
        bool okH = false, okM = false, okS = true;
        int h = toInt(tp[0], &okH);
        const int m = toInt(tp[1], &okM);
        const int s = tp.size() == 3 ? toInt(tp[2], &okS) : 0;
        if (!okH || !okM || !okS)
            return {};
        if (parts.size() == 3) {
            const QString ampm = parts[2].toString().toUpper();
            if ((ampm != u"AM" && ampm != u"PM") || h < 1 || h > 12)
                return {};
            h = (h % 12) + (ampm == u"PM" ? 12 : 0);
        }
        time = QTime(h, m, s);
        if (!time.isValid())
            return {};
    }
    return naiveDateTime(date, time);
}

namespace {

class Translator
{
public:
    Translator(QStringView sql, const Dialect &dialect)
        : m_sql(sql), m_dialect(dialect), m_t(tokenizeSql(sql))
    {
    }

    Result<QString> run()
    {
        if (auto error = dropComments())
            return *error;
        if (auto error = stripTrailingSemicolons())
            return *error;
        if (auto error = rewriteLiterals())
            return *error;
        // A quote or bracket never closed runs to the end of the text: a rewrite that moved
        // text after it would hide that text inside it. The engine refuses such a statement.
        if (std::any_of(m_t.cbegin(), m_t.cend(),
                        [](const Token &t) { return t.kind == TokenKind::Unterminated; }))
            return joined(m_t, 0, m_t.size());
        rewritePrefixLikes();
        rewriteDelete();
        if (auto error = rewriteTop())
            return *error;
        rewriteUpdateJoin();
        rewriteDdl();
        return joined(m_t, 0, m_t.size());
    }

private:
    Error error(const QString &what) const
    {
        return Error{what + QStringLiteral("\nTesto: ") + m_sql.toString()};
    }

    qsizetype firstWord() const
    {
        const qsizetype i = m_t.isEmpty() || !m_t[0].isBlank() ? 0 : nextSignificant(m_t, 0);
        return i >= 0 && i < m_t.size() && m_t[i].kind == TokenKind::Word ? i : -1;
    }

    // The rewrites move, trim and join pieces of the statement; a "--" comment moved onto
    // one line with what followed its line break would swallow it (a WHERE, a join). So each
    // comment becomes the single space it stands for before anything is rewritten.
    std::optional<Error> dropComments()
    {
        for (Token &token : m_t) {
            if (token.kind == TokenKind::Comment) {
                token = Token{TokenKind::Space, QStringLiteral(" ")};
            } else if (token.kind == TokenKind::Unterminated && token.text.startsWith(u"/*")) {
                // The engine would take the rest of the text as a comment and run what is left.
                return error(QStringLiteral("Commento non chiuso nel testo SQL: manca \"*/\"."));
            }
        }
        return std::nullopt;
    }

    std::optional<Error> stripTrailingSemicolons()
    {
        while (!m_t.isEmpty() && (m_t.last().isBlank() || m_t.last().isPunct(u";")))
            m_t.removeLast();
        for (const Token &token : std::as_const(m_t)) {
            if (token.isPunct(u";"))
                return error(QStringLiteral("Il testo SQL contiene più di un'istruzione."));
        }
        return std::nullopt;
    }

    std::optional<Error> rewriteLiterals()
    {
        for (qsizetype i = 0; i < m_t.size(); ++i) {
            Token &token = m_t[i];
            switch (token.kind) {
            case TokenKind::DateLiteral: {
                const QDateTime value =
                    parseJetDate(QStringView(token.text).mid(1, token.text.size() - 2));
                if (!value.isValid())
                    return error(
                        QStringLiteral("Data non valida nel testo SQL: %1").arg(token.text));
                token.text = m_dialect.dateLiteral(value);
                break;
            }
            case TokenKind::QuotedName:
                if (token.text.startsWith(u'['))
                    token.text = m_dialect.quoteIdentifier(unquoted(token));
                break;
            case TokenKind::Punct:
                // Jet joins texts with &; it has no bitwise and.
                if (token.text == u"&")
                    token.text = QStringLiteral("||");
                break;
            case TokenKind::Word:
                if (token.isWord(u"@@IDENTITY")) {
                    token.text = m_dialect.lastIdentityExpression();
                } else if (token.isWord(u"DISTINCTROW")) {
                    token.text = QStringLiteral("DISTINCT");
                } else if (isCall(i)) {
                    token.text = m_dialect.functionName(token.text);
                } else if ((token.isWord(u"true") || token.isWord(u"false")) && isBareWord(i)) {
                    token.text = m_dialect.booleanLiteral(token.isWord(u"true"));
                }
                break;
            default:
                break;
            }
        }
        return std::nullopt;
    }

    bool isCall(qsizetype i) const
    {
        const qsizetype n = nextSignificant(m_t, i);
        const qsizetype p = previousSignificant(m_t, i);
        return n >= 0 && m_t[n].isPunct(u"(") && !(p >= 0 && m_t[p].isPunct(u"."));
    }

    // A word that is neither a qualified name, a function call nor an alias.
    bool isBareWord(qsizetype i) const
    {
        const qsizetype p = previousSignificant(m_t, i);
        const qsizetype n = nextSignificant(m_t, i);
        if (p >= 0 && (m_t[p].isPunct(u".") || m_t[p].isWord(u"AS")))
            return false;
        return !(n >= 0 && (m_t[n].isPunct(u".") || m_t[n].isPunct(u"(")));
    }

    // "name LIKE 'ross%'" in a condition becomes "(range AND name LIKE 'ross%')", with the
    // dialect's range of the texts the pattern can match: an index on the column then finds
    // them, and the LIKE still decides. Only where the comparison is a whole term of a WHERE,
    // ON or HAVING condition, so that it means the same inside its parentheses, and never
    // inside a select list, whose column names are the texts of their expressions.
    void rewritePrefixLikes()
    {
        // Not in a CREATE or ALTER: the schema keeps its texts as written.
        static const QStringList statements = {"SELECT", "WITH",   "UPDATE",
                                               "DELETE", "INSERT", "EXPLAIN"};
        const qsizetype first = firstWord();
        if (first < 0 || !statements.contains(m_t[first].text, Qt::CaseInsensitive))
            return;
        enum class Clause
        {
            Other,
            SelectList,
            Condition
        };
        Clause clause = Clause::Other;
        QList<Clause> enclosing;
        for (qsizetype i = first; i < m_t.size(); ++i) {
            const Token &t = m_t[i];
            if (t.isPunct(u"(")) {
                enclosing.append(clause); // a parenthesis goes on with its clause
            } else if (t.isPunct(u")")) {
                if (!enclosing.isEmpty())
                    clause = enclosing.takeLast();
            } else if (t.isWord(u"WHERE") || t.isWord(u"ON") || t.isWord(u"HAVING")) {
                clause = Clause::Condition;
            } else if (t.isWord(u"SELECT")) {
                clause = Clause::SelectList;
            } else if (isClauseWord(t)) {
                clause = Clause::Other;
            } else if (t.isWord(u"LIKE") && clause == Clause::Condition &&
                       !enclosing.contains(Clause::SelectList)) {
                i = rewritePrefixLike(i);
            }
        }
    }

    static bool isClauseWord(const Token &t)
    {
        static const QStringList words = {"FROM",   "JOIN",      "GROUP", "ORDER",  "LIMIT",
                                          "SET",    "VALUES",    "UNION", "EXCEPT", "INTERSECT",
                                          "WINDOW", "RETURNING", "USING"};
        return t.kind == TokenKind::Word && words.contains(t.text, Qt::CaseInsensitive);
    }

    // The value of a one-piece 'text' literal; nothing for anything else.
    static std::optional<QString> stringValue(const Token &t)
    {
        if (t.kind != TokenKind::String || t.text.size() < 2)
            return std::nullopt;
        return t.text.mid(1, t.text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    }

    static bool isName(const Token &t)
    {
        if (t.kind == TokenKind::QuotedName)
            return true;
        static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        static const QStringList keywords = {"NOT",     "NULL",  "AND",  "OR",    "IS",   "IN",
                                             "BETWEEN", "CASE",  "WHEN", "THEN",  "ELSE", "END",
                                             "EXISTS",  "WHERE", "ON",   "HAVING"};
        return t.kind == TokenKind::Word && identifier.match(t.text).hasMatch() &&
               !keywords.contains(t.text, Qt::CaseInsensitive);
    }

    // Whether the term that starts after `before` begins a term of its own: after an opening
    // parenthesis, a comma, or a word that binds less than LIKE (and not the AND of a BETWEEN
    // nor the NOT of IS NOT, after which the name would belong to the comparison before).
    bool startsTerm(qsizetype before) const
    {
        if (before < 0)
            return false;
        const Token &t = m_t[before];
        if (t.isPunct(u"(") || t.isPunct(u","))
            return true;
        static const QStringList words = {"WHERE", "ON", "HAVING", "OR", "WHEN", "THEN", "ELSE"};
        if (t.kind == TokenKind::Word && words.contains(t.text, Qt::CaseInsensitive))
            return true;
        if (t.isWord(u"NOT"))
            return !wordAt(m_t, previousSignificant(m_t, before), u"IS");
        if (!t.isWord(u"AND"))
            return false;
        int depth = 0;
        for (qsizetype i = previousSignificant(m_t, before); i >= 0;
             i = previousSignificant(m_t, i)) {
            if (m_t[i].isPunct(u")")) {
                ++depth;
            } else if (m_t[i].isPunct(u"(")) {
                if (depth-- == 0)
                    return true;
            } else if (depth == 0 && m_t[i].isWord(u"BETWEEN")) {
                return false;
            } else if (depth == 0 && (startsTermWord(m_t[i]))) {
                return true;
            }
        }
        return true;
    }

    static bool startsTermWord(const Token &t)
    {
        static const QStringList words = {"WHERE", "ON",   "HAVING", "AND",  "OR",
                                          "WHEN",  "THEN", "ELSE",   "CASE", "SELECT"};
        return t.kind == TokenKind::Word && words.contains(t.text, Qt::CaseInsensitive);
    }

    // Whether a term ends before token `after`: at the end, a closing parenthesis, a comma, or
    // a word that binds less than LIKE or starts another clause.
    bool endsTerm(qsizetype after) const
    {
        if (after < 0)
            return true;
        const Token &t = m_t[after];
        if (t.isPunct(u")") || t.isPunct(u","))
            return true;
        static const QStringList words = {
            "AND",   "OR",     "THEN",  "WHEN",  "ELSE",   "END",       "ORDER",  "GROUP",
            "LIMIT", "HAVING", "WHERE", "UNION", "EXCEPT", "INTERSECT", "WINDOW", "RETURNING",
            "JOIN",  "INNER",  "LEFT",  "RIGHT", "FULL",   "CROSS",     "NATURAL"};
        return t.kind == TokenKind::Word && words.contains(t.text, Qt::CaseInsensitive);
    }

    // The LIKE at `like`: rewritten when its left side is a column's name and its right side a
    // literal pattern. Returns the index of the last token it looked at.
    qsizetype rewritePrefixLike(qsizetype like)
    {
        qsizetype start = previousSignificant(m_t, like);
        if (start < 0 || !isName(m_t[start]))
            return like;
        for (qsizetype dot = previousSignificant(m_t, start); dot >= 0 && m_t[dot].isPunct(u".");
             dot = previousSignificant(m_t, start)) {
            const qsizetype qualifier = previousSignificant(m_t, dot);
            if (qualifier < 0 || !isName(m_t[qualifier]))
                return like;
            start = qualifier;
        }
        const qsizetype patternAt = nextSignificant(m_t, like);
        const std::optional<QString> pattern =
            patternAt < 0 ? std::nullopt : stringValue(m_t[patternAt]);
        if (!startsTerm(previousSignificant(m_t, start)) || !pattern)
            return like;
        qsizetype end = patternAt + 1;
        std::optional<QChar> escape;
        if (const qsizetype e = nextSignificant(m_t, patternAt); wordAt(m_t, e, u"ESCAPE")) {
            const qsizetype escapeAt = nextSignificant(m_t, e);
            const std::optional<QString> escapeText =
                escapeAt < 0 ? std::nullopt : stringValue(m_t[escapeAt]);
            // Any other escape is the engine's to refuse, as written.
            if (!escapeText || escapeText->size() != 1)
                return like;
            escape = escapeText->at(0);
            end = escapeAt + 1;
        }
        if (!endsTerm(nextSignificant(m_t, end - 1)))
            return like;
        QString operand;
        for (qsizetype i = start; i < like; ++i) {
            if (!m_t[i].isBlank())
                operand += m_t[i].text;
        }
        const QString range = m_dialect.likeRange(operand, *pattern, escape);
        if (range.isEmpty())
            return like;
        const QString condition =
            u'(' + range + QStringLiteral(" AND ") + joined(m_t, start, end) + u')';
        m_t.remove(start, end - start);
        m_t.insert(start, Token{TokenKind::Word, condition});
        return start;
    }

    // "delete * from T" and "delete T.* from T" become "delete from T".
    void rewriteDelete()
    {
        const qsizetype d = firstWord();
        if (d < 0 || !m_t[d].isWord(u"DELETE"))
            return;
        const qsizetype from =
            findAtDepth0(m_t, d + 1, m_t.size(), [](const Token &t) { return t.isWord(u"FROM"); });
        if (from < 0)
            return;
        for (qsizetype i = d + 1; i < from; ++i) {
            const Token &t = m_t[i];
            if (!(t.isBlank() || t.isPunct(u"*") || t.isPunct(u".") || t.kind == TokenKind::Word ||
                  t.kind == TokenKind::QuotedName))
                return;
        }
        m_t.remove(d + 1, from - d - 1);
        m_t.insert(d + 1, Token{TokenKind::Space, QStringLiteral(" ")});
    }

    // "select [distinct] top N ..." becomes "select [distinct] ... LIMIT N", the limit at the end
    // of the select it belongs to (a sub-select ends at its closing parenthesis).
    std::optional<Error> rewriteTop()
    {
        for (qsizetype s = 0; s < m_t.size(); ++s) {
            if (!m_t[s].isWord(u"SELECT"))
                continue;
            qsizetype top = nextSignificant(m_t, s);
            if (wordAt(m_t, top, u"DISTINCT") || wordAt(m_t, top, u"ALL"))
                top = nextSignificant(m_t, top);
            if (!wordAt(m_t, top, u"TOP"))
                continue;
            const qsizetype count = nextSignificant(m_t, top);
            bool ok = false;
            const qint64 rows = count >= 0 && m_t[count].kind == TokenKind::Number
                                    ? m_t[count].text.toLongLong(&ok)
                                    : 0;
            if (!ok)
                return error(QStringLiteral("Numero di righe non valido dopo TOP."));
            if (wordAt(m_t, nextSignificant(m_t, count), u"PERCENT"))
                return error(QStringLiteral("TOP ... PERCENT non è supportato."));
            qsizetype removeEnd = count + 1;
            if (removeEnd < m_t.size() && m_t[removeEnd].kind == TokenKind::Space)
                ++removeEnd;
            m_t.remove(top, removeEnd - top);
            qsizetype end = s + 1;
            for (int depth = 0; end < m_t.size(); ++end) {
                if (m_t[end].isPunct(u"("))
                    ++depth;
                else if (m_t[end].isPunct(u")") && depth-- == 0)
                    break;
            }
            // In a compound select the limit would apply to all of it, not to the first part.
            const auto isCompound = [](const Token &t) {
                return t.isWord(u"UNION") || t.isWord(u"EXCEPT") || t.isWord(u"INTERSECT");
            };
            if (findAtDepth0(m_t, s + 1, end, isCompound) >= 0)
                return error(QStringLiteral("TOP in un'istruzione con UNION non è supportato."));
            while (end > s + 1 && m_t[end - 1].isBlank())
                --end;
            m_t.insert(end, Token{TokenKind::Word, u' ' + m_dialect.limitClause(rows)});
        }
        return std::nullopt;
    }

    // "UPDATE a INNER JOIN b ON c SET a.x = e [WHERE w]" becomes
    // "UPDATE a SET x = e FROM b WHERE (c) AND (w)". Only the one-join form is rewritten.
    void rewriteUpdateJoin()
    {
        const qsizetype u = firstWord();
        if (u < 0 || !m_t[u].isWord(u"UPDATE"))
            return;
        const qsizetype set =
            findAtDepth0(m_t, u + 1, m_t.size(), [](const Token &t) { return t.isWord(u"SET"); });
        if (set < 0)
            return;
        const qsizetype target = nextSignificant(m_t, u);
        if (target < 0 || target >= set ||
            (m_t[target].kind != TokenKind::Word && m_t[target].kind != TokenKind::QuotedName))
            return;
        QString alias = unquoted(m_t[target]);
        qsizetype k = nextSignificant(m_t, target);
        qsizetype targetEnd = target + 1;
        if (wordAt(m_t, k, u"AS"))
            k = nextSignificant(m_t, k);
        const auto isJoinWord = [](const Token &t) {
            return t.isWord(u"INNER") || t.isWord(u"JOIN") || t.isWord(u"LEFT") ||
                   t.isWord(u"RIGHT") || t.isWord(u"OUTER") || t.isWord(u"FULL") ||
                   t.isWord(u"CROSS");
        };
        bool hasAlias = false;
        if (k >= 0 && k < set && m_t[k].kind != TokenKind::Punct && !isJoinWord(m_t[k])) {
            alias = unquoted(m_t[k]);
            hasAlias = true;
            targetEnd = k + 1;
            k = nextSignificant(m_t, k);
        }
        if (wordAt(m_t, k, u"INNER"))
            k = nextSignificant(m_t, k);
        if (!wordAt(m_t, k, u"JOIN"))
            return;
        const qsizetype on =
            findAtDepth0(m_t, k + 1, set, [](const Token &t) { return t.isWord(u"ON"); });
        if (on < 0)
            return;
        if (findAtDepth0(m_t, on + 1, set, isJoinWord) >= 0)
            return;
        const QString targetName = unquoted(m_t[target]);
        const qsizetype where = findAtDepth0(m_t, set + 1, m_t.size(),
                                             [](const Token &t) { return t.isWord(u"WHERE"); });
        const qsizetype setEnd = where < 0 ? m_t.size() : where;

        Tokens assignments = m_t.mid(set + 1, setEnd - set - 1);
        unqualifyAssignedColumns(assignments, targetName, alias);

        // The engine wants "AS" before the alias of the table being updated.
        QString sql = hasAlias ? joined(m_t, 0, target + 1) + QStringLiteral(" AS ") +
                                     m_dialect.quoteIdentifier(alias)
                               : joined(m_t, 0, targetEnd);
        sql += QStringLiteral(" SET") +
               joined(assignments, 0, assignments.size()).trimmed().prepend(u' ');
        sql += QStringLiteral(" FROM ") + joined(m_t, k + 1, on).trimmed();
        sql += QStringLiteral(" WHERE (") + joined(m_t, on + 1, set).trimmed() + u')';
        if (where >= 0)
            sql += QStringLiteral(" AND (") + joined(m_t, where + 1, m_t.size()).trimmed() + u')';
        m_t = Tokens{Token{TokenKind::Word, sql}};
    }

    static void unqualifyAssignedColumns(Tokens &a, const QString &table, const QString &alias)
    {
        bool atStart = true;
        int depth = 0;
        for (qsizetype i = 0; i < a.size(); ++i) {
            const Token &t = a[i];
            if (t.isBlank())
                continue;
            if (t.isPunct(u"("))
                ++depth;
            else if (t.isPunct(u")"))
                --depth;
            if (atStart) {
                const qsizetype dot = nextSignificant(a, i);
                const QString name = unquoted(t);
                if (dot >= 0 && a[dot].isPunct(u".") &&
                    (name.compare(table, Qt::CaseInsensitive) == 0 ||
                     name.compare(alias, Qt::CaseInsensitive) == 0)) {
                    a.remove(i, dot - i + 1);
                    --i;
                }
                atStart = false;
                continue;
            }
            if (depth == 0 && t.isPunct(u","))
                atStart = true;
        }
    }

    void rewriteDdl()
    {
        const qsizetype first = firstWord();
        if (first < 0)
            return;
        const qsizetype second = nextSignificant(m_t, first);
        if (m_t[first].isWord(u"CREATE") && wordAt(m_t, second, u"TABLE"))
            rewriteCreateTable(second);
        else if (m_t[first].isWord(u"ALTER") && wordAt(m_t, second, u"TABLE"))
            rewriteAlterAdd(second);
    }

    // The [first, last) token ranges of the definitions between the parentheses at `open`.
    QList<std::pair<qsizetype, qsizetype>> definitionsAfter(qsizetype open) const
    {
        QList<std::pair<qsizetype, qsizetype>> definitions;
        qsizetype start = open + 1;
        int depth = 0;
        for (qsizetype i = open + 1; i < m_t.size(); ++i) {
            if (m_t[i].isPunct(u"(")) {
                ++depth;
            } else if (m_t[i].isPunct(u")")) {
                if (depth-- == 0) {
                    definitions.append({start, i});
                    break;
                }
            } else if (depth == 0 && m_t[i].isPunct(u",")) {
                definitions.append({start, i});
                start = i + 1;
            }
        }
        return definitions;
    }

    void rewriteCreateTable(qsizetype tableWord)
    {
        qsizetype open = -1;
        for (qsizetype i = tableWord + 1; i < m_t.size() && open < 0; ++i) {
            if (m_t[i].isPunct(u"("))
                open = i;
        }
        if (open < 0)
            return;
        // From the last definition to the first, so that the earlier ranges stay valid.
        bool hasCounter = false;
        const auto definitions = definitionsAfter(open);
        for (auto it = definitions.crbegin(); it != definitions.crend(); ++it)
            hasCounter = rewriteColumnDefinition(it->first, it->second) || hasCounter;
        if (!hasCounter)
            return;
        // A counter is the primary key already: a separate primary key constraint would be a
        // second one.
        const auto rewritten = definitionsAfter(open);
        for (qsizetype d = rewritten.size() - 1; d >= 0; --d) {
            const auto [first, last] = rewritten[d];
            qsizetype p = nextSignificant(m_t, first - 1);
            if (wordAt(m_t, p, u"CONSTRAINT"))
                p = nextSignificant(m_t, nextSignificant(m_t, p));
            if (!wordAt(m_t, p, u"PRIMARY") || rewritten.size() == 1)
                continue;
            if (d > 0)
                m_t.remove(first - 1, last - first + 1); // with the comma before it
            else
                m_t.remove(first, last - first + 1); // with the comma after it
        }
    }

    void rewriteAlterAdd(qsizetype tableWord)
    {
        qsizetype add = nextSignificant(m_t, nextSignificant(m_t, tableWord));
        if (!wordAt(m_t, add, u"ADD"))
            return;
        qsizetype name = nextSignificant(m_t, add);
        if (wordAt(m_t, name, u"COLUMN"))
            name = nextSignificant(m_t, name);
        if (name < 0 || wordAt(m_t, name, u"CONSTRAINT") || wordAt(m_t, name, u"PRIMARY"))
            return;
        rewriteColumnDefinition(name, m_t.size());
    }

    // Maps the type of one column definition in [from, to). Returns whether it is a counter.
    bool rewriteColumnDefinition(qsizetype from, qsizetype to)
    {
        const qsizetype name = nextSignificant(m_t, from - 1);
        if (name < 0 || name >= to)
            return false;
        static const QStringList constraintWords = {
            QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE"),
            QStringLiteral("FOREIGN"),    QStringLiteral("CHECK"),   QStringLiteral("INDEX")};
        if (m_t[name].kind == TokenKind::Word &&
            constraintWords.contains(m_t[name].text, Qt::CaseInsensitive))
            return false;
        const qsizetype type = nextSignificant(m_t, name);
        if (type < 0 || type >= to || m_t[type].kind != TokenKind::Word)
            return false;
        const std::optional<ColumnType> mapped = columnTypeOf(m_t[type].text);
        if (!mapped)
            return false;
        qsizetype typeEnd = type + 1;
        int length = 0;
        const qsizetype open = nextSignificant(m_t, type);
        if (open >= 0 && open < to && m_t[open].isPunct(u"(")) {
            const qsizetype arg = nextSignificant(m_t, open);
            if (arg >= 0 && m_t[arg].kind == TokenKind::Number)
                length = m_t[arg].text.toInt();
            for (qsizetype i = open; i < to; ++i) {
                if (m_t[i].isPunct(u")")) {
                    typeEnd = i + 1;
                    break;
                }
            }
        }
        if (wordAt(m_t, nextSignificant(m_t, typeEnd - 1), u"PRECISION"))
            typeEnd = nextSignificant(m_t, typeEnd - 1) + 1;
        const bool hasDefault = findAtDepth0(m_t, typeEnd, to, [](const Token &t) {
                                    return t.isWord(u"DEFAULT");
                                }) >= 0;
        if (*mapped == ColumnType::Counter)
            removePrimaryKeyConstraint(typeEnd, to);
        m_t.remove(type, typeEnd - type);
        m_t.insert(type, Token{TokenKind::Word, m_dialect.columnType(*mapped, length, hasDefault)});
        return *mapped == ColumnType::Counter;
    }

    void removePrimaryKeyConstraint(qsizetype from, qsizetype to)
    {
        for (qsizetype i = from; i < to && i < m_t.size(); ++i) {
            if (!m_t[i].isWord(u"PRIMARY") || !wordAt(m_t, nextSignificant(m_t, i), u"KEY"))
                continue;
            qsizetype start = i;
            const qsizetype p = previousSignificant(m_t, i);
            if (p >= 0 && wordAt(m_t, previousSignificant(m_t, p), u"CONSTRAINT"))
                start = previousSignificant(m_t, p);
            m_t.remove(start, nextSignificant(m_t, i) + 1 - start);
            return;
        }
    }

    static std::optional<ColumnType> columnTypeOf(const QString &word)
    {
        static const QList<std::pair<QStringList, ColumnType>> names = {
            {{"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "CHARACTER", "STRING"},
             ColumnType::Text},
            {{"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT"}, ColumnType::Memo},
            {{"COUNTER", "AUTOINCREMENT", "IDENTITY"}, ColumnType::Counter},
            {{"YESNO", "BIT", "LOGICAL", "LOGICAL1", "BOOLEAN"}, ColumnType::YesNo},
            {{"CURRENCY", "MONEY"}, ColumnType::Currency},
            {{"DATETIME", "DATE", "TIME", "TIMESTAMP"}, ColumnType::DateTime},
            {{"LONG", "INTEGER", "INT", "INTEGER4"}, ColumnType::Long},
            {{"SHORT", "SMALLINT", "INTEGER2"}, ColumnType::Short},
            {{"BYTE", "TINYINT", "INTEGER1"}, ColumnType::Byte},
            {{"DOUBLE", "FLOAT", "FLOAT8", "NUMBER", "IEEEDOUBLE"}, ColumnType::Double},
            {{"SINGLE", "REAL", "FLOAT4", "IEEESINGLE"}, ColumnType::Single},
            {{"OLEOBJECT", "LONGBINARY", "BINARY", "VARBINARY", "IMAGE", "GENERAL"},
             ColumnType::Binary},
        };
        for (const auto &[words, type] : names) {
            if (words.contains(word, Qt::CaseInsensitive))
                return type;
        }
        return std::nullopt;
    }

    QStringView m_sql;
    const Dialect &m_dialect;
    Tokens m_t;
};

} // namespace

QStringList splitSqlScript(QStringView script)
{
    QStringList statements;
    QString current;
    bool significant = false;
    for (const Token &token : tokenizeSql(script)) {
        if (token.isPunct(u";")) {
            if (significant)
                statements.append(current.trimmed());
            current.clear();
            significant = false;
            continue;
        }
        current += token.text;
        significant = significant || !token.isBlank();
    }
    if (significant)
        statements.append(current.trimmed());
    return statements;
}

Result<QString> translateSql(QStringView programSql, const Dialect &dialect)
{
    Result<QString> sql = Translator(programSql, dialect).run();
    if (!sql)
        return sql;
    return dialect.engineForms(*sql);
}

} // namespace db
