#pragma once

#include "db/core/result.h"
#include "tools/stampa/fieldtemplate.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QStringList>

#include <optional>

namespace stampa {

// A layout file (.rpt) read into memory. docs/reports.md describes the file format.

enum class LayoutKind
{
    List,
    Groups,
    Labels,
    Letter
};
enum class Align
{
    Left,
    Center,
    Right,
    Justify
};

struct FontStyle
{
    QString family;
    double size = 9;
    bool bold = false;
    bool italic = false;
};

struct ListColumn
{
    QString title;
    FieldTemplate value;
    double width = 1; // a share of the line, relative to the other columns
    Align align = Align::Left;
    bool bold = false;
    // A value wider than its column goes on up to maxLines lines, the last cut with "…" when
    // even they are not enough; without wrap it stays on one line, cut with "…".
    bool wrap = true;
    int maxLines = 3;
};

struct Grouping
{
    QString field;         // rows with the same value of this field form a group
    FieldTemplate heading; // the group's heading line
    QString empty;         // the heading of the rows without a value
    // The groups follow one another in the order of this field's values (the group field
    // itself unless said otherwise): groups of a key are ordered by a name that may repeat.
    QString orderBy;
};

struct SumLine
{
    FieldTemplate label;
    QStringList fields; // the amount fields to add up, each printed in its column
};

struct LabelSheet
{
    int columns = 1;
    int rows = 1;
    double width = 0; // one label, mm
    double height = 0;
    double left = 0; // from the paper's edge to the first label, mm
    double top = 0;
    double gapX = 0; // between labels
    double gapY = 0;
    double padding = 0; // inside each label
};

struct LabelLine
{
    FieldTemplate text;
    bool bold = false;
    bool wrap = false; // a text too long goes on a second line instead of being cut
};

struct LabelSetup
{
    LabelSheet small;
    LabelSheet large;
    QList<LabelLine> lines;
    bool fillSheet = false; // each record fills a whole sheet (the office's own labels)
};

struct LetterBlock
{
    enum class Type
    {
        Text,
        Logo,
        Signatures,
        Rule,
        Space
    };
    Type type = Type::Text;
    QList<FieldTemplate> lines; // one per line of the text; values may hold line breaks too
    Align align = Align::Left;
    FontStyle font;              // family and size default to the report's font
    double left = 0;             // from the left margin, mm
    double width = 0;            // 0: up to the right margin
    double top = -1;             // when >= 0: not higher than this, from the top margin, mm
    double before = 0;           // space above, mm
    double after = 0;            // space below, mm
    double paragraphSpacing = 0; // between the paragraphs of the text, mm
    double height = 0;           // of a logo or a space, mm
    QStringList labels;          // under the signature lines
};

struct ReportLayout
{
    QString path;
    QString title;
    QPageSize pageSize{QPageSize::A4};
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{12, 12, 12, 12}; // mm
    FontStyle font;
    bool heading = true;     // the office's heading when the job asks for it
    bool pageNumbers = true; // "Pagina n di m" at the foot of every page
    LayoutKind kind = LayoutKind::List;

    QList<ListColumn> columns;     // List and Groups
    std::optional<Grouping> group; // Groups
    std::optional<SumLine> subtotal;
    std::optional<SumLine> total;
    LabelSetup labels;         // Labels
    QList<LetterBlock> blocks; // Letter: one letter per record
};

// Reads a layout file. The message of a failure names the file.
db::Result<ReportLayout> readLayoutFile(const QString &path);
// The same from the file's bytes; `path` is for messages.
db::Result<ReportLayout> parseLayout(const QByteArray &json, const QString &path);

// The font family the reports use when a layout names none: it has every Italian letter.
QString defaultFontFamily();

} // namespace stampa
