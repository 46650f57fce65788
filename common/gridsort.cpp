#include "common/gridsort.h"

QString toggledSort(const QString &current, const QString &column)
{
    if (!current.isEmpty() && current.endsWith(u"ASC"))
        return column + QStringLiteral(" DESC");
    return column + QStringLiteral(" ASC");
}
