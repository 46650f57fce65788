#pragma once

#include <QList>
#include <QString>

namespace db {

enum class TokenKind
{
    Space,       // white space, line breaks included
    Comment,     // -- to the end of the line, or /* ... */
    Word,        // identifiers and keywords, also @@IDENTITY
    QuotedName,  // [name], "name" or `name`, quotes included
    String,      // 'text' with doubled apostrophes inside, quotes included
    DateLiteral, // #3/5/2021#, hashes included
    Number,
    Punct,       // operators and punctuation: ( ) , ; . * = <> <= >= ...
    Unterminated // an opening quote that never closes: the rest of the text
};

struct Token
{
    TokenKind kind;
    QString text;

    bool isWord(QStringView word) const
    {
        return kind == TokenKind::Word && text.compare(word, Qt::CaseInsensitive) == 0;
    }
    bool isPunct(QStringView p) const { return kind == TokenKind::Punct && text == p; }
    bool isBlank() const { return kind == TokenKind::Space || kind == TokenKind::Comment; }
};

using Tokens = QList<Token>;

// Splits an SQL text into tokens. Concatenating the texts of the tokens gives back the input.
Tokens tokenizeSql(QStringView sql);

// The next (or previous) token after (before) `i` that is neither space nor comment; -1 when
// there is none.
qsizetype nextSignificant(const Tokens &t, qsizetype i);
qsizetype previousSignificant(const Tokens &t, qsizetype i);
// True when the token at `i`, which may be out of range, is the keyword `word`.
bool wordAt(const Tokens &t, qsizetype i, QStringView word);
// The text of the tokens from `from` up to `to`, not included.
QString joined(const Tokens &t, qsizetype from, qsizetype to);

} // namespace db
