#pragma once
// What the benchmarks share: waiting on the event loop, the clock and memory of the process,
// the simulated stand as a process of its own, and a program directory with a chosen
// settings.ini.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

// Runs the event loop until `done` holds or `ms` pass; false on time-out. `done` is looked
// at about every millisecond.
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

// The system-wide monotonic clock, comparable between processes.
inline int64_t MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// CPU time (user + system) this process has used so far.
inline double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The most resident memory this process has had, in KiB.
inline long PeakMemoryKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The resident memory now, in KiB.
inline long CurrentMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Writes settings.ini into the program directory `dir` (lines joined with CR LF).
inline void WriteSettings(const QString& dir, const QStringList& lines)
{
    QFile file(dir + QStringLiteral("/settings.ini"));
    if (file.open(QIODevice::WriteOnly))
        file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());
}

#ifdef TARVIK_STAND_SIM
// The simulated stand as its own process. Start returns the pseudo-terminal it plays on, or
// an empty text when it did not start.
class TSimulatorProcess {
public:
    ~TSimulatorProcess()
    {
        if (Process.state() != QProcess::NotRunning) {
            Process.terminate();
            Process.waitForFinished(5000);
        }
    }
    QString Start(const QStringList& arguments)
    {
        Process.start(QStringLiteral(TARVIK_STAND_SIM), arguments);
        if (!Process.waitForStarted(5000))
            return {};
        while (!Process.canReadLine())
            if (!Process.waitForReadyRead(5000))
                return {};
        return QString::fromLocal8Bit(Process.readLine()).trimmed();
    }

private:
    QProcess Process;
};
#endif
