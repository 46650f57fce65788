#include "db/datasets/rowsort.h"

#include "db/core/textfold.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace db {

namespace {

// The kinds of value in the order the sort puts them; a column of kind Unknown may mix them.
enum Rank : quint8
{
    NullRank,
    BoolRank,
    NumberRank,
    DateRank,
    TextRank,
    BinaryRank,
    OtherRank
};

struct Number
{
    qint64 integer = 0;
    double real = 0;
    bool integral = true;
};

Rank rankOf(const QVariant &v)
{
    if (!v.isValid())
        return NullRank;
    if (isNumberType(v.typeId()))
        return NumberRank;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return BoolRank;
    case QMetaType::QDateTime:
        return static_cast<const QDateTime *>(v.constData())->isValid() ? DateRank : NullRank;
    case QMetaType::QString:
        return TextRank;
    case QMetaType::QByteArray:
        return BinaryRank;
    default:
        return OtherRank;
    }
}

Number numberOf(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return {0, v.toDouble(), false};
    case QMetaType::ULongLong:
    case QMetaType::ULong: {
        const qulonglong u = v.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return {0, double(u), false};
        return {qint64(u), 0, true};
    }
    default:
        return {v.toLongLong(), 0, true};
    }
}

template <typename T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Exact for every pair, integers beyond 2^53 included; NaN comes before every other number so
// that the order stays total.
int compareNumbers(const Number &a, const Number &b)
{
    if (a.integral && b.integral)
        return threeWay(a.integer, b.integer);
    const long double x = a.integral ? static_cast<long double>(a.integer) : a.real;
    const long double y = b.integral ? static_cast<long double>(b.integer) : b.real;
    const bool xNan = std::isnan(x);
    const bool yNan = std::isnan(y);
    if (xNan || yNan)
        return int(yNan) - int(xNan);
    return threeWay(x, y);
}

// Milliseconds of the wall-clock reading, whatever zone the QDateTime carries: dates are naive.
qint64 dateKey(const QVariant &v)
{
    const auto *d = static_cast<const QDateTime *>(v.constData());
    return d->date().toJulianDay() * 86400000 + d->time().msecsSinceStartOfDay();
}

bool isAscii(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

constexpr char16_t noPlainForm = 0xFFFF;

// The accent-free form of each Latin-1 character, worked out once by the general rule above.
const std::array<char16_t, 256> &latin1PlainForms()
{
    static const std::array<char16_t, 256> forms = [] {
        std::array<char16_t, 256> t{};
        for (char16_t c = 0; c < 256; ++c) {
            const QString plain = withoutAccents(QString(QChar(c)));
            t[c] = plain.size() == 1 ? plain[0].unicode() : noPlainForm;
        }
        return t;
    }();
    return forms;
}

} // namespace

// The order of the archive's NOCASE collation: the case-folded texts without accents, a tie
// broken by the case-folded texts. Texts that differ only in letter case are equal.
int compareTexts(QStringView a, QStringView b)
{
    // While both are ASCII, lower case is the folded form and nothing has an accent, so the
    // first difference decides; a shorter text that is a prefix comes first either way.
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x >= 0x80 || y >= 0x80) {
            const QString foldedA = a.toString().toCaseFolded();
            const QString foldedB = b.toString().toCaseFolded();
            const int primary = withoutAccents(foldedA).compare(withoutAccents(foldedB));
            return primary != 0 ? threeWay(primary, 0) : threeWay(foldedA.compare(foldedB), 0);
        }
        if (x >= u'A' && x <= u'Z')
            x += 32;
        if (y >= u'A' && y <= u'Z')
            y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return threeWay(a.size(), b.size());
}

namespace {

const QString &textOf(const QVariant &v)
{
    return *static_cast<const QString *>(v.constData());
}

int compareBytes(const QVariant &a, const QVariant &b)
{
    const auto *x = static_cast<const QByteArray *>(a.constData());
    const auto *y = static_cast<const QByteArray *>(b.constData());
    return threeWay(x->compare(*y), 0);
}

// The values of one sort column made ready for many comparisons. Each text is folded once into
// one shared buffer (no allocation per row), and the first code units of its accent-free form
// are packed in `head`, which answers most comparisons without reading the buffer.
class KeyColumn
{
public:
    struct Key
    {
        Rank rank = NullRank;
        Number number; // numbers; booleans as 0 and 1; dates as milliseconds
        quint64 head = 0;
        qsizetype primary = 0; // texts: the folded form without accents, in the buffer
        qsizetype primaryLength = 0;
        qsizetype folded = 0; // texts: the folded form, in the buffer
        qsizetype foldedLength = 0;
        const QVariant *value = nullptr; // binaries
    };

