#include "tools/stampa/columnwidths.h"

#include <numeric>

namespace stampa {

QList<double> shareColumnWidths(const QList<double> &shares, const QList<double> &natural,
                                double total)
{
    const qsizetype n = shares.size();
    QList<double> widths(n, 0.0);
    QList<bool> settled(n, false);
    const double allShares = std::accumulate(shares.begin(), shares.end(), 0.0);
    double room = total;
    double openShares = allShares;
    qsizetype open = n;
    // Settling a column that needs less than its part only raises the part of the others, so
    // columns settled earlier in a pass stay settled; passes go on while one more settles.
    for (bool settling = true; settling && open > 0;) {
        settling = false;
        for (qsizetype c = 0; c < n; ++c) {
            if (settled[c] || natural.value(c) > room * shares[c] / openShares)
                continue;
            widths[c] = natural.value(c);
            settled[c] = true;
            room -= widths[c];
            openShares -= shares[c];
            --open;
            settling = true;
        }
    }
    if (open > 0) {
        for (qsizetype c = 0; c < n; ++c) {
            if (!settled[c])
                widths[c] = room * shares[c] / openShares;
        }
    } else if (allShares > 0) {
        for (qsizetype c = 0; c < n; ++c)
            widths[c] += room * shares[c] / allShares;
    }
    return widths;
}

} // namespace stampa
