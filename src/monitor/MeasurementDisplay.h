#pragma once
// The live readings on the front panel and the manual-loading page: number formats, the
// PASS/FAIL verdict against each channel's limits, the deviation from nominal, the power
// summary, the stand's hardware report and its error status.

#include <cstdint>

struct TParsedCommand;

// Shows reading r: 1..11 the load channels, 12 the -12V channel, 13 the separate +5V standby
// reading. Any other r does nothing. Channels 1..12 refresh the power summary.
void UpdateChannelDisplay(int r);

// PASS when Vmin <= voltage <= Vmax, current <= Imax and noise <= Nmax (each limit passes).
void EvaluateChannel(int r, uint16_t noiseLevel, float current, float voltage);
void SetPassMark(int r, bool pass);
// Every load channel to FAIL; the test starts do this before they send their request.
void ResetPassMarks();

// Output power rounded up per group, and the efficiency against the stand's AC input power
// (0.00 % while that power is unknown: none yet, 0, or not a number).
void UpdatePowerSummary();

// The stand answered the greeting: identified, buttons swapped, polling started, info shown.
void ShowHardwareReport(const TParsedCommand& p);
// The stand's error code: "No errors" in green, or the code's identifier in red.
void ShowErrorStatus(const TParsedCommand& p);
