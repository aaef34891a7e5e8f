#pragma once
// The "Transient response" group of the front panel: per load channel a load current, an
// interval and an "enable load" switch, edited here, kept in memory and saved at exit.
// Nothing sends them to the stand; the group's Start and Stop buttons have no action.

// Shows the record of the channel selected in ChannelList (nothing when none is selected).
void ChannelListChange();

// Stores the shown values into the selected channel's record. An empty field keeps the
// stored value; a pasted non-number fails with the standard conversion message, keeping
// whatever was stored before it.
void bApplyTRClick();
