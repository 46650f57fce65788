#include "tools/stampa/reportdocument.h"

#include "common/dates.h"
#include "db/core/privatefiles.h"

#include "tools/stampa/pagecanvas.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace stampa {

namespace {

const QString kNoData = QStringLiteral("Nessun dato da stampare");

// The office's heading at the top of every page: logo and name on the left, the day on the
// right, the report's title below them.
struct Heading
{
    double height = 0;
    QList<PageItem> items;
};

Heading officeHeading(const ReportDocument &document, Canvas &canvas, const QRectF &body)
{
    Heading h;
    Page page;
    const ReportData &data = document.data();
    const double base = canvas.baseFont().size;
    const int nameFont = canvas.font(base + 3, true);
    const int titleFont = canvas.font(base + 4, true);
    const int dateFont = canvas.font(base, false);
    double x = body.left();
    double logoHeight = 0;
    if (!data.logo.isNull()) {
        logoHeight = canvas.mm(14);
        const double width = std::min(canvas.mm(45), logoHeight * data.logo.width() /
                                                         std::max(1, data.logo.height()));
        logoHeight = width * data.logo.height() / std::max(1, data.logo.width());
        PageItem image;
        image.kind = PageItem::Kind::Image;
        image.rect = QRectF(body.left(), body.top(), width, logoHeight);
        image.image = data.logo;
        page.append(image);
        x += width + canvas.mm(3);
    }
    const QString date = ScriviDataItaliana(data.date);
    const double dateWidth = canvas.metrics(dateFont).horizontalAdvance(date) + canvas.mm(1);
    const double nameBaseline = body.top() + canvas.ascent(nameFont);
    const QString company = data.company.value(0, u"RagSoc").toString().trimmed();
    canvas.text(page, nameFont, x, body.right() - x - dateWidth - canvas.mm(3), nameBaseline,
                company, Align::Left);
    canvas.text(page, dateFont, body.right() - dateWidth, dateWidth, nameBaseline, date,
                Align::Right);
    const double titleBaseline =
        nameBaseline + canvas.metrics(nameFont).descent() + canvas.mm(2) + canvas.ascent(titleFont);
    canvas.text(page, titleFont, x, body.right() - x, titleBaseline, document.layout().title,
                Align::Center);
    const double bottom =
        std::max(titleBaseline + canvas.metrics(titleFont).descent(), body.top() + logoHeight) +
        canvas.mm(1.5);
    Canvas::line(page, QLineF(body.left(), bottom, body.right(), bottom), canvas.mm(0.4));
    h.items = page;
    h.height = bottom - body.top() + canvas.mm(3);
    return h;
}

} // namespace

ReportDocument::ReportDocument(ReportLayout layout, ReportData data, bool heading)
    : m_layout(std::move(layout)), m_data(std::move(data)), m_heading(heading)
{
}

db::Result<int> ReportDocument::print(QPagedPaintDevice &device,
                                      const PrintProgress &progress) const
{
    const QPageLayout pageLayout(m_layout.pageSize, m_layout.orientation, QMarginsF(),
                                 QPageLayout::Millimeter);
    device.setPageLayout(pageLayout);
    QPainter painter;
    if (!painter.begin(&device))
        return db::Error{
            QStringLiteral("Impossibile iniziare la stampa di %1.").arg(m_layout.title)};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    Canvas canvas(device, m_layout.font);
    const QSizeF paper = pageLayout.fullRect(QPageLayout::Millimeter).size();
    const QRectF sheet(0, 0, canvas.mm(paper.width()), canvas.mm(paper.height()));
    const QMarginsF &m = m_layout.margins;
    const QRectF body = sheet.adjusted(canvas.mm(m.left()), canvas.mm(m.top()),
                                       -canvas.mm(m.right()), -canvas.mm(m.bottom()));
    // Label sheets are all labels: no heading, no page numbers.
    const bool labels = m_layout.kind == LayoutKind::Labels;
    const bool withHeading = m_heading && m_layout.heading && !labels;
    const bool withNumbers = m_layout.pageNumbers && !labels;
    const int footerFont = canvas.font(std::max(6.0, m_layout.font.size - 1), false);

    QRectF content = body;
    Heading top;
    if (withHeading) {
        top = officeHeading(*this, canvas, body);
        content.setTop(body.top() + top.height);
    }
    if (withNumbers)
        content.setBottom(body.bottom() - canvas.lineHeight(footerFont) - canvas.mm(3));

    QList<Page> pages;
    if (!m_data.rows.rows.isEmpty()) {
        switch (m_layout.kind) {
        case LayoutKind::List:
        case LayoutKind::Groups:
            pages = listPages(m_layout, m_data, canvas, content);
            break;
        case LayoutKind::Labels:
            pages = labelPages(m_layout, m_data, canvas);
            break;
        case LayoutKind::Letter:
            pages = letterPages(m_layout, m_data, canvas, content);
            break;
        }
    }
    if (pages.isEmpty()) {
        Page empty;
        const int font = canvas.font(m_layout.font.size + 3, true);
        const QRectF area = labels ? sheet : content;
        canvas.text(empty, font, area.left(), area.width(),
                    area.top() + canvas.mm(20) + canvas.ascent(font), kNoData, Align::Center);
        pages.append(empty);
    }

    const qsizetype count = pages.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage())
            return db::Error{QStringLiteral("Impossibile aggiungere una pagina alla stampa.")};
        Page page = std::move(pages[i]);
        if (withHeading)
            page.append(top.items);
        if (withNumbers) {
            canvas.text(page, footerFont, body.left(), body.width(),
                        body.bottom() - canvas.metrics(footerFont).descent(),
                        QStringLiteral("Pagina %1 di %2").arg(i + 1).arg(count), Align::Center);
        }
        canvas.paint(painter, page);
        if (progress && !progress(i + 1, count)) {
            painter.end();
            return db::Error{QStringLiteral("Stampa annullata.")};
        }
    }
    if (!painter.end())
        return db::Error{
            QStringLiteral("La stampa di %1 non è stata completata.").arg(m_layout.title)};
    return int(count);
}

db::Status writePdf(const ReportDocument &document, const QString &path,
                    const PrintProgress &progress)
{
    QSaveFile file(path);
    if (!db::openPrivate(file))
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2.").arg(path, file.errorString())};
    {
        QPdfWriter writer(&file);
        writer.setResolution(600);
        writer.setTitle(document.layout().title);
        writer.setCreator(QStringLiteral("Calvetra"));
        db::Result<int> printed = document.print(writer, progress);
        if (!printed) {
            file.cancelWriting();
            return printed.error();
        }
    }
    if (!file.commit())
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2.").arg(path, file.errorString())};
    return {};
}

} // namespace stampa
