// The receive path the debug console's "Receive" takes (ProcessReceivedText), given a whole
// cross-load run's traffic (the simulated stand's 12,002 frames, 8 rails) as one text, against
// the same frames in pieces of 4 KB. The field itself holds at most 32,767 characters, so the
// text goes to the path directly; a port that delivers a run at once does the same. The window
// is shown, the Debug page hidden (as by default). Prints figures; never fails on time.
//   bench_receive [runs]

#include <QApplication>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "StandSimulator.h"
#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "monitor/DebugConsole.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

QString CrossLoadTraffic()
{
    TStandSimulator stand;
    stand.Receive("!!!;#");
    stand.TakeOutput();
    stand.Receive("!ATS;0200;1200;1400;8;0;#");
    return QString::fromLatin1(stand.TakeOutput());
}

// Receives the pieces in order, from an empty memo; milliseconds.
double ReceiveInPieces(const QStringList& pieces)
{
    ClearResults();
    AdvGlowButton1Click();
    const int64_t start = MonotonicNs();
    for (const QString& piece : pieces)
        GuardEvent([&piece] { ProcessReceivedText(piece); });
    return (MonotonicNs() - start) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterTahoma();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    TMForm form;
    form.show();
    const QString traffic = CrossLoadTraffic();
    QStringList pieces;
    for (qsizetype at = 0; at < traffic.size(); at += 4096)
        pieces << traffic.mid(at, 4096);

    std::vector<double> whole, inPieces;
    for (int run = 0; run < runs; ++run) {
        const uint64_t before = DispatchedFrames;
        whole.push_back(ReceiveInPieces({traffic}));
        const uint64_t frames = DispatchedFrames - before;
        inPieces.push_back(ReceiveInPieces(pieces));
        if (frames != DispatchedFrames - before - frames) {
            std::fprintf(stderr, "the two ways dispatched different frames\n");
            return 1;
        }
    }
    std::printf("Receive: %lld characters, %lld memo lines: one piece %.1f ms, %lld pieces of 4 KB %.1f ms\n",
                static_cast<long long>(traffic.size()), static_cast<long long>(form.DebugMemo->blockCount()),
                Median(whole), static_cast<long long>(pieces.size()), Median(inPieces));
    Figure("receive_bytes", double(traffic.size()));
    Figure("receive_whole_ms", Median(whole));
    Figure("receive_pieces_ms", Median(inPieces));
    Figure("receive_peak_kb", PeakMemoryKb());
    return 0;
}
