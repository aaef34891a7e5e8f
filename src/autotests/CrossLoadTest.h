#pragma once
// The cross-load ("KHX") map: the stand loads the +3.3V/+5V group and the +12V group in
// 60 x 200 steps and reports every rail's voltage and current at each point. Live polling
// pauses while it runs.

struct TParsedCommand;

// "Start KHX": ATEdit1..ATEdit5 must be filled; the marks go to FAIL and "!ATS;...;#" is sent.
void bATStartClick();

// "AT": the run has started.
void CrossLoadStarted();
// "G": one load point, voltage and current of each channel in order, stopping at the first
// channel whose numbers do not convert. A point number that is not a number fails.
void StoreCrossLoadPoint(const TParsedCommand& p);
// "ATE": the run has ended; the graph on show is painted again.
void CrossLoadEnded();
