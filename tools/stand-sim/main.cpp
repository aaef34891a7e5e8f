// tarvik-stand-sim: a simulated stand on a pseudo-terminal. Prints the device to connect to,
// answers the program's requests and streams test results, at the line rate of the baud rate.

#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "StandSimulator.h"

namespace {

const char* const Usage =
    "usage: tarvik-stand-sim [options]\n"
    "A simulated test stand on a pseudo-terminal. Prints the device path to connect to.\n"
    "  --link PATH              also make PATH a symbolic link to the device (removed on exit)\n"
    "  --baud N                 line rate that paces the output (default 115200, 10 bits a byte)\n"
    "  --unpaced                send as fast as the line takes it\n"
    "  --pwrok-ms N             PWR_OK delay reported on switch-on (default 120..400 ms)\n"
    "  --split                  send some frames in two pieces\n"
    "  --junk                   put \"\\r\\n\" or \"xx\" between some frames\n"
    "  --malformed              malform a number now and then (\"12,034\", \"12.03.4\")\n"
    "  --error CODE             report CODE in every ERR frame\n"
    "  --hangup-after-frames N  close the line after sending N frames\n"
    "  --hangup-after-seconds N close the line N seconds after start\n"
    "  --help                   this text\n";

// Default rates of the faults switched on from the command line.
constexpr int SplitEvery = 3;
constexpr int JunkEvery = 7;
constexpr int MalformedEvery = 40;
// A split frame's pieces leave at least this far apart, so the receiver sees two chunks.
constexpr int64_t PieceGapNs = 3'000'000;
// How far the pacing may fall behind before it stops catching up.
constexpr int64_t PacingSlackNs = 20'000'000;
// Unpaced output is written in blocks of about this size.
constexpr int UnpacedBlock = 4096;
// Before hanging up, give the program this long to read what was sent (at least / at most).
constexpr int64_t HangUpLingerMinNs = 100'000'000;
constexpr int64_t HangUpLingerMaxNs = 5'000'000'000;

volatile sig_atomic_t StopRequested = 0;
void OnStopSignal(int) { StopRequested = 1; }

int64_t NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

struct TCommandLine {
    std::string Link;
    long Baud = 115200;
    bool Unpaced = false;
    int PwrOkMs = -1;
    bool Split = false, Junk = false, Malformed = false;
    int ErrorCode = 0;
    int HangUpAfterFrames = 0;
    int HangUpAfterSeconds = 0;
};

bool ParseNumber(const char* text, long lo, long hi, long& out)
{
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < lo || value > hi)
        return false;
    out = value;
    return true;
}

// Returns -1 to go on, otherwise the exit code.
int ParseCommandLine(int argc, char** argv, TCommandLine& cl)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](long lo, long hi, long& out) {
            if (i + 1 >= argc || !ParseNumber(argv[i + 1], lo, hi, out)) {
                std::fprintf(stderr, "tarvik-stand-sim: %s needs a number from %ld to %ld\n", arg.c_str(), lo, hi);
                return false;
            }
            ++i;
            return true;
        };
        long n = 0;
        if (arg == "--help" || arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (arg == "--link") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "tarvik-stand-sim: --link needs a path\n");
                return 2;
            }
            cl.Link = argv[++i];
        } else if (arg == "--baud") {
            if (!value(50, 100'000'000, n))
                return 2;
            cl.Baud = n;
        } else if (arg == "--unpaced") {
            cl.Unpaced = true;
        } else if (arg == "--pwrok-ms") {
            if (!value(0, 65535, n))
                return 2;
            cl.PwrOkMs = static_cast<int>(n);
        } else if (arg == "--split") {
            cl.Split = true;
        } else if (arg == "--junk") {
            cl.Junk = true;
        } else if (arg == "--malformed") {
            cl.Malformed = true;
        } else if (arg == "--error") {
            if (!value(0, 255, n))
                return 2;
            cl.ErrorCode = static_cast<int>(n);
        } else if (arg == "--hangup-after-frames") {
            if (!value(1, 100'000'000, n))
                return 2;
            cl.HangUpAfterFrames = static_cast<int>(n);
        } else if (arg == "--hangup-after-seconds") {
            if (!value(1, 1'000'000, n))
                return 2;
            cl.HangUpAfterSeconds = static_cast<int>(n);
        } else {
            std::fprintf(stderr, "tarvik-stand-sim: unknown option %s\n%s", arg.c_str(), Usage);
            return 2;
        }
    }
    return -1;
}

