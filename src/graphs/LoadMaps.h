#pragma once
// The three kinds of load map: one dot per point of the 60 x 200 load plane of the cross-load
// and noise tests, row 1 (the lightest +3.3V/+5V load) at the bottom, column 1 (the lightest
// +12V load) at the left.

// Cross-load map of load channel n (1..11, also its image number): each point coloured by the
// deviation of the channel's voltage from nominal; points without a measurement (0 V) in the
// background colour.
void PaintCrossLoadMap(int channel);

// +12V summary map (image 25): each point coloured by the deviation from 12 V of the +12V
// voltages above 2.0 V summed and divided by the rail count K of the front panel ("12V
// rails:"). K = 0 shows "12V Rails = 0" and paints nothing.
void PaintSummaryMap();

// Noise map of image m (14..24), load channel m - 13: each point coloured by its noise band;
// points without a measurement (0 mV) in the background colour.
void PaintNoiseMap(int imageNumber);

// The average +12V voltage at one load point as the summary map sees it: the voltages of
// the +12V rails above 2.0 V summed and divided by the rail count.
double SummaryVoltage(int row, int column, int rails);
