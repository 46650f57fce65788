#include "tools/stampa/reportlayout.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace stampa {

namespace {

const QString kVersionKey = QStringLiteral("calvetraReport");

// The largest values a layout may give, in mm unless said otherwise: well beyond any real
// paper, small enough that nothing overflows or runs out of memory.
constexpr double kMaxLength = 500;
constexpr double kMaxMargin = 100;
constexpr double kMaxFontSize = 144; // points
constexpr double kMaxShare = 1000;   // a column's share of the line
constexpr int kMaxLines = 100;
constexpr int kMaxLabelsAcross = 50;
constexpr int kMaxLabelsDown = 100;
// Labels may reach this far past the paper's edge: measured sheets round their sizes.
constexpr double kLabelSheetSlack = 1;

// Reads the JSON objects of a layout file, keeping the first problem met with the place it
// was found ("columns[2].width"), so that a mistake in a file is easy to find.
class Reader
{
public:
    QString problem;

    bool failed() const { return !problem.isEmpty(); }

    void fail(const QString &where, const QString &what)
    {
        if (problem.isEmpty())
            problem = where.isEmpty() ? what : where + QStringLiteral(": ") + what;
    }

    // Refuses keys the format does not know: a misspelt key would otherwise be ignored.
    void onlyKeys(const QJsonObject &object, const QString &where, const QStringList &known)
    {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!known.contains(it.key()))
                fail(where, QStringLiteral("chiave sconosciuta \"%1\"").arg(it.key()));
        }
    }

    QJsonObject object(const QJsonObject &parent, const QString &key, const QString &where)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return {};
        if (!v.isObject())
            fail(at(where, key), QStringLiteral("deve essere un oggetto { }"));
        return v.toObject();
    }

    QJsonArray array(const QJsonObject &parent, const QString &key, const QString &where)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return {};
        if (!v.isArray())
            fail(at(where, key), QStringLiteral("deve essere un elenco [ ]"));
        return v.toArray();
    }

    QString string(const QJsonObject &parent, const QString &key, const QString &where,
                   const QString &fallback = QString())
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isString())
            fail(at(where, key), QStringLiteral("deve essere un testo"));
        return v.toString();
    }

    // A text, or a list of texts that are its lines.
    QStringList lines(const QJsonObject &parent, const QString &key, const QString &where)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return {};
        if (v.isString())
            return v.toString().split(u'\n');
        QStringList out;
        if (v.isArray()) {
            for (const QJsonValue &item : v.toArray()) {
                if (!item.isString()) {
                    fail(at(where, key),
                         QStringLiteral("deve essere un testo o un elenco di testi"));
                    return {};
                }
                out += item.toString().split(u'\n');
            }
            return out;
        }
        fail(at(where, key), QStringLiteral("deve essere un testo o un elenco di testi"));
        return {};
    }

    // Every number has an upper bound too: a layout asking for a sheet of millions of labels
    // or a page a kilometre long would have the runner fill all memory.
    double number(const QJsonObject &parent, const QString &key, const QString &where,
                  double fallback, double minimum, double maximum)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || !(v.toDouble() >= minimum && v.toDouble() <= maximum)) {
            fail(at(where, key),
                 QStringLiteral("deve essere un numero da %1 a %2").arg(minimum).arg(maximum));
            return fallback;
        }
        return v.toDouble();
    }

    int integer(const QJsonObject &parent, const QString &key, const QString &where, int fallback,
                int minimum, int maximum)
    {
        const double d = number(parent, key, where, fallback, minimum, maximum);
        if (d != std::floor(d)) {
            fail(at(where, key), QStringLiteral("deve essere un numero intero"));
            return fallback;
        }
        return int(d);
    }

    bool boolean(const QJsonObject &parent, const QString &key, const QString &where, bool fallback)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return fallback;
        if (!v.isBool())
            fail(at(where, key), QStringLiteral("deve essere true o false"));
        return v.toBool();
    }

    FieldTemplate fieldTemplate(const QString &text, const QString &where)
    {
        db::Result<FieldTemplate> t = FieldTemplate::parse(text);
        if (!t) {
            fail(where, t.message());
            return {};
        }
        return *t;
    }

    // One of `names`, by position in `values`.
    template <typename T>
    T choice(const QJsonObject &parent, const QString &key, const QString &where,
             const QStringList &names, const QList<T> &values, T fallback)
    {
        const QJsonValue v = parent.value(key);
        if (v.isUndefined())
            return fallback;
        const qsizetype i = names.indexOf(v.toString());
        if (i < 0) {
            fail(at(where, key), QStringLiteral("vale %1").arg(names.join(QStringLiteral(", "))));
            return fallback;
        }
        return values[i];
    }

    static QString at(const QString &where, const QString &key)
    {
        return where.isEmpty() ? key : where + u'.' + key;
    }
    static QString item(const QString &where, qsizetype index)
    {
        return QStringLiteral("%1[%2]").arg(where).arg(index + 1);
    }
};

