#pragma once
// Manual loading: one current setpoint per load channel, kept in whole amperes, checked against
// the power that the front panel's auto-testing fields allow for the channel's rail group, and
// sent to the stand only by "Set" or "SET ALL". The load track bars are inverted: position 0 at
// the top is the channel's MaxCurrent, the bottom end is 0 A.

#include <QString>
#include <cstdint>

#include "core/IndexedArray.h"
#include "core/Definitions.h"

// The manual load current of load channels 1..11 in amperes; 0 at start, never saved.
inline IndexedArray<uint8_t, 1, LoadChannelCount> LoadSettings{};

// The limits of the two rail groups, in watts.
struct TLoadPowerLimits {
    double LowVoltage = 300;    // +3.3V and +5V together
    double HighVoltage = 1200;  // the +12V rails together
};

// True when `current` amperes on `channel` keep its rail group within its limit, with the
// other channels at `settings`. +5Vstb is never limited. Equality passes.
bool LoadWithinLimits(const IndexedArray<uint8_t, 1, LoadChannelCount>& settings, int current, int channel,
                      const TLoadPowerLimits& limits);

// The limits as the front panel gives them now: ATEdit1 and ATEdit2, or 300 W and 1200 W when
// empty. A field that is not a whole number fails with the conversion message.
TLoadPowerLimits FrontPanelLoadLimits();

// LoadWithinLimits for `current` on `channel` against the present settings and front panel.
bool LoadPowerCheck(int current, int channel);

// The bars take their ranges from the DUT's MaxCurrent and their positions and the edits
// their texts from LoadSettings. A setting above a new, smaller maximum becomes that maximum
// when the power check lets it.
void RefreshLoadControls();

// Sends the stored setpoint of `channel` ("!SC;" channel-1 ";" amps ";#").
void SendLoadCurrent(int channel);

// "SET ALL": every setting becomes `amps` without a check, the controls follow, and the
// eleven setpoints go out in channel order, 50 ms apart while the window stays live.
void SetAllLoads(uint8_t amps);

// The estimated power of a setting, as its label shows it: "16.50 W".
QString EstimatedPowerText(int channel, int amps);

// The window's handlers: a bar moved (by the user or the program), Enter in a setpoint
// field, a "Set" button.
void LoadBarChange(int channel);
void LoadEditEnter(int channel);
void bSetClick(int channel);

// Connects the bars, the setpoint fields, the "Set" buttons and the four "SET ALL" buttons of
// the main window to their handlers.
void ConnectManualLoading();

// Back to no load at all, as at start-up.
void ResetManualLoading();
