#include "graphs/LoadMaps.h"

#include <QImage>
#include <QLineEdit>
#include <cmath>

#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "core/Definitions.h"
#include "core/Dialogs.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {
// 0 is no measurement, and so is a value that is not a finite number (a damaged result file).
bool IsMeasured(double v) { return v != 0 && std::isfinite(v); }

constexpr int FirstTwelveVoltChannel = 4;
constexpr int LastTwelveVoltChannel = 11;
constexpr double SummaryVoltageFloor = 2.0;  // V; a rail at or below it adds nothing

// Stores the load-map geometry of the current dot size in `record` and sizes the window and
// image n for it.
TGraphGeometry StartMap(TGraphGeometry& record, int imageNumber)
{
    record = PlotGeometry(MapRows, DefaultLeft);
    FitWindowToGraph(record.PlotRight, record.AxisY, imageNumber);
    return record;
}
} // namespace

double SummaryVoltage(int row, int column, int rails)
{
    double sum = 0;
    for (int n = FirstTwelveVoltChannel; n <= LastTwelveVoltChannel; ++n) {
        const float v = ResultStore.CrossLoadGrid[n][row][column].voltage;
        if (IsMeasured(v) && v > SummaryVoltageFloor)
            sum += v;
    }
    return sum / rails;
}

void PaintCrossLoadMap(int channel)
{
    const TGraphGeometry geometry = StartMap(GraphGeometry.LoadMap, channel);
    const TLoadMapPowers powers = ReadLoadMapPowers();

    GraphImage& image = *GraphImages[channel];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, false);
    DrawLoadMapFrame(canvas, geometry, powers);
    const double nominal = NominalVoltage[channel];
    const LoadMapChannel<CrossLoadPoint>& grid = ResultStore.CrossLoadGrid[channel];
    DrawMapCells(canvas, geometry, AppSettings.DotShape, [&](int r, int c) {
        const float v = grid[r][c].voltage;
        return IsMeasured(v) ? DeviationColorIndex(VoltageDeviation(v, nominal)) : BackgroundColor;
    });
    DrawDeviationLegend(canvas, geometry.PlotRight);
    DrawMapTitle(canvas, geometry, LoadChannelNames[channel]);
    GraphDrawnFlags[channel] = true;
}

void PaintSummaryMap()
{
    const int rails = StrToInt(MForm->ATEdit[4]->text());
    if (rails == 0) {
        ShowMessage(QStringLiteral("12V Rails = 0"));
        return;
    }
    const TGraphGeometry geometry = StartMap(GraphGeometry.LoadMap, SummaryImage);
    const TLoadMapPowers powers = ReadLoadMapPowers();

    GraphImage& image = *GraphImages[SummaryImage];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, false);
    DrawLoadMapFrame(canvas, geometry, powers);
    const double nominal = NominalVoltage[LastTwelveVoltChannel];
    DrawMapCells(canvas, geometry, AppSettings.DotShape, [&](int r, int c) {
        const double a = SummaryVoltage(r, c, rails);
        return a != 0 ? DeviationColorIndex(VoltageDeviation(a, nominal)) : BackgroundColor;
    });
    DrawDeviationLegend(canvas, geometry.PlotRight);
    DrawMapTitle(canvas, geometry, QStringLiteral("+12V Summary"));
    GraphDrawnFlags[SummaryImage] = true;
}

void PaintNoiseMap(int imageNumber)
{
    const int channel = imageNumber - (FirstNoiseImage - 1);
    const TGraphGeometry geometry = StartMap(GraphGeometry.NoiseMap, imageNumber);
    const TLoadMapPowers powers = ReadLoadMapPowers();

    GraphImage& image = *GraphImages[imageNumber];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, false);
    DrawLoadMapFrame(canvas, geometry, powers);
    const LoadMapChannel<uint16_t>& grid = ResultStore.NoiseGrid[channel];
    DrawMapCells(canvas, geometry, AppSettings.DotShape, [&](int r, int c) {
        const uint16_t u = grid[r][c];
        return u != 0 ? NoiseColorIndex(u) : BackgroundColor;
    });
    DrawNoiseLegend(canvas, geometry.PlotRight);
    DrawMapTitle(canvas, geometry, LoadChannelNames[channel] + QStringLiteral(" Noise"));
    GraphDrawnFlags[imageNumber] = true;
}
