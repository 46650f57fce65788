// The report layout reader on any bytes: no crash, and a layout it accepts holds only numbers
// the layout engines can work with.

#include "tools/stampa/reportlayout.h"
#include "fuzz/fuzzcheck.h"

#include <cmath>

namespace {

bool sane(double v, double low, double high)
{
    return std::isfinite(v) && v >= low && v <= high;
}

void checkSheet(const stampa::LabelSheet &s)
{
    FUZZ_CHECK(s.columns >= 1 && s.rows >= 1 && s.columns * s.rows <= 5000);
    FUZZ_CHECK(sane(s.width, 5, 500) && sane(s.height, 5, 500));
    FUZZ_CHECK(2 * s.padding < std::min(s.width, s.height));
    for (double v : {s.left, s.top, s.gapX, s.gapY})
        FUZZ_CHECK(sane(v, 0, 500));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const db::Result<stampa::ReportLayout> layout =
        stampa::parseLayout(bytes, QStringLiteral("fuzz.rpt"));
    if (!layout)
        return 0;
    FUZZ_CHECK(sane(layout->font.size, 4, 144));
    for (const stampa::ListColumn &c : layout->columns)
        FUZZ_CHECK(sane(c.width, 0.01, 1000) && c.maxLines >= 1 && c.maxLines <= 100);
    if (layout->kind == stampa::LayoutKind::Labels) {
        checkSheet(layout->labels.small);
        checkSheet(layout->labels.large);
    }
    for (const stampa::LetterBlock &b : layout->blocks) {
        FUZZ_CHECK(sane(b.font.size, 4, 144));
        for (double v : {b.left, b.width, b.before, b.after, b.paragraphSpacing, b.height})
            FUZZ_CHECK(sane(v, 0, 500));
    }
    return 0;
}
