// Creates an archive full of made-up contacts, payments and appointments, for the benchmarks.
// Usage: bench_generate CONTACTS PATH [SEED]

#include "bench/generatearchive.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    bool countOk = false;
    bool seedOk = true;
    const int contacts = args.size() > 1 ? args[1].toInt(&countOk) : 0;
    const quint32 seed = args.size() > 3 ? args[3].toUInt(&seedOk) : 1;
    if (args.size() < 3 || args.size() > 4 || !countOk || contacts < 0 || !seedOk) {
        std::fprintf(stderr, "usage: bench_generate CONTACTS PATH [SEED]\n");
        return 2;
    }
    const QString path = args[2];
    QElapsedTimer timer;
    timer.start();
    const db::Status done = bench::generateArchive(path, contacts, seed);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!done) {
        std::fprintf(stderr, "%s\n", qPrintable(done.message()));
        return 1;
    }
    std::printf("%d contacts (seed %u) in %.1f s: %s, %.1f MB\n", contacts, seed, seconds,
                qPrintable(path), QFileInfo(path).size() / 1e6);
    return 0;
}
