#include "vcard/vcardreader.h"

#include "vcard/vcardtext.h"
#include "vcard/vcardvalues.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cstring>

using namespace vcard;

namespace {

// The physical lines of a file, one ahead, whatever their line ends.
class Lines
{
public:
    explicit Lines(QByteArrayView text) : m_p(text.data()), m_end(text.data() + text.size())
    {
        m_hasNext = advance(m_next);
    }
    bool take(QByteArrayView &line)
    {
        if (!m_hasNext)
            return false;
        line = m_next;
        m_hasNext = advance(m_next);
        return true;
    }
    bool hasNext() const { return m_hasNext; }
    QByteArrayView peek() const { return m_next; }

private:
    bool advance(QByteArrayView &line)
    {
        if (m_p >= m_end)
            return false;
        // The next LF and the next CR, each looked for again only once passed, so that a file
        // with one kind of line end alone is not searched to its end for the other at each line.
        const char *start = m_p;
        if (!m_lf || m_lf < m_p)
            m_lf = next('\n');
        if (!m_cr || m_cr < m_p)
            m_cr = next('\r');
        const char *lineEnd = std::min(m_lf, m_cr);
        line = QByteArrayView(start, lineEnd - start);
        if (lineEnd == m_end)
            m_p = m_end;
        else
            m_p = lineEnd + ((lineEnd == m_cr && lineEnd + 1 == m_lf) ? 2 : 1);
        return true;
    }

    const char *next(char c) const
    {
        const auto *found = static_cast<const char *>(std::memchr(m_p, c, m_end - m_p));
        return found ? found : m_end;
    }

    const char *m_p;
    const char *m_end;
    const char *m_lf = nullptr;
    const char *m_cr = nullptr;
    QByteArrayView m_next;
    bool m_hasNext = false;
};

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool is(QByteArrayView text, const char *upperName)
{
    qsizetype i = 0;
    for (; upperName[i] != 0; ++i) {
        if (i >= text.size() || upper(text[i]) != upperName[i])
            return false;
    }
    return i == text.size();
}

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

// Only blanks and tabs: any other character at the ends of a value is part of it.
QString trimmed(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && (text[from] == u' ' || text[from] == u'\t'))
        ++from;
    while (to > from && (text[to - 1] == u' ' || text[to - 1] == u'\t'))
        --to;
    return from == 0 && to == text.size() ? text : text.mid(from, to - from);
}

QString unescaped(const QString &text, bool version21)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[i + 1];
        // 2.1 breaks lines with quoted-printable, so a backslash and an n there are just that.
        if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            out += next;
            ++i;
        } else if ((next == u'n' || next == u'N') && !version21) {
            out += u'\n';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// The pieces of a structured value split at `separator` where no backslash escapes it; at
// most `N`, the rest is left out.
template <int N> struct Pieces
{
    std::array<QByteArrayView, N> piece;
    int count = 0;

    Pieces(QByteArrayView raw, char separator)
    {
        qsizetype start = 0;
        while (count < N) {
            qsizetype end = start;
            while (end < raw.size() && raw[end] != separator)
                end += raw[end] == '\\' ? 2 : 1;
            end = std::min(end, raw.size());
            piece[count++] = raw.sliced(start, end - start);
            if (end >= raw.size())
                break;
            start = end + 1;
        }
    }
    QByteArrayView operator[](int i) const { return i < count ? piece[i] : QByteArrayView(); }
};

// Where the parameters end: the first ':' outside double quotes; -1 when there is none.
qsizetype valueStart(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return i;
    }
    return -1;
}

bool containsNoCase(QByteArrayView text, const char *upperWord)
{
    const qsizetype n = qsizetype(qstrlen(upperWord));
    for (qsizetype i = 0; i + n <= text.size(); ++i) {
        if (is(text.sliced(i, n), upperWord))
            return true;
    }
    return false;
}

struct Params
{
    bool home = false;
    bool work = false;
    bool cell = false;
    bool fax = false;
    bool quotedPrintable = false;
    bool base64 = false;
    bool text = false; // VALUE=text
    bool uri = false;  // VALUE=uri
    QByteArrayView charset;
};