// The paper in mm, turned as the layout prints it.
QSizeF paperSize(const ReportLayout &layout)
{
    const QSizeF size = layout.pageSize.size(QPageSize::Millimeter);
    return layout.orientation == QPageLayout::Landscape ? size.transposed() : size;
}

Align readAlign(Reader &r, const QJsonObject &o, const QString &where, Align fallback)
{
    return r.choice(o, QStringLiteral("align"), where,
                    {QStringLiteral("left"), QStringLiteral("center"), QStringLiteral("right"),
                     QStringLiteral("justify")},
                    QList<Align>{Align::Left, Align::Center, Align::Right, Align::Justify},
                    fallback);
}

FontStyle readFont(Reader &r, const QJsonObject &o, const QString &where, const FontStyle &base)
{
    r.onlyKeys(o, where,
               {QStringLiteral("family"), QStringLiteral("size"), QStringLiteral("bold"),
                QStringLiteral("italic")});
    FontStyle f = base;
    f.family = r.string(o, QStringLiteral("family"), where, base.family);
    f.size = r.number(o, QStringLiteral("size"), where, base.size, 4, kMaxFontSize);
    f.bold = r.boolean(o, QStringLiteral("bold"), where, base.bold);
    f.italic = r.boolean(o, QStringLiteral("italic"), where, base.italic);
    return f;
}

void readPage(Reader &r, const QJsonObject &o, ReportLayout &layout)
{
    const QString where = QStringLiteral("page");
    r.onlyKeys(o, where,
               {QStringLiteral("size"), QStringLiteral("orientation"), QStringLiteral("margins")});
    layout.pageSize =
        QPageSize(r.choice(o, QStringLiteral("size"), where,
                           {QStringLiteral("A4"), QStringLiteral("A5"), QStringLiteral("A3"),
                            QStringLiteral("Letter")},
                           QList<QPageSize::PageSizeId>{QPageSize::A4, QPageSize::A5, QPageSize::A3,
                                                        QPageSize::Letter},
                           QPageSize::A4));
    layout.orientation =
        r.choice(o, QStringLiteral("orientation"), where,
                 {QStringLiteral("portrait"), QStringLiteral("landscape")},
                 QList<QPageLayout::Orientation>{QPageLayout::Portrait, QPageLayout::Landscape},
                 QPageLayout::Portrait);
    const QJsonValue margins = o.value(QStringLiteral("margins"));
    if (margins.isUndefined())
        return;
    const QJsonArray m = margins.toArray();
    if (!margins.isArray() || m.size() != 4) {
        r.fail(where + QStringLiteral(".margins"),
               QStringLiteral(
                   "deve essere un elenco di quattro numeri (sinistro, alto, destro, basso)"));
        return;
    }
    for (const QJsonValue &v : m) {
        if (!v.isDouble() || !(v.toDouble() >= 0 && v.toDouble() <= kMaxMargin)) {
            r.fail(where + QStringLiteral(".margins"),
                   QStringLiteral("i margini sono numeri da 0 a %1").arg(kMaxMargin));
            return;
        }
    }
    layout.margins = QMarginsF(m[0].toDouble(), m[1].toDouble(), m[2].toDouble(), m[3].toDouble());
    const QSizeF paper = paperSize(layout);
    if (layout.margins.left() + layout.margins.right() > paper.width() / 2 ||
        layout.margins.top() + layout.margins.bottom() > paper.height() / 2)
        r.fail(where + QStringLiteral(".margins"),
               QStringLiteral("i margini lasciano per la stampa meno di metà del foglio"));
}

