#include "db/datasets/rowfilter.h"

#include "db/core/datetimes.h"
#include "db/core/textfold.h"
#include "db/datasets/rowsort.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <vector>

namespace db {

namespace {

// Deep enough for any filter a person or a window composes, shallow enough for the stack.
constexpr int maxNesting = 64;

enum class Op
{
    Equal,
    NotEqual,
    Less,
    LessOrEqual,
    Greater,
    GreaterOrEqual
};

const QString &textOf(const QVariant &v)
{
    return *static_cast<const QString *>(v.constData());
}

// dd/mm/yyyy with an optional time hh.mm[.ss] or hh:mm[:ss]; the day alone means midnight.
// Invalid for anything else, an impossible day (31/02) included.
QDateTime parseItalianDateTime(QStringView text)
{
    text = text.trimmed();
    qsizetype i = 0;
    const auto number = [&](int minDigits, int maxDigits) {
        int value = 0;
        int count = 0;
        while (i < text.size() && count < maxDigits && text[i] >= u'0' && text[i] <= u'9') {
            value = value * 10 + (text[i].unicode() - u'0');
            ++i;
            ++count;
        }
        return count >= minDigits ? value : -1;
    };
    const auto skip = [&](QChar c) {
        if (i >= text.size() || text[i] != c)
            return false;
        ++i;
        return true;
    };
    const int day = number(1, 2);
    if (day < 0 || !skip(u'/'))
        return {};
    const int month = number(1, 2);
    if (month < 0 || !skip(u'/'))
        return {};
    const int year = number(4, 4);
    const QDate date(year, month, day);
    if (year < 0 || !date.isValid())
        return {};
    if (i == text.size())
        return naiveDateTime(date);
    if (!text[i].isSpace())
        return {};
    while (i < text.size() && text[i].isSpace())
        ++i;
    const int hour = number(1, 2);
    if (hour < 0 || i >= text.size() || (text[i] != u'.' && text[i] != u':'))
        return {};
    const QChar separator = text[i++];
    const int minute = number(2, 2);
    int second = 0;
    if (minute < 0)
        return {};
    if (skip(separator) && (second = number(2, 2)) < 0)
        return {};
    const QTime time(hour, minute, second);
    if (i != text.size() || !time.isValid())
        return {};
    return naiveDateTime(date, time);
}

// A text value read as a number or a date, for comparing it with a number or a date.
QVariant numberFromText(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return {};
    bool ok = false;
    const qlonglong integer = text.toLongLong(&ok);
    if (ok)
        return integer;
    const double real = text.toDouble(&ok);
    if (ok && std::isfinite(real))
        return real;
    return {};
}

QVariant dateFromText(QStringView text)
{
    QDateTime date = parseStoredDateTime(text);
    if (!date.isValid())
        date = parseItalianDateTime(text);
    return date.isValid() ? QVariant(date) : QVariant();
}

// The text a like pattern reads in a value that is not a text, as the program shows it.
QString likeTextOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return italianDateText(v.toDateTime());
    return isNumberType(v.typeId()) ? v.toString() : QString();
}

// A like pattern cut at its wildcards: the text begins with `first`, ends with `last` and holds
// the `middle` pieces in order between them. Matching folds letter case as it compares, without
// building any text.
struct Pattern
{
    bool hasWildcard = false;
    QString first;
    QList<QString> middle;
    QString last;

