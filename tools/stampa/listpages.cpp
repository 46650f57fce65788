// Lists and grouped lists: a line per record under column titles repeated on every page,
// group headings, subtotals and a grand total.

#include "db/core/textfold.h"
#include "tools/stampa/columnwidths.h"
#include "tools/stampa/pagecanvas.h"
#include "tools/stampa/recordfields.h"

#include <algorithm>
#include <numeric>

namespace stampa {

namespace {

const QColor kGroupShade(226, 226, 226);
// Added to a column's measured width (mm), so that a value measured to fit is not wrapped for
// a rounding.
constexpr double kSlackMm = 0.5;
// The steps of the columns' widths: the part of each column's values that fits, from the
// shortest value up.
constexpr double kSteps[] = {0.5, 0.9, 1.0};

struct Sum
{
    int dataColumn = -1;  // in the query's rows
    int printColumn = -1; // in the layout's columns
    qint64 amount = 0;    // ten-thousandths
};

// The column of the layout whose value is exactly the field `key`.
int printColumnOf(const ReportLayout &layout, const QString &key)
{
    for (qsizetype c = 0; c < layout.columns.size(); ++c) {
        const QList<Placeholder> p = layout.columns[c].value.placeholders();
        if (p.size() == 1 && p[0].key == key)
            return int(c);
    }
    return -1;
}

class ListBuilder
{
public:
    ListBuilder(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                const QRectF &content)
        : m_layout(layout), m_data(data), m_canvas(canvas), m_content(content), m_fields(data)
    {
        const FontStyle &base = canvas.baseFont();
        m_body = canvas.font(base);
        m_bold = canvas.font(base.size, true);
        m_groupFont = canvas.font(base.size + 1, true);
        m_gap = canvas.mm(2);
        m_pad = canvas.mm(0.9);
        const QList<double> widths = columnWidths();
        double x = content.left();
        for (const double w : widths) {
            m_columnX.append(x);
            m_columnWidth.append(w - m_gap);
            x += w;
        }
        if (layout.subtotal)
            m_subtotals = sums(*layout.subtotal);
        if (layout.total)
            m_totals = sums(*layout.total);
    }

    QList<Page> build()
    {
        const QList<qsizetype> order = rowOrder();
        newPage();
        QString currentGroup;
        bool inGroup = false;
        for (qsizetype i = 0; i < order.size(); ++i) {
            const qsizetype row = order[i];
            m_fields.setRow(row);
            const QList<QStringList> cells = rowCells(row);
            const double height = rowHeight(cells);
            if (m_layout.group) {
                const QString key = groupKey(row);
                if (!inGroup || key != currentGroup) {
                    if (inGroup)
                        subtotal(order[i - 1]);
                    m_fields.setRow(row);
                    currentGroup = key;
                    inGroup = true;
                    groupHeading(fieldText(row, m_layout.group->orderBy), height);
                }
            }
            make(height);
            drawRow(cells);
            m_y += height;
            for (QList<Sum> *s : {&m_subtotals, &m_totals}) {
                for (Sum &sum : *s) {
                    if (sum.dataColumn >= 0)
                        sum.amount += toTenThousandths(m_data.rows.rows[row][sum.dataColumn]);
                }
            }
        }
        if (inGroup)
            subtotal(order.last());
        if (m_layout.total)
            sumLine(*m_layout.total, m_totals, order.isEmpty() ? -1 : order.last(), true);
        return m_pages;
    }

private:
    QList<Sum> sums(const SumLine &line)
    {
        QList<Sum> out;
        for (const QString &field : line.fields) {
            const QString key = field.toCaseFolded();
            Sum s;
            s.dataColumn = m_fields.column(Placeholder{field, key, ValueFormat::Auto});
            s.printColumn = printColumnOf(m_layout, key);
            out.append(s);
        }
        return out;
    }

    QString groupKey(qsizetype row) const { return fieldText(row, m_layout.group->field); }