    explicit KeyColumn(qsizetype count) { m_keys.reserve(count); }

    const Key &operator[](qsizetype i) const { return m_keys[i]; }

    Key make(const QVariant &v)
    {
        Key key;
        key.rank = rankOf(v);
        key.value = &v;
        switch (key.rank) {
        case BoolRank:
            key.number.integer = v.toBool() ? 1 : 0;
            break;
        case NumberRank:
            key.number = numberOf(v);
            break;
        case DateRank:
            key.number.integer = dateKey(v);
            break;
        case TextRank:
            addText(key, textOf(v));
            break;
        case OtherRank:
            addText(key, v.toString());
            break;
        default:
            break;
        }
        return key;
    }

    Key make(const RowStore &rows, qsizetype row, int column)
    {
        if (column >= rows.columnCount())
            return Key{};
        switch (rows.type(row, column)) {
        case RowStore::Type::Text: {
            Key key;
            key.rank = TextRank;
            addText(key, rows.text(row, column));
            return key;
        }
        case RowStore::Type::Other:
            return make(rows.other(row, column));
        default:
            // Nulls, numbers, dates, yes/no and null texts: none of them is kept by address.
            return make(rows.value(row, column));
        }
    }

    void add(Key key) { m_keys.push_back(key); }

    int compare(const Key &a, const Key &b) const
    {
        if (a.rank != b.rank)
            return a.rank < b.rank ? -1 : 1;
        switch (a.rank) {
        case NullRank:
            return 0;
        case BoolRank:
        case NumberRank:
        case DateRank:
            return compareNumbers(a.number, b.number);
        case BinaryRank:
            return compareBytes(*a.value, *b.value);
        default:
            if (a.head != b.head)
                return a.head < b.head ? -1 : 1;
            if (const int primary =
                    view(a.primary, a.primaryLength).compare(view(b.primary, b.primaryLength)))
                return threeWay(primary, 0);
            if (a.primary == a.folded && b.primary == b.folded)
                return 0; // both without accents: the folded forms are the ones just compared
            return threeWay(view(a.folded, a.foldedLength).compare(view(b.folded, b.foldedLength)),
                            0);
        }
    }

private:
    QStringView view(qsizetype from, qsizetype length) const
    {
        return QStringView(m_text.data() + from, length);
    }

    void addText(Key &key, QStringView text)
    {
        key.folded = qsizetype(m_text.size());
        if (isAscii(text)) {
            // Lower case is the folded form and there is no accent to drop: one copy serves both.
            for (QChar c : text) {
                const char16_t u = c.unicode();
                m_text.push_back(u >= u'A' && u <= u'Z' ? u + 32 : u);
            }
            key.foldedLength = text.size();
            key.primary = key.folded;
            key.primaryLength = key.foldedLength;
        } else if (!addLatin1(key, text)) {
            m_text.resize(key.folded);
            const QString folded = text.toString().toCaseFolded();
            const QString primary = withoutAccents(folded);
            m_text.insert(m_text.end(), folded.utf16(), folded.utf16() + folded.size());
            key.foldedLength = folded.size();
            key.primary = qsizetype(m_text.size());
            m_text.insert(m_text.end(), primary.utf16(), primary.utf16() + primary.size());
            key.primaryLength = primary.size();
        }
        // Missing code units count as 0, below any other, so the head orders as the text does
        // and a tie sends the comparison to the buffer.
        for (qsizetype i = 0; i < 4; ++i) {
            key.head <<= 16;
            if (i < key.primaryLength)
                key.head |= m_text[key.primary + i];
        }
    }

    // Folds and drops accents character by character, as withoutAccents() would on the whole
    // text, when the text is Latin-1 with combining accents: NFD splits such a character on its
    // own and every combining accent is a non-spacing mark. False for any other text.
    bool addLatin1(Key &key, QStringView text)
    {
        const std::array<char16_t, 256> &plain = latin1PlainForms();
        m_plain.clear();
        for (QChar c : text) {
            const char16_t folded = QChar::toCaseFolded(c.unicode());
            m_text.push_back(folded);
            if (folded < 0x100) {
                if (plain[folded] == noPlainForm)
                    return false;
                m_plain.push_back(plain[folded]);
            } else if (folded < 0x300 || folded > 0x36F) {
                return false;
            }
        }
        key.foldedLength = text.size();
        key.primary = qsizetype(m_text.size());
        m_text.insert(m_text.end(), m_plain.begin(), m_plain.end());
        key.primaryLength = qsizetype(m_plain.size());
        return true;
    }