    explicit Pattern(QStringView pattern = {})
    {
        QList<QStringView> pieces;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= pattern.size(); ++i) {
            if (i == pattern.size() || pattern[i] == u'*' || pattern[i] == u'%') {
                pieces.append(pattern.sliced(start, i - start));
                start = i + 1;
            }
        }
        hasWildcard = pieces.size() > 1;
        first = pieces.first().toString();
        if (!hasWildcard)
            return;
        last = pieces.last().toString();
        for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
            if (!pieces[i].isEmpty())
                middle.append(pieces[i].toString());
        }
    }

    bool matches(QStringView text) const
    {
        if (!hasWildcard)
            return text.size() == first.size() && sameLetters(text, first);
        // Letter case folds one character to one, so lengths compare as they are.
        if (text.size() < first.size() + last.size())
            return false;
        if (!sameLetters(text.first(first.size()), first) ||
            !sameLetters(text.last(last.size()), last))
            return false;
        const QStringView between =
            text.sliced(first.size(), text.size() - first.size() - last.size());
        qsizetype from = 0;
        for (const QString &piece : middle) {
            const qsizetype at = between.indexOf(piece, from, Qt::CaseInsensitive);
            if (at < 0)
                return false;
            from = at + piece.size();
        }
        return true;
    }

    // A null text is a null like any other: no pattern matches it, not even '' (an edited row
    // holds its nulls as null texts).
    bool matchesValue(const QVariant &value) const
    {
        if (value.typeId() == QMetaType::QString)
            return !textOf(value).isNull() && matches(textOf(value));
        const QString text = likeTextOf(value);
        return !text.isNull() && matches(text);
    }

    bool matchesCell(const RowStore &rows, qsizetype row, int column) const
    {
        switch (rows.type(row, column)) {
        case RowStore::Type::Text:
            return matches(rows.text(row, column));
        case RowStore::Type::Null:
        case RowStore::Type::NullText:
        case RowStore::Type::Bool:
            return false;
        case RowStore::Type::Other:
            return matchesValue(rows.other(row, column));
        default:
            return matchesValue(rows.value(row, column));
        }
    }

private:
    // Two texts of one length, equal regardless of letter case. ASCII letters are compared
    // here, a code unit at a time; the first other character hands the whole comparison to Qt
    // (a character beyond ASCII may fold to an ASCII letter, like the Kelvin sign to k).
    static bool sameLetters(QStringView a, QStringView b)
    {
        for (qsizetype i = 0; i < a.size(); ++i) {
            char16_t x = a[i].unicode();
            char16_t y = b[i].unicode();
            if ((x | y) >= 0x80)
                return a.compare(b, Qt::CaseInsensitive) == 0;
            if (x >= u'A' && x <= u'Z')
                x += 32;
            if (y >= u'A' && y <= u'Z')
                y += 32;
            if (x != y)
                return false;
        }
        return true;
    }
};

// A value of the filter with the readings it offers to values of other types: the text '12'
// compares with the number 12, the number -1 with a yes/no value, and so on.
struct Literal
{
    QVariant text;
    QVariant number;
    QVariant date;
    QVariant boolean;
};

bool holds(Op op, int order)
{
    switch (op) {
    case Op::Equal:
        return order == 0;
    case Op::NotEqual:
        return order != 0;
    case Op::Less:
        return order < 0;
    case Op::LessOrEqual:
        return order <= 0;
    case Op::Greater:
        return order > 0;
    case Op::GreaterOrEqual:
        return order >= 0;
    }
    return false;
}

// Compares a text with a literal: regardless of case for = and <>, in the sort's order for the
// others, or read as a number or a date for a literal of that kind.
bool textHolds(Op op, QStringView text, const Literal &literal)
{
    if (literal.text.isValid()) {
        if (op == Op::Equal || op == Op::NotEqual) {
            const bool equal = text.compare(textOf(literal.text), Qt::CaseInsensitive) == 0;
            return equal == (op == Op::Equal);
        }
        return holds(op, compareTexts(text, textOf(literal.text)));
    }
    const QVariant read = literal.number.isValid() ? numberFromText(text)
                          : literal.date.isValid() ? dateFromText(text)
                                                   : QVariant();
    if (!read.isValid())
        return false;
    return holds(op, compareValues(read, literal.number.isValid() ? literal.number : literal.date));
}

// Compares a value with a literal of a type it can be read as; a null, or a value that cannot
// be read as the literal's type, matches no operator.
bool compareHolds(Op op, const QVariant &value, const Literal &literal)
{
    const int type = value.typeId();
    if (!value.isValid())
        return false;
    if (type == QMetaType::QString)
        return textHolds(op, textOf(value), literal);
    if (isNumberType(type)) {
        if (literal.number.isValid())
            return holds(op, compareValues(value, literal.number));
        if (literal.boolean.isValid())
            return holds(op, compareValues(QVariant(value.toDouble() != 0), literal.boolean));
        return false;
    }
    if (type == QMetaType::Bool)
        return literal.boolean.isValid() && holds(op, compareValues(value, literal.boolean));
    if (type == QMetaType::QDateTime)
        return literal.date.isValid() && holds(op, compareValues(value, literal.date));
    return false;
}

// The cells of one row as the filter reads them: a fetched row of the store, or a row of values.
struct StoredRow
{
    const RowStore &rows;
    qsizetype row;

