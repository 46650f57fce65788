#pragma once

#include "tools/stampa/reportlayout.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QTextLayout>

#include <memory>

class QPaintDevice;
class QPainter;

namespace stampa {

// One thing drawn on a page, in the paint device's units. Pages are laid out whole before the
// first one is painted, so that every footer knows the number of pages.
struct PageItem
{
    enum class Kind
    {
        Text,
        Line,
        Fill,
        Image,
        TextLine
    };
    Kind kind = Kind::Text;
    QPointF at;  // Text: start of the baseline; TextLine: where the layout is drawn
    QRectF rect; // Fill, Image
    QLineF line;
    QString text;
    int font = 0;
    double pen = 0;
    QColor colour;
    QImage image;
    std::shared_ptr<const QTextLayout> layout; // TextLine: a line of a wrapped paragraph
    int lineIndex = 0;
};
using Page = QList<PageItem>;

// The units and fonts of one paint device: millimetres to device units, fonts at the device's
// resolution, and the placing of text that never runs out of its room.
class Canvas
{
public:
    Canvas(QPaintDevice &device, const FontStyle &base);

    QPaintDevice &device() const { return m_device; }
    double mm(double millimetres) const { return millimetres * m_unitsPerMm; }

    const FontStyle &baseFont() const { return m_base; }
    // The index of a font; the same style always gives the same index.
    int font(const FontStyle &style);
    int font(double size, bool bold, bool italic = false);
    const QFont &qfont(int font) const { return m_fonts[font].font; }
    const QFontMetricsF &metrics(int font) const { return m_fonts[font].metrics; }
    double lineHeight(int font) const { return m_fonts[font].metrics.lineSpacing(); }
    double ascent(int font) const { return m_fonts[font].metrics.ascent(); }

    // One line of `text` between x and x + width on `baseline`, cut with "…" when it is longer.
    void text(Page &page, int font, double x, double width, double baseline, const QString &text,
              Align align) const;
    // `text` broken into lines that fit `width`: at most maxLines, the last cut with "…" when
    // the text goes on.
    QStringList wrap(int font, const QString &text, double width, int maxLines) const;
    // A paragraph laid out in `width`, kept alive by the pages that draw its lines.
    std::shared_ptr<QTextLayout> paragraph(int font, const QString &text, double width,
                                           Align align) const;

    static void line(Page &page, const QLineF &line, double pen);
    static void fill(Page &page, const QRectF &rect, const QColor &colour);

    // Paints the items of one page.
    void paint(QPainter &painter, const Page &page) const;

private:
    struct Font
    {
        FontStyle style;
        QFont font;
        QFontMetricsF metrics;
    };

    QPaintDevice &m_device;
    FontStyle m_base;
    double m_unitsPerMm;
    QList<Font> m_fonts;
};

// The layout engines: the pages of each kind of report, without heading and footer.
struct ReportData;
QList<Page> listPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                      const QRectF &content);
QList<Page> labelPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas);
QList<Page> letterPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas,
                        const QRectF &content);

} // namespace stampa
