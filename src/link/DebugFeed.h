#pragma once
// The debug memo's feed: every line of traffic the link shows on the "Debug" page goes through
// here. Laying out the memo one appended line at a time costs far more than the rest of the
// receive path, so lines wait here and reach the memo together: at the end of each received
// chunk, before any dialog opens, and at least every FeedIntervalMs while a long chunk is being
// dispatched (so a memo on show keeps moving). The memo receives every line, in order.

#include <QString>

// The memo keeps this many of the most recent lines (the log file keeps them all): a whole
// cross-load run's traffic, so an operator can still read back through a run, while a program
// left connected for a shift does not fill the memory.
constexpr int DebugMemoLineLimit = 50000;

// The longest a line waits for the memo while text keeps arriving.
constexpr int FeedIntervalMs = 100;

// Queues one line for the memo.
void AppendDebugLine(const QString& line);

// Hands every waiting line to the memo at once.
void FlushDebugLines();

// Empties the memo, waiting lines included.
void ClearDebugMemo();

// How many lines wait for the memo now (never as many as the memo keeps).
int WaitingDebugLines();
