#pragma once
// The bookkeeping the painters leave behind for the point readouts and the page logic: which
// graph has been painted, and where the last paint of each graph family put its axes.

#include <cstdint>

#include "core/IndexedArray.h"

constexpr int GraphCount = 26;  // images 1..26

// Image numbers of the graphs that are not one of a family of eleven.
constexpr int EfficiencyImage = 12;
constexpr int FanImage = 13;
constexpr int FirstNoiseImage = 14;  // images 14..24 show load channels 1..11
constexpr int LastNoiseImage = 24;
constexpr int SummaryImage = 25;
constexpr int StandbyImage = 26;

// Set by a painter as the very last step of a complete paint; nothing clears a flag while the
// program runs.
inline IndexedArray<bool, 1, GraphCount> GraphDrawnFlags{};

// Where the last paint of one graph family put its plot.
struct TGraphGeometry {
    int32_t AxisY = 0;      // pixel row of the horizontal axis
    int32_t PlotRight = 0;  // pixel column of the right edge of the 200th grid column
};

// One record per family; the eleven cross-load maps and the summary map share one.
struct TGraphGeometryTable {
    TGraphGeometry LoadMap;     // images 1..11 and 25
    TGraphGeometry NoiseMap;    // images 14..24
    TGraphGeometry Efficiency;  // image 12
    TGraphGeometry Fan;         // image 13
    TGraphGeometry Standby;     // image 26
};

inline TGraphGeometryTable GraphGeometry{};

// How long the window sizing before every paint keeps the event loop running, in ms. Only the
// benchmark sets it to 0, to time the painting alone.
inline int GraphSizingWaitMs = 100;

// The configured dot size in pixels per grid column and per grid row. A hand-edited
// settings.ini can hold 0 (or 256, which keeps 0 in the field); the drawing and the readouts
// then work with 1 instead of dividing by zero.
int DotWidthPx();
int DotHeightPx();

// No graph painted and every geometry record zero, as at program start.
void ResetGraphState();
