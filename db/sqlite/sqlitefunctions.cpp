#include "db/sqlite/sqlitefunctions.h"

#include "db/core/datetimes.h"
#include "db/core/textfold.h"

#include <QString>

#include <sqlite3.h>

#include <algorithm>

namespace db {

namespace {

bool isAscii(const char *s, int n)
{
    for (int i = 0; i < n; ++i) {
        if (static_cast<unsigned char>(s[i]) >= 0x80)
            return false;
    }
    return true;
}

unsigned char asciiLower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}

QString textOf(sqlite3_value *v)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                             sqlite3_value_bytes(v));
}

void resultText(sqlite3_context *ctx, const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

int collateNoCase(void *, int aLength, const void *a, int bLength, const void *b)
{
    return compareNoCase(static_cast<const char *>(a), aLength, static_cast<const char *>(b),
                         bLength);
}

// The escape of a LIKE without ESCAPE: a character no pattern holds on purpose.
constexpr QChar kNoEscape(0xFFFF);

// LIKE with % and _ on case-folded texts; `escape` makes the next pattern character literal.
bool likeMatch(QStringView pattern, QStringView text, QChar escape)
{
    qsizetype p = 0, t = 0, starP = -1, starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == escape && p + 1 < pattern.size()) {
            if (pattern[p + 1] == text[t]) {
                p += 2;
                ++t;
                continue;
            }
        } else if (p < pattern.size() && pattern[p] == u'%') {
            starP = p++;
            starT = t;
            continue;
        } else if (p < pattern.size() && (pattern[p] == u'_' || pattern[p] == text[t])) {
            ++p;
            ++t;
            continue;
        }
        if (starP < 0)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

// What every text a case-folded pattern matches begins with, read as likeMatch reads it: up
// to the first wildcard that is not escaped.
QString literalBeginning(QStringView pattern, QChar escape)
{
    QString beginning;
    for (qsizetype p = 0; p < pattern.size(); ++p) {
        if (pattern[p] == escape && p + 1 < pattern.size())
            beginning += pattern[++p];
        else if (pattern[p] == u'%' || pattern[p] == u'_')
            break;
        else
            beginning += pattern[p];
    }
    return beginning;
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    // A blob is no text: no pattern matches it (as with the engine's own LIKE), and it lies
    // outside every range of texts that likePrefixBounds gives.
    if (sqlite3_value_type(argv[0]) == SQLITE_BLOB || sqlite3_value_type(argv[1]) == SQLITE_BLOB) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    QChar escape = kNoEscape;
    if (argc == 3) {
        const QString e = textOf(argv[2]);
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0].toCaseFolded();
    }
    const QString pattern = textOf(argv[0]).toCaseFolded();
    const QString text = textOf(argv[1]).toCaseFolded();
    sqlite3_result_int(ctx, likeMatch(pattern, text, escape) ? 1 : 0);
}

// Month(), Year() and the other parts of a date; null for null or for a text that is no date.
// The year, month and day of the stored form "yyyy-MM-dd...", read straight from its bytes:
// the birthday list asks for the month of every contact.
bool fastDateParts(sqlite3_value *v, int parts[3])
{
    const auto *t = sqlite3_value_text(v);
    if (!t || sqlite3_value_bytes(v) < 10 || t[4] != '-' || t[7] != '-')
        return false;
    const auto digits = [t](int from, int count) {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            if (t[i] < '0' || t[i] > '9')
                return -1;
            n = n * 10 + (t[i] - '0');
        }
        return n;
    };
    parts[0] = digits(0, 4);
    parts[1] = digits(5, 2);
    parts[2] = digits(8, 2);
    return parts[0] >= 0 && parts[1] >= 1 && parts[1] <= 12 && parts[2] >= 1 && parts[2] <= 31;
}

template <int Index> void fastDatePartFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    int parts[3];
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && fastDateParts(argv[0], parts) &&
        QDate(parts[0], parts[1], parts[2]).isValid())
        sqlite3_result_int(ctx, parts[Index]);
    else
        sqlite3_result_null(ctx);
}

