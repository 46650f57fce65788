// The import of a Windows version's archive beside mdbtools reading every table of the same
// file, in the same run: the import's time, and mdb-export of each table to nowhere.
// Usage: bench_jetimport ARCHIVIO.mdb [repeats]
//        (the office-sized archive: archivio-grande.mdb of the project's shared test data)

#include "bench/timing.h"
#include "migration/archiveimport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QStringList tablesOf(const QString &file)
{
    QProcess tables;
    tables.start(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), file});
    tables.waitForFinished(60000);
    return QString::fromUtf8(tables.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// mdb-export of every table, its output thrown away: what reading the whole file costs
// mdbtools.
double mdbtoolsMs(const QString &file, const QStringList &tables)
{
    QElapsedTimer t;
    t.start();
    for (const QString &table : tables) {
        QProcess reader;
        reader.setStandardOutputFile(QProcess::nullDevice());
        reader.start(QStringLiteral("mdb-export"), {file, table});
        reader.waitForFinished(120000);
    }
    return elapsedMs(t);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "Uso: bench_jetimport ARCHIVIO.mdb [ripetizioni]\n");
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    const QStringList tables = tablesOf(file);
    QList<double> imports, cpu, readers;
    for (int i = 0; i < repeats; ++i) {
        QTemporaryDir dir;
        const double cpuBefore = processCpuMs();
        QElapsedTimer t;
        t.start();
        const db::Result<migration::ImportSummary> done =
            migration::importArchive(file, dir.filePath(QStringLiteral("archivio.sqlite")));
        imports << elapsedMs(t);
        cpu << processCpuMs() - cpuBefore;
        if (!done) {
            std::fprintf(stderr, "%s\n", qPrintable(done.message()));
            return 1;
        }
        readers << mdbtoolsMs(file, tables);
    }
    const double import = percentile(imports, 0.5), reader = percentile(readers, 0.5);
    std::printf("import into a new archive file: median %.0f ms (processor %.0f ms)\n", import,
                percentile(cpu, 0.5));
    std::printf("mdb-export of the %lld tables:     median %.0f ms\n",
                static_cast<long long>(tables.size()), reader);
    std::printf("ratio %.2f\n", import / reader);
    return 0;
}
