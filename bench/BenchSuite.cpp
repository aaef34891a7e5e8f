// Runs every benchmark, each in a process of its own, side by side in one run, and prints one
// table (Markdown) of the program against what bounds it: the bare event loop, `cat`, an empty
// Qt window, the goals. The benchmarks' own lines are shown as they finish. Never fails on
// time; exits non-zero only when a benchmark could not run.
//   bench_suite [--quick]   (--quick: fewer repetitions)

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QSysInfo>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <vector>

#include "BenchReport.h"
#include "BenchSupport.h"

namespace {

using TFigures = QMap<QString, double>;

QString BenchDir;
bool Failed = false;

// Runs one benchmark and returns its figures; its other lines are echoed, indented.
TFigures Run(const QString& name, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    std::printf("-- %s %s\n", qPrintable(name), qPrintable(arguments.join(u' ')));
    std::fflush(stdout);
    process.start(BenchDir + u'/' + name, arguments);
    TFigures figures;
    if (!process.waitForStarted(10000) || !process.waitForFinished(900000) || process.exitCode() != 0) {
        std::printf("   %s failed\n", qPrintable(name));
        Failed = true;
        return figures;
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.startsWith("= ")) {
            const QList<QByteArray> parts = line.mid(2).split(' ');
            if (parts.size() == 2)
                figures[QString::fromLatin1(parts[0])] = parts[1].toDouble();
        } else if (!line.isEmpty() && !line.startsWith("QStandardPaths")) {
            std::printf("   %s\n", line.constData());
        }
    }
    return figures;
}

// Start-up of the program against the empty window, `times` each, alternating, so a busy
// moment of the machine falls on both.
void RunStartups(int times, std::vector<double>& program, std::vector<double>& empty, std::vector<double>& emptyKb,
                 std::vector<double>& programKb, std::vector<double>& text)
{
    std::printf("-- bench_startup program|empty|text, %d times each\n", times);
    std::fflush(stdout);
    for (int n = 0; n < times; ++n) {
        for (const char* which : {"empty", "text", "program"}) {
            QProcess process;
            process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const int64_t since = MonotonicNs();
            process.start(BenchDir + QStringLiteral("/bench_startup"), {which, QString::number(since)});
            if (!process.waitForFinished(60000) || process.exitCode() != 0) {
                Failed = true;
                continue;
            }
            TFigures f;
            for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
                if (line.startsWith("= ")) {
                    const QList<QByteArray> parts = line.mid(2).split(' ');
                    if (parts.size() == 2)
                        f[QString::fromLatin1(parts[0])] = parts[1].toDouble();
                }
            const bool isEmpty = which[0] == 'e';
            if (which[0] == 't') {
                text.push_back(f.value(QStringLiteral("startup_ms")));
                continue;
            }
            (isEmpty ? empty : program).push_back(f.value(QStringLiteral("startup_ms")));
            (isEmpty ? emptyKb : programKb).push_back(f.value(QStringLiteral("startup_peak_kb")));
        }
    }
}

QString Ms(double ms) { return ms >= 100 ? QString::number(ms, 'f', 0) + " ms" : QString::number(ms, 'f', ms >= 10 ? 1 : 2) + " ms"; }
QString Times(double ratio) { return QString::number(ratio, 'f', ratio >= 10 ? 0 : ratio >= 2 ? 1 : 2) + " ×"; }
QString MiB(double kb) { return QString::number(kb / 1024, 'f', 1) + " MiB"; }
QString Grouped(double n)
{
    QString digits = QString::number(std::llround(n));
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits;
}
QString Met(bool met) { return met ? QStringLiteral("met") : QStringLiteral("**not met**"); }

QStringList Rows;
void Row(const QString& what, const QString& program, const QString& beside, const QString& ratio, const QString& goal,
         const QString& met)
{
    Rows << QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 |").arg(what, program, beside, ratio, goal, met);
}

