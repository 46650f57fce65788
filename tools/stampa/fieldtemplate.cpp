#include "tools/stampa/fieldtemplate.h"

namespace stampa {

namespace {

using Segment = FieldTemplate::Segment;

struct Parser
{
    QStringView text;
    qsizetype at = 0;

    db::Error failure(const QString &what) const
    {
        return db::Error{QStringLiteral("%1 nel testo \"%2\"").arg(what, text.toString())};
    }

    void appendLiteral(QList<Segment> &out, QChar c)
    {
        if (out.isEmpty() || out.last().kind != Segment::Kind::Literal)
            out.append(Segment{});
        out.last().literal += c;
    }

    // Reads up to the end of the text, or up to the ']' closing a section when `inSection`.
    db::Result<QList<Segment>> segments(bool inSection)
    {
        QList<Segment> out;
        while (at < text.size()) {
            const QChar c = text[at++];
            if (c == u'\\' && at < text.size()) {
                appendLiteral(out, text[at++]);
            } else if (c == u'{') {
                const qsizetype close = text.indexOf(u'}', at);
                if (close < 0)
                    return failure(QStringLiteral("Manca la parentesi } di chiusura"));
                db::Result<Placeholder> p = placeholder(text.mid(at, close - at));
                if (!p)
                    return p.error();
                at = close + 1;
                Segment s;
                s.kind = Segment::Kind::Field;
                s.field = *p;
                out.append(s);
            } else if (c == u'}') {
                return failure(QStringLiteral("Parentesi } senza apertura"));
            } else if (c == u'[') {
                db::Result<QList<Segment>> inner = segments(true);
                if (!inner)
                    return inner.error();
                Segment s;
                s.kind = Segment::Kind::Section;
                s.children = std::move(*inner);
                out.append(s);
            } else if (c == u']') {
                if (!inSection)
                    return failure(QStringLiteral("Parentesi ] senza apertura"));
                return out;
            } else {
                appendLiteral(out, c);
            }
        }
        if (inSection)
            return failure(QStringLiteral("Manca la parentesi ] di chiusura"));
        return out;
    }

    db::Result<Placeholder> placeholder(QStringView inside) const
    {
        Placeholder p;
        const qsizetype bar = inside.indexOf(u'|');
        p.name = inside.left(bar < 0 ? inside.size() : bar).trimmed().toString();
        if (p.name.isEmpty())
            return failure(QStringLiteral("Campo senza nome"));
        p.key = p.name.toCaseFolded();
        if (bar >= 0) {
            const QStringView format = inside.mid(bar + 1).trimmed();
            if (!valueFormatFromName(format, &p.format))
                return failure(QStringLiteral("Formato \"%1\" sconosciuto").arg(format.toString()));
        }
        return p;
    }
};

struct Expander
{
    const FieldSource &source;
    int fields = 0;  // placeholders met
    int printed = 0; // values that made it into the text

    // Inside a section an empty field leaves the whole section out: returns false then.
    bool expand(const QList<Segment> &segments, QString &out, bool inSection)
    {
        for (const Segment &s : segments) {
            switch (s.kind) {
            case Segment::Kind::Literal:
                out += s.literal;
                break;
            case Segment::Kind::Field: {
                const QString value = source.text(s.field);
                ++fields;
                if (value.trimmed().isEmpty()) {
                    if (inSection)
                        return false;
                } else {
                    ++printed;
                }
                out += value;
                break;
            }
            case Segment::Kind::Section: {
                QString inner;
                Expander nested{source};
                const bool kept = nested.expand(s.children, inner, true);
                fields += nested.fields;
                if (kept) {
                    out += inner;
                    printed += nested.printed;
                }
                break;
            }
            }
        }
        return true;
    }
};

void collect(const QList<Segment> &segments, QList<Placeholder> &out)
{
    for (const Segment &s : segments) {
        if (s.kind == Segment::Kind::Field)
            out.append(s.field);
        else if (s.kind == Segment::Kind::Section)
            collect(s.children, out);
    }
}

} // namespace

db::Result<FieldTemplate> FieldTemplate::parse(QStringView text)
{
    Parser parser{text};
    db::Result<QList<Segment>> segments = parser.segments(false);
    if (!segments)
        return segments.error();
    FieldTemplate t;
    t.m_segments = std::move(*segments);
    return t;
}

FieldTemplate FieldTemplate::field(const QString &name, ValueFormat format)
{
    Segment s;
    s.kind = Segment::Kind::Field;
    s.field = Placeholder{name, name.toCaseFolded(), format};
    FieldTemplate t;
    t.m_segments.append(s);
    return t;
}

FieldTemplate::Expansion FieldTemplate::expand(const FieldSource &source) const
{
    Expander e{source};
    Expansion result;
    e.expand(m_segments, result.text, false);
    result.onlyBlanks = e.fields > 0 && e.printed == 0;
    return result;
}

QList<Placeholder> FieldTemplate::placeholders() const
{
    QList<Placeholder> out;
    collect(m_segments, out);
    return out;
}

} // namespace stampa
