// Reading the first sheet of an .xlsx file: a zip of XML parts. The package's relationships
// lead to the workbook, the workbook's to its sheets, its shared strings and its styles.

#include "sheets/xlsxfile.h"

#include <QDate>
#include <QHash>
#include <QXmlStreamReader>

#include <zip.h>

#include <cmath>
#include <optional>

namespace sheets {

namespace {

constexpr qint64 kMaxUnpacked = 200LL * 1024 * 1024;
constexpr qint64 kMaxRows = 1'000'000;
constexpr qint64 kMaxColumns = 16'384;
// The slots of the rows read, gaps included: beyond this a sheet is refused rather than let it
// fill the memory with empty cells placed far apart.
constexpr qint64 kMaxSlots = 10'000'000;

const QString kNotXlsx = QStringLiteral("Il file non è un file .xlsx leggibile: %1.");

db::Error notXlsx(const QString &why)
{
    return db::Error{kNotXlsx.arg(why)};
}

db::Error damaged(const QString &why)
{
    return db::Error{QStringLiteral("Il file .xlsx è danneggiato: %1.").arg(why)};
}

db::Error tooBig(const QString &what)
{
    return db::Error{QStringLiteral("Il foglio è troppo grande: %1.").arg(what)};
}

// The zip archive, read from memory; the parts are found by name whatever their letter case,
// and what they unpack to is counted against kMaxUnpacked before it is read.
class Package
{
public:
    explicit Package(QByteArrayView bytes)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source =
            zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
    }
    ~Package()
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    Package(const Package &) = delete;
    Package &operator=(const Package &) = delete;

    bool isOpen() const { return m_zip != nullptr; }

    bool has(const QString &name) const { return locate(name) >= 0; }

    // The part `name`; an empty result (and `error` set) when it is missing or cannot be read.
    std::optional<QByteArray> read(const QString &name, db::Error *error)
    {
        const zip_int64_t index = locate(name);
        if (index < 0) {
            *error = damaged(QStringLiteral("manca la parte %1").arg(name));
            return std::nullopt;
        }
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_SIZE)) {
            *error = damaged(QStringLiteral("impossibile leggere la parte %1").arg(name));
            return std::nullopt;
        }
        if (st.size > zip_uint64_t(kMaxUnpacked - m_unpacked)) {
            *error = db::Error{QStringLiteral("Il file .xlsx è troppo grande: più di 200 MB di "
                                              "dati una volta decompresso.")};
            return std::nullopt;
        }
        m_unpacked += qint64(st.size);
        QByteArray bytes(qsizetype(st.size), Qt::Uninitialized);
        zip_file_t *file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        qint64 got = -1;
        if (file) {
            got = 0;
            while (got < bytes.size()) {
                const zip_int64_t n =
                    zip_fread(file, bytes.data() + got, zip_uint64_t(bytes.size() - got));
                if (n <= 0) {
                    got = n < 0 ? -1 : got;
                    break;
                }
                got += n;
            }
            zip_fclose(file);
        }
        if (got != bytes.size()) {
            *error = damaged(QStringLiteral("impossibile leggere la parte %1").arg(name));
            return std::nullopt;
        }
        return bytes;
    }

private:
    zip_int64_t locate(const QString &name) const
    {
        return m_zip ? zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE) : -1;
    }

    zip_t *m_zip = nullptr;
    qint64 m_unpacked = 0;
};

QStringView attributeIn(const QXmlStreamAttributes &attributes, QStringView localName)
{
    for (const QXmlStreamAttribute &a : attributes) {
        if (a.name() == localName)
            return a.value();
    }
    return {};
}

QString attribute(const QXmlStreamReader &xml, QStringView localName)
{
    return attributeIn(xml.attributes(), localName).toString();
}

bool isTrue(const QString &value)
{
    return value == u"1" || value.compare(u"true", Qt::CaseInsensitive) == 0;
}

// The folder of a part, with its closing slash ("xl/" of "xl/workbook.xml").
QString folderOf(const QString &part)
{
    return part.left(part.lastIndexOf(u'/') + 1);
}

