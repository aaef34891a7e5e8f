// Any bytes as text from the stand, in chunks, through the receive path of a real main window
// (offscreen, never shown, so no paint is queued): ProcessReceivedText cuts the frames and
// DispatchFrame acts on each, with the event-loop pass after every frame. Dialogs go to the
// tests' recorder.
//
// The input is a run of chunks. A byte 0xFF ends a chunk that the port's notification hands
// over; a byte 0xFE ends a chunk that is posted instead and so arrives from inside the event
// loop while the next chunk is being dispatched, as the debug console's "Receive" button can.
// Those two byte values therefore never reach the program; every other value does.
//
// Between inputs the link, the readings, the results, the test buttons, the memo and the
// recorded dialogs go back to their start; the window itself is made once (making it costs
// far more than an input). The memo keeps every line it is given, but its text is never laid
// out for display: laying out one line per frame costs more than all the rest of the receive
// path, and a window nobody sees needs no layout.

#include <QCoreApplication>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <memory>

#include "FuzzTarget.h"
#include "ProgramFixture.h"
#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/Connection.h"
#include "ui/MainForm.h"

namespace {

// The memo's layout, without the layout work.
class TUnlaidLayout final : public QPlainTextDocumentLayout {
public:
    using QPlainTextDocumentLayout::QPlainTextDocumentLayout;
    void documentChanged(int, int, int) override {}
};

void UnlayMemo(QPlainTextEdit& memo)
{
    auto* document = new QTextDocument(&memo);
    document->setDocumentLayout(new TUnlaidLayout(document));
    document->setMaximumBlockCount(memo.document()->maximumBlockCount());
    document->setDefaultFont(memo.document()->defaultFont());
    document->setUndoRedoEnabled(memo.document()->isUndoRedoEnabled());
    memo.setDocument(document);
}

struct TReceiveBench {
    TProgramFixture Program;
    std::unique_ptr<TMForm> Form;
};
// Made on first use and released only by the replay test: at the fuzzer's exit the program's
// own statics may already be gone.
TReceiveBench* Bench = nullptr;
int PostedChunks = 0;  // posted, not yet received

TMForm& Window()
{
    EnsureFuzzApplication();
    if (!Bench) {
        Bench = new TReceiveBench;
        Bench->Form = std::make_unique<TMForm>();
        Bench->Form->setUpdatesEnabled(false);  // never painted
        UnlayMemo(*Bench->Form->DebugMemo);
    }
    return *Bench->Form;
}

void ReturnToStart(TMForm& form)
{
    Disconnect();
    form.PSUOnTimer->stop();
    ChannelReadings = TChannelReadings{};
    CrossLoadRunning = false;
    PsuOnSeconds = 0;
    ReceiveBuffer.clear();
    ClearResults();
    for (QPushButton* start : {form.bATStart, form.bStartNoise, form.bSTStart, form.bStartPFC})
        start->setEnabled(true);
    for (QPushButton* stop : {form.bATStop, form.bStopNoise, form.bSTStop, form.bStopPFC})
        stop->setEnabled(false);
    form.DebugMemo->clear();
    Bench->Program.Dialogs.Calls.clear();
}

// The port's notification guards its handler the same way.
void Receive(const QString& chunk)
{
    GuardEvent([&chunk] { ProcessReceivedText(chunk); });
}

// The only dialogs the receive path may open: a field that is no number, and the polling
// timer's frame on the closed port (a "REP" starts polling; nothing is connected here).
void CheckDialogs()
{
    static const QRegularExpression expected(
        QStringLiteral("^'.*' is not a valid (integer|floating point) value\\.$|^Can't perform this operation on a closed port\\.$"),
        QRegularExpression::DotMatchesEverythingOption);
    for (const TDialogCall& call : Bench->Program.Dialogs.Calls)
        FUZZ_CHECK(call.Kind == QLatin1String("Error") && expected.match(call.Text).hasMatch(),
                  "unexpected dialog: " + call.Describe());
}

} // namespace

TARVIK_FUZZ_TARGET(receive)
{
    TMForm& form = Window();
    ReturnToStart(form);

    const char* bytes = reinterpret_cast<const char*>(data);
    size_t begin = 0;
    for (size_t i = 0; i <= size; ++i) {
        const bool end = i == size;
        const unsigned char c = end ? 0 : static_cast<unsigned char>(bytes[i]);
        if (!end && c != 0xFF && c != 0xFE)
            continue;
        const QString chunk = QString::fromLatin1(bytes + begin, static_cast<qsizetype>(i - begin));
        if (!end && c == 0xFE) {
            ++PostedChunks;
            QTimer::singleShot(0, [chunk] {
                --PostedChunks;
                Receive(chunk);
            });
        } else {
            Receive(chunk);
        }
        begin = i + 1;
        FUZZ_CHECK(ReceiveBuffer.size() <= ReceiveBufferLimit, "ReceiveBuffer beyond its limit");
    }
    // Chunks still posted arrive now, before the next input starts from scratch.
    for (int pass = 0; PostedChunks > 0 && pass < 1000; ++pass)
        QCoreApplication::processEvents();
    FUZZ_CHECK(PostedChunks == 0, "posted chunks never arrived");
    FUZZ_CHECK(ReceiveBuffer.size() <= ReceiveBufferLimit, "ReceiveBuffer beyond its limit");
    CheckDialogs();
}

TARVIK_FUZZ_RELEASE(receive)
{
    if (Bench) {
        Bench->Form.reset();
        delete Bench;
        Bench = nullptr;
    }
}
