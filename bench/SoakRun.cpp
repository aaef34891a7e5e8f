// A shift in a few minutes: the real window (offscreen) connected to the simulated stand over a
// pseudo-terminal, polled until it has answered as many polls as an hour at the default 100 ms
// interval brings (polled faster, the stand unpaced), then one full run of each of the four
// stand-run tests started from its button, then polled again. Prints the process's resident
// memory at the start, once the bounded buffers are full (the debug memo holds its 50,000
// lines), along the way and at the end, and whether anything went wrong (a dialog, a run that did
// not end). Exits 1 when something went wrong; memory is for reading.
//   bench_soak [polls]   (default 36000: an hour of polling at 100 ms)

#include <QApplication>
#include <QPlainTextEdit>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchSupport.h"
#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "monitor/DebugConsole.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

// Nobody sits at the window: every dialog is written down and answered "No" / cancelled.
class TUnattendedDialogs final : public TDialogs {
public:
    QStringList Seen;
    void ShowMessage(const QString& text) override { Seen << text; }
    void ShowMessageBox(const QString& text, const QString&, TDialogIcon) override { Seen << text; }
    bool AskYesNo(const QString& text, const QString&, TDialogIcon) override
    {
        Seen << text;
        return false;
    }
    void ShowError(const QString& text, const QString&) override { Seen << text; }
    bool ChooseOpenFile(TFileDialog&) override { return false; }
    bool ChooseSaveFile(TFileDialog&) override { return false; }
    bool ChooseFolder(QString&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
};

QString Kb(long kb)
{
    QString digits = QString::number(kb);
    for (int at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u',');
    return digits + QStringLiteral(" KiB");
}

void Report(const char* when, long kb)
{
    std::printf("soak: %-44s %12s\n", when, qPrintable(Kb(kb)));
    std::fflush(stdout);
}

// The live-reading answers (17 frames each) dispatched so far.
uint64_t Answers(uint64_t framesAtStart) { return (DispatchedFrames - framesAtStart) / 17; }

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RegisterTahoma();
    const uint64_t polls = argc > 1 ? std::max(1000, atoi(argv[1])) : 36000;
    bool failed = false;

    QTemporaryDir dir;
    SetAppDirForTests(dir.path());
    // Polled every 5 ms: the stand answers a poll in well under that when unpaced.
    WriteSettings(dir.path(), {"[General]", "GVTimeout=5", "EFC_PFC_Test=1", "[ATS]", "l_max_power=300",
                               "h_max_power=1200", "t_max_power=1500", "rails_12V=2", "psu_type=0", "steps=200",
                               "power_5vstb=15"});
    TSimulatorProcess simulator;
    if (simulator.Start({"--unpaced", "--link", dir.path() + "/dev/COM1"}).isEmpty()) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    TUnattendedDialogs dialogs;
    InstallDialogs(&dialogs);
    TMForm form;
    form.show();
    form.bConnect->click();
    if (!WaitFor([] { return StandIdentified; }, 5000)) {
        std::fprintf(stderr, "the simulated stand did not answer\n");
        return 1;
    }
    form.bPSUON->click();
    WaitFor([] { return false; }, 500);
    std::printf("soak: %llu polls (an hour at 100 ms is 36,000), then the four stand runs, then %llu more\n",
                static_cast<unsigned long long>(polls), static_cast<unsigned long long>(polls / 10));
    Report("start (connected, supply on)", CurrentMemoryKb());

    long warm = 0;  // once the memo is full
    const auto poll = [&](uint64_t count, bool reportFull) {
        const uint64_t frames = DispatchedFrames;
        bool fullSeen = !reportFull || warm > 0;
        uint64_t nextReport = count / 4;
        const int64_t started = MonotonicNs();
        while (Answers(frames) < count) {
            if (!WaitFor([&] { return Answers(frames) >= count; }, 2000) &&
                MonotonicNs() - started > int64_t(count) * 20'000'000) {
                std::printf("soak: the polls stopped being answered\n");
                failed = true;
                return;
            }
            if (!fullSeen && form.DebugMemo->blockCount() >= DebugMemoLineLimit) {
                fullSeen = true;
                warm = CurrentMemoryKb();
                Report("memo full (warm)", warm);
            }
            if (reportFull && Answers(frames) >= nextReport && nextReport < count) {
                const QString when = QStringLiteral("after %1 polls").arg(nextReport);
                Report(qPrintable(when), CurrentMemoryKb());
                nextReport += count / 4;
            }
        }
    };
    poll(polls, true);
    const long afterPolls = CurrentMemoryKb();
    Report("after the polls", afterPolls);

    struct TRun {
        const char* Name;
        QPushButton* Start;
        QString Status;  // how the status bar names the run
    };
    for (const TRun& run : {TRun{"cross-load run", form.bATStart, "KHX"}, TRun{"efficiency run", form.bStartPFC, "PFC"},
                            TRun{"noise run", form.bStartNoise, "Noise"},
                            TRun{"+5Vstb run", form.bSTStart, "+5Vstb"}}) {
        // The status bar says "<run>: N points in m:ss" once the run's end frame is in.
        const auto ended = [&] {
            const QString status = form.StatusPanel[0]->text();
            return status.startsWith(run.Status + QStringLiteral(": ")) && status.contains(QStringLiteral(" in "));
        };
        run.Start->click();
        if (!WaitFor(ended, 600000)) {
            std::printf("soak: the %s did not end\n", run.Name);
            failed = true;
        }
        Report(qPrintable(QStringLiteral("after the %1").arg(run.Name)), CurrentMemoryKb());
    }
    poll(polls / 10, false);
    const long end = CurrentMemoryKb();
    Report("end", end);
    if (warm > 0)
        std::printf("soak: growth from the full memo to the end: %+ld KiB\n", end - warm);
    std::printf("soak: growth from after the polls to the end: %+ld KiB; peak %s; %llu frames dispatched\n",
                end - afterPolls, qPrintable(Kb(PeakMemoryKb())), static_cast<unsigned long long>(DispatchedFrames));
    if (!dialogs.Seen.isEmpty()) {
        std::printf("soak: %lld dialogs appeared, the first: %s\n", static_cast<long long>(dialogs.Seen.size()),
                    qPrintable(dialogs.Seen.first()));
        failed = true;
    }
    form.bDisconnect->click();
    InstallDialogs(nullptr);
    std::printf("soak: %s\n", failed ? "FAILED" : "passed");
    return failed ? 1 : 0;
}
