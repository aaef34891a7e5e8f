// Streams a whole cross-load run (12000 "G" frames, unpaced) from the simulated stand through
// the real serial port into the program with its window up, and prints how fast the program
// takes it in, against the time the same bytes need on the line at 115200 bit/s.
//   bench_link [runs]

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/ComPort.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

// Runs the event loop until `done` holds or `ms` pass; false on time-out.
template <typename Condition>
bool WaitFor(Condition done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

long PeakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    RegisterTahoma();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 1;

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    QProcess simulator;
    simulator.start(QStringLiteral(TARVIK_STAND_SIM), {"--unpaced", "--link", dir.path() + "/dev/COM1"});
    if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    TMForm form;
    form.show();
    GuardEvent(Connect);
    if (!WaitFor([] { return StandIdentified; }, 5000)) {
        std::fprintf(stderr, "the simulated stand did not answer\n");
        return 1;
    }
    std::printf("cross-load run, 12000 points, unpaced, window shown\n");
    for (int run = 1; run <= runs; ++run) {
        ClearResults();
        WaitFor([] { return false; }, 300);  // let the live polls settle
        const qint64 bytesBefore = form.COM->BytesReceived();
        const uint64_t framesBefore = DispatchedFrames;
        QElapsedTimer clock;
        clock.start();
        GuardEvent([] { SendCommand(QStringLiteral("!ATS;0200;1200;1400;2;0;#")); });
        const bool finished = WaitFor([] { return CrossLoadAt(1, GridPoints - 1).voltage != 0 && !CrossLoadRunning; },
                                      120000);
        const double seconds = clock.nsecsElapsed() / 1e9;
        if (!finished) {
            std::fprintf(stderr, "the run did not finish\n");
            return 1;
        }
        const qint64 bytes = form.COM->BytesReceived() - bytesBefore;
        const uint64_t frames = DispatchedFrames - framesBefore;
        const double lineSeconds = bytes * 10.0 / 115200.0;
        std::printf("run %d: %llu frames, %lld bytes in %.2f s: %.0f frames/s; the line at 115200 bit/s needs "
                    "%.1f s (%.1fx faster than the line); peak memory %ld KB\n",
                    run, static_cast<unsigned long long>(frames), static_cast<long long>(bytes), seconds,
                    frames / seconds, lineSeconds, lineSeconds / seconds, PeakMemoryKb());
    }
    GuardEvent(Disconnect);
    simulator.terminate();
    simulator.waitForFinished(5000);
    return 0;
}