template <int (*Part)(const QDateTime &)>
void datePartFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QDateTime value = parseStoredDateTime(textOf(argv[0]));
    if (!value.isValid()) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, Part(value));
}

int hourOf(const QDateTime &d)
{
    return d.time().hour();
}
int minuteOf(const QDateTime &d)
{
    return d.time().minute();
}
int secondOf(const QDateTime &d)
{
    return d.time().second();
}

void todayFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, storedDateTimeText(naiveDateTime(clock::today())));
}

void nowFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    resultText(ctx, storedDateTimeText(clock::now()));
}

template <QString (*Transform)(const QString &, sqlite3_value **, int)>
void textFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    resultText(ctx, Transform(textOf(argv[0]), argv, argc));
}

QString upper(const QString &s, sqlite3_value **, int)
{
    return s.toUpper();
}
QString lower(const QString &s, sqlite3_value **, int)
{
    return s.toLower();
}
QString leftPart(const QString &s, sqlite3_value **argv, int)
{
    return s.left(std::max(0, sqlite3_value_int(argv[1])));
}
QString rightPart(const QString &s, sqlite3_value **argv, int)
{
    return s.right(std::max(0, sqlite3_value_int(argv[1])));
}
QString middle(const QString &s, sqlite3_value **argv, int argc)
{
    const int start = std::max(1, sqlite3_value_int(argv[1])) - 1;
    return argc == 3 ? s.mid(start, std::max(0, sqlite3_value_int(argv[2]))) : s.mid(start);
}

void lengthFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int(ctx, int(textOf(argv[0]).size()));
}

void nzFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) != SQLITE_NULL)
        sqlite3_result_value(ctx, argv[0]);
    else if (argc == 2)
        sqlite3_result_value(ctx, argv[1]);
    else
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
}

} // namespace

