#include "link/DebugFeed.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/MainForm.h"

namespace {
QString Waiting;          // the waiting lines, joined by '\n' as the memo's blocks would be
int WaitingLines = 0;
QElapsedTimer SinceFlush;

// Takes out the oldest lines beyond DebugMemoLineLimit in one edit. The selection is made by
// position: moving a cursor block by block would lay out every line on the way.
void TrimToLimit(QTextDocument& document)
{
    const int excess = document.blockCount() - DebugMemoLineLimit;
    if (excess <= 0)
        return;
    QTextCursor cursor(&document);
    cursor.setPosition(document.findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
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
    if (MForm) {
        QPlainTextEdit& memo = *MForm->DebugMemo;
        memo.appendPlainText(text);
        TrimToLimit(*memo.document());
    }
}

void ClearDebugMemo()
{
    Waiting.clear();
    WaitingLines = 0;
    if (MForm)
        MForm->DebugMemo->clear();
}

int WaitingDebugLines() { return WaitingLines; }