    QString fieldText(qsizetype row, const QString &field) const
    {
        const int c = m_fields.column(Placeholder{field, field.toCaseFolded(), ValueFormat::Auto});
        return c < 0 ? QString()
                     : formatValue(m_data.rows.rows[row][c], m_data.rows.columns[c].kind).trimmed();
    }

    // The query's order; grouped lists keep it inside each group and order the groups by the
    // value of their order field as the archive orders texts, the rows without a value last.
    // The sort is stable: groups that share an order value stay apart as the query had them.
    QList<qsizetype> rowOrder() const
    {
        QList<qsizetype> order(m_data.rows.rows.size());
        std::iota(order.begin(), order.end(), 0);
        if (!m_layout.group)
            return order;
        struct Key
        {
            bool empty;
            QString plain;
            QString folded;
        };
        QList<Key> keys;
        keys.reserve(order.size());
        for (qsizetype r = 0; r < order.size(); ++r) {
            const QString text = fieldText(r, m_layout.group->orderBy);
            const QString folded = text.toCaseFolded();
            keys.append(Key{text.isEmpty(), db::withoutAccents(folded), folded});
        }
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const Key &ka = keys[a];
            const Key &kb = keys[b];
            if (ka.empty != kb.empty)
                return kb.empty;
            if (const int c = ka.plain.compare(kb.plain); c != 0)
                return c < 0;
            return ka.folded < kb.folded;
        });
        return order;
    }

    int columnFont(const ListColumn &column) const { return column.bold ? m_bold : m_body; }

    // The width of every value on one line (its longest line when it holds line breaks and its
    // column wraps), measured once: the columns' widths come from them, and a value that fits
    // its column is printed without being laid out in lines.
    void measureValues()
    {
        const qsizetype count = m_layout.columns.size();
        m_valueWidth.resize(m_data.rows.rows.size() * count);
        for (qsizetype row = 0; row < m_data.rows.rows.size(); ++row) {
            m_fields.setRow(row);
            for (qsizetype c = 0; c < count; ++c) {
                const ListColumn &column = m_layout.columns[c];
                const QString text = column.value.text(m_fields);
                double width = 0;
                if (!text.isEmpty()) {
                    const QFontMetricsF &fm = m_canvas.metrics(columnFont(column));
                    for (const QString &line : printedLines(text, column.wrap))
                        width = std::max(width, fm.horizontalAdvance(line));
                }
                m_valueWidth[row * count + c] = float(width);
            }
        }
    }

    // The lines a value prints on when its column is wide enough: one, with line breaks and
    // tabs as spaces, unless the column wraps.
    static QStringList printedLines(QString text, bool wrap)
    {
        for (QChar &ch : text) {
            if (ch == u'\t' || ch == u'\r' || (ch == u'\n' && !wrap))
                ch = u' ';
        }
        return text.split(u'\n');
    }