int compareNoCase(const char *a, int aLength, const char *b, int bLength)
{
    // Most texts differ early, before any letter outside ASCII: up to there folding the case
    // and dropping accents leave each character where it is, so the first ASCII letters that
    // differ decide, as they would after the folding below.
    const int common = std::min(aLength, bLength);
    for (int i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80)
            break;
        const unsigned char lx = asciiLower(x), ly = asciiLower(y);
        if (lx != ly)
            return lx < ly ? -1 : 1;
    }
    if (isAscii(a, aLength) && isAscii(b, bLength)) {
        const int n = std::min(aLength, bLength);
        for (int i = 0; i < n; ++i) {
            const unsigned char x = asciiLower(static_cast<unsigned char>(a[i]));
            const unsigned char y = asciiLower(static_cast<unsigned char>(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return aLength == bLength ? 0 : (aLength < bLength ? -1 : 1);
    }
    const QString x = QString::fromUtf8(a, aLength).toCaseFolded();
    const QString y = QString::fromUtf8(b, bLength).toCaseFolded();
    const int primary = withoutAccents(x).compare(withoutAccents(y));
    if (primary != 0)
        return primary;
    return x.compare(y);
}

namespace {

// A text that sorts by itself: case-folded and without accents already, so that compareNoCase
// sees it as written. The bounds of a range have to be such texts.
bool sortsAsWritten(const QString &text)
{
    return text.isValidUtf16() && text.toCaseFolded() == text && withoutAccents(text) == text;
}

// A combining mark kept by withoutAccents that canonical ordering may move: a text ending with
// one may lose its beginning's order once more marks follow.
bool hasMovableMark(const QString &folded)
{
    const QString decomposed = folded.normalized(QString::NormalizationForm_D);
    return std::any_of(decomposed.cbegin(), decomposed.cend(), [](QChar c) {
        return c.combiningClass() != 0 && c.category() != QChar::Mark_NonSpacing;
    });
}

// The beginning of `key` up to `at`, then a character after (step 1) or before (step -1) the
// one at `at` that sorts as written; empty when none is near.
QString besideAt(const QString &key, qsizetype at, int step)
{
    constexpr int kTries = 64;
    const char16_t c = key[at].unicode();
    if (QChar::isSurrogate(c))
        return {};
    for (int i = 1; i <= kTries; ++i) {
        const int next = int(c) + step * i;
        if (next <= 0 || next > 0xFFFF || QChar::isSurrogate(char32_t(next)))
            return {};
        const QString candidate = key.left(at) + QChar(char16_t(next));
        if (sortsAsWritten(candidate))
            return candidate;
    }
    return {};
}

} // namespace

std::optional<TextBounds> likePrefixBounds(QStringView pattern, std::optional<QChar> escape)
{
    const QString beginning = literalBeginning(pattern.toString().toCaseFolded(),
                                               escape ? escape->toCaseFolded() : kNoEscape);
    // A number is no text and sorts before every text, outside the range: only a beginning
    // that no number written as text starts with ("12", "-3", "1.5e+20", "Inf") can leave it
    // out.
    if (beginning.isEmpty() || beginning[0].isDigit() || beginning[0] == u'-' ||
        QStringView(u"inf").startsWith(QStringView(beginning).left(3)) || hasMovableMark(beginning))
        return std::nullopt;
    // compareNoCase orders first by the folded text without accents: every text the pattern
    // matches has a first key that begins with `key`.
    const QString key = withoutAccents(beginning);
    QString above, below;
    for (qsizetype at = key.size() - 1; at >= 0 && below.isEmpty(); --at)
        below = besideAt(key, at, 1);
    // Followed by the last character there is: only a text that holds it too sorts between
    // this bound and the first text that begins with `key`.
    for (qsizetype at = key.size() - 1; at >= 0 && above.isEmpty(); --at) {
        above = besideAt(key, at, -1);
        if (!above.isEmpty())
            above += QChar(0xFFFF);
    }
    if (above.isEmpty() || below.isEmpty() || !sortsAsWritten(above))
        return std::nullopt;
    return TextBounds{above, below};
}

int registerSqliteFunctions(sqlite3 *h)
{
    const int utf8 = SQLITE_UTF8;
    const int pure = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    struct Function
    {
        const char *name;
        int args;
        int flags;
        void (*call)(sqlite3_context *, int, sqlite3_value **);
    };
    const Function functions[] = {
        {"like", 2, pure, likeFunction},
        {"like", 3, pure, likeFunction},
        {"year", 1, pure, fastDatePartFunction<0>},
        {"month", 1, pure, fastDatePartFunction<1>},
        {"day", 1, pure, fastDatePartFunction<2>},
        {"hour", 1, pure, datePartFunction<hourOf>},
        {"minute", 1, pure, datePartFunction<minuteOf>},
        {"second", 1, pure, datePartFunction<secondOf>},
        {"date", 0, utf8, todayFunction},
        {"now", 0, utf8, nowFunction},
        {"ucase", 1, pure, textFunction<upper>},
        {"lcase", 1, pure, textFunction<lower>},
        {"len", 1, pure, lengthFunction},
        {"jet_left", 2, pure, textFunction<leftPart>},
        {"jet_right", 2, pure, textFunction<rightPart>},
        {"mid", 2, pure, textFunction<middle>},
        {"mid", 3, pure, textFunction<middle>},
        {"nz", 1, pure, nzFunction},
        {"nz", 2, pure, nzFunction},
    };
    for (const Function &f : functions) {
        const int rc = sqlite3_create_function_v2(h, f.name, f.args, f.flags, nullptr, f.call,
                                                  nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return sqlite3_create_collation_v2(h, kTextCollation, SQLITE_UTF8, nullptr, collateNoCase,
                                       nullptr);
}

int registerFirstFormatNoCase(sqlite3 *h)
{
    return sqlite3_create_collation_v2(h, "NOCASE", SQLITE_UTF8, nullptr, collateNoCase, nullptr);
}

} // namespace db
