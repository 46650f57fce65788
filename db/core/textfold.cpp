#include "db/core/textfold.h"

#include <QMetaType>

#include <algorithm>

namespace db {

QString withoutAccents(const QString &folded)
{
    if (std::all_of(folded.begin(), folded.end(), [](QChar c) { return c.unicode() < 0x80; }))
        return folded;
    const QString decomposed = folded.normalized(QString::NormalizationForm_D);
    QString plain;
    plain.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing)
            plain += c;
    }
    return plain;
}

bool isNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace db