    // The columns' widths, the space before the next column included. A column needs its title
    // and its values, and the line is shared out in steps: first the width half the values of
    // each column fit in (no more than the column's share of the line), then nine in ten, then
    // all, so that the few longest values of a list do not make the others of their column wrap.
    // A step that asks for more than is left shares it out (shareColumnWidths: a need small for
    // its share is met first, so telephone numbers, all alike, keep their width and the long
    // texts share the rest) and is the last; what the line cannot give wraps.
    QList<double> columnWidths()
    {
        measureValues();
        const qsizetype count = m_layout.columns.size();
        const qsizetype rows = m_data.rows.rows.size();
        const double whole = m_content.width();
        const double room = m_gap + m_canvas.mm(kSlackMm);
        QList<double> shares;
        QList<QList<double>> needs(std::size(kSteps));
        for (qsizetype c = 0; c < count; ++c) {
            const ListColumn &column = m_layout.columns[c];
            shares.append(column.width);
            QList<float> widths;
            for (qsizetype row = 0; row < rows; ++row) {
                if (const float w = m_valueWidth[row * count + c]; w > 0)
                    widths.append(w);
            }
            std::sort(widths.begin(), widths.end());
            const double title = m_canvas.metrics(m_bold).horizontalAdvance(column.title);
            for (size_t step = 0; step < std::size(kSteps); ++step) {
                const double value =
                    widths.isEmpty() ? 0
                                     : widths[qsizetype(kSteps[step] * double(widths.size() - 1))];
                needs[step].append(std::min(std::max(title, value), whole) + room);
            }
        }
        // Half the values of a long text fill no more than the column's share of the line.
        const double allShares = std::accumulate(shares.begin(), shares.end(), 0.0);
        for (qsizetype c = 0; c < count; ++c)
            needs[0][c] = std::min(needs[0][c], whole * shares[c] / allShares);
        // The last step, or the first the line cannot give whole, shares out all that is left.
        QList<double> given(count, 0.0);
        double left = whole;
        for (qsizetype step = 0; step < needs.size(); ++step) {
            QList<double> more;
            for (qsizetype c = 0; c < count; ++c)
                more.append(std::max(0.0, needs[step][c] - given[c]));
            const double wanted = std::accumulate(more.begin(), more.end(), 0.0);
            const bool last = step == needs.size() - 1 || wanted >= left;
            const QList<double> added = last ? shareColumnWidths(shares, more, left) : more;
            for (qsizetype c = 0; c < count; ++c)
                given[c] += added[c];
            if (last)
                break;
            left -= wanted;
        }
        return given;
    }

    QList<QStringList> rowCells(qsizetype row) const
    {
        QList<QStringList> cells;
        const qsizetype count = m_layout.columns.size();
        for (qsizetype c = 0; c < count; ++c) {
            const ListColumn &column = m_layout.columns[c];
            const QString text = column.value.text(m_fields);
            const bool fits =
                !text.contains(u'\n') && m_valueWidth[row * count + c] <= m_columnWidth[c];
            if (column.wrap && !fits)
                cells.append(
                    m_canvas.wrap(columnFont(column), text, m_columnWidth[c], column.maxLines));
            else
                cells.append(QStringList{text});
        }
        return cells;
    }

    double rowHeight(const QList<QStringList> &cells) const
    {
        qsizetype lines = 1;
        for (const QStringList &cell : cells)
            lines = std::max(lines, cell.size());
        return double(lines) * m_canvas.lineHeight(m_body) + m_pad;
    }

