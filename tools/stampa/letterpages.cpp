// Letters and forms: the blocks of the layout, one after the other, for each record; every
// record starts on a new page and long texts go on to the next pages.

#include "tools/stampa/pagecanvas.h"
#include "tools/stampa/recordfields.h"

namespace stampa {

namespace {

class LetterBuilder
{
public:
    LetterBuilder(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                  const QRectF &content)
        : m_layout(layout), m_data(data), m_canvas(canvas), m_content(content), m_fields(data)
    {
    }

    QList<Page> build()
    {
        for (qsizetype row = 0; row < m_data.rows.rows.size(); ++row) {
            m_fields.setRow(row);
            newPage();
            for (const LetterBlock &block : m_layout.blocks)
                place(block);
        }
        return m_pages;
    }

private:
    void newPage()
    {
        m_pages.append(Page{});
        m_y = m_content.top();
    }

    bool atTop() const { return m_y <= m_content.top(); }

    void make(double height)
    {
        if (m_y + height > m_content.bottom() && !atTop())
            newPage();
    }

    void place(const LetterBlock &block)
    {
        const double x = m_content.left() + m_canvas.mm(block.left);
        const double room = m_content.right() - x;
        const double width = block.width > 0 ? std::min(m_canvas.mm(block.width), room) : room;
        if (!atTop())
            m_y += m_canvas.mm(block.before);
        if (block.top >= 0)
            m_y = std::max(m_y, m_content.top() + m_canvas.mm(block.top));
        switch (block.type) {
        case LetterBlock::Type::Text:
            text(block, x, width);
            break;
        case LetterBlock::Type::Logo:
            logo(block, x, width);
            break;
        case LetterBlock::Type::Signatures:
            signatures(block, x, width);
            break;
        case LetterBlock::Type::Rule:
            make(m_canvas.mm(2));
            Canvas::line(m_pages.last(),
                         QLineF(x, m_y + m_canvas.mm(1), x + width, m_y + m_canvas.mm(1)),
                         m_canvas.mm(0.3));
            m_y += m_canvas.mm(2);
            break;
        case LetterBlock::Type::Space:
            m_y += m_canvas.mm(block.height);
            break;
        }
        m_y += m_canvas.mm(block.after);
    }

    // The block's lines with their placeholders filled; a line made only of missing data is
    // left out, so that an address without a street has no empty line.
    QStringList paragraphs(const LetterBlock &block) const
    {
        QStringList lines;
        for (const FieldTemplate &line : block.lines) {
            const FieldTemplate::Expansion e = line.expand(m_fields);
            if (!e.onlyBlanks)
                lines.append(e.text);
        }
        QString text = lines.join(u'\n');
        text.remove(u'\r');
        return text.split(u'\n');
    }

    void text(const LetterBlock &block, double x, double width)
    {
        const int font = m_canvas.font(block.font);
        const double blank = m_canvas.lineHeight(font);
        for (const QString &paragraph : paragraphs(block)) {
            if (paragraph.trimmed().isEmpty()) {
                if (!atTop())
                    m_y += blank;
                continue;
            }
            const std::shared_ptr<QTextLayout> layout =
                m_canvas.paragraph(font, paragraph, width, block.align);
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                make(line.height());
                PageItem item;
                item.kind = PageItem::Kind::TextLine;
                item.layout = layout;
                item.lineIndex = i;
                item.at = QPointF(x, m_y - line.y());
                m_pages.last().append(std::move(item));
                m_y += line.height();
            }
            m_y += m_canvas.mm(block.paragraphSpacing);
        }
    }

    void logo(const LetterBlock &block, double x, double width)
    {
        if (m_data.logo.isNull())
            return;
        double height = m_canvas.mm(block.height > 0 ? block.height : 20);
        double w = height * m_data.logo.width() / std::max(1, m_data.logo.height());
        if (w > width) {
            height *= width / w;
            w = width;
        }
        make(height);
        double left = x;
        if (block.align == Align::Right)
            left = x + width - w;
        else if (block.align == Align::Center)
            left = x + (width - w) / 2;
        PageItem item;
        item.kind = PageItem::Kind::Image;
        item.rect = QRectF(left, m_y, w, height);
        item.image = m_data.logo;
        m_pages.last().append(std::move(item));
        m_y += height;
    }

    // A line to sign on for each label, side by side, the label under its line.
    void signatures(const LetterBlock &block, double x, double width)
    {
        const int font = m_canvas.font(
            FontStyle{block.font.family, block.font.size - 1, false, block.font.italic});
        const qsizetype count = block.labels.size();
        const double gap = m_canvas.mm(12);
        const double slot = (width - gap * double(count - 1)) / double(count);
        const double lineAt = m_canvas.mm(12);
        make(lineAt + m_canvas.mm(1) + m_canvas.lineHeight(font));
        for (qsizetype i = 0; i < count; ++i) {
            const double left = x + double(i) * (slot + gap);
            Canvas::line(m_pages.last(), QLineF(left, m_y + lineAt, left + slot, m_y + lineAt),
                         m_canvas.mm(0.25));
            m_canvas.text(m_pages.last(), font, left, slot,
                          m_y + lineAt + m_canvas.mm(1) + m_canvas.ascent(font), block.labels[i],
                          Align::Center);
        }
        m_y += lineAt + m_canvas.mm(1) + m_canvas.lineHeight(font);
    }

    const ReportLayout &m_layout;
    const ReportData &m_data;
    Canvas &m_canvas;
    QRectF m_content;
    RecordFields m_fields;
    QList<Page> m_pages;
    double m_y = 0;
};

} // namespace

QList<Page> letterPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                        const QRectF &content)
{
    return LetterBuilder(layout, data, canvas, content).build();
}

} // namespace stampa