void readColumns(Reader &r, const QJsonObject &root, ReportLayout &layout)
{
    const QJsonArray columns = r.array(root, QStringLiteral("columns"), {});
    if (columns.isEmpty())
        r.fail(QStringLiteral("columns"), QStringLiteral("serve almeno una colonna"));
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString where = Reader::item(QStringLiteral("columns"), i);
        const QJsonObject o = columns[i].toObject();
        r.onlyKeys(o, where,
                   {QStringLiteral("title"), QStringLiteral("field"), QStringLiteral("text"),
                    QStringLiteral("format"), QStringLiteral("width"), QStringLiteral("align"),
                    QStringLiteral("bold"), QStringLiteral("wrap"), QStringLiteral("maxLines")});
        ListColumn c;
        c.title = r.string(o, QStringLiteral("title"), where);
        const QString field = r.string(o, QStringLiteral("field"), where);
        const QString text = r.string(o, QStringLiteral("text"), where);
        ValueFormat format = ValueFormat::Auto;
        const QString formatName = r.string(o, QStringLiteral("format"), where);
        if (!formatName.isEmpty() && !valueFormatFromName(formatName, &format))
            r.fail(where + QStringLiteral(".format"),
                   QStringLiteral("formato \"%1\" sconosciuto").arg(formatName));
        if (field.isEmpty() == text.isEmpty())
            r.fail(where, QStringLiteral("serve \"field\" oppure \"text\""));
        c.value = field.isEmpty() ? r.fieldTemplate(text, where + QStringLiteral(".text"))
                                  : FieldTemplate::field(field, format);
        c.width = r.number(o, QStringLiteral("width"), where, 1, 0.01, kMaxShare);
        c.align =
            readAlign(r, o, where, format == ValueFormat::Amount ? Align::Right : Align::Left);
        c.bold = r.boolean(o, QStringLiteral("bold"), where, false);
        c.wrap = r.boolean(o, QStringLiteral("wrap"), where, true);
        c.maxLines = r.integer(o, QStringLiteral("maxLines"), where, 3, 1, kMaxLines);
        layout.columns.append(c);
    }
}

std::optional<SumLine> readSum(Reader &r, const QJsonObject &root, const QString &key,
                               const ReportLayout &layout)
{
    if (!root.contains(key))
        return std::nullopt;
    const QJsonObject o = r.object(root, key, {});
    r.onlyKeys(o, key, {QStringLiteral("label"), QStringLiteral("fields")});
    SumLine s;
    s.label =
        r.fieldTemplate(r.string(o, QStringLiteral("label"), key), key + QStringLiteral(".label"));
    for (const QJsonValue &v : r.array(o, QStringLiteral("fields"), key)) {
        const QString field = v.toString();
        const bool printed =
            std::any_of(layout.columns.begin(), layout.columns.end(), [&](const ListColumn &c) {
                const QList<Placeholder> p = c.value.placeholders();
                return p.size() == 1 && p[0].key == field.toCaseFolded();
            });
        if (!printed)
            r.fail(key + QStringLiteral(".fields"),
                   QStringLiteral("il campo \"%1\" non ha una colonna tutta sua").arg(field));
        s.fields.append(field);
    }
    return s;
}

