#pragma once

#include "db/core/result.h"
#include "tools/stampa/valueformat.h"

#include <QList>
#include <QString>

namespace stampa {

// One {Name} or {Name|format} of a template.
struct Placeholder
{
    QString name;
    QString key; // the name case-folded, for look-ups
    ValueFormat format = ValueFormat::Auto;
};

// What a template reads its placeholders from.
class FieldSource
{
public:
    virtual ~FieldSource() = default;
    virtual QString text(const Placeholder &placeholder) const = 0;
};

// A line of text with placeholders, as layout files write it:
//   {Campo}            the value of a column of the query (any letter case)
//   {Campo|amount}     the same in a given format (see valueFormatFromName)
//   {ditta.RagSoc}     the office's own data; {oggi} today's date
//   [ ({Provincia})]   printed only when every placeholder inside is not empty
//   \{ \} \[ \] \\     the character itself
class FieldTemplate
{
public:
    FieldTemplate() = default;
    static db::Result<FieldTemplate> parse(QStringView text);
    // A template that prints the one field `name`.
    static FieldTemplate field(const QString &name, ValueFormat format = ValueFormat::Auto);

    struct Expansion
    {
        QString text;
        // The template has placeholders and every one of them came out empty: a line made
        // only of missing data, which address blocks leave out.
        bool onlyBlanks = false;
    };
    Expansion expand(const FieldSource &source) const;
    QString text(const FieldSource &source) const { return expand(source).text; }

    bool isEmpty() const { return m_segments.isEmpty(); }
    // Every placeholder, in order, sections included.
    QList<Placeholder> placeholders() const;

    struct Segment
    {
        enum class Kind
        {
            Literal,
            Field,
            Section
        } kind = Kind::Literal;
        QString literal;
        Placeholder field;
        QList<Segment> children; // of a section
    };

private:
    QList<Segment> m_segments;
};

} // namespace stampa