// A relationship's target as a part name: from the root when it starts with '/', else from
// the folder of the part it belongs to; "." and ".." resolved.
QString resolveTarget(const QString &folder, const QString &target)
{
    const QString path = target.startsWith(u'/') ? target : folder + target;
    QStringList parts;
    for (const QString &piece : path.split(u'/', Qt::SkipEmptyParts)) {
        if (piece == u".")
            continue;
        if (piece == u"..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(piece);
    }
    return parts.join(u'/');
}

struct Relationship
{
    QString type;
    QString part;
};

// The relationships of `part` (its _rels/NAME.rels), by id; none when it has no such file.
std::optional<QHash<QString, Relationship>> relationshipsOf(Package &package, const QString &part,
                                                            db::Error *error)
{
    const QString folder = folderOf(part);
    const QString relsName =
        folder + QStringLiteral("_rels/") + part.mid(folder.size()) + QStringLiteral(".rels");
    QHash<QString, Relationship> relationships;
    if (!package.has(relsName))
        return relationships;
    const std::optional<QByteArray> bytes = package.read(relsName, error);
    if (!bytes)
        return std::nullopt;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"Relationship")
            continue;
        if (attribute(xml, u"TargetMode").compare(u"External", Qt::CaseInsensitive) == 0)
            continue;
        relationships.insert(
            attribute(xml, u"Id"),
            {attribute(xml, u"Type"), resolveTarget(folder, attribute(xml, u"Target"))});
    }
    if (xml.hasError()) {
        *error = damaged(QStringLiteral("la parte %1 non è XML valido").arg(relsName));
        return std::nullopt;
    }
    return relationships;
}

// The part of the first relationship whose type ends with `/kind`.
QString partOfType(const QHash<QString, Relationship> &relationships, QStringView kind)
{
    for (const Relationship &r : relationships) {
        if (r.type.size() > kind.size() && r.type.endsWith(kind) &&
            r.type.at(r.type.size() - kind.size() - 1) == u'/')
            return r.part;
    }
    return {};
}

// Texts escape the characters XML cannot carry as _xHHHH_ (an underscore itself as _x005F_).
QString unescaped(QString text)
{
    qsizetype at = text.indexOf(QStringLiteral("_x"));
    while (at >= 0 && at + 7 <= text.size()) {
        bool ok = false;
        const ushort code = text.mid(at + 2, 4).toUShort(&ok, 16);
        if (ok && text.at(at + 6) == u'_') {
            text.replace(at, 7, QChar(code));
            at = text.indexOf(QStringLiteral("_x"), at + 1);
        } else {
            at = text.indexOf(QStringLiteral("_x"), at + 2);
        }
    }
    return text;
}

// The text of the element the reader stands on (a shared string <si> or an inline <is>): its
// own <t>, or the <t> of each run <r> joined; the phonetic guides (<rPh>) left out.
QString richText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 0; // of the runs entered below the element
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"t")
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (xml.name() == u"r")
                ++depth;
            else
                xml.skipCurrentElement();
        } else if (xml.isEndElement()) {
            if (depth == 0)
                break;
            --depth;
        }
    }
    return unescaped(text);
}

// The ids of the built-in date formats: day, month and year, with or without a time.
bool isBuiltInDateFormat(int id)
{
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47);
}

// A format of the user's is a date when, its literal texts, colours and conditions taken out,
// it is made of the letters of days, months and years, with or without hours, minutes and
// seconds, and holds a day or a year ("mm:ss" alone is a time, "0.00" a number).
bool isDateFormatCode(const QString &code)
{
    QString letters;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
            continue;
        }
        if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // the next character is a literal, a space's width or the filler
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0)
                break;
            i = close;
        } else if (c == u';') {
            break; // only the first section says what the value is
        } else if (c.isLetter()) {
            letters += c.toLower();
        }
    }
    letters.remove(QStringLiteral("ampm"));
    letters.remove(QStringLiteral("ap"));
    bool dayOrYear = false;
    for (const QChar c : std::as_const(letters)) {
        if (c == u'd' || c == u'y')
            dayOrYear = true;
        else if (c != u'm' && c != u'h' && c != u's')
            return false;
    }
    return dayOrYear;
}

// The date of a serial day number; none when it falls outside the years a spreadsheet shows.
// The 1900 calendar counts a 29 February 1900 that never was, so its first 60 days start one
// day later.
std::optional<QDate> serialDate(double serial, bool from1904)
{
    if (!std::isfinite(serial) || serial < (from1904 ? 0.0 : 1.0) || serial >= 3'000'000.0)
        return std::nullopt;
    qint64 days = qint64(std::floor(serial));
    QDate date;
    if (from1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else {
        if (days <= 60)
            ++days;
        date = QDate(1899, 12, 30).addDays(days);
    }
    if (!date.isValid() || date.year() > 9999)
        return std::nullopt;
    return date;
}

struct Styles
{
    // For each cell format (the s="" of a cell), whether its number format is a date.
    QList<bool> dateFormats;
};

bool readStyles(const QByteArray &bytes, Styles *styles)
{
    QHash<int, QString> codes;
    QList<int> formatIds;
    QXmlStreamReader xml(bytes);
    bool inCellFormats = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == u"numFmt")
                codes.insert(attribute(xml, u"numFmtId").toInt(), attribute(xml, u"formatCode"));
            else if (xml.name() == u"cellXfs")
                inCellFormats = true;
            else if (inCellFormats && xml.name() == u"xf")
                formatIds.append(attribute(xml, u"numFmtId").toInt());
        } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
            inCellFormats = false;
        }
    }
    if (xml.hasError())
        return false;
    for (const int id : std::as_const(formatIds)) {
        const auto code = codes.constFind(id);
        styles->dateFormats.append(code != codes.cend() ? isDateFormatCode(*code)
                                                        : isBuiltInDateFormat(id));
    }
    return true;
}

