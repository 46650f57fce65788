#pragma once

#include "tools/stampa/reportdata.h"
#include "tools/stampa/reportlayout.h"

class QPagedPaintDevice;

namespace stampa {

// A report ready to print: a layout and the data it prints. It lays the pages out for the
// device it is printed on (a PDF file, a printer, the preview) and paints them.
class ReportDocument
{
public:
    // `heading`: the job asks for the office's heading (PresenzaTestata).
    ReportDocument(ReportLayout layout, ReportData data, bool heading);

    const ReportLayout &layout() const { return m_layout; }
    const ReportData &data() const { return m_data; }
    bool heading() const { return m_heading; }

    // Sets the device's page to the layout's paper and orientation, without margins of its own,
    // and paints every page. Returns the number of pages.
    db::Result<int> print(QPagedPaintDevice &device) const;

private:
    ReportLayout m_layout;
    ReportData m_data;
    bool m_heading;
};

// Prints `document` into a new PDF file at `path`.
db::Status writePdf(const ReportDocument &document, const QString &path);

} // namespace stampa
