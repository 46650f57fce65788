#include "db/sql/sqltokenizer.h"

#include <algorithm>

namespace db {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'$';
}

bool isWordPart(QChar c)
{
    return isWordStart(c) || c.isDigit();
}

// A '#' starts a date literal only when what follows up to the next '#' looks like a date.
qsizetype dateLiteralEnd(QStringView sql, qsizetype start)
{
    for (qsizetype i = start + 1; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (c == u'#')
            return i > start + 1 ? i + 1 : -1;
        if (!(c.isDigit() || c == u'/' || c == u'-' || c == u'.' || c == u':' || c == u' ' ||
              c.toUpper() == u'A' || c.toUpper() == u'P' || c.toUpper() == u'M'))
            return -1;
    }
    return -1;
}

qsizetype quotedEnd(QStringView sql, qsizetype start, QChar close, bool doubledEscapes)
{
    for (qsizetype i = start + 1; i < sql.size(); ++i) {
        if (sql[i] != close)
            continue;
        if (doubledEscapes && i + 1 < sql.size() && sql[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

} // namespace

QList<Token> tokenizeSql(QStringView sql)
{
    QList<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    auto push = [&](TokenKind kind, qsizetype end) {
        tokens.append(Token{kind, sql.mid(i, end - i).toString()});
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            qsizetype e = i;
            while (e < n && sql[e].isSpace())
                ++e;
            push(TokenKind::Space, e);
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            qsizetype e = i;
            while (e < n && sql[e] != u'\n')
                ++e;
            push(TokenKind::Comment, e);
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            const qsizetype close = sql.indexOf(u"*/", i + 2);
            push(close < 0 ? TokenKind::Unterminated : TokenKind::Comment,
                 close < 0 ? n : close + 2);
        } else if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            const qsizetype e = quotedEnd(sql, i, close, c != u'[');
            if (e < 0)
                push(TokenKind::Unterminated, n);
            else
                push(c == u'\'' ? TokenKind::String : TokenKind::QuotedName, e);
        } else if (c == u'#') {
            const qsizetype e = dateLiteralEnd(sql, i);
            push(e < 0 ? TokenKind::Punct : TokenKind::DateLiteral, e < 0 ? i + 1 : e);
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            qsizetype e = i;
            while (e < n && (sql[e].isDigit() || sql[e] == u'.'))
                ++e;
            if (e < n && (sql[e] == u'e' || sql[e] == u'E') && e + 1 < n &&
                (sql[e + 1].isDigit() || ((sql[e + 1] == u'+' || sql[e + 1] == u'-') && e + 2 < n &&
                                          sql[e + 2].isDigit()))) {
                e += 2;
                while (e < n && sql[e].isDigit())
                    ++e;
            }
            push(TokenKind::Number, e);
        } else if (isWordStart(c)) {
            qsizetype e = i + 1;
            while (e < n && isWordPart(sql[e]))
                ++e;
            push(TokenKind::Word, e);
        } else {
            static const QStringView twoChar[] = {u"<=", u">=", u"<>", u"!=", u"||", u"=="};
            qsizetype e = i + 1;
            for (QStringView op : twoChar) {
                if (sql.mid(i).startsWith(op)) {
                    e = i + 2;
                    break;
                }
            }
            push(TokenKind::Punct, e);
        }
    }
    return tokens;
}

qsizetype nextSignificant(const Tokens &t, qsizetype i)
{
    for (++i; i < t.size(); ++i) {
        if (!t[i].isBlank())
            return i;
    }
    return -1;
}

qsizetype previousSignificant(const Tokens &t, qsizetype i)
{
    for (--i; i >= 0; --i) {
        if (!t[i].isBlank())
            return i;
    }
    return -1;
}

bool wordAt(const Tokens &t, qsizetype i, QStringView word)
{
    return i >= 0 && i < t.size() && t[i].isWord(word);
}

QString joined(const Tokens &t, qsizetype from, qsizetype to)
{
    QString s;
    for (qsizetype i = std::max<qsizetype>(from, 0); i < to && i < t.size(); ++i)
        s += t[i].text;
    return s;
}

} // namespace db