    bool isNull(int column) const
    {
        return column >= rows.columnCount() || rows.type(row, column) == RowStore::Type::Null;
    }
    bool like(const Pattern &pattern, int column) const
    {
        return column < rows.columnCount() && pattern.matchesCell(rows, row, column);
    }
    bool compare(Op op, const Literal &literal, int column) const
    {
        if (column >= rows.columnCount())
            return false;
        switch (rows.type(row, column)) {
        case RowStore::Type::Text:
            return textHolds(op, rows.text(row, column), literal);
        case RowStore::Type::Other:
            return compareHolds(op, rows.other(row, column), literal);
        default:
            return compareHolds(op, rows.value(row, column), literal);
        }
    }
};

struct ValueRow
{
    const QVariantList &values;

    const QVariant &at(int column) const
    {
        static const QVariant null;
        return column < values.size() ? values[column] : null;
    }
    bool isNull(int column) const { return !at(column).isValid(); }
    bool like(const Pattern &pattern, int column) const { return pattern.matchesValue(at(column)); }
    bool compare(Op op, const Literal &literal, int column) const
    {
        return compareHolds(op, at(column), literal);
    }
};

} // namespace

struct RowFilter::Node
{
    enum class Kind
    {
        All,
        Any,
        Not,
        Like,
        Compare,
        IsNull,
        IsNotNull
    };

    Kind kind = Kind::All;
    std::vector<std::unique_ptr<const Node>> operands; // All, Any, Not
    int column = -1;
    Pattern pattern;
    Op op = Op::Equal;
    Literal literal;

    explicit Node(Kind k) : kind(k) {}

    template <typename Row> bool matches(const Row &row) const
    {
        switch (kind) {
        case Kind::All:
            for (const auto &operand : operands) {
                if (!operand->matches(row))
                    return false;
            }
            return true;
        case Kind::Any:
            for (const auto &operand : operands) {
                if (operand->matches(row))
                    return true;
            }
            return false;
        case Kind::Not:
            return !operands.front()->matches(row);
        case Kind::Like:
            return row.like(pattern, column);
        case Kind::Compare:
            return row.compare(op, literal, column);
        case Kind::IsNull:
            return row.isNull(column);
        case Kind::IsNotNull:
            return !row.isNull(column);
        }
        return false;
    }
};

namespace {

using NodePtr = std::unique_ptr<RowFilter::Node>;

struct Token
{
    enum Type
    {
        End,
        Word,
        Name,
        Text,
        Number,
        Date,
        Symbol
    };

    Type type = End;
    QString text;   // a word or symbol as written, a name without brackets, a text unquoted
    QVariant value; // numbers and dates
    qsizetype position = 0;

    bool isKeyword(QStringView keyword) const
    {
        return type == Word && text.compare(keyword, Qt::CaseInsensitive) == 0;
    }
    bool isSymbol(QStringView symbol) const { return type == Symbol && text == symbol; }
};

Error filterError(const QString &what, qsizetype position)
{
    return Error{
        QStringLiteral("Filtro non valido: %1 (posizione %2)").arg(what).arg(position + 1)};
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

bool isDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i] >= u'0' && text[i] <= u'9';
}

// 12, -3, +4.5, .5, -.5
bool startsNumber(QStringView text, qsizetype i)
{
    if (text[i] == u'-' || text[i] == u'+')
        ++i;
    if (i < text.size() && text[i] == u'.')
        ++i;
    return isDigit(text, i);
}

