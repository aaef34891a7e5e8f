#pragma once
// The +5Vstb run: the stand loads the standby rail in steps and reports its voltage and
// current at each. No frame acknowledges its start, so its buttons never change. Live
// polling goes on.

struct TParsedCommand;

// "Start +5Vstb": ATEdit7 and ATEdit6 must be filled; the marks go to FAIL and
// "!STS;...;#" is sent.
void bSTStartClick();

// "S": one step, stored only when both its voltage and its current convert. A step number
// that is not a number fails.
void StoreStandbyPoint(const TParsedCommand& p);
// "STE": the run has ended; the graph on show is painted again.
void StandbyEnded();
