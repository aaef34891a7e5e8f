// The cost of watching: live readings at the default 100 ms poll from the simulated stand
// (paced at 115200 bit/s), the power supply on and every rail loaded, so every channel's
// labels change with every answer. Prints the share of one core the program uses; never fails
// on time.
//   bench_poll [seconds]

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "core/Definitions.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterTahoma();
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    TSimulatorProcess simulator;
    if (simulator.Start({"--link", dir.path() + "/dev/COM1"}).isEmpty()) {
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
    GuardEvent([] {
        SendCommand(PowerOnFrame());
        for (int channel = 1; channel <= LoadChannelCount; ++channel)
            SendCommand(SetCurrentFrame(channel, 3));
    });
    WaitFor([] { return false; }, 1500);  // on, loaded, the first answers in

    // One plain wait: the benchmark itself must not wake the process.
    const uint64_t framesBefore = DispatchedFrames;
    const double cpuBefore = CpuSeconds();
    const int64_t start = MonotonicNs();
    QEventLoop wait;
    QTimer::singleShot(seconds * 1000, &wait, &QEventLoop::quit);
    wait.exec();
    const double wall = (MonotonicNs() - start) / 1e9;
    const double cpu = CpuSeconds() - cpuBefore;
    const uint64_t frames = DispatchedFrames - framesBefore;
    std::printf("live readings at a %d ms poll, %d s: %llu frames (%.1f answers/s), CPU %.3f s = %.2f %% of one core\n",
                form.GVTimer->interval(), seconds, static_cast<unsigned long long>(frames), frames / 17.0 / wall, cpu,
                cpu / wall * 100);
    Figure("poll_cpu_percent", cpu / wall * 100);
    Figure("poll_answers_per_s", frames / 17.0 / wall);
    Figure("poll_interval_ms", form.GVTimer->interval());
    GuardEvent(Disconnect);
    return 0;
}
