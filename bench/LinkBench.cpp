// Drains whole streams from the simulated stand, unpaced, through the real serial port, the
// framing, the dispatcher and the shown window, and measures beside them in the same process
// and run:
//   - the floor: as many bare passes of the event loop as the stream has frames, window shown
//     and the port open (the program runs one pass after every frame, so it cannot be faster);
//   - `cat` draining the same stream of the simulator from a pseudo-terminal.
// Streams: a cross-load run (12,000 "G" frames), a noise run (12,000 "N" frames) and live
// readings at the highest rate the stand sends them (706 polls asked at once, 17 frames each).
// Also the process's memory during and after the runs. Prints figures; never fails on time.
//   bench_link [runs] [--log] [--debug-shown] [--quick]
//     --log          with the traffic log written (WriteLog=1)
//     --debug-shown  with the "Debug" page shown, so the memo is laid out and painted
//     --quick        the cross-load run and the floor only
//     --only KEYS    those streams (crossload, noise, live, comma-separated) and the floor only,
//                    e.g. for a profiler

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "graphs/GraphImage.h"
#include "link/ComPort.h"
#include "link/CommandSet.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "ui/ChannelControls.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

extern char** environ;

namespace {

struct TStream {
    const char* Key;
    const char* Name;
    QString Request;
    int Frames;  // frames the stand sends in answer
};

// 706 polls asked at once: 706 x 17 reading frames, as many as a run has.
QString LivePolls()
{
    QString polls;
    for (int n = 0; n < 706; ++n)
        polls += PollFrame();
    return polls;
}

const TStream Streams[] = {
    {"crossload", "cross-load run", QStringLiteral("!ATS;0200;1200;1400;2;0;#"), 12002},
    {"noise", "noise run", QStringLiteral("!NTS;0200;1200;1400;2;0;#"), 12002},
    {"live", "live readings", LivePolls(), 706 * 17},
};

// Drains `stream` through the program; milliseconds, or a negative value on failure.
double DrainThroughProgram(TMForm& form, const TStream& stream, qint64& bytes)
{
    ClearResults();
    WaitFor([] { return false; }, 200);  // whatever was under way has arrived
    const qint64 bytesBefore = form.COM->BytesReceived();
    const uint64_t framesBefore = DispatchedFrames;
    const int64_t start = MonotonicNs();
    GuardEvent([&] { SendCommand(stream.Request); });
    const bool finished = WaitFor([&] { return DispatchedFrames - framesBefore >= uint64_t(stream.Frames); }, 120000);
    const double ms = (MonotonicNs() - start) / 1e6;
    bytes = form.COM->BytesReceived() - bytesBefore;
    return finished ? ms : -1;
}

// Reads from `fd` until `frames` more "#" have come or `ms` pass; false on time-out.
bool ReadFrames(int fd, int frames, int ms, qint64& bytes)
{
    char buffer[65536];
    const int64_t deadline = MonotonicNs() + int64_t(ms) * 1'000'000;
    int seen = 0;
    while (seen < frames) {
        pollfd p{fd, POLLIN, 0};
        const int64_t left = (deadline - MonotonicNs()) / 1'000'000;
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        bytes += n;
        for (ssize_t i = 0; i < n; ++i)
            seen += buffer[i] == '#';
    }
    return true;
}

// `cat` reading the simulator's pseudo-terminal into a pipe we drain; the same request, the
// same stream. Milliseconds from the request to its last frame, or negative on failure.
double DrainThroughCat(const TStream& stream, qint64& bytes)
{
    TSimulatorProcess simulator;
    const QByteArray device = simulator.Start({QStringLiteral("--unpaced")}).toLocal8Bit();
    if (device.isEmpty())
        return -1;
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, device.constData(), O_RDONLY | O_NOCTTY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    char cat[] = "cat";
    char* argv[] = {cat, nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    double ms = -1;
    const int line = ::open(device.constData(), O_WRONLY | O_NOCTTY);
    qint64 greeting = 0;
    if (spawned == 0 && line >= 0 && ::write(line, "!!!;#", 5) == 5 && ReadFrames(out[0], 1, 5000, greeting)) {
        const QByteArray request = stream.Request.toLatin1();
        bytes = 0;
        const int64_t start = MonotonicNs();
        if (::write(line, request.constData(), size_t(request.size())) == request.size() &&
            ReadFrames(out[0], stream.Frames, 60000, bytes))
            ms = (MonotonicNs() - start) / 1e6;
    }
    if (line >= 0)
        ::close(line);
    ::close(out[0]);
    if (spawned == 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
    }
    return ms;
}

long GraphBitmapsKb()
{
    qint64 bytes = 0;
    for (int n = 1; n <= 26; ++n)
        if (GraphImages[n] && !GraphImages[n]->Bitmap.isNull())
            bytes += GraphImages[n]->Bitmap.sizeInBytes();
    return static_cast<long>(bytes / 1024);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterTahoma();
    int runs = 3;
    bool log = false, debugShown = false, quick = false;
    QByteArray only;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--only" && i + 1 < argc) {
            only = argv[++i];
            quick = true;
        } else if (arg == "--log")
            log = true;
        else if (arg == "--debug-shown")
            debugShown = true;
        else if (arg == "--quick")
            quick = true;
        else
            runs = std::max(1, atoi(argv[i]));
    }

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    QStringList settings{QStringLiteral("[General]")};
    if (log)
        settings << QStringLiteral("WriteLog=1");
    if (debugShown)
        settings << QStringLiteral("Debug=52917");
    WriteSettings(dir.path(), settings);
    TSimulatorProcess simulator;
    if (simulator.Start({"--unpaced", "--link", dir.path() + "/dev/COM1"}).isEmpty()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }

