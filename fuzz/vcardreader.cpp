// The card reader on any bytes. What it reads, the writer writes; the file written reads back
// to cards that the writer writes the same way again, in lines of at most 75 octets of UTF-8.

#include "vcard/vcardreader.h"
#include "fuzz/fuzzcheck.h"
#include "vcard/vcardtext.h"
#include "vcard/vcardvalues.h"
#include "vcard/vcardwriter.h"

namespace {

QByteArray written(const QList<DatiVCard> &cards)
{
    QByteArray file;
    for (const DatiVCard &card : cards)
        file += ComponiVCard(card);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<DatiVCard> cards =
        LeggiVCard(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (const DatiVCard &card : cards) {
        (void)vcard::readCardDate(card[vcard::Birthday]);
        (void)vcard::readCardDate(card[vcard::Revision]);
    }
    const QByteArray file = written(cards);
    for (const QByteArray &line : file.split('\n')) {
        FUZZ_CHECK(line.isEmpty() || line.endsWith('\r'));
        FUZZ_CHECK(line.size() <= 76);
        FUZZ_CHECK(vcard::isValidUtf8(line));
    }
    const QList<DatiVCard> again = LeggiVCard(file);
    FUZZ_CHECK(again.size() == cards.size());
    FUZZ_CHECK(written(again) == file);
    return 0;
}