QString FirstLine(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(key.toLatin1())) {
            const int colon = line.indexOf(':');
            return QString::fromLatin1(line.mid(colon + 1)).simplified();
        }
    return {};
}

void StreamRows(const TFigures& f, const QString& key, const QString& name, const QString& goal, double goalRatio)
{
    const double ms = f.value(key + "_ms"), floor = f.value("floor_ms"), cat = f.value("cat_" + key + "_ms");
    const double frames = f.value(key + "_frames"), bytes = f.value(key + "_bytes");
    QString beside = QStringLiteral("floor %1").arg(Ms(floor));
    QString ratio = QStringLiteral("%1 floor").arg(Times(ms / floor));
    if (cat > 0) {
        beside += QStringLiteral(", cat %1").arg(Ms(cat));
        ratio += QStringLiteral(", %1 cat").arg(Times(ms / cat));
    }
    Row(QStringLiteral("%1: %2 frames, %3 MB").arg(name, Grouped(frames), QString::number(bytes / 1e6, 'f', 2)),
        QStringLiteral("%1 (%2 frames/s)").arg(Ms(ms), Grouped(frames / ms * 1000)), beside, ratio, goal,
        goalRatio > 0 ? Met(ms <= goalRatio * floor) : QStringLiteral("–"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    BenchDir = QCoreApplication::applicationDirPath();
    const bool quick = argc > 1 && QByteArray(argv[1]) == "--quick";
    const QString started = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QString load = FirstLine(QStringLiteral("/proc/loadavg"), QString()).section(u' ', 0, 2);

    std::vector<double> startProgram, startEmpty, emptyKb, programKb, startText;
    RunStartups(quick ? 5 : 15, startProgram, startEmpty, emptyKb, programKb, startText);
    const TFigures link = Run(QStringLiteral("bench_link"), {quick ? "2" : "5"});
    const TFigures logged = Run(QStringLiteral("bench_link"), {quick ? "1" : "3", "--log", "--quick"});
    const TFigures shown = Run(QStringLiteral("bench_link"), {quick ? "1" : "3", "--debug-shown", "--quick"});
    const TFigures poll = Run(QStringLiteral("bench_poll"), {quick ? "5" : "20"});
    const TFigures receive = Run(QStringLiteral("bench_receive"), {quick ? "1" : "3"});
    const TFigures graphs = Run(QStringLiteral("bench_graphs"), {quick ? "5" : "20"});
    const TFigures file = Run(QStringLiteral("bench_resultfile"), {quick ? "10" : "50"});

    StreamRows(link, "crossload", "Cross-load run, unpaced, through port, framing, dispatcher, window", "≤ 3 × floor", 3);
    StreamRows(link, "noise", "Noise run, unpaced", "≤ 3 × floor", 3);
    StreamRows(link, "live", "Live readings at the stand's highest rate (706 polls at once)", "≤ 3 × floor", 3);
    StreamRows(logged, "crossload", "Cross-load run with the log written", "–", 0);
    StreamRows(shown, "crossload", "Cross-load run with the Debug page shown", "–", 0);
    {
        const double cpu = poll.value("poll_cpu_percent");
        Row(QStringLiteral("Live readings at a %1 ms poll, all channels changing (%2 answers/s)")
                .arg(poll.value("poll_interval_ms"))
                .arg(poll.value("poll_answers_per_s"), 0, 'f', 1),
            QStringLiteral("%1 % of one core").arg(cpu, 0, 'f', 2), "–", "–", "≤ 2 %", Met(cpu <= 2));
    }
    {
        const double whole = receive.value("receive_whole_ms"), pieces = receive.value("receive_pieces_ms");
        Row(QStringLiteral("Receive: one %1 MB text against the same in 4 KB pieces")
                .arg(receive.value("receive_bytes") / 1e6, 0, 'f', 2),
            Ms(whole), QStringLiteral("4 KB pieces %1").arg(Ms(pieces)), Times(whole / pieces), "≤ 2 ×",
            Met(whole <= 2 * pieces));
    }
    const struct {
        const char* Key;
        const char* Name;
    } paints[] = {{"graph_crossload_ms", "Paint: cross-load map, 12,000 cells"}, {"graph_summary_ms", "Paint: +12V summary map"},
                  {"graph_noise_ms", "Paint: noise map"},           {"graph_efficiency_ms", "Paint: PFC / efficiency graph"},
                  {"graph_fan_ms", "Paint: temperature / fan graph"}, {"graph_standby_ms", "Paint: +5Vstb graph"}};
    for (const auto& paint : paints) {
        const double ms = graphs.value(paint.Key);
        const bool map = QByteArray(paint.Key) == "graph_crossload_ms";
        Row(QString::fromUtf8(paint.Name) + " (no 100 ms wait)", Ms(ms), "–", "–", map ? "≤ 5 ms" : "–",
            map ? Met(ms <= 5) : QStringLiteral("–"));
    }
    for (const char* key : {"save", "load"}) {
        const double ms = file.value(QString::fromLatin1(key) + "_ms");
        Row(QStringLiteral("Result file %1 (1,323,754 bytes)").arg(QString::fromLatin1(key)), Ms(ms), "–", "–",
            "≤ 5 ms", Met(ms <= 5));
    }
    {
        const double program = Median(startProgram), empty = Median(startEmpty);
        Row(QStringLiteral("Start-up to the first shown window"), Ms(program),
            QStringLiteral("empty Qt window %1").arg(Ms(empty)), Times(program / empty), "≤ 1.3 ×",
            Met(program <= 1.3 * empty));
        const double text = Median(startText);
        Row(QStringLiteral("Start-up of the empty window with one line of text (fonts loaded)"), Ms(text),
            QStringLiteral("empty Qt window %1").arg(Ms(empty)), Times(text / empty), "–", "–");
        Row(QStringLiteral("Start-up to the first shown window, against the window with one line of text"),
            Ms(program), QStringLiteral("one line of text %1").arg(Ms(text)), Times(program / text), "–", "–");
    }
    {
        const double empty = Median(emptyKb), bitmaps = link.value("bitmaps_kb");
        const double allowed = empty + bitmaps + 10 * 1024;
        const QString beside = QStringLiteral("empty window %1 + bitmaps %2").arg(MiB(empty), MiB(bitmaps));
        for (const auto& [key, name] : {std::pair{"memory_peak_kb", "Peak memory during the streamed runs"},
                                        std::pair{"memory_after_kb", "Memory after the streamed runs"}}) {
            const double kb = link.value(key);
            Row(QString::fromLatin1(name), MiB(kb), beside,
                QStringLiteral("%1 over").arg(MiB(kb - empty - bitmaps)), "≤ 10 MiB over", Met(kb <= allowed));
        }
    }

    const QString cpu = FirstLine(QStringLiteral("/proc/cpuinfo"), QStringLiteral("model name"));
    const double memory = FirstLine(QStringLiteral("/proc/meminfo"), QStringLiteral("MemTotal")).section(u' ', 0, 0).toDouble();
    std::printf("\n%s: %s, %d cores, %.1f GiB, %s %s, Qt %s, %s build, platform %s, load average %s at start\n\n",
                qPrintable(started), qPrintable(cpu), QThread::idealThreadCount(), memory / 1024 / 1024,
                qPrintable(QSysInfo::prettyProductName()), qPrintable(QSysInfo::kernelVersion()), qVersion(),
                TARVIK_BUILD_TYPE, qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "offscreen"
                                                                               : qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(load));
    std::printf("| Case | Program | Beside it | Ratio | Goal | |\n|---|---|---|---|---|---|\n");
    for (const QString& row : Rows)
        std::printf("%s\n", row.toUtf8().constData());
    return Failed ? 1 : 0;
}
