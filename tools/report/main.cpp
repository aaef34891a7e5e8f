// tarvik-report: the verdicts, the PDF report and the CSV files of a result file, without a
// window, for production lines that archive every unit.
//   tarvik-report RESULT.dat [--pdf OUT.pdf] [--csv DIR] [--settings settings.ini]
// Exit code 0 when no verdict fails, 1 when one fails, 2 when the file cannot be read or the
// output cannot be written (the reason on stderr).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/ProgramState.h"
#include "report/CsvExport.h"
#include "report/TestReport.h"
#include "report/Verdicts.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

constexpr int AllPass = 0;
constexpr int SomeFail = 1;
constexpr int CannotRead = 2;

void Error(const QString& text) { std::fprintf(stderr, "tarvik-report: %s\n", qPrintable(text)); }

// Nobody is there to answer a dialog: messages go to stderr, questions and choosers are
// declined.
class TConsoleDialogs final : public TDialogs {
public:
    void ShowMessage(const QString& text) override { Error(text); }
    void ShowMessageBox(const QString& text, const QString&, TDialogIcon) override { Error(text); }
    bool AskYesNo(const QString& text, const QString&, TDialogIcon) override
    {
        Error(text);
        return false;
    }
    void ShowError(const QString& text, const QString&) override { Error(text); }
    bool ChooseOpenFile(TFileDialog&) override { return false; }
    bool ChooseSaveFile(TFileDialog&) override { return false; }
    bool ChooseFolder(QString&) override { return false; }
    bool ChooseColor(uint32_t&) override { return false; }
};

int Usage()
{
    std::fprintf(stderr, "usage: tarvik-report RESULT.dat [--pdf OUT.pdf] [--csv DIR] [--settings settings.ini]\n");
    return CannotRead;
}

void PrintRails(const char* title, const std::vector<TRailVerdict>& rails)
{
    std::printf("%s\n", title);
    for (const TRailVerdict& rail : rails)
        std::printf("  %-7s %-10s %s\n", qPrintable(rail.Rail),
                    rail.Worst ? qPrintable(QString::number(*rail.Worst, 'f', 2)) : "-",
                    qPrintable(VerdictText(rail.Verdict)));
}

} // namespace

int main(int argc, char** argv)
{
    // No window: the graphs are painted on an offscreen main window.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TConsoleDialogs console;
    InstallDialogs(&console);
    QStringList args = app.arguments().mid(1);
    QString input, pdf, csv, settings;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if ((arg == "--pdf" || arg == "--csv" || arg == "--settings") && !args.isEmpty()) {
            (arg == "--pdf" ? pdf : arg == "--csv" ? csv : settings) = args.takeFirst();
        } else if (!arg.startsWith("--") && input.isEmpty()) {
            input = arg;
        } else {
            return Usage();
        }
    }
    if (input.isEmpty())
        return Usage();

    // A program directory of its own: the configuration given (or the defaults), and nothing
    // written beside the tool.
    QTemporaryDir dir;
    if (!settings.isEmpty() && !QFile::copy(settings, dir.filePath("settings.ini"))) {
        Error(QStringLiteral("cannot read %1").arg(settings));
        return CannotRead;
    }
    SetAppDirForTests(dir.path());
    RegisterTahoma();
    TMForm form;
    form.show();

    const TResultFileReadResult read = ReadResultFile(input);
    if (read.Outcome == TResultFileRead::CannotOpen) {
        Error(QStringLiteral("cannot open %1: %2").arg(input, read.Reason));
        return CannotRead;
    }
    if (read.Outcome == TResultFileRead::Short)
        Error(QStringLiteral("warning: %1 is shorter than a result file (%2 bytes); only its complete blocks are used")
                  .arg(input)
                  .arg(ResultFileSize));

    TReportContent content = CollectReport(false);
    const TReportVerdicts& v = content.Verdicts;
    PrintRails("Voltage deviation, %", v.Deviation);
    PrintRails("Ripple, mV", v.Ripple);
    std::printf("PWR_OK on delay     %s\n", qPrintable(VerdictText(v.PwrOk)));
    std::printf("Efficiency level    %s %s\n",
                qPrintable(v.Efficiency.Level.isEmpty() ? QStringLiteral("-") : v.Efficiency.Level),
                qPrintable(VerdictText(v.Efficiency.Verdict)));

    try {
        if (!csv.isEmpty()) {
            if (!QDir().mkpath(csv)) {
                Error(QStringLiteral("cannot create %1").arg(csv));
                return CannotRead;
            }
            WriteCsvFiles(csv, ResultStore);
        }
        if (!pdf.isEmpty()) {
            content.Graphs = PaintReportGraphs();
            if (!WriteReportPdf(pdf, content)) {
                Error(QStringLiteral("cannot write %1").arg(pdf));
                return CannotRead;
            }
        }
    } catch (const Exception& e) {
        Error(e.Message);
        return CannotRead;
    }
    return v.AnyFailure() ? SomeFail : AllPass;
}