    std::vector<Key> m_keys;
    std::vector<char16_t> m_text;
    std::vector<char16_t> m_plain;
};

const QVariant &cell(const QList<QVariantList> &rows, qsizetype row, int column)
{
    static const QVariant null;
    if (row < 0 || row >= rows.size() || column >= rows[row].size())
        return null;
    return rows[row][column];
}

const QVariant &cell(const QVariantList &row, int column)
{
    static const QVariant null;
    return column < row.size() ? row[column] : null;
}

int columnIndex(const QList<Column> &columns, QStringView name)
{
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

Error sortError(const QString &what, qsizetype position)
{
    return Error{
        QStringLiteral("Ordinamento non valido: %1 (posizione %2)").arg(what).arg(position + 1)};
}

} // namespace

RowSort::RowSort() = default;

Result<RowSort> RowSort::parse(QStringView text, const QList<Column> &columns)
{
    RowSort sort;
    if (text.trimmed().isEmpty())
        return sort;
    qsizetype start = 0;
    while (start <= text.size()) {
        // One "column [ASC|DESC]" runs to the next comma outside brackets.
        qsizetype end = start;
        qsizetype openBracket = -1;
        for (; end < text.size(); ++end) {
            if (openBracket >= 0) {
                if (text[end] == u']')
                    openBracket = -1;
            } else if (text[end] == u'[') {
                openBracket = end;
            } else if (text[end] == u',') {
                break;
            }
        }
        if (openBracket >= 0)
            return sortError(QStringLiteral("manca la parentesi quadra chiusa"), openBracket);

        qsizetype from = start;
        qsizetype to = end;
        while (from < to && text[from].isSpace())
            ++from;
        while (to > from && text[to - 1].isSpace())
            --to;
        if (from == to)
            return sortError(QStringLiteral("manca il nome di una colonna"), from);

        QStringView name;
        QStringView direction;
        if (text[from] == u'[') {
            const qsizetype close = text.indexOf(u']', from);
            name = text.sliced(from + 1, close - from - 1);
            direction = text.sliced(close + 1, to - close - 1).trimmed();
            if (name.trimmed().isEmpty())
                return sortError(QStringLiteral("nome di colonna vuoto"), from);
        } else {
            // A bare name may hold spaces; a last word ASC or DESC is the direction.
            qsizetype lastWord = to;
            while (lastWord > from && !text[lastWord - 1].isSpace())
                --lastWord;
            const QStringView word = text.sliced(lastWord, to - lastWord);
            name = text.sliced(from, to - from);
            if (lastWord > from && (word.compare(u"asc", Qt::CaseInsensitive) == 0 ||
                                    word.compare(u"desc", Qt::CaseInsensitive) == 0)) {
                direction = word;
                name = text.sliced(from, lastWord - from).trimmed();
            }
            const qsizetype bracket = name.indexOf(u']');
            if (bracket >= 0)
                return sortError(QStringLiteral("parentesi quadra fuori posto"), from + bracket);
        }

        bool descending = false;
        if (direction.compare(u"desc", Qt::CaseInsensitive) == 0)
            descending = true;
        else if (!direction.isEmpty() && direction.compare(u"asc", Qt::CaseInsensitive) != 0)
            return sortError(QStringLiteral("atteso ASC o DESC dopo %1").arg(name), from);

        const int column = columnIndex(columns, name);
        if (column < 0) {
            return Error{
                QStringLiteral("Colonna sconosciuta nell'ordinamento: %1").arg(name.toString())};
        }
        sort.m_keys.append(Key{column, descending});
        start = end + 1;
    }
    return sort;
}

void RowSort::sort(QList<qsizetype> &order, const QList<QVariantList> &rows) const
{
    sortBy(order, [&](KeyColumn &keys, qsizetype row, int column) {
        return keys.make(cell(rows, row, column));
    });
}

void RowSort::sort(QList<qsizetype> &order, const RowStore &rows) const
{
    sortBy(order, [&](KeyColumn &keys, qsizetype row, int column) {
        return keys.make(rows, row, column);
    });
}

template <typename MakeKey> void RowSort::sortBy(QList<qsizetype> &order, MakeKey makeKey) const
{
    if (m_keys.isEmpty() || order.size() < 2)
        return;
    // The sort moves small entries: the row's place and a 64-bit word that orders most pairs
    // by itself (the first code units of a text, the value of an integer, a date or a yes/no).
    // Only a tie on the word, or a real number, reads the first key in full; the further keys
    // are read on ties of the first.
    struct Entry
    {
        quint64 word;
        quint32 position;
        quint8 rank;
        bool wordDecides;
    };
    KeyColumn first(order.size());
    std::vector<Entry> entries;
    entries.reserve(order.size());
    for (qsizetype p = 0; p < order.size(); ++p) {
        first.add(makeKey(first, order[p], m_keys[0].column));
        const KeyColumn::Key &key = first[p];
        Entry e{0, quint32(p), quint8(key.rank), false};
        if (key.rank == TextRank || key.rank == OtherRank) {
            e.word = key.head;
            e.wordDecides = true;
        } else if (key.rank == BoolRank || key.rank == DateRank ||
                   (key.rank == NumberRank && key.number.integral)) {
            e.word = quint64(key.number.integer) ^ (quint64(1) << 63);
            e.wordDecides = true;
        }
        entries.push_back(e);
    }
    std::vector<KeyColumn> further;
    for (qsizetype k = 1; k < m_keys.size(); ++k) {
        further.emplace_back(order.size());
        for (qsizetype row : order)
            further.back().add(makeKey(further.back(), row, m_keys[k].column));
    }
    const bool descending = m_keys[0].descending;
    const auto before = [&](const Entry &x, const Entry &y) {
        int c;
        if (x.rank != y.rank)
            c = x.rank < y.rank ? -1 : 1;
        else if (x.word != y.word && x.wordDecides && y.wordDecides)
            c = x.word < y.word ? -1 : 1;
        else
            c = first.compare(first[x.position], first[y.position]);
        if (c != 0)
            return descending ? c > 0 : c < 0;
        for (qsizetype k = 1; k < m_keys.size(); ++k) {
            const KeyColumn &column = further[k - 1];
            c = column.compare(column[x.position], column[y.position]);
            if (c != 0)
                return m_keys[k].descending ? c > 0 : c < 0;
        }
        return false;
    };
    // A long list is sorted in slices, one per core, then merged: each merge keeps the rows of
    // the earlier slice first among equals, so the whole stays stable. The keys are only read.
    const size_t slices =
        entries.size() < 50000 ? 1 : std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 8);
    std::vector<size_t> bounds;
    for (size_t i = 0; i <= slices; ++i)
        bounds.push_back(entries.size() * i / slices);
    std::vector<std::thread> threads;
    for (size_t i = 1; i < slices; ++i)
        threads.emplace_back([&, i] {
            std::stable_sort(entries.begin() + bounds[i], entries.begin() + bounds[i + 1], before);
        });
    std::stable_sort(entries.begin(), entries.begin() + bounds[1], before);
    for (std::thread &t : threads)
        t.join();
    for (size_t width = 1; width < slices; width *= 2) {
        for (size_t i = 0; i + width < slices; i += 2 * width) {
            const size_t end = std::min(i + 2 * width, slices);
            std::inplace_merge(entries.begin() + bounds[i], entries.begin() + bounds[i + width],
                               entries.begin() + bounds[end], before);
        }
    }
    QList<qsizetype> sorted;
    sorted.reserve(order.size());
    for (const Entry &e : entries)
        sorted.append(order[e.position]);
    order = std::move(sorted);
}

