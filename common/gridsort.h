#pragma once

#include <QString>

// The sort after a click on a column title: descending when the sort in force is ascending,
// ascending otherwise (whatever column it was on).
QString toggledSort(const QString &current, const QString &column);