LabelSheet readSheet(Reader &r, const QJsonObject &parent, const QString &key,
                     const QString &parentWhere, const QSizeF &paper)
{
    const QString where = Reader::at(parentWhere, key);
    const QJsonObject o = r.object(parent, key, parentWhere);
    if (o.isEmpty()) {
        r.fail(where, QStringLiteral("manca il formato del foglio"));
        return {};
    }
    r.onlyKeys(o, where,
               {QStringLiteral("columns"), QStringLiteral("rows"), QStringLiteral("width"),
                QStringLiteral("height"), QStringLiteral("left"), QStringLiteral("top"),
                QStringLiteral("gapX"), QStringLiteral("gapY"), QStringLiteral("padding")});
    LabelSheet s;
    s.columns = r.integer(o, QStringLiteral("columns"), where, 1, 1, kMaxLabelsAcross);
    s.rows = r.integer(o, QStringLiteral("rows"), where, 1, 1, kMaxLabelsDown);
    s.width = r.number(o, QStringLiteral("width"), where, 0, 5, kMaxLength);
    s.height = r.number(o, QStringLiteral("height"), where, 0, 5, kMaxLength);
    s.left = r.number(o, QStringLiteral("left"), where, 0, 0, kMaxLength);
    s.top = r.number(o, QStringLiteral("top"), where, 0, 0, kMaxLength);
    s.gapX = r.number(o, QStringLiteral("gapX"), where, 0, 0, kMaxLength);
    s.gapY = r.number(o, QStringLiteral("gapY"), where, 0, 0, kMaxLength);
    s.padding = r.number(o, QStringLiteral("padding"), where, 0, 0, kMaxLength);
    if (r.failed())
        return s;
    if (2 * s.padding >= std::min(s.width, s.height))
        r.fail(where + QStringLiteral(".padding"),
               QStringLiteral("il margine interno non lascia spazio al testo dell'etichetta"));
    const double across = s.left + s.columns * s.width + (s.columns - 1) * s.gapX;
    const double down = s.top + s.rows * s.height + (s.rows - 1) * s.gapY;
    if (across > paper.width() + kLabelSheetSlack || down > paper.height() + kLabelSheetSlack)
        r.fail(where, QStringLiteral("le etichette (%1 × %2 mm) escono dal foglio (%3 × %4 mm)")
                          .arg(across, 0, 'f', 1)
                          .arg(down, 0, 'f', 1)
                          .arg(paper.width(), 0, 'f', 1)
                          .arg(paper.height(), 0, 'f', 1));
    return s;
}