int RowSort::compare(const QVariantList &a, const QVariantList &b) const
{
    for (const Key &key : m_keys) {
        const int c = compareValues(cell(a, key.column), cell(b, key.column));
        if (c != 0)
            return key.descending ? -c : c;
    }
    return 0;
}

int RowSort::compare(const RowStore &rows, qsizetype a, qsizetype b) const
{
    for (const Key &key : m_keys) {
        const int c = compareValues(rows.value(a, key.column), rows.value(b, key.column));
        if (c != 0)
            return key.descending ? -c : c;
    }
    return 0;
}

int compareValues(const QVariant &a, const QVariant &b)
{
    const Rank rank = rankOf(a);
    if (rank != rankOf(b))
        return rank < rankOf(b) ? -1 : 1;
    switch (rank) {
    case NullRank:
        return 0;
    case BoolRank:
        return threeWay(a.toBool(), b.toBool());
    case NumberRank:
        return compareNumbers(numberOf(a), numberOf(b));
    case DateRank:
        return threeWay(dateKey(a), dateKey(b));
    case TextRank:
        return compareTexts(textOf(a), textOf(b));
    case BinaryRank:
        return compareBytes(a, b);
    case OtherRank:
        return compareTexts(a.toString(), b.toString());
    }
    return 0;
}

} // namespace db