    void drawRow(const QList<QStringList> &cells)
    {
        const double first = m_y + m_pad / 2 + m_canvas.ascent(m_body);
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const ListColumn &column = m_layout.columns[c];
            for (qsizetype l = 0; l < cells[c].size(); ++l) {
                m_canvas.text(m_pages.last(), columnFont(column), m_columnX[c], m_columnWidth[c],
                              first + double(l) * m_canvas.lineHeight(m_body), cells[c][l],
                              column.align);
            }
        }
    }

    void newPage()
    {
        m_pages.append(Page{});
        m_y = m_content.top();
        bool titled = false;
        for (const ListColumn &c : m_layout.columns)
            titled = titled || !c.title.isEmpty();
        m_pageTop = m_y;
        if (!titled)
            return;
        const double baseline = m_y + m_canvas.ascent(m_bold);
        for (qsizetype c = 0; c < m_layout.columns.size(); ++c) {
            const ListColumn &column = m_layout.columns[c];
            m_canvas.text(m_pages.last(), m_bold, m_columnX[c], m_columnWidth[c], baseline,
                          column.title,
                          column.align == Align::Justify ? Align::Left : column.align);
        }
        m_y += m_canvas.lineHeight(m_bold) + m_canvas.mm(0.8);
        Canvas::line(m_pages.last(), QLineF(m_content.left(), m_y, m_content.right(), m_y),
                     m_canvas.mm(0.3));
        m_y += m_canvas.mm(0.8);
        m_pageTop = m_y;
    }

    // Room for `height` on this page, starting a new one when it is full.
    void make(double height)
    {
        if (m_y + height > m_content.bottom() && m_y > m_pageTop)
            newPage();
    }

    void groupHeading(const QString &key, double firstRowHeight)
    {
        const double height = m_canvas.lineHeight(m_groupFont) + m_canvas.mm(1.6);
        const double space = m_y > m_pageTop ? m_canvas.mm(2) : 0;
        // A heading never stays alone at the foot of a page.
        make(space + height + firstRowHeight);
        if (m_y > m_pageTop)
            m_y += space;
        const QString text =
            key.isEmpty() ? m_layout.group->empty : m_layout.group->heading.text(m_fields);
        Canvas::fill(m_pages.last(), QRectF(m_content.left(), m_y, m_content.width(), height),
                     kGroupShade);
        m_canvas.text(m_pages.last(), m_groupFont, m_content.left() + m_canvas.mm(1),
                      m_content.width() - m_canvas.mm(2),
                      m_y + m_canvas.mm(0.8) + m_canvas.ascent(m_groupFont), text, Align::Left);
        m_y += height + m_canvas.mm(0.6);
    }

    void subtotal(qsizetype lastRow)
    {
        if (m_layout.subtotal)
            sumLine(*m_layout.subtotal, m_subtotals, lastRow, false);
        for (Sum &s : m_subtotals)
            s.amount = 0;
    }

    void sumLine(const SumLine &line, const QList<Sum> &sums, qsizetype lastRow, bool grand)
    {
        const double height = m_canvas.lineHeight(m_bold) + m_canvas.mm(grand ? 3 : 1.6);
        make(height);
        m_fields.setRow(lastRow);
        Page &page = m_pages.last();
        double labelEnd = m_content.right();
        for (const Sum &s : sums) {
            if (s.printColumn >= 0)
                labelEnd = std::min(labelEnd, m_columnX[s.printColumn]);
        }
        const double top = m_y + m_canvas.mm(grand ? 1.4 : 0.4);
        if (grand) {
            Canvas::line(page, QLineF(m_content.left(), top, m_content.right(), top),
                         m_canvas.mm(0.4));
        } else {
            for (const Sum &s : sums) {
                if (s.printColumn >= 0) {
                    const double x = m_columnX[s.printColumn];
                    Canvas::line(page, QLineF(x, top, x + m_columnWidth[s.printColumn], top),
                                 m_canvas.mm(0.2));
                }
            }
        }
        const double baseline = top + m_canvas.mm(0.6) + m_canvas.ascent(m_bold);
        m_canvas.text(page, m_bold, m_content.left(), labelEnd - m_content.left() - m_gap, baseline,
                      line.label.text(m_fields), Align::Left);
        for (const Sum &s : sums) {
            if (s.printColumn >= 0) {
                m_canvas.text(page, m_bold, m_columnX[s.printColumn], m_columnWidth[s.printColumn],
                              baseline, formatAmount(s.amount), Align::Right);
            }
        }
        m_y += height + m_canvas.mm(grand ? 0 : 0.8);
    }

    const ReportLayout &m_layout;
    const ReportData &m_data;
    Canvas &m_canvas;
    QRectF m_content;
    RecordFields m_fields;
    int m_body = 0;
    int m_bold = 0;
    int m_groupFont = 0;
    double m_gap = 0;
    double m_pad = 0;
    QList<double> m_columnX;
    QList<double> m_columnWidth;
    QList<float> m_valueWidth; // by row, then column
    QList<Sum> m_subtotals;
    QList<Sum> m_totals;
    QList<Page> m_pages;
    double m_y = 0;
    double m_pageTop = 0;
};

} // namespace

QList<Page> listPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                      const QRectF &content)
{
    return ListBuilder(layout, data, canvas, content).build();
}

} // namespace stampa
