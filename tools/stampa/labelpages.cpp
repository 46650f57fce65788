// Label sheets: each record on the next label of the sheet, row by row; the office's own
// labels repeat one record on every label of a sheet.

#include "tools/stampa/pagecanvas.h"
#include "tools/stampa/recordfields.h"

namespace stampa {

QList<Page> labelPages(const ReportLayout &layout, const ReportData &data, Canvas &canvas)
{
    const LabelSheet &sheet = data.smallLabels ? layout.labels.small : layout.labels.large;
    const int perSheet = sheet.columns * sheet.rows;
    const int body = canvas.font(canvas.baseFont());
    const int bold = canvas.font(canvas.baseFont().size, true);
    const double lineHeight = std::max(canvas.lineHeight(body), canvas.lineHeight(bold));
    const double textWidth = canvas.mm(sheet.width - 2 * sheet.padding);
    RecordFields fields(data);
    QList<Page> pages;
    qsizetype slot = 0;
    for (qsizetype row = 0; row < data.rows.rows.size(); ++row) {
        fields.setRow(row);
        QList<std::pair<QString, bool>> lines;
        for (const LabelLine &line : layout.labels.lines) {
            const FieldTemplate::Expansion e = line.text.expand(fields);
            if (e.onlyBlanks || e.text.trimmed().isEmpty())
                continue;
            const QStringList pieces =
                line.wrap ? canvas.wrap(line.bold ? bold : body, e.text, textWidth, 2)
                          : QStringList{e.text.trimmed()};
            for (const QString &piece : pieces)
                lines.append({piece, line.bold});
        }
        const qsizetype copies = layout.labels.fillSheet ? perSheet - slot % perSheet : 1;
        for (qsizetype copy = 0; copy < copies; ++copy, ++slot) {
            const int place = int(slot % perSheet);
            if (place == 0)
                pages.append(Page{});
            const int column = place % sheet.columns;
            const int line = place / sheet.columns;
            const QRectF label(canvas.mm(sheet.left + column * (sheet.width + sheet.gapX)),
                               canvas.mm(sheet.top + line * (sheet.height + sheet.gapY)),
                               canvas.mm(sheet.width), canvas.mm(sheet.height));
            const QRectF inside =
                label.adjusted(canvas.mm(sheet.padding), canvas.mm(sheet.padding),
                               -canvas.mm(sheet.padding), -canvas.mm(sheet.padding));
            // The lines that fit, centred from top to bottom.
            const qsizetype fitting =
                std::min<qsizetype>(lines.size(), qsizetype(inside.height() / lineHeight));
            double baseline = inside.top() + (inside.height() - double(fitting) * lineHeight) / 2 +
                              canvas.ascent(body);
            for (qsizetype l = 0; l < fitting; ++l) {
                canvas.text(pages.last(), lines[l].second ? bold : body, inside.left(),
                            inside.width(), baseline, lines[l].first, Align::Left);
                baseline += lineHeight;
            }
        }
    }
    return pages;
}

} // namespace stampa
