#include "tools/stampa/pagecanvas.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextOption>

namespace stampa {

namespace {

QFont makeFont(const FontStyle &style)
{
    QFont font;
    // A family the machine lacks falls back to the report font, then to any sans-serif one.
    QStringList families{style.family.isEmpty() ? defaultFontFamily() : style.family};
    if (!families.contains(defaultFontFamily()))
        families.append(defaultFontFamily());
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(style.size);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    // No ligatures: the text of a PDF stays searchable letter by letter ("ffi" stays three).
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

Qt::Alignment qtAlignment(Align align)
{
    switch (align) {
    case Align::Left:
        return Qt::AlignLeft;
    case Align::Center:
        return Qt::AlignHCenter;
    case Align::Right:
        return Qt::AlignRight;
    case Align::Justify:
        return Qt::AlignJustify;
    }
    return Qt::AlignLeft;
}

} // namespace

Canvas::Canvas(QPaintDevice &device, const FontStyle &base)
    : m_device(device), m_base(base), m_unitsPerMm(device.logicalDpiX() / 25.4)
{
    font(base);
}

int Canvas::font(const FontStyle &style)
{
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const FontStyle &s = m_fonts[i].style;
        if (s.family == style.family && s.size == style.size && s.bold == style.bold &&
            s.italic == style.italic)
            return int(i);
    }
    const QFont f = makeFont(style);
    m_fonts.append(Font{style, f, QFontMetricsF(f, &m_device)});
    return int(m_fonts.size() - 1);
}

int Canvas::font(double size, bool bold, bool italic)
{
    return font(FontStyle{m_base.family, size, bold, italic});
}

void Canvas::text(Page &page, int font, double x, double width, double baseline,
                  const QString &text, Align align) const
{
    if (text.isEmpty() || width <= 0)
        return;
    const QFontMetricsF &fm = metrics(font);
    QString shown = text;
    // One line: line breaks and tabs inside a value become spaces.
    for (QChar &c : shown) {
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    }
    double advance = fm.horizontalAdvance(shown);
    if (advance > width) {
        shown = fm.elidedText(shown, Qt::ElideRight, width);
        advance = fm.horizontalAdvance(shown);
        if (shown.isEmpty())
            return;
    }
    double left = x;
    if (align == Align::Right)
        left = x + width - advance;
    else if (align == Align::Center)
        left = x + (width - advance) / 2;
    PageItem item;
    item.kind = PageItem::Kind::Text;
    item.at = QPointF(left, baseline);
    item.text = shown;
    item.font = font;
    page.append(std::move(item));
}

QStringList Canvas::wrap(int font, const QString &text, double width, int maxLines) const
{
    QStringList lines;
    if (text.trimmed().isEmpty() || width <= 0)
        return lines;
    QString flat = text;
    flat.replace(u'\t', u' ').replace(u'\r', u' ').replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(flat, qfont(font), &m_device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(width);
    layout.endLayout();
    const QFontMetricsF &fm = metrics(font);
    for (int i = 0; i < layout.lineCount() && lines.size() < maxLines; ++i) {
        const QTextLine line = layout.lineAt(i);
        const bool last = lines.size() == maxLines - 1 && i < layout.lineCount() - 1;
        QString piece = flat.mid(line.textStart(), last ? -1 : line.textLength());
        piece.replace(QChar::LineSeparator, u' ');
        piece = piece.trimmed();
        if (last)
            piece = fm.elidedText(piece + QStringLiteral(" …"), Qt::ElideRight, width);
        lines.append(piece);
    }
    return lines;
}

std::shared_ptr<QTextLayout> Canvas::paragraph(int font, const QString &text, double width,
                                               Align align) const
{
    auto layout = std::make_shared<QTextLayout>(text, qfont(font), &m_device);
    QTextOption option(qtAlignment(align));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    double y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

void Canvas::line(Page &page, const QLineF &line, double pen)
{
    PageItem item;
    item.kind = PageItem::Kind::Line;
    item.line = line;
    item.pen = pen;
    page.append(std::move(item));
}

void Canvas::fill(Page &page, const QRectF &rect, const QColor &colour)
{
    PageItem item;
    item.kind = PageItem::Kind::Fill;
    item.rect = rect;
    item.colour = colour;
    page.append(std::move(item));
}

void Canvas::paint(QPainter &painter, const Page &page) const
{
    int current = -1;
    for (const PageItem &item : page) {
        switch (item.kind) {
        case PageItem::Kind::Text:
            if (item.font != current) {
                painter.setFont(qfont(item.font));
                current = item.font;
            }
            painter.drawText(item.at, item.text);
            break;
        case PageItem::Kind::Line:
            painter.setPen(QPen(Qt::black, item.pen));
            painter.drawLine(item.line);
            break;
        case PageItem::Kind::Fill:
            painter.fillRect(item.rect, item.colour);
            break;
        case PageItem::Kind::Image:
            painter.drawImage(item.rect, item.image);
            break;
        case PageItem::Kind::TextLine:
            painter.setPen(Qt::black);
            item.layout->lineAt(item.lineIndex).draw(&painter, item.at);
            current = -1;
            break;
        }
    }
}

} // namespace stampa