bool readSharedStrings(const QByteArray &bytes, QStringList *strings)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"si")
            strings->append(richText(xml));
    }
    return !xml.hasError();
}

// A cell reference "C7": its column and row counted from 1, either 0 when it is missing; past
// the limits of a sheet they stop growing one beyond them.
struct CellReference
{
    qint64 column = 0;
    qint64 row = 0;
};

CellReference parseReference(QStringView reference)
{
    CellReference cell;
    qsizetype i = 0;
    for (; i < reference.size(); ++i) {
        const char16_t c = QChar::toUpper(reference[i].unicode());
        if (c < u'A' || c > u'Z')
            break;
        cell.column = std::min(cell.column * 26 + (c - u'A' + 1), kMaxColumns + 1);
    }
    for (; i < reference.size(); ++i) {
        const char16_t c = reference[i].unicode();
        if (c < u'0' || c > u'9')
            break;
        cell.row = std::min(cell.row * 10 + (c - u'0'), kMaxRows + 1);
    }
    return cell;
}

class SheetReader
{
public:
    SheetReader(const QStringList &strings, const Styles &styles, bool from1904)
        : m_strings(strings), m_styles(styles), m_from1904(from1904)
    {
    }

    db::Result<SheetRows> read(const QByteArray &bytes, const QString &part)
    {
        QXmlStreamReader xml(bytes);
        qint64 row = 0;
        qint64 column = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"row") {
                const qint64 r = parseReference(attribute(xml, u"r")).row;
                row = r > 0 ? r : row + 1;
                column = 0;
            } else if (xml.name() == u"c") {
                // The attributes once: every call of attributes() copies them.
                const QXmlStreamAttributes attributes = xml.attributes();
                const CellReference at = parseReference(attributeIn(attributes, u"r"));
                column = at.column > 0 ? at.column : column + 1;
                if (at.row > 0)
                    row = at.row;
                const QString type = attributeIn(attributes, u"t").toString();
                const QString style = attributeIn(attributes, u"s").toString();
                QString stored;
                QString inlineText;
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"v")
                        stored = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    else if (xml.name() == u"is")
                        inlineText = richText(xml);
                    else
                        xml.skipCurrentElement();
                }
                if (xml.hasError())
                    break;
                std::optional<QVariant> value = cellValue(type, style, stored, inlineText);
                if (!value)
                    return m_error;
                if (!value->isValid())
                    continue;
                if (std::optional<db::Error> refused =
                        place(std::max<qint64>(row, 1), column, std::move(*value)))
                    return *refused;
            }
        }
        if (xml.hasError())
            return damaged(QStringLiteral("la parte %1 non è XML valido (riga %2)")
                               .arg(part)
                               .arg(xml.lineNumber()));
        return std::move(m_rows);
    }

private:
    // The value of a cell from its type, its style and what it stores; none (m_error set) when
    // it names a shared string that is not there.
    std::optional<QVariant> cellValue(const QString &type, const QString &style,
                                      const QString &stored, const QString &inlineText)
    {
        if (type == u"s") {
            if (stored.isEmpty())
                return QVariant();
            bool ok = false;
            const qsizetype index = stored.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= m_strings.size()) {
                m_error = damaged(QStringLiteral("un testo del foglio non si trova"));
                return std::nullopt;
            }
            return textValue(m_strings[index]);
        }
        if (type == u"inlineStr")
            return textValue(inlineText.isEmpty() ? unescaped(stored) : inlineText);
        if (type == u"str" || type == u"e")
            return textValue(unescaped(stored));
        if (type == u"b")
            return stored.isEmpty() ? QVariant() : QVariant(isTrue(stored.trimmed()));
        if (type == u"d") {
            const QDate date = QDate::fromString(stored.trimmed().left(10), Qt::ISODate);
            return date.isValid() ? QVariant(date) : textValue(stored);
        }
        if (stored.isEmpty())
            return QVariant();
        bool ok = false;
        const double number = stored.trimmed().toDouble(&ok);
        if (!ok)
            return textValue(stored);
        bool styleOk = false;
        const qsizetype styleIndex = style.toLongLong(&styleOk);
        if (styleOk && styleIndex >= 0 && styleIndex < m_styles.dateFormats.size() &&
            m_styles.dateFormats[styleIndex]) {
            if (const std::optional<QDate> date = serialDate(number, m_from1904))
                return QVariant(*date);
        }
        return QVariant(number);
    }

    static QVariant textValue(const QString &text)
    {
        return text.isEmpty() ? QVariant() : QVariant(text);
    }

    std::optional<db::Error> place(qint64 row, qint64 column, QVariant &&value)
    {
        if (row > kMaxRows)
            return tooBig(QStringLiteral("più di 1.000.000 di righe"));
        if (column > kMaxColumns)
            return tooBig(QStringLiteral("più di 16.384 colonne"));
        if (m_rows.size() < row) {
            m_slots += row - m_rows.size();
            m_rows.resize(row);
        }
        QVariantList &cells = m_rows[row - 1];
        if (cells.size() < column) {
            m_slots += column - cells.size();
            if (m_slots > kMaxSlots)
                return tooBig(QStringLiteral("più di 10.000.000 di celle"));
            cells.resize(column);
        }
        cells[column - 1] = std::move(value);
        return std::nullopt;
    }

    const QStringList &m_strings;
    const Styles &m_styles;
    const bool m_from1904;
    SheetRows m_rows;
    qint64 m_slots = 0;
    db::Error m_error;
};