bool MakeLink(const std::string& link, const char* target)
{
    const QString path = QString::fromLocal8Bit(link.c_str());
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (::unlink(link.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "tarvik-stand-sim: cannot replace %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    if (::symlink(target, link.c_str()) != 0) {
        std::fprintf(stderr, "tarvik-stand-sim: cannot link %s: %s\n", link.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it still points at our device.
void RemoveLink(const std::string& link, const char* target)
{
    char buffer[4096];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n < 0)
        return;
    buffer[n] = '\0';
    if (std::strcmp(buffer, target) == 0)
        ::unlink(link.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    TCommandLine cl;
    const int parsed = ParseCommandLine(argc, argv, cl);
    if (parsed >= 0)
        return parsed;

    int master = -1, slave = -1;
    char device[4096] = {};
    if (::openpty(&master, &slave, device, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "tarvik-stand-sim: openpty: %s\n", std::strerror(errno));
        return 1;
    }
    // Raw line: no echo, no line editing, no CR/LF translation, 8 data bits.
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    // `slave` stays open for the whole run: without it the line would report a hang-up whenever
    // the program is not connected, and the program can disconnect and connect again.

    if (!cl.Link.empty() && !MakeLink(cl.Link, device)) {
        ::close(master);
        ::close(slave);
        return 1;
    }

    // SIGINT/SIGTERM/SIGHUP end the run; they are let through only while waiting in ppoll.
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGINT);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGHUP);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    struct sigaction action{};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);

    std::printf("%s\n", device);
    std::fflush(stdout);

    TStandSimulator::TOptions options;
    options.PwrOkOnMs = cl.PwrOkMs;
    options.Seed = static_cast<uint32_t>(NowNs());
    TStandSimulator stand(options);
    stand.Faults.SplitEvery = cl.Split ? SplitEvery : 0;
    stand.Faults.JunkEvery = cl.Junk ? JunkEvery : 0;
    stand.Faults.MalformedEvery = cl.Malformed ? MalformedEvery : 0;
    stand.Faults.ErrorCode = cl.ErrorCode;
    stand.Faults.HangUpAfterFrames = cl.HangUpAfterFrames;

    const int64_t started = NowNs();
    const int64_t hangUpAt = cl.HangUpAfterSeconds > 0 ? started + cl.HangUpAfterSeconds * 1'000'000'000LL : -1;
    const double nsPerByte = 10.0 * 1e9 / static_cast<double>(cl.Baud);
    QByteArray out;          // taken from the stand, not yet written
    int64_t nextChunkAt = started;
    int64_t lastWriteAt = started;
    int64_t lingerSince = -1;
    bool hangUp = false;

    while (!StopRequested) {
        const int64_t now = NowNs();
        if (hangUpAt >= 0 && now >= hangUpAt) {
            hangUp = true;
            break;
        }
        if (out.isEmpty() && now >= nextChunkAt && stand.HasOutput()) {
            bool piece = false;
            do {
                out += stand.NextChunk();
                piece = stand.PieceFollows();
            } while (cl.Unpaced && !piece && out.size() < UnpacedBlock && stand.HasOutput());
            if (!cl.Unpaced)
                nextChunkAt = std::max(nextChunkAt, now - PacingSlackNs) + static_cast<int64_t>(out.size() * nsPerByte);
            if (piece)
                nextChunkAt = std::max(nextChunkAt, now + PieceGapNs);
        }
        if (out.isEmpty() && stand.HungUp()) {
            // Let the program read what it was sent, then take the line away.
            if (lingerSince < 0)
                lingerSince = now;
            int queued = 0;
            ::ioctl(slave, FIONREAD, &queued);
            if ((now - lastWriteAt >= HangUpLingerMinNs && queued == 0) || now - lingerSince >= HangUpLingerMaxNs) {
                hangUp = true;
                break;
            }
        }

        // How long to wait: until the next chunk is due, a hang-up check, or forever.
        int64_t waitNs = -1;
        if (out.isEmpty() && stand.HasOutput())
            waitNs = std::max<int64_t>(0, nextChunkAt - now);
        if (lingerSince >= 0)
            waitNs = 20'000'000;
        if (hangUpAt >= 0)
            waitNs = waitNs < 0 ? hangUpAt - now : std::min(waitNs, hangUpAt - now);
        timespec timeout{};
        if (waitNs >= 0) {
            timeout.tv_sec = static_cast<time_t>(waitNs / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(waitNs % 1'000'000'000);
        }
        pollfd fd{master, static_cast<short>(POLLIN | (out.isEmpty() ? 0 : POLLOUT)), 0};
        const int ready = ::ppoll(&fd, 1, waitNs >= 0 ? &timeout : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            std::fprintf(stderr, "tarvik-stand-sim: poll: %s\n", std::strerror(errno));
            break;
        }
        if (fd.revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n > 0)
                stand.Receive(QByteArray(buffer, static_cast<int>(n)));
        }
        if ((fd.revents & POLLOUT) && !out.isEmpty()) {
            const ssize_t n = ::write(master, out.constData(), static_cast<size_t>(out.size()));
            if (n > 0) {
                out.remove(0, static_cast<int>(n));
                lastWriteAt = NowNs();
            }
        }
        if ((fd.revents & (POLLHUP | POLLERR)) && !(fd.revents & POLLIN)) {
            // Not expected while our own end of the line is open; do not spin if it happens.
            timespec pause{0, 20'000'000};
            ::nanosleep(&pause, nullptr);
        }
    }

    // Closing the master end is what the program sees as the line going away.
    ::close(master);
    ::close(slave);
    if (!cl.Link.empty())
        RemoveLink(cl.Link, device);
    if (hangUp)
        std::fprintf(stderr, "tarvik-stand-sim: line closed\n");
    return 0;
}
