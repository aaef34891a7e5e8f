// Start-up to the first shown window, and the memory of the process then: either the program
// (what main.cpp does: the Tahoma fonts, the main window, show) or an empty Qt window of the
// same size. The time runs from `since`, the monotonic clock of the process that started
// this one just before it did (bench_suite passes it), to the end of the window's first
// paint. Prints figures; never fails on time.
//   bench_startup program|empty|text [since-ns]
//     text: the empty window with one line of text in the program's font: what makes Qt load
//           the fonts (fontconfig) at start-up, which a window without text never does

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>
#include <memory>

#include "BenchReport.h"
#include "BenchSupport.h"
#include "core/ProgramState.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

// Ends the event loop once the first paint of `window` is done, and reports.
class TFirstPaint : public QObject {
public:
    TFirstPaint(QWidget* window, int64_t since) : Since(since) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !Seen) {
            Seen = true;
            watched->removeEventFilter(this);
            // Queued behind the paint, so it runs when the window's contents are out.
            QTimer::singleShot(0, this, [this] {
                Figure("startup_ms", (MonotonicNs() - Since) / 1e6);
                Figure("startup_peak_kb", PeakMemoryKb());
                QCoreApplication::exit(0);  // quit() would ask the windows to close
            });
        }
        return false;
    }

private:
    int64_t Since;
    bool Seen = false;
};

} // namespace

int main(int argc, char** argv)
{
    const int64_t since = argc > 2 ? std::atoll(argv[2]) : MonotonicNs();
    const bool program = argc < 2 || (std::strcmp(argv[1], "empty") != 0 && std::strcmp(argv[1], "text") != 0);
    const bool text = argc >= 2 && std::strcmp(argv[1], "text") == 0;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;  // a program directory without settings.ini: the default configuration
    std::unique_ptr<QWidget> window;
    if (program) {
        SetAppDirForTests(dir.path());
        RegisterTahoma();
        window = std::make_unique<TMForm>();
    } else {
        window = std::make_unique<QWidget>();
        window->resize(TMForm::ClientWidth, TMForm::ClientHeight + 21);  // the main window's size
        if (text) {
            RegisterTahoma();
            window->setFont(QFont(QStringLiteral("Tahoma"), 8));
            (new QLabel(QStringLiteral("Connected"), window.get()))->move(8, 8);
        }
    }
    TFirstPaint firstPaint(window.get(), since);
    window->show();
    return app.exec();
}