struct Workbook
{
    bool from1904 = false;
    QString firstSheetId; // the relationship id of the first sheet of the list
};

std::optional<Workbook> readWorkbook(const QByteArray &bytes)
{
    Workbook workbook;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"workbookPr") {
            workbook.from1904 = isTrue(attribute(xml, u"date1904"));
        } else if (xml.name() == u"sheet" && workbook.firstSheetId.isEmpty()) {
            workbook.firstSheetId = attribute(xml, u"id");
            if (workbook.firstSheetId.isEmpty())
                workbook.firstSheetId = QStringLiteral("-");
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return workbook;
}

} // namespace

db::Result<SheetRows> readXlsx(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return db::Error{QStringLiteral("Il file è vuoto.")};
    if (bytes.startsWith("\xD0\xCF\x11\xE0"))
        return notXlsx(QStringLiteral("è un file .xls del formato precedente, o un file protetto "
                                      "da password; salvarlo come .xlsx o CSV senza password"));
    Package package(bytes);
    if (!package.isOpen())
        return notXlsx(QStringLiteral("non è un archivio ZIP, o è incompleto"));

    db::Error error;
    const std::optional<QHash<QString, Relationship>> root =
        relationshipsOf(package, QString(), &error);
    if (!root)
        return error;
    QString workbookPart = partOfType(*root, u"officeDocument");
    if (workbookPart.isEmpty() || !package.has(workbookPart))
        workbookPart = QStringLiteral("xl/workbook.xml");
    if (!package.has(workbookPart))
        return notXlsx(QStringLiteral("manca la cartella di lavoro (%1)").arg(workbookPart));
    const std::optional<QByteArray> workbookBytes = package.read(workbookPart, &error);
    if (!workbookBytes)
        return error;
    const std::optional<Workbook> workbook = readWorkbook(*workbookBytes);
    if (!workbook)
        return damaged(QStringLiteral("la parte %1 non è XML valido").arg(workbookPart));
    if (workbook->firstSheetId.isEmpty())
        return db::Error{QStringLiteral("Il file .xlsx non contiene fogli.")};

    const std::optional<QHash<QString, Relationship>> links =
        relationshipsOf(package, workbookPart, &error);
    if (!links)
        return error;
    const auto sheet = links->constFind(workbook->firstSheetId);
    if (sheet == links->cend())
        return damaged(QStringLiteral("il primo foglio della cartella di lavoro non si trova"));

    QStringList strings;
    const QString stringsPart = partOfType(*links, u"sharedStrings");
    if (!stringsPart.isEmpty() && package.has(stringsPart)) {
        const std::optional<QByteArray> stringsBytes = package.read(stringsPart, &error);
        if (!stringsBytes)
            return error;
        if (!readSharedStrings(*stringsBytes, &strings))
            return damaged(QStringLiteral("la parte %1 non è XML valido").arg(stringsPart));
    }
    Styles styles;
    const QString stylesPart = partOfType(*links, u"styles");
    if (!stylesPart.isEmpty() && package.has(stylesPart)) {
        const std::optional<QByteArray> stylesBytes = package.read(stylesPart, &error);
        if (!stylesBytes)
            return error;
        if (!readStyles(*stylesBytes, &styles))
            return damaged(QStringLiteral("la parte %1 non è XML valido").arg(stylesPart));
    }

    const std::optional<QByteArray> sheetBytes = package.read(sheet->part, &error);
    if (!sheetBytes)
        return error;
    return SheetReader(strings, styles, workbook->from1904).read(*sheetBytes, sheet->part);
}

} // namespace sheets