void readLabels(Reader &r, const QJsonObject &root, ReportLayout &layout)
{
    const QString where = QStringLiteral("labels");
    const QJsonObject o = r.object(root, where, {});
    r.onlyKeys(o, where,
               {QStringLiteral("small"), QStringLiteral("large"), QStringLiteral("lines"),
                QStringLiteral("fillSheet")});
    const QSizeF paper = paperSize(layout);
    layout.labels.small = readSheet(r, o, QStringLiteral("small"), where, paper);
    layout.labels.large = readSheet(r, o, QStringLiteral("large"), where, paper);
    layout.labels.fillSheet = r.boolean(o, QStringLiteral("fillSheet"), where, false);
    const QJsonArray lines = r.array(o, QStringLiteral("lines"), where);
    if (lines.isEmpty())
        r.fail(where + QStringLiteral(".lines"), QStringLiteral("serve almeno una riga"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString lineWhere = Reader::item(where + QStringLiteral(".lines"), i);
        LabelLine line;
        if (lines[i].isString()) {
            line.text = r.fieldTemplate(lines[i].toString(), lineWhere);
        } else {
            const QJsonObject l = lines[i].toObject();
            r.onlyKeys(l, lineWhere,
                       {QStringLiteral("text"), QStringLiteral("bold"), QStringLiteral("wrap")});
            line.text = r.fieldTemplate(r.string(l, QStringLiteral("text"), lineWhere), lineWhere);
            line.bold = r.boolean(l, QStringLiteral("bold"), lineWhere, false);
            line.wrap = r.boolean(l, QStringLiteral("wrap"), lineWhere, false);
        }
        layout.labels.lines.append(line);
    }
}

void readBlocks(Reader &r, const QJsonObject &root, ReportLayout &layout)
{
    const QJsonArray blocks = r.array(root, QStringLiteral("blocks"), {});
    if (blocks.isEmpty())
        r.fail(QStringLiteral("blocks"), QStringLiteral("serve almeno un blocco"));
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        const QString where = Reader::item(QStringLiteral("blocks"), i);
        const QJsonObject o = blocks[i].toObject();
        r.onlyKeys(o, where,
                   {QStringLiteral("type"), QStringLiteral("text"), QStringLiteral("align"),
                    QStringLiteral("font"), QStringLiteral("left"), QStringLiteral("width"),
                    QStringLiteral("top"), QStringLiteral("before"), QStringLiteral("after"),
                    QStringLiteral("paragraphSpacing"), QStringLiteral("height"),
                    QStringLiteral("labels")});
        LetterBlock b;
        b.type =
            r.choice(o, QStringLiteral("type"), where,
                     {QStringLiteral("text"), QStringLiteral("logo"), QStringLiteral("signatures"),
                      QStringLiteral("rule"), QStringLiteral("space")},
                     QList<LetterBlock::Type>{LetterBlock::Type::Text, LetterBlock::Type::Logo,
                                              LetterBlock::Type::Signatures,
                                              LetterBlock::Type::Rule, LetterBlock::Type::Space},
                     LetterBlock::Type::Text);
        for (const QString &line : r.lines(o, QStringLiteral("text"), where))
            b.lines.append(r.fieldTemplate(line, where + QStringLiteral(".text")));
        if (b.type == LetterBlock::Type::Text && b.lines.isEmpty())
            r.fail(where, QStringLiteral("un blocco di testo vuole \"text\""));
        b.align = readAlign(r, o, where, Align::Left);
        b.font = readFont(r, r.object(o, QStringLiteral("font"), where),
                          where + QStringLiteral(".font"), layout.font);
        b.left = r.number(o, QStringLiteral("left"), where, 0, 0, kMaxLength);
        b.width = r.number(o, QStringLiteral("width"), where, 0, 0, kMaxLength);
        b.top = r.number(o, QStringLiteral("top"), where, -1, -1, kMaxLength);
        b.before = r.number(o, QStringLiteral("before"), where, 0, 0, kMaxLength);
        b.after = r.number(o, QStringLiteral("after"), where, 0, 0, kMaxLength);
        b.paragraphSpacing =
            r.number(o, QStringLiteral("paragraphSpacing"), where, 0, 0, kMaxLength);
        b.height = r.number(o, QStringLiteral("height"), where, 0, 0, kMaxLength);
        for (const QJsonValue &v : r.array(o, QStringLiteral("labels"), where))
            b.labels.append(v.toString());
        if (b.type == LetterBlock::Type::Signatures && b.labels.isEmpty())
            r.fail(where, QStringLiteral("le firme vogliono \"labels\""));
        layout.blocks.append(b);
    }
}

int lineOf(const QByteArray &json, int offset)
{
    return int(json.left(offset).count('\n')) + 1;
}

} // namespace

QString defaultFontFamily()
{
    return QStringLiteral("DejaVu Sans");
}

