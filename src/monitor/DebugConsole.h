#pragma once
// The "Debug" page: received traffic in the memo, text injected as if the stand had sent it,
// and any text sent to the stand as typed.

// The memo's line limit and the feed that fills it are in link/DebugFeed.h.
#include "link/DebugFeed.h"

// "Receive" (or Enter in its field): the field's text takes the whole receive path.
void bDebugReceiveClick();
// "Send" (or Enter in its field): the field's text goes to the port unchanged.
void bDebugSendClick();
// "<- Clear": empties the memo (the log file keeps its lines).
void AdvGlowButton1Click();