void addType(Params &p, QByteArrayView type)
{
    type = trimmed(type);
    if (type.size() >= 2 && type.front() == '"' && type.back() == '"')
        type = type.sliced(1, type.size() - 2);
    if (is(type, "HOME"))
        p.home = true;
    else if (is(type, "WORK"))
        p.work = true;
    else if (is(type, "CELL"))
        p.cell = true;
    else if (is(type, "FAX"))
        p.fax = true;
    else if (is(type, "QUOTED-PRINTABLE"))
        p.quotedPrintable = true;
    else if (is(type, "BASE64"))
        p.base64 = true;
}

// `text` is what lies between the name and the ':': ";TYPE=home,voice;PREF=1" or, in 2.1,
// ";HOME;VOICE;ENCODING=QUOTED-PRINTABLE".
Params readParams(QByteArrayView text)
{
    Params p;
    while (!text.isEmpty()) {
        text = text.sliced(1); // the ';'
        qsizetype end = 0;
        bool quoted = false;
        while (end < text.size() && (quoted || text[end] != ';')) {
            if (text[end] == '"')
                quoted = !quoted;
            ++end;
        }
        const QByteArrayView param = text.first(end);
        text = text.sliced(end);
        const qsizetype eq = param.indexOf('=');
        if (eq < 0) {
            addType(p, param);
            continue;
        }
        const QByteArrayView name = trimmed(param.first(eq));
        QByteArrayView value = trimmed(param.sliced(eq + 1));
        if (is(name, "TYPE")) {
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.sliced(1, value.size() - 2);
            for (qsizetype from = 0; from <= value.size();) {
                qsizetype comma = value.sliced(from).indexOf(',');
                comma = comma < 0 ? value.size() : from + comma;
                addType(p, value.sliced(from, comma - from));
                from = comma + 1;
            }
        } else if (is(name, "ENCODING")) {
            if (is(value, "QUOTED-PRINTABLE"))
                p.quotedPrintable = true;
            else if (is(value, "B") || is(value, "BASE64"))
                p.base64 = true;
        } else if (is(name, "CHARSET")) {
            p.charset = value;
        } else if (is(name, "VALUE")) {
            p.text = is(value, "TEXT");
            p.uri = is(value, "URI") || is(value, "URL");
        }
    }
    return p;
}

class CardReader
{
public:
    void line(QByteArrayView line);
    explicit CardReader(const std::function<void(DatiVCard &&)> &each) : m_each(each) {}
    bool version21() const { return m_version21; }

private:
    enum class Escapes
    {
        None,
        Text
    };
    // Blanks and tabs at either end of a value.
    enum class Blanks
    {
        Kept,
        Trimmed
    };
    void property(QByteArrayView name, const Params &params, QByteArrayView value);
    QString text(QByteArrayView raw, const Params &params, Escapes escapes,
                 Blanks blanks = Blanks::Trimmed) const;
    QString listItem(QByteArrayView raw, const Params &params) const;
    void telephone(const Params &params, const QString &number);
    void email(const Params &params, const QString &address);
    void address(const Params &params, QByteArrayView raw);
    void fill(Slot first, Slot last, const QString &value);
    void done()
    {
        m_each(std::move(m_card));
        // Texts moved away are empty already: clearing the rest is cheaper than a new card.
        for (QString &text : m_card.slot)
            text.clear();
        m_card.formattedName.clear();
    }

    const std::function<void(DatiVCard &&)> &m_each;
    DatiVCard m_card;
    int m_depth = 0;
    bool m_version21 = false;
    bool m_agentPending = false;
};

