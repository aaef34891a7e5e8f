#pragma once
#include <QString>

// Switching the power supply under test on and off, the stand's PWR_OK reports, the on-time
// clock of the front panel and the periodic poll of the live readings.

// "Turn ON" / "Turn OFF": send the request at once; the stand's report changes the display.
void bPSUONClick();
void bPSUOFFClick();

// The polling timer's tick: asks for readings while connected, identified and no cross-load
// run is in progress. The timer keeps running, so polling resumes by itself after the run.
// No poll goes out while the receive path is stalled (a dialog it raised is open).
void PollTick();

// The stand's "TN" report: PWR_OK came after t ms (low 16 bits). Within 450 ms the supply
// counts as on and the clock restarts; a later PWR_OK changes only the delay shown.
void ReportDutOn(int milliseconds);
// The stand's "TF" report: the supply is off; the clock stops.
void ReportDutOff(int milliseconds);

// The on-time timer's tick: one second more, shown as hh:mm:ss (hours beyond 99 in full).
void OnTimeTick();

// "hh:mm:ss" for a number of seconds, each part at least two digits.
QString FormatOnTime(unsigned seconds);