Result<QList<Token>> tokenize(QStringView text)
{
    QList<Token> tokens;
    qsizetype i = 0;
    while (true) {
        while (i < text.size() && text[i].isSpace())
            ++i;
        Token token;
        token.position = i;
        if (i == text.size()) {
            tokens.append(token);
            return tokens;
        }
        const QChar c = text[i];
        if (c == u'(' || c == u')' || c == u'=') {
            token.type = Token::Symbol;
            token.text = c;
            ++i;
        } else if (c == u'<' || c == u'>') {
            const bool pair =
                i + 1 < text.size() && (text[i + 1] == u'=' || (c == u'<' && text[i + 1] == u'>'));
            token.type = Token::Symbol;
            token.text = text.sliced(i, pair ? 2 : 1).toString();
            i += pair ? 2 : 1;
        } else if (c == u'\'') {
            token.type = Token::Text;
            token.text = QStringLiteral(""); // '' is an empty text, not a null
            qsizetype j = i + 1;
            while (true) {
                if (j >= text.size())
                    return filterError(QStringLiteral("apice non chiuso"), i);
                if (text[j] == u'\'') {
                    if (j + 1 < text.size() && text[j + 1] == u'\'') {
                        token.text += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                token.text += text[j++];
            }
            i = j + 1;
        } else if (c == u'[') {
            const qsizetype close = text.indexOf(u']', i + 1);
            if (close < 0)
                return filterError(QStringLiteral("parentesi quadra non chiusa"), i);
            token.type = Token::Name;
            token.text = text.sliced(i + 1, close - i - 1).trimmed().toString();
            if (token.text.isEmpty())
                return filterError(QStringLiteral("nome di colonna vuoto"), i);
            i = close + 1;
        } else if (c == u'#') {
            const qsizetype close = text.indexOf(u'#', i + 1);
            if (close < 0)
                return filterError(QStringLiteral("data non chiusa dal carattere #"), i);
            const QStringView inside = text.sliced(i + 1, close - i - 1);
            const QDateTime date = parseItalianDateTime(inside);
            if (!date.isValid()) {
                return filterError(
                    QStringLiteral("data non valida #%1#, si scrive gg/mm/aaaa").arg(inside), i);
            }
            token.type = Token::Date;
            token.value = date;
            i = close + 1;
        } else if (startsNumber(text, i)) {
            qsizetype j = i + 1;
            bool point = c == u'.';
            while (isDigit(text, j) || (!point && j < text.size() && text[j] == u'.')) {
                point = point || text[j] == u'.';
                ++j;
            }
            if (j < text.size() && (isWordChar(text[j]) || text[j] == u'.'))
                return filterError(QStringLiteral("numero non valido"), i);
            const QStringView written = text.sliced(i, j - i);
            bool ok = false;
            const qlonglong integer = point ? 0 : written.toLongLong(&ok);
            token.value = ok ? QVariant(integer) : QVariant(written.toDouble());
            token.type = Token::Number;
            token.text = written.toString();
            i = j;
        } else if (isWordChar(c)) {
            qsizetype j = i;
            while (j < text.size() && isWordChar(text[j]))
                ++j;
            token.type = Token::Word;
            token.text = text.sliced(i, j - i).toString();
            i = j;
        } else {
            return filterError(QStringLiteral("carattere inatteso '%1'").arg(c), i);
        }
        tokens.append(token);
    }
}

bool isReserved(const Token &token)
{
    static const char16_t *const words[] = {u"and", u"or",   u"not",  u"like",
                                            u"is",  u"null", u"true", u"false"};
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char16_t *w) { return token.isKeyword(w); });
}

// Recursive descent over the tokens; the first fault stops it and stays in `error`.
class Parser
{
public:
    Parser(const QList<Token> &tokens, const QList<Column> &columns)
        : m_tokens(tokens), m_columns(columns)
    {
    }

    NodePtr condition(int depth) { return chain(depth, u"or", RowFilter::Node::Kind::Any); }

    const Token &peek() const { return m_tokens[m_next]; }

    NodePtr fail(const QString &what, qsizetype position)
    {
        m_error = filterError(what, position);
        return nullptr;
    }

    const Error &error() const { return m_error; }

private:
    const Token &take()
    {
        const Token &t = m_tokens[m_next];
        if (t.type != Token::End)
            ++m_next;
        return t;
    }

    // "and" binds tighter than "or": an or-chain is made of and-chains.
    NodePtr chain(int depth, QStringView keyword, RowFilter::Node::Kind kind)
    {
        const auto operand = [&] {
            return kind == RowFilter::Node::Kind::Any
                       ? chain(depth, u"and", RowFilter::Node::Kind::All)
                       : term(depth);
        };
        NodePtr first = operand();
        if (!first || !peek().isKeyword(keyword))
            return first;
        auto node = std::make_unique<RowFilter::Node>(kind);
        node->operands.push_back(std::move(first));
        while (peek().isKeyword(keyword)) {
            take();
            NodePtr next = operand();
            if (!next)
                return nullptr;
            node->operands.push_back(std::move(next));
        }
        return node;
    }