void CardReader::line(QByteArrayView line)
{
    const qsizetype colon = valueStart(line);
    if (colon <= 0)
        return;
    // "item1.TEL;TYPE=cell": the group before the dot says nothing the program keeps.
    qsizetype start = 0, end = 0;
    for (; end < colon && line[end] != ';'; ++end) {
        if (line[end] == '.')
            start = end + 1;
    }
    const QByteArrayView name = trimmed(line.sliced(start, end - start));
    const QByteArrayView params = line.sliced(end, colon - end);
    const QByteArrayView value = line.sliced(colon + 1);

    if (is(name, "BEGIN")) {
        if (!is(trimmed(value), "VCARD"))
            return;
        // Only a 2.1 AGENT may hold a card inside a card; any other BEGIN starts the next
        // card, even when the one before lost its END.
        if (m_depth > 0 && m_agentPending) {
            ++m_depth;
        } else {
            // A card whose END is missing ends where the next one begins.
            if (m_depth > 0)
                done();
            m_version21 = false;
            m_depth = 1;
        }
        m_agentPending = false;
        return;
    }
    m_agentPending = false;
    if (is(name, "END")) {
        if (m_depth > 0 && is(trimmed(value), "VCARD") && --m_depth == 0)
            done();
        return;
    }
    if (m_depth != 1)
        return;
    if (is(name, "AGENT")) {
        m_agentPending = trimmed(value).isEmpty();
        return;
    }
    property(name, readParams(params), value);
}

QString CardReader::text(QByteArrayView raw, const Params &params, Escapes escapes,
                         Blanks blanks) const
{
    if (blanks == Blanks::Trimmed)
        raw = trimmed(raw);
    bool plain = !params.quotedPrintable;
    for (qsizetype i = 0; plain && i < raw.size(); ++i) {
        const char c = raw[i];
        plain = (c & 0x80) == 0 && c != '\\';
    }
    if (plain)
        return QString::fromLatin1(raw);
    QString decoded = params.quotedPrintable
                          ? decodeOctets(decodeQuotedPrintable(raw), params.charset)
                          : decodeOctets(raw, params.charset);
    if (decoded.contains(u'\r')) {
        decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        decoded.replace(u'\r', u'\n');
    }
    if (escapes == Escapes::Text && decoded.contains(u'\\'))
        decoded = unescaped(decoded, m_version21);
    if (blanks == Blanks::Trimmed)
        decoded = trimmed(decoded);
    return decoded;
}

// The first item of a comma-separated list.
QString CardReader::listItem(QByteArrayView raw, const Params &params) const
{
    return text(Pieces<1>(raw, ',')[0], params, Escapes::Text);
}

void CardReader::fill(Slot first, Slot last, const QString &value)
{
    if (value.isEmpty())
        return;
    for (int s = first; s < last; ++s) {
        if (m_card.slot[s].isEmpty()) {
            m_card.slot[s] = value;
            return;
        }
    }
    // A later value of the same kind replaces the last one kept.
    m_card.slot[last] = value;
}

void CardReader::telephone(const Params &p, const QString &number)
{
    // A telephone typed neither home nor work is taken for a home one, so that the numbers of
    // phones that type only CELL or nothing at all are not lost.
    if (p.work && !p.home) {
        if (p.fax)
            fill(WorkFax, WorkFax, number);
        else if (p.cell)
            fill(WorkCell1, WorkCell2, number);
        else
            fill(WorkTel1, WorkTel2, number);
    } else {
        if (p.fax)
            fill(HomeFax, HomeFax, number);
        else if (p.cell)
            fill(HomeCell1, HomeCell2, number);
        else
            fill(HomeTel1, HomeTel2, number);
    }
}

void CardReader::email(const Params &p, const QString &address)
{
    const Slot first = p.work && !p.home ? WorkEmail1 : HomeEmail1;
    fill(first, Slot(first + kEmailsPerKind - 1), address);
}

