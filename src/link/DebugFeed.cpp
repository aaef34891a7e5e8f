#include "link/DebugFeed.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>

#include "ui/MainForm.h"

namespace {
QString Waiting;          // the waiting lines, joined by '\n' as the memo's blocks would be
int WaitingLines = 0;
QElapsedTimer SinceFlush;
} // namespace

void AppendDebugLine(const QString& line)
{
    if (WaitingLines > 0)
        Waiting += u'\n';
    Waiting += line;
    ++WaitingLines;
    if (!SinceFlush.isValid())
        SinceFlush.start();
    // The memo keeps no more than its limit anyway; beyond that waiting only costs memory.
    if (WaitingLines >= DebugMemoLineLimit || SinceFlush.elapsed() >= FeedIntervalMs)
        FlushDebugLines();
}

void FlushDebugLines()
{
    SinceFlush.start();
    if (WaitingLines == 0)
        return;
    // Taken first: the memo may run the event loop, and text arriving then queues anew.
    const QString text = std::exchange(Waiting, QString());
    WaitingLines = 0;
    if (MForm)
        MForm->DebugMemo->appendPlainText(text);
}

void ClearDebugMemo()
{
    Waiting.clear();
    WaitingLines = 0;
    if (MForm)
        MForm->DebugMemo->clear();
}
