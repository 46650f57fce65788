#pragma once

#include "db/core/fieldkind.h"

#include <QString>
#include <QVariant>

namespace stampa {

// How a value reads on paper. Auto picks the form from the column's kind.
enum class ValueFormat
{
    Auto,
    Text,
    Date,
    DateTime,
    Time, // hh:mm, nothing at midnight
    Amount,
    Number,
    Integer,
    YesNo,
    // A text whose notice fields («Cognome», ...) are filled from the same record; see
    // notices/noticefields.h.
    WithFields
};

// The format named in a layout file ("amount", "date", ...); false for an unknown name.
bool valueFormatFromName(QStringView name, ValueFormat *format);

// The printed text of a value: nothing for a null, dates dd/mm/yyyy, times hh:mm, amounts
// 1.234,56 €, yes/no as Sì/No.
QString formatValue(const QVariant &value, db::FieldKind kind,
                    ValueFormat format = ValueFormat::Auto);

// Amounts travel as a count of ten-thousandths (the archive keeps four decimals), so that
// sums are exact.
qint64 toTenThousandths(const QVariant &value);
// Rounded to the cent, half away from zero: "1.234,56 €", "-0,30 €".
QString formatAmount(qint64 tenThousandths);

// The plain form a data file wants: dates dd/mm/yyyy (with the time when not midnight),
// numbers with a dot and no grouping, yes/no as Sì/No, nothing for a null or a picture.
QString plainValue(const QVariant &value, db::FieldKind kind);

} // namespace stampa
