#pragma once

#include <QList>

namespace stampa {

// The widths of a line's columns, `total` together. A column whose content needs (`natural`)
// no more than its part of the room left, shared out by the layout's `shares`, gets just what
// it needs; what the narrow columns leave goes to the others by their shares, so that no column
// gets less than its share of the line unless it needs less. When every column gets what it
// needs, the room left over is shared by all columns by their shares.
QList<double> shareColumnWidths(const QList<double> &shares, const QList<double> &natural,
                                double total);

} // namespace stampa
