// The tax code checks on any text. Every verdict has its reason; a code reads the same however
// it was typed; a valid personal code keeps its birth data without its omocodia letters; a code
// computed from any names is valid and encodes what it was computed from.

#include "taxcode/codicefiscale.h"
#include "fuzz/fuzzcheck.h"
#include "taxcode/codicefiscalecalcolato.h"

namespace {

const QDate kToday(2026, 12, 7);

void checkVerdict(const TaxCodeCheck &check)
{
    FUZZ_CHECK(check.valid == (check.kind != TaxCodeCheck::Kind::Empty && check.reason.isEmpty()));
    FUZZ_CHECK(check.kind != TaxCodeCheck::Kind::Empty || check.code.isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const TaxCodeCheck cf = checkCodiceFiscale(text, kToday);
    checkVerdict(cf);
    checkVerdict(checkPartitaIva(text));
    FUZZ_CHECK(normalizedTaxCode(cf.code) == cf.code);
    QString lower = text;
    for (QChar &c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    FUZZ_CHECK(checkCodiceFiscale(lower, kToday).code == cf.code);
    if (cf.valid && cf.kind == TaxCodeCheck::Kind::Personal) {
        FUZZ_CHECK(cf.birthDate.isValid() && cf.birthDate <= kToday &&
                   cf.birthDate > kToday.addYears(-100));
        FUZZ_CHECK(cf.sex == u'M' || cf.sex == u'F');
        const TaxCodeCheck base = checkCodiceFiscale(omocodiaBase(cf.code), kToday);
        FUZZ_CHECK(base.valid && base.birthDate == cf.birthDate && base.sex == cf.sex &&
                   base.placeCode == cf.placeCode);
    }

    // The input cut in two names and a place, with a date and sex taken from its length.
    const qsizetype half = text.size() / 2;
    const DatiAnagrafici dati{text.left(half), text.mid(half),
                              kToday.addDays(-qint64(size * 97 % 36000)), size % 2 ? u'F' : u'M',
                              text.right(4)};
    const db::Result<QString> computed = computeCodiceFiscale(dati);
    if (computed) {
        const TaxCodeCheck again = checkCodiceFiscale(*computed, kToday);
        FUZZ_CHECK(again.valid && again.birthDate == dati.nascita && again.sex == dati.sesso &&
                   again.placeCode == normalizedTaxCode(dati.codiceCatastale));
    }
    return 0;
}
