// How long saving and loading a result file takes (1,323,754 bytes, demonstration results),
// on the program's own code with the window up. Prints the figures; never fails on time.
//   bench_resultfile [repetitions]

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchReport.h"
#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "core/ProgramState.h"
#include "ui/MainForm.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    TMForm form;
    form.show();
    FillRandomResults();
    const QString path = dir.filePath(QStringLiteral("bench.dat"));

    std::vector<double> save, load;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        if (!WriteResultFile(path))
            return std::fprintf(stderr, "saving failed\n"), 1;
        save.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        if (ReadResultFile(path).Outcome != TResultFileRead::Complete)
            return std::fprintf(stderr, "loading failed\n"), 1;
        load.push_back(timer.nsecsElapsed() / 1e6);
    }
    // Without the repaint of the graph on show, which "Load Data" adds (see bench_graphs).
    Report("save result file", save);
    Report("load result file", load);
    Figure("save_ms", Median(save));
    Figure("load_ms", Median(load));
    return 0;
}
