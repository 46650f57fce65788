#pragma once

#include "tools/stampa/reportdata.h"
#include "tools/stampa/reportlayout.h"

#include <functional>

class QPagedPaintDevice;

namespace stampa {

// Told after each page painted, with the pages painted so far and the pages in all; returning
// false stops the print.
using PrintProgress = std::function<bool(qsizetype painted, qsizetype total)>;

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
    // and paints every page. Returns the number of pages; an error when `progress` stopped it.
    db::Result<int> print(QPagedPaintDevice &device, const PrintProgress &progress = {}) const;

private:
    ReportLayout m_layout;
    ReportData m_data;
    bool m_heading;
};

// Prints `document` into a new PDF file at `path`.
// A print stopped by its progress leaves no file.
db::Status writePdf(const ReportDocument &document, const QString &path,
                    const PrintProgress &progress = {});

} // namespace stampa
