#pragma once
// The three curve graphs over a sweep of 200 load steps: power factor and efficiency (image
// 12), temperature and fan speeds (image 13), and the +5Vstb voltage (image 26).

#include <QPoint>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "autotests/ResultStore.h"

// Power factor and efficiency over the load, 0..100 on one scale. Does nothing unless the
// Efficiency page is shown; an empty "Total max. power, W:" leaves the sized image undrawn.
void PaintEfficiencyGraph();

// Temperature (0..100 degrees C) and the two fan speeds (0..6000 RPM) over the load, with its
// vertical axis 40 px further right. Same conditions as PaintEfficiencyGraph.
void PaintFanGraph();

// The +5Vstb voltage over the load as one dot per step, on a scale from 4.5 V to 5.5 V; an
// empty "+5Vstb max. power, W:" leaves the sized image undrawn.
void PaintStandbyGraph();

// The corners of a curve: one point per step whose value is not 0, at x = firstX + step *
// dotWidth and the value's height on a scale from 0 at axisY to `top` at y = 80. Steps
// without a measurement are left out, so their neighbours are joined straight.
std::vector<QPoint> CurvePoints(int firstX, int dotWidth, int axisY, double top,
                                const std::array<double, RunSteps>& values);

// Top edge of the +5Vstb dot of a voltage: 5.5 V at y = 80, 4.5 V at the axis; no dot for
// voltages outside 4.5 V to 5.5 V or exactly 4.5 V (which includes steps without a measurement).
std::optional<int> StandbyDotTop(int axisY, double voltage);

// The log line of a +5Vstb dot drawn as an ellipse in the box from (x, y): "x;y;x+w;y+h".
QString StandbyDotLogLine(int x, int y, int dotWidth, int dotHeight);
