// Time to create a new archive with the schema and all the reference data.
// Usage: bench_createarchive [runs]

#include "schema/archivecreator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        QElapsedTimer timer;
        timer.start();
        const db::Status created = schema::createArchive(dir.filePath(QStringLiteral("a.sqlite")));
        ms.append(timer.nsecsElapsed() / 1e6);
        if (!created) {
            std::fprintf(stderr, "%s\n", qPrintable(created.message()));
            return 1;
        }
    }
    std::sort(ms.begin(), ms.end());
    std::printf("create archive (schema + reference data), %d runs: min %.1f ms, median %.1f ms, "
                "max %.1f ms\n",
                runs, ms.first(), ms[ms.size() / 2], ms.last());
    return 0;
}