    NodePtr term(int depth)
    {
        const Token &t = peek();
        if (depth > maxNesting)
            return fail(QStringLiteral("troppi livelli di parentesi o di NOT"), t.position);
        if (t.isKeyword(u"not")) {
            take();
            NodePtr operand = term(depth + 1);
            if (!operand)
                return nullptr;
            auto node = std::make_unique<RowFilter::Node>(RowFilter::Node::Kind::Not);
            node->operands.push_back(std::move(operand));
            return node;
        }
        if (t.isSymbol(u"(")) {
            take();
            if (peek().isSymbol(u")"))
                return fail(QStringLiteral("parentesi vuote"), t.position);
            NodePtr inner = condition(depth + 1);
            if (!inner)
                return nullptr;
            if (peek().type == Token::End)
                return fail(QStringLiteral("parentesi non chiusa"), t.position);
            if (!peek().isSymbol(u")"))
                return fail(QStringLiteral("atteso AND, OR o )"), peek().position);
            take();
            return inner;
        }
        return comparison();
    }

    NodePtr comparison()
    {
        const Token &name = take();
        if (name.type == Token::End)
            return fail(QStringLiteral("condizione incompleta"), name.position);
        if (name.type != Token::Name && (name.type != Token::Word || isReserved(name)))
            return fail(QStringLiteral("atteso il nome di una colonna"), name.position);
        int column = -1;
        for (qsizetype i = 0; i < m_columns.size() && column < 0; ++i) {
            if (m_columns[i].name.compare(name.text, Qt::CaseInsensitive) == 0)
                column = int(i);
        }
        if (column < 0) {
            m_error = Error{QStringLiteral("Colonna sconosciuta nel filtro: %1").arg(name.text)};
            return nullptr;
        }

        const Token &op = take();
        if (op.isKeyword(u"like")) {
            const Token &pattern = take();
            if (pattern.type != Token::Text)
                return fail(QStringLiteral("dopo LIKE serve un testo tra apici"), pattern.position);
            auto node = std::make_unique<RowFilter::Node>(RowFilter::Node::Kind::Like);
            node->column = column;
            node->pattern = Pattern(pattern.text);
            return node;
        }
        if (op.isKeyword(u"is")) {
            const bool negated = peek().isKeyword(u"not");
            if (negated)
                take();
            const Token &null = take();
            if (!null.isKeyword(u"null"))
                return fail(QStringLiteral("dopo IS serve NULL o NOT NULL"), null.position);
            auto node = std::make_unique<RowFilter::Node>(negated ? RowFilter::Node::Kind::IsNotNull
                                                                  : RowFilter::Node::Kind::IsNull);
            node->column = column;
            return node;
        }
        static const char16_t *const symbols[] = {u"=", u"<>", u"<", u"<=", u">", u">="};
        static const Op ops[] = {Op::Equal,       Op::NotEqual, Op::Less,
                                 Op::LessOrEqual, Op::Greater,  Op::GreaterOrEqual};
        for (int i = 0; i < 6; ++i) {
            if (op.isSymbol(symbols[i]))
                return compare(column, ops[i], op);
        }
        if (op.type == Token::End)
            return fail(QStringLiteral("manca l'operatore dopo %1").arg(name.text), op.position);
        return fail(QStringLiteral("atteso un operatore dopo %1 (=, <>, <, <=, >, >=, LIKE, IS)")
                        .arg(name.text),
                    op.position);
    }

    NodePtr compare(int column, Op op, const Token &symbol)
    {
        const Token &value = take();
        Literal literal;
        switch (value.type) {
        case Token::Text:
            literal.text = value.text;
            literal.number = numberFromText(value.text);
            literal.date = dateFromText(value.text);
            break;
        case Token::Number:
            literal.number = value.value;
            if (value.value.toDouble() == 0 || std::abs(value.value.toDouble()) == 1)
                literal.boolean = value.value.toDouble() != 0;
            break;
        case Token::Date:
            literal.date = value.value;
            break;
        case Token::Word:
            if (value.isKeyword(u"true") || value.isKeyword(u"false")) {
                literal.boolean = value.isKeyword(u"true");
                break;
            }
            if (value.isKeyword(u"null")) {
                return fail(QStringLiteral("un valore nullo si cerca con IS NULL o IS NOT NULL"),
                            value.position);
            }
            return fail(QStringLiteral("valore non valido dopo %1 (un testo va tra apici)")
                            .arg(symbol.text),
                        value.position);
        case Token::End:
            return fail(QStringLiteral("manca il valore dopo %1").arg(symbol.text), value.position);
        default:
            return fail(QStringLiteral("valore non valido dopo %1").arg(symbol.text),
                        value.position);
        }
        auto node = std::make_unique<RowFilter::Node>(RowFilter::Node::Kind::Compare);
        node->column = column;
        node->op = op;
        node->literal = literal;
        return node;
    }

