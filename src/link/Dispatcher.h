#pragma once
// Acts on one frame received from the stand: stores its values, updates the displays, switches
// the test buttons, logs it ("Executed: " or "Unknown command: ") and lets the event loop run once.

#include <QString>
#include <cstdint>

// A field of the live frames that does not convert fails here and travels to the caller
// (ProcessReceivedText), which drops the rest of the chunk. In the result frames ("G", "N",
// "S", "FAM") a bad data field only ends that frame's storing; the frame is still logged.
void DispatchFrame(const QString& frame);

// Frames dispatched since start, for diagnostics and the link benchmark.
inline uint64_t DispatchedFrames = 0;
