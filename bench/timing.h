#pragma once

#include <QElapsedTimer>
#include <QList>

#include <algorithm>

// The time a benchmark step took, in milliseconds.
inline double elapsedMs(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// The `q` quantile (0.5 for the median) of a set of timings.
inline double percentile(QList<double> values, double q)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min<qsizetype>(values.size() - 1, qsizetype(q * double(values.size())))];
}

#include <ctime>

// The processor time the whole process (every thread) has used so far, in milliseconds: on a
// busy machine it shows the work a step did, apart from the time it waited for a processor.
inline double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}