void CardReader::address(const Params &p, QByteArrayView raw)
{
    // An address typed neither home nor work goes where there is room, home first.
    bool home = !p.work || p.home;
    if (!p.home && !p.work)
        home = m_card[HomeStreet].isEmpty() && m_card[HomeNumber].isEmpty() &&
               m_card[HomeLocality].isEmpty() && m_card[HomePostalCode].isEmpty() &&
               m_card[HomeRegion].isEmpty();
    // Post-office box; extended address; street; locality; region; postal code; country.
    const Pieces<6> pieces(raw, ';');
    const StreetAndNumber street = splitStreet(text(pieces[2], p, Escapes::Text));
    const QString locality = text(pieces[3], p, Escapes::Text);
    QString region = text(pieces[4], p, Escapes::Text);
    QString postalCode = text(pieces[5], p, Escapes::Text);
    // Files of the older form put the postal code where the region belongs.
    if (postalCode.isEmpty() && region.size() == 5 &&
        std::all_of(region.begin(), region.end(), [](QChar c) { return c.isDigit(); })) {
        postalCode = region;
        region.clear();
    }
    m_card[home ? HomeStreet : WorkStreet] = street.street;
    m_card[home ? HomeNumber : WorkNumber] = street.number;
    m_card[home ? HomeLocality : WorkLocality] = locality;
    m_card[home ? HomeRegion : WorkRegion] = region;
    m_card[home ? HomePostalCode : WorkPostalCode] = postalCode;
}

void CardReader::property(QByteArrayView name, const Params &p, QByteArrayView value)
{
    if (name.isEmpty())
        return;
    switch (upper(name.front())) {
    case 'A':
        if (is(name, "ADR"))
            address(p, value);
        return;
    case 'B':
        if (is(name, "BDAY"))
            m_card[Birthday] = text(value, p, Escapes::Text);
        return;
    case 'C':
        if (is(name, "CATEGORIES"))
            m_card[Categories] = listItem(value, p);
        return;
    case 'E':
        if (is(name, "EMAIL"))
            email(p, text(value, p, Escapes::Text));
        return;
    case 'F':
        if (is(name, "FN"))
            m_card.formattedName = text(value, p, Escapes::Text);
        return;
    case 'G':
        if (is(name, "GEO"))
            m_card[Geo] = text(value, p, Escapes::None);
        return;
    case 'K':
        if (is(name, "KEY") && !p.base64)
            m_card[Key] = text(value, p, Escapes::None);
        return;
    case 'L':
        if (is(name, "LABEL") && !p.home && !p.work)
            m_card[Label] = text(value, p, Escapes::Text, Blanks::Kept);
        return;
    case 'N':
        if (is(name, "N")) {
            const Pieces<5> pieces(value, ';');
            for (int k = 0; k < 5; ++k)
                m_card.slot[FamilyName + k] = text(pieces[k], p, Escapes::Text);
        } else if (is(name, "NOTE")) {
            m_card[Note] = text(value, p, Escapes::Text, Blanks::Kept);
        }
        return;
    case 'O':
        if (is(name, "ORG"))
            m_card[Organisation] = text(Pieces<1>(value, ';')[0], p, Escapes::Text);
        return;
    case 'P':
        // Inline picture data is no reference: the archive has no place for it.
        if (is(name, "PHOTO") && !p.base64 &&
            !is(value.first(std::min<qsizetype>(5, value.size())), "DATA:"))
            m_card[Photo] = text(value, p, Escapes::None);
        return;
    case 'R':
        if (is(name, "ROLE"))
            m_card[Role] = text(value, p, Escapes::Text);
        else if (is(name, "REV"))
            m_card[Revision] = text(value, p, Escapes::Text);
        return;
    case 'T':
        if (is(name, "TEL")) {
            QString number = text(value, p, p.uri ? Escapes::None : Escapes::Text);
            while (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = trimmed(number.mid(4));
            telephone(p, number);
        } else if (is(name, "TITLE")) {
            m_card[Title] = text(value, p, Escapes::Text);
        }
        return;
    case 'U':
        if (is(name, "UID"))
            m_card[Uid] = text(value, p, p.text ? Escapes::Text : Escapes::None);
        else if (is(name, "URL"))
            m_card[p.work && !p.home ? WorkUrl : HomeUrl] = text(value, p, Escapes::None);
        return;
    case 'V':
        if (is(name, "VERSION"))
            m_version21 = trimmed(value) == "2.1";
        return;
    case 'X':
        if (is(name, "X-CALVETRA-DESTMERCE"))
            m_card[Label] = text(value, p, Escapes::Text, Blanks::Kept);
        return;
    default:
        return;
    }
}

// Whether a logical line, which only grows while its physical lines are joined, is a
// quoted-printable property; each octet is looked at once, however many lines join.
class QuotedPrintableTest
{
public:
    bool operator()(QByteArrayView line)
    {
        while (m_colon < 0 && m_scanned < line.size()) {
            const char c = line[m_scanned];
            if (c == '"') {
                m_quoted = !m_quoted;
            } else if (c == ':' && !m_quoted) {
                m_colon = m_scanned;
                m_quotedPrintable =
                    m_colon > 0 && containsNoCase(line.first(m_colon), "QUOTED-PRINTABLE");
            }
            ++m_scanned;
        }
        return m_quotedPrintable;
    }

private:
    qsizetype m_scanned = 0;
    qsizetype m_colon = -1;
    bool m_quoted = false;
    bool m_quotedPrintable = false;
};

// UTF-16 files (with their byte-order mark) are turned into UTF-8 first.
QByteArray fromUtf16(QByteArrayView file)
{
    const bool little = file[0] == '\xFF';
    QString text;
    text.reserve((file.size() - 2) / 2);
    for (qsizetype i = 2; i + 1 < file.size(); i += 2) {
        const auto a = uchar(file[i]), b = uchar(file[i + 1]);
        text += QChar(little ? char16_t(a | (b << 8)) : char16_t((a << 8) | b));
    }
    return text.toUtf8();
}

} // namespace

