#pragma once
// The noise map: the ripple of every load channel in millivolts over the cross-load test's
// 60 x 200 load points. Live polling goes on while it runs.

struct TParsedCommand;

// "Start Noise": ATEdit1..ATEdit5 must be filled; the marks go to FAIL and "!NTS;...;#" is sent.
void bStartNoiseClick();

// "NTS": the run has started.
void NoiseStarted();
// "N": one load point, the noise of each channel in order (low 16 bits), stopping at the first
// value that does not convert. A point number that is not a number fails.
void StoreNoisePoint(const TParsedCommand& p);
// "NTE": the run has ended; the graph on show is painted again.
void NoiseEnded();
