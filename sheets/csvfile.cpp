#include "sheets/csvfile.h"

#include "common/textfunctions.h"
#include <QDate>

#include <QStringDecoder>

#include <array>
#include <limits>

namespace sheets {

namespace {

// The separators a CSV file may use, in the order they win when each splits the first rows
// evenly: the one of Italian spreadsheets first.
constexpr std::array<char16_t, 3> kSeparators = {u';', u',', u'\t'};

// How many rows the choice of the separator looks at.
constexpr qsizetype kSampleRows = 20;

// A NUL byte, or more than one byte in ten a control character no text file holds: a picture,
// a spreadsheet's own format, an archive, not a CSV.
bool looksBinary(QByteArrayView bytes)
{
    qsizetype controls = 0;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0)
            return true;
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F)
            ++controls;
    }
    return controls * 10 > bytes.size();
}

bool allEmpty(const QVariantList &cells)
{
    for (const QVariant &cell : cells) {
        if (!cell.toString().isEmpty())
            return false;
    }
    return true;
}

struct Parsed
{
    SheetRows rows;
    // The line where a quote opened that never closed; 0 when every quote closed.
    qsizetype unclosedQuoteLine = 0;
};

// The rows of `text` split at `separator`, at most `limit` of them, rows of empty cells left
// out. A quoted cell ends at the quote that is not doubled; what follows it up to the next
// separator or line end is kept as written, as is a quote inside an unquoted cell.
Parsed parse(QStringView text, QChar separator, qsizetype limit)
{
    Parsed parsed;
    const qsizetype n = text.size();
    qsizetype i = 0;
    qsizetype line = 1;
    QVariantList cells;
    QString cell;
    for (;;) {
        if (i < n && text[i] == u'"') {
            const qsizetype opened = line;
            bool closed = false;
            ++i;
            while (i < n) {
                const QChar c = text[i];
                if (c == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        cell += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                if (c == u'\r' || c == u'\n') {
                    // Whatever the file's line ends, a line break in a cell is one LF.
                    cell += u'\n';
                    ++line;
                    i += (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
                    continue;
                }
                cell += c;
                ++i;
            }
            if (!closed) {
                parsed.unclosedQuoteLine = opened;
                return parsed;
            }
        }
        const qsizetype start = i;
        while (i < n && text[i] != separator && text[i] != u'\r' && text[i] != u'\n')
            ++i;
        cell += text.sliced(start, i - start);
        cells.append(cell);
        cell.clear();
        if (i < n && text[i] == separator) {
            ++i;
            continue;
        }
        if (!allEmpty(cells))
            parsed.rows.append(cells);
        cells.clear();
        if (i >= n || parsed.rows.size() >= limit)
            break;
        i += (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        ++line;
        if (i >= n)
            break;
    }
    return parsed;
}

// The separator that splits the first rows of `text` into the same number of cells, more than
// one; see csvfile.h for the ties and the files where none does.
QChar findSeparator(QStringView text)
{
    QChar best = u';';
    qsizetype bestCells = 1;
    bool bestEven = false;
    for (const char16_t separator : kSeparators) {
        const SheetRows sample = parse(text, separator, kSampleRows).rows;
        if (sample.isEmpty())
            continue;
        const qsizetype cells = sample.first().size();
        bool even = cells > 1;
        for (const QVariantList &row : sample)
            even = even && row.size() == cells;
        // An even split beats an uneven one, and among even ones the first separator wins: a
        // file written by writeCsv() (';', commas left unquoted) reads back as written.
        if (even ? !bestEven : !bestEven && cells > bestCells) {
            best = separator;
            bestCells = cells;
            bestEven = even;
        }
    }
    return best;
}

bool needsQuotes(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return text.front().isSpace() || text.back().isSpace();
}

QString cellText(const QVariant &cell)
{
    if (!cell.isValid())
        return {};
    if (cell.typeId() == QMetaType::QDate) {
        const QDate date = cell.toDate();
        return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString();
    }
    return cell.toString();
}

} // namespace

db::Result<SheetRows> readCsv(QByteArrayView bytes, CsvFormat *format)
{
    CsvFormat found;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        found.byteOrderMark = true;
        bytes = bytes.sliced(3);
    }
    if (bytes.endsWith('\x1A'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return db::Error{QStringLiteral("Il file è vuoto.")};
    if (looksBinary(bytes))
        return db::Error{QStringLiteral("Il file non è un file CSV: contiene dati binari.")};

    // The mark was taken off above: a U+FEFF left is the first character of the first cell.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless |
                                                    QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = fromWindows1252(bytes);
        found.utf8 = false;
    }
    found.separator = findSeparator(text);
    Parsed parsed = parse(text, found.separator, std::numeric_limits<qsizetype>::max());
    if (parsed.unclosedQuoteLine > 0)
        return db::Error{QStringLiteral("Il file CSV è incompleto: le virgolette aperte alla riga "
                                        "%1 non vengono mai chiuse.")
                             .arg(parsed.unclosedQuoteLine)};
    if (parsed.rows.isEmpty())
        return db::Error{QStringLiteral("Il file è vuoto.")};
    if (format)
        *format = found;
    return std::move(parsed.rows);
}

QByteArray writeCsv(const SheetRows &rows)
{
    QString text(1, QChar(0xFEFF));
    for (const QVariantList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += u';';
            QString cell = cellText(row[i]);
            if (needsQuotes(cell)) {
                cell.replace(u'"', QStringLiteral("\"\""));
                text += u'"' + cell + u'"';
            } else {
                text += cell;
            }
        }
        text += QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace sheets