db::Result<ReportLayout> parseLayout(const QByteArray &json, const QString &path)
{
    const auto invalid = [&](const QString &why) {
        return db::Error{
            QStringLiteral("Il modello di stampa %1 non è valido: %2.").arg(path, why)};
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return invalid(QStringLiteral("riga %1: %2")
                           .arg(lineOf(json, parseError.offset))
                           .arg(parseError.errorString()));
    if (!document.isObject())
        return invalid(QStringLiteral("il file deve contenere un oggetto JSON"));
    const QJsonObject root = document.object();
    if (root.value(kVersionKey).toInt() != 1)
        return invalid(QStringLiteral("manca \"%1\": 1").arg(kVersionKey));

    Reader r;
    r.onlyKeys(root, {},
               {kVersionKey, QStringLiteral("title"), QStringLiteral("page"),
                QStringLiteral("font"), QStringLiteral("heading"), QStringLiteral("pageNumbers"),
                QStringLiteral("layout"), QStringLiteral("columns"), QStringLiteral("group"),
                QStringLiteral("subtotal"), QStringLiteral("total"), QStringLiteral("labels"),
                QStringLiteral("blocks")});
    ReportLayout layout;
    layout.path = path;
    layout.title = r.string(root, QStringLiteral("title"), {});
    readPage(r, r.object(root, QStringLiteral("page"), {}), layout);
    layout.font = readFont(r, r.object(root, QStringLiteral("font"), {}), QStringLiteral("font"),
                           FontStyle{defaultFontFamily(), 9, false, false});
    layout.heading = r.boolean(root, QStringLiteral("heading"), {}, true);
    layout.pageNumbers = r.boolean(root, QStringLiteral("pageNumbers"), {}, true);
    layout.kind = r.choice(root, QStringLiteral("layout"), {},
                           {QStringLiteral("list"), QStringLiteral("groups"),
                            QStringLiteral("labels"), QStringLiteral("letter")},
                           QList<LayoutKind>{LayoutKind::List, LayoutKind::Groups,
                                             LayoutKind::Labels, LayoutKind::Letter},
                           LayoutKind::List);
    if (!root.contains(QStringLiteral("layout")))
        r.fail(QStringLiteral("layout"), QStringLiteral("manca il tipo di stampa"));

    switch (layout.kind) {
    case LayoutKind::List:
    case LayoutKind::Groups:
        readColumns(r, root, layout);
        if (layout.kind == LayoutKind::Groups) {
            const QJsonObject g = r.object(root, QStringLiteral("group"), {});
            r.onlyKeys(g, QStringLiteral("group"),
                       {QStringLiteral("field"), QStringLiteral("heading"), QStringLiteral("empty"),
                        QStringLiteral("orderBy")});
            Grouping group;
            group.field = r.string(g, QStringLiteral("field"), QStringLiteral("group"));
            if (group.field.isEmpty())
                r.fail(QStringLiteral("group.field"),
                       QStringLiteral("manca il campo che forma i gruppi"));
            const QString heading = r.string(g, QStringLiteral("heading"), QStringLiteral("group"),
                                             u'{' + group.field + u'}');
            group.heading = r.fieldTemplate(heading, QStringLiteral("group.heading"));
            group.empty = r.string(g, QStringLiteral("empty"), QStringLiteral("group"));
            group.orderBy =
                r.string(g, QStringLiteral("orderBy"), QStringLiteral("group"), group.field);
            layout.group = group;
            layout.subtotal = readSum(r, root, QStringLiteral("subtotal"), layout);
        } else if (root.contains(QStringLiteral("subtotal"))) {
            r.fail(QStringLiteral("subtotal"),
                   QStringLiteral("i subtotali vogliono \"layout\": \"groups\""));
        }
        layout.total = readSum(r, root, QStringLiteral("total"), layout);
        break;
    case LayoutKind::Labels:
        readLabels(r, root, layout);
        break;
    case LayoutKind::Letter:
        readBlocks(r, root, layout);
        break;
    }
    if (r.failed())
        return invalid(r.problem);
    return layout;
}

db::Result<ReportLayout> readLayoutFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return db::Error{QStringLiteral("Il modello di stampa %1 non esiste.").arg(path)};
    if (!file.open(QIODevice::ReadOnly))
        return db::Error{QStringLiteral("Impossibile leggere il modello di stampa %1: %2.")
                             .arg(path, file.errorString())};
    return parseLayout(file.readAll(), path);
}

} // namespace stampa
