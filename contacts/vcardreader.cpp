#include "contacts/vcardreader.h"

#include "contacts/vcardtext.h"
#include "contacts/vcardvalues.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

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
        const char *start = m_p;
        while (m_p < m_end && *m_p != '\n' && *m_p != '\r')
            ++m_p;
        line = QByteArrayView(start, m_p - start);
        if (m_p < m_end)
            m_p += (*m_p == '\r' && m_p + 1 < m_end && m_p[1] == '\n') ? 2 : 1;
        return true;
    }

    const char *m_p;
    const char *m_end;
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
    QList<DatiVCard> take() { return std::move(m_cards); }
    bool version21() const { return m_version21; }

private:
    enum class Escapes
    {
        None,
        Text
    };
    void property(QByteArrayView name, const Params &params, QByteArrayView value);
    QString text(QByteArrayView raw, const Params &params, Escapes escapes) const;
    QString component(QByteArrayView raw, const Params &params, int number) const;
    QString listItem(QByteArrayView raw, const Params &params) const;
    void telephone(const Params &params, const QString &number);
    void email(const Params &params, const QString &address);
    void address(const Params &params, QByteArrayView raw);
    void fill(Slot first, Slot last, const QString &value);

    QList<DatiVCard> m_cards;
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
    QByteArrayView name = line.first(colon);
    QByteArrayView params;
    if (const qsizetype semicolon = name.indexOf(';'); semicolon >= 0) {
        params = name.sliced(semicolon);
        name = name.first(semicolon);
    }
    // "item1.TEL": the group before the dot says nothing the program keeps.
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.sliced(dot + 1);
    name = trimmed(name);
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
                m_cards.append(std::move(m_card));
            m_card = DatiVCard();
            m_version21 = false;
            m_depth = 1;
        }
        m_agentPending = false;
        return;
    }
    m_agentPending = false;
    if (is(name, "END")) {
        if (m_depth > 0 && is(trimmed(value), "VCARD")) {
            if (--m_depth == 0)
                m_cards.append(std::move(m_card));
        }
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

QString CardReader::text(QByteArrayView raw, const Params &params, Escapes escapes) const
{
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
    if (escapes == Escapes::None || !decoded.contains(u'\\'))
        return decoded;
    QString out;
    out.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded[i];
        if (c != u'\\' || i + 1 == decoded.size()) {
            out += c;
            continue;
        }
        const QChar next = decoded[i + 1];
        // 2.1 breaks lines with quoted-printable, so a backslash and an n there are just that.
        if (next == u'\\' || next == u',' || next == u';' || next == u':') {
            out += next;
            ++i;
        } else if ((next == u'n' || next == u'N') && !m_version21) {
            out += u'\n';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Component `number` (from 1) of a structured value: split at the semicolons no backslash
// escapes.
QString CardReader::component(QByteArrayView raw, const Params &params, int number) const
{
    qsizetype start = 0;
    for (int k = 1;; ++k) {
        qsizetype end = start;
        while (end < raw.size() && raw[end] != ';') {
            if (raw[end] == '\\')
                ++end;
            ++end;
        }
        end = std::min(end, raw.size());
        if (k == number)
            return text(raw.sliced(start, end - start), params, Escapes::Text).trimmed();
        if (end >= raw.size())
            return {};
        start = end + 1;
    }
}

// The first item of a comma-separated list.
QString CardReader::listItem(QByteArrayView raw, const Params &params) const
{
    qsizetype end = 0;
    while (end < raw.size() && raw[end] != ',') {
        if (raw[end] == '\\')
            ++end;
        ++end;
    }
    return text(raw.first(std::min(end, raw.size())), params, Escapes::Text).trimmed();
}

void CardReader::fill(Slot first, Slot last, const QString &value)
{
    if (value.isEmpty())
        return;
    for (int s = first; s < last; ++s) {
        if (m_card.slots[s].isEmpty()) {
            m_card.slots[s] = value;
            return;
        }
    }
    // A later value of the same kind replaces the last one kept.
    m_card.slots[last] = value;
}

void CardReader::telephone(const Params &p, const QString &number)
{
    // A telephone typed neither home nor work is taken for a home one, so that the numbers of
    // phones that type only CELL or nothing at all are not lost.
    if (p.work) {
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
    const StreetAndNumber street = splitStreet(component(raw, p, 3));
    QString locality = component(raw, p, 4);
    QString region = component(raw, p, 5);
    QString postalCode = component(raw, p, 6);
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
            m_card[Birthday] = text(value, p, Escapes::Text).trimmed();
        return;
    case 'C':
        if (is(name, "CATEGORIES"))
            m_card[Categories] = listItem(value, p);
        return;
    case 'E':
        if (is(name, "EMAIL"))
            email(p, text(value, p, Escapes::Text).trimmed());
        return;
    case 'F':
        if (is(name, "FN"))
            m_card.formattedName = text(value, p, Escapes::Text).trimmed();
        return;
    case 'G':
        if (is(name, "GEO"))
            m_card[Geo] = text(value, p, Escapes::None).trimmed();
        return;
    case 'K':
        if (is(name, "KEY") && !p.base64)
            m_card[Key] = text(value, p, Escapes::None).trimmed();
        return;
    case 'L':
        if (is(name, "LABEL") && !p.home && !p.work)
            m_card[Label] = text(value, p, Escapes::Text);
        return;
    case 'N':
        if (is(name, "N")) {
            for (int k = 0; k < 5; ++k)
                m_card.slots[FamilyName + k] = component(value, p, k + 1);
        } else if (is(name, "NOTE")) {
            m_card[Note] = text(value, p, Escapes::Text);
        }
        return;
    case 'O':
        if (is(name, "ORG"))
            m_card[Organisation] = component(value, p, 1);
        return;
    case 'P':
        // Inline picture data is no reference: the archive has no place for it.
        if (is(name, "PHOTO") && !p.base64 &&
            !is(value.first(std::min<qsizetype>(5, value.size())), "DATA:"))
            m_card[Photo] = text(value, p, Escapes::None).trimmed();
        return;
    case 'R':
        if (is(name, "ROLE"))
            m_card[Role] = text(value, p, Escapes::Text).trimmed();
        else if (is(name, "REV"))
            m_card[Revision] = text(value, p, Escapes::Text).trimmed();
        return;
    case 'T':
        if (is(name, "TEL")) {
            QString number = text(value, p, p.uri ? Escapes::None : Escapes::Text).trimmed();
            while (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4).trimmed();
            telephone(p, number);
        } else if (is(name, "TITLE")) {
            m_card[Title] = text(value, p, Escapes::Text).trimmed();
        }
        return;
    case 'U':
        if (is(name, "UID"))
            m_card[Uid] = text(value, p, p.text ? Escapes::Text : Escapes::None).trimmed();
        else if (is(name, "URL"))
            m_card[p.work && !p.home ? WorkUrl : HomeUrl] = text(value, p, Escapes::None).trimmed();
        return;
    case 'V':
        if (is(name, "VERSION"))
            m_version21 = trimmed(value) == "2.1";
        return;
    case 'X':
        if (is(name, "X-CALVETRA-DESTMERCE"))
            m_card[Label] = text(value, p, Escapes::Text);
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

QList<DatiVCard> LeggiVCard(QByteArrayView file)
{
    QByteArray utf8;
    if (file.startsWith("\xEF\xBB\xBF")) {
        file = file.sliced(3);
    } else if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF")) {
        utf8 = fromUtf16(file);
        file = utf8;
    }
    Lines lines(file);
    CardReader reader;
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
    return reader.take();
}

db::Result<QList<DatiVCard>> LeggiVCardFile(const QString &path)
{
    QFile file(path);
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