    const QList<Token> &m_tokens;
    const QList<Column> &m_columns;
    qsizetype m_next = 0;
    Error m_error;
};

} // namespace

RowFilter::RowFilter() = default;

Result<RowFilter> RowFilter::parse(QStringView text, const QList<Column> &columns)
{
    const Result<QList<Token>> tokens = tokenize(text);
    if (!tokens)
        return tokens.error();
    Parser parser(*tokens, columns);
    if (parser.peek().type == Token::End)
        return RowFilter();
    NodePtr root = parser.condition(0);
    if (!root)
        return parser.error();
    const Token &rest = parser.peek();
    if (rest.isSymbol(u")"))
        return filterError(QStringLiteral("parentesi chiusa senza apertura"), rest.position);
    if (rest.type != Token::End)
        return filterError(QStringLiteral("atteso AND o OR"), rest.position);
    RowFilter filter;
    filter.m_root = std::move(root);
    return filter;
}

namespace {

bool sameLiteral(const Literal &a, const Literal &b)
{
    return a.text == b.text && a.number == b.number && a.date == b.date && a.boolean == b.boolean;
}

bool same(const RowFilter::Node &a, const RowFilter::Node &b)
{
    if (a.kind != b.kind || a.column != b.column || a.op != b.op ||
        !sameLiteral(a.literal, b.literal) || a.pattern.hasWildcard != b.pattern.hasWildcard ||
        a.pattern.first != b.pattern.first || a.pattern.middle != b.pattern.middle ||
        a.pattern.last != b.pattern.last || a.operands.size() != b.operands.size())
        return false;
    for (size_t i = 0; i < a.operands.size(); ++i) {
        if (!same(*a.operands[i], *b.operands[i]))
            return false;
    }
    return true;
}

// A proof that `newer` keeps no row that `older` drops; false when none is found.
bool implies(const RowFilter::Node &newer, const RowFilter::Node &older)
{
    using Kind = RowFilter::Node::Kind;
    if (older.kind == Kind::All) {
        return std::all_of(older.operands.begin(), older.operands.end(),
                           [&](const auto &o) { return implies(newer, *o); });
    }
    if (newer.kind == Kind::Any) {
        return std::all_of(newer.operands.begin(), newer.operands.end(),
                           [&](const auto &n) { return implies(*n, older); });
    }
    if (newer.kind == Kind::All) {
        return std::any_of(newer.operands.begin(), newer.operands.end(),
                           [&](const auto &n) { return implies(*n, older); });
    }
    if (older.kind == Kind::Any) {
        return std::any_of(older.operands.begin(), older.operands.end(),
                           [&](const auto &o) { return implies(newer, *o); });
    }
    if (newer.kind == Kind::Not || older.kind == Kind::Not)
        return same(newer, older);
    if (newer.kind != older.kind || newer.column != older.column)
        return false;
    switch (newer.kind) {
    case Kind::Like: {
        // Only an older pattern that is a plain beginning ("ro*") is understood: whatever the
        // newer pattern is, its own beginning must extend that one.
        const Pattern &o = older.pattern;
        const bool plainBeginning = o.hasWildcard && o.middle.isEmpty() && o.last.isEmpty();
        return plainBeginning && newer.pattern.first.startsWith(o.first, Qt::CaseInsensitive);
    }
    case Kind::Compare:
        return newer.op == older.op && sameLiteral(newer.literal, older.literal);
    default:
        return true; // is null / is not null on the same column
    }
}

} // namespace

bool RowFilter::refines(const RowFilter &older) const
{
    if (!older.m_root)
        return true;
    return m_root && implies(*m_root, *older.m_root);
}

bool RowFilter::keepsEverything() const
{
    return !m_root;
}

bool RowFilter::matches(const QVariantList &row) const
{
    return !m_root || m_root->matches(ValueRow{row});
}

bool RowFilter::matches(const RowStore &rows, qsizetype row) const
{
    return !m_root || m_root->matches(StoredRow{rows, row});
}

} // namespace db
