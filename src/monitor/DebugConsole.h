#pragma once
// The "Debug" page: received traffic in the memo, text injected as if the stand had sent it,
// and any text sent to the stand as typed.

// The memo keeps this many of the most recent lines (the log file keeps them all): a whole
// cross-load run's traffic, so an operator can still read back through a run, while a program
// left connected for a shift does not fill the memory.
constexpr int DebugMemoLineLimit = 50000;

// "Receive" (or Enter in its field): the field's text takes the whole receive path.
void bDebugReceiveClick();
// "Send" (or Enter in its field): the field's text goes to the port unchanged.
void bDebugSendClick();
// "<- Clear": empties the memo (the log file keeps its lines).
void AdvGlowButton1Click();