    TMForm form;
    form.show();
    if (debugShown)
        form.PC->setCurrentWidget(form.TabDebug);
    GuardEvent(Connect);
    if (!WaitFor([] { return StandIdentified; }, 5000)) {
        std::fprintf(stderr, "the simulated stand did not answer\n");
        return 1;
    }
    // The streams alone, as cat gets them: no polls in between.
    form.GVTimer->stop();
    std::printf("Unpaced streams from the simulated stand, window shown%s%s, %d runs each\n",
                log ? ", log written" : "", debugShown ? ", Debug page shown" : "", runs);

    QList<TStream> streams;
    for (const TStream& stream : Streams)
        if (only.isEmpty() ? !quick || streams.isEmpty() : only.split(',').contains(stream.Key))
            streams << stream;
    for (const TStream& stream : streams) {
        std::vector<double> ms;
        qint64 bytes = 0;
        for (int run = 0; run < runs; ++run) {
            const double t = DrainThroughProgram(form, stream, bytes);
            if (t < 0) {
                std::fprintf(stderr, "the %s did not finish\n", stream.Name);
                return 1;
            }
            ms.push_back(t);
        }
        const double median = Median(ms);
        std::printf("%-16s %d frames, %lld bytes: median %.1f ms, %.0f frames/s\n", stream.Name, stream.Frames,
                    static_cast<long long>(bytes), median, stream.Frames / median * 1000);
        Figure((std::string(stream.Key) + "_ms").c_str(), median);
        Figure((std::string(stream.Key) + "_frames").c_str(), stream.Frames);
        Figure((std::string(stream.Key) + "_bytes").c_str(), double(bytes));
    }
    // Memory before anything else of the benchmark allocates.
    std::printf("memory: peak %ld KiB, now %ld KiB, graph bitmaps %ld KiB\n", PeakMemoryKb(), CurrentMemoryKb(),
                GraphBitmapsKb());
    Figure("memory_peak_kb", PeakMemoryKb());
    Figure("memory_after_kb", CurrentMemoryKb());
    Figure("bitmaps_kb", GraphBitmapsKb());

    {
        std::vector<double> ms;
        for (int run = 0; run < std::max(runs, 5); ++run) {
            const int64_t start = MonotonicNs();
            for (int n = 0; n < 12002; ++n)
                QCoreApplication::processEvents();
            ms.push_back((MonotonicNs() - start) / 1e6);
        }
        std::printf("floor: 12002 bare event-loop passes, window shown: median %.1f ms\n", Median(ms));
        Figure("floor_ms", Median(ms));
    }

    GuardEvent(Disconnect);
    if (quick)
        return 0;
    for (const TStream& stream : Streams) {
        std::vector<double> ms;
        qint64 bytes = 0;
        for (int run = 0; run < runs; ++run) {
            const double t = DrainThroughCat(stream, bytes);
            if (t < 0) {
                std::fprintf(stderr, "cat did not drain the %s\n", stream.Name);
                return 1;
            }
            ms.push_back(t);
        }
        std::printf("cat, %-11s %lld bytes: median %.1f ms\n", stream.Name, static_cast<long long>(bytes), Median(ms));
        Figure((std::string("cat_") + stream.Key + "_ms").c_str(), Median(ms));
        Figure((std::string("cat_") + stream.Key + "_bytes").c_str(), double(bytes));
    }
    return 0;
}
