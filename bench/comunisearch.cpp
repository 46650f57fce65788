// The live search of the municipality list, through the real window offscreen, over every
// Italian municipality: the time from a key press in a search box until the grid shows the
// new rows, for names, a province and a postal code typed and erased one key at a time.
// Usage: QT_QPA_PLATFORM=offscreen bench_comunisearch [rounds]   (default 5)

#include "app/frminizio.h"
#include "app/program.h"
#include "common/widgets/datagrid.h"
#include "reference/referencestore.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "session/datamodule.h"
#include "timing.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    QTemporaryDir folder;
    Program program(folder.path()); // the first start creates the archive
    program.frmInizio().FormActivate();
    if (!program.frmInizio().startupDone()) {
        std::fprintf(stderr, "start-up failed\n");
        return 1;
    }
    TfrmGrigliaComuni &window = program.frmGrigliaComuni();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }
    db::DataSet &comuni = program.reference().TableComuni;
    DataGrid *grid = window.grid();
    std::printf("municipalities: %d\n", comuni.recordCount());

    const std::pair<const char *, const char *> searches[] = {
        {"Edit2", "San Giorgio"}, {"Edit2", "Castel"}, {"Edit4", "PD"},
        {"Edit2", "Sant'"},       {"txtCap", "351"},   {"Edit3", "0280"},
    };
    QList<double> ms;
    int mismatches = 0;
    const auto press = [&](QLineEdit *box, Qt::Key key, char letter) {
        QElapsedTimer timer;
        timer.start();
        if (letter)
            QTest::keyClick(box, letter);
        else
            QTest::keyClick(box, key);
        QCoreApplication::processEvents(); // the grid lays out and paints the new rows
        ms.append(double(timer.nsecsElapsed()) / 1e6);
        if (grid->model()->rowCount() != comuni.recordCount())
            ++mismatches;
    };
    for (int round = 0; round < rounds; ++round) {
        for (const auto &[name, text] : searches) {
            auto *box = window.findChild<QLineEdit *>(QString::fromLatin1(name));
            box->setFocus();
            for (const char *c = text; *c; ++c)
                press(box, Qt::Key_unknown, *c);
            for (const char *c = text; *c; ++c)
                press(box, Qt::Key_Backspace, 0);
        }
    }
    std::printf("key presses: %lld, grid out of step: %d\n", static_cast<long long>(ms.size()),
                mismatches);
    std::printf("per key press (ms): p50 %.2f  p95 %.2f  max %.2f\n", percentile(ms, 0.5),
                percentile(ms, 0.95), *std::max_element(ms.begin(), ms.end()));
    return 0;
}