void LeggiVCard(QByteArrayView file, const std::function<void(DatiVCard &&)> &each)
{
    QByteArray utf8;
    // Files copied through more than one program may carry the mark more than once.
    if (file.startsWith("\xEF\xBB\xBF")) {
        while (file.startsWith("\xEF\xBB\xBF"))
            file = file.sliced(3);
    } else if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        utf8 = fromUtf16(file);
        file = utf8;
    }
    Lines lines(file);
    CardReader reader(each);
    QByteArrayView current;
    QByteArray joined;
    while (lines.take(current)) {
        bool isJoined = false;
        QuotedPrintableTest quotedPrintable;
        while (lines.hasNext()) {
            const QByteArrayView next = lines.peek();
            const QByteArrayView sofar = isJoined ? QByteArrayView(joined) : current;
            // A quoted-printable value that ends in '=' goes on in the next physical line.
            const bool softBreak =
                !sofar.isEmpty() && sofar.back() == '=' && quotedPrintable(sofar);
            const bool fold =
                !softBreak && !next.isEmpty() && (next.front() == ' ' || next.front() == '\t');
            if (!softBreak && !fold)
                break;
            if (!isJoined)
                joined = current.toByteArray();
            isJoined = true;
            QByteArrayView continuation;
            (void)lines.take(continuation);
            if (softBreak)
                joined.chop(1);
            // A fold takes out one blank, except in 2.1, whose folds break at a blank that
            // belongs to the value.
            else if (!reader.version21())
                continuation = continuation.sliced(1);
            joined.append(continuation);
        }
        reader.line(isJoined ? QByteArrayView(joined) : current);
    }
}

QList<DatiVCard> LeggiVCard(QByteArrayView file)
{
    QList<DatiVCard> cards;
    LeggiVCard(file, [&](DatiVCard &&card) { cards.append(std::move(card)); });
    return cards;
}

db::Result<QList<DatiVCard>> LeggiVCardFile(const QString &path)
{
    QFile file(path);
    // The system's own text would be English.
    if (!file.exists())
        return db::Error{QStringLiteral("Impossibile leggere il file %1: il file non esiste.")
                             .arg(QFileInfo(path).fileName())};
    if (!file.open(QIODevice::ReadOnly)) {
        return db::Error{QStringLiteral("Impossibile leggere il file %1: %2.")
                             .arg(QFileInfo(path).fileName(), file.errorString())};
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return db::Error{QStringLiteral("Impossibile leggere il file %1: %2.")
                             .arg(QFileInfo(path).fileName(), file.errorString())};
    }
    return LeggiVCard(bytes);
}
