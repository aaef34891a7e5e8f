#include "graphs/CurveGraphs.h"

#include <cmath>
#include <QImage>
#include <QLineEdit>
#include <QTabWidget>

#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "core/LogFile.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {
constexpr uint32_t Black = 0;
constexpr int PowerFactorColor = 15;
constexpr int EfficiencyColor = 16;
constexpr int TemperatureColor = 17;  // also the +5Vstb dots
constexpr int Fan1Color = 18;
constexpr int Fan2Color = 19;
constexpr double FanScaleTop = 6000;  // RPM
constexpr double PercentScaleTop = 100;
constexpr double StandbyScaleBottom = 4.5;  // V at the axis
constexpr double StandbyScaleSpan = 1.0;    // V from the axis to the top

bool EfficiencyPageShown() { return MForm->PC->currentWidget() == MForm->TabEfficiency; }

// The whole number in a front-panel field, or nothing when the field is empty.
std::optional<int> ReadMaxPower(int field)
{
    const QString text = MForm->ATEdit[field]->text();
    if (text.isEmpty())
        return std::nullopt;
    return StrToInt(text);
}

// A polyline through the corners with a 2 px pen; the first corner starts it with a line of
// zero length to itself.
void DrawCurve(TCanvas& canvas, int color, const std::vector<QPoint>& corners)
{
    canvas.SetPenWidth(2);
    canvas.SetPenColor(GraphColor(color));
    for (size_t i = 0; i < corners.size(); ++i) {
        if (i == 0)
            canvas.MoveTo(corners[i].x(), corners[i].y());
        canvas.LineTo(corners[i].x(), corners[i].y());
    }
}

// The legend of a curve graph: a black frame on the background colour, one 2 px line per curve
// from x1 to x2 at its y, and the curve's name in 8 pt bold at (textX, y - 5).
struct TLegendEntry {
    int Color;
    int Y;
    const char* Name;
};
void DrawCurveLegend(TCanvas& canvas, QRect frame, int x1, int x2, int textX,
                     std::initializer_list<TLegendEntry> entries)
{
    canvas.SetPenWidth(1);
    canvas.SetPenColor(Black);
    canvas.SetBrushColor(GraphColor(BackgroundColor));
    canvas.Rectangle(frame.left(), frame.top(), frame.right(), frame.bottom());
    canvas.SetPenWidth(2);
    for (const TLegendEntry& entry : entries) {
        canvas.SetPenColor(GraphColor(entry.Color));
        canvas.Line(x1, entry.Y, x2, entry.Y);
    }
    canvas.SetPenColor(Black);
    for (const TLegendEntry& entry : entries)
        DrawText(canvas, textX, entry.Y - 5, QString::fromLatin1(entry.Name), 8, true);
}

// The units of the two rows of load labels under the axis: percent of the total load and watts.
void DrawLoadPercentUnits(TCanvas& canvas, int left, int axisY)
{
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow1(axisY), QStringLiteral("%"), 8, false);
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow2(axisY), QStringLiteral("W"), 8, false);
}

// The title block of a curve graph: both lines at (t, 20) and (t, 40) and the caption at a
// fixed place on the first line, 10 pt bold; the font stays bold.
void DrawCurveTitle(TCanvas& canvas, int t, QPoint captionAt, const QString& caption)
{
    canvas.SetPenColor(Black);
    DrawTitleLines(canvas, t);
    DrawText(canvas, captionAt.x(), captionAt.y(), caption, 10, true);
}

} // namespace

std::vector<QPoint> CurvePoints(int firstX, int dotWidth, int axisY, double top,
                                const std::array<double, RunSteps>& values)
{
    std::vector<QPoint> corners;
    for (int s = 0; s < RunSteps; ++s) {
        // 0 is no measurement, and so is a value that is not a finite number (a damaged file).
        if (values[s] == 0 || !std::isfinite(values[s]))
            continue;
        corners.emplace_back(firstX + s * dotWidth, CurveY(axisY, top, values[s]));
    }
    return corners;
}

std::optional<int> StandbyDotTop(int axisY, double voltage)
{
    if (!std::isfinite(voltage))
        return std::nullopt;
    double t = voltage - StandbyScaleBottom;
    if (t < 0 || t > StandbyScaleSpan)
        t = 0;
    if (t == 0)
        return std::nullopt;
    return axisY - RoundHalfEven((axisY - PlotTop) / 100.0 * 100 * t);
}

QString StandbyDotLogLine(int x, int y, int dotWidth, int dotHeight)
{
    return QStringLiteral("%1;%2;%3;%4").arg(x).arg(y).arg(x + dotWidth).arg(y + dotHeight);
}

void PaintEfficiencyGraph()
{
    if (!EfficiencyPageShown())
        return;
    const TGraphGeometry geometry = GraphGeometry.Efficiency = PlotGeometry(CurveRows, DefaultLeft);
    FitWindowToGraph(geometry.PlotRight, geometry.AxisY, EfficiencyImage);
    const std::optional<int> maxPower = ReadMaxPower(3);
    if (!maxPower)
        return;

    const int left = DefaultLeft;
    const int axisY = geometry.AxisY;
    const int plotRight = geometry.PlotRight;
    GraphImage& image = *GraphImages[EfficiencyImage];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, true);
    DrawAxisFrame(canvas, left, CurveRows, geometry);
    DrawScaleLabels(canvas, left, left - 30, axisY, EfficiencyLabels(*maxPower));
    DrawLoadPercentUnits(canvas, left, axisY);

    std::array<double, RunSteps> powerFactor{};
    std::array<double, RunSteps> efficiency{};
    for (int s = 0; s < RunSteps; ++s) {
        powerFactor[s] = ResultStore.EfficiencyRun.ratios[s].powerFactor;
        efficiency[s] = ResultStore.EfficiencyRun.ratios[s].efficiency;
    }
    const int firstX = left + 1;
    DrawCurve(canvas, PowerFactorColor, CurvePoints(firstX, DotWidthPx(), axisY, PercentScaleTop, powerFactor));
    DrawCurve(canvas, EfficiencyColor, CurvePoints(firstX, DotWidthPx(), axisY, PercentScaleTop, efficiency));

    DrawCurveLegend(canvas, QRect(QPoint(plotRight - 120, 20), QPoint(plotRight + 20, 60)), plotRight - 110,
                    plotRight - 70, plotRight - 60,
                    {{PowerFactorColor, 30, "Power factor"}, {EfficiencyColor, 50, "Efficiency"}});
    DrawCurveTitle(canvas, 80, QPoint(230, 20), QStringLiteral("PFC / Efficiency"));
    GraphDrawnFlags[EfficiencyImage] = true;
}

void PaintFanGraph()
{
    if (!EfficiencyPageShown())
        return;
    const TGraphGeometry geometry = GraphGeometry.Fan = PlotGeometry(CurveRows, FanLeft);
    FitWindowToGraph(geometry.PlotRight, geometry.AxisY, FanImage);
    const std::optional<int> maxPower = ReadMaxPower(3);
    if (!maxPower)
        return;

    const int left = FanLeft;
    const int axisY = geometry.AxisY;
    const int plotRight = geometry.PlotRight;
    GraphImage& image = *GraphImages[FanImage];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, true);
    DrawAxisFrame(canvas, left, CurveRows, geometry);
    const TAxisLabels labels = FanLabels(*maxPower);
    DrawScaleLabels(canvas, left, 60, axisY, labels);
    for (int i = 1; i <= labels.Vertical2.size(); ++i)
        DrawText(canvas, 20, VerticalLabelY(axisY, i), labels.Vertical2[i - 1], 8, false);
    DrawText(canvas, 70, VerticalUnitY(axisY, CurveRows), QStringLiteral("RPM"), 8, false);
    DrawText(canvas, 30, VerticalUnitY(axisY, CurveRows), QStringLiteral("°C"), 8, false);
    DrawLoadPercentUnits(canvas, left, axisY);

    std::array<double, RunSteps> temperature{};
    std::array<double, RunSteps> fan1{};
    std::array<double, RunSteps> fan2{};
    for (int s = 0; s < RunSteps; ++s) {
        const ThermalPoint& point = ResultStore.EfficiencyRun.thermal[s];
        temperature[s] = point.temperature;
        fan1[s] = point.fan1Speed;
        fan2[s] = point.fan2Speed;
    }
    const int firstX = left + 1;
    DrawCurve(canvas, TemperatureColor, CurvePoints(firstX, DotWidthPx(), axisY, PercentScaleTop, temperature));
    DrawCurve(canvas, Fan1Color, CurvePoints(firstX, DotWidthPx(), axisY, FanScaleTop, fan1));
    DrawCurve(canvas, Fan2Color, CurvePoints(firstX, DotWidthPx(), axisY, FanScaleTop, fan2));

    DrawCurveLegend(canvas, QRect(QPoint(plotRight - 80, 20), QPoint(plotRight + 20, 70)), plotRight - 70,
                    plotRight - 30, plotRight - 20,
                    {{TemperatureColor, 30, "TEMP"}, {Fan1Color, 45, "FAN 1"}, {Fan2Color, 60, "FAN 2"}});
    DrawCurveTitle(canvas, 120, QPoint(270, 20), QStringLiteral("Temperature / Fans"));
    GraphDrawnFlags[FanImage] = true;
}

void PaintStandbyGraph()
{
    const TGraphGeometry geometry = GraphGeometry.Standby = PlotGeometry(CurveRows, DefaultLeft);
    FitWindowToGraph(geometry.PlotRight, geometry.AxisY, StandbyImage);
    const std::optional<int> maxPower = ReadMaxPower(7);
    if (!maxPower)
        return;

    const int left = DefaultLeft;
    const int axisY = geometry.AxisY;
    const int dw = DotWidthPx();
    const int dh = DotHeightPx();
    GraphImage& image = *GraphImages[StandbyImage];
    TCanvas canvas(PrepareBitmap(image), &image);
    PrepareCanvas(canvas, true);
    DrawAxisFrame(canvas, left, CurveRows, geometry);
    DrawScaleLabels(canvas, left, left - 30, axisY, StandbyLabels(*maxPower));
    DrawText(canvas, left - 20, VerticalUnitY(axisY, CurveRows), QStringLiteral("V"), 8, false);
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow1(axisY), QStringLiteral("A"), 8, false);
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow2(axisY), QStringLiteral("W"), 8, false);

    const int shape = AppSettings.DotShape;
    for (int s = 0; s < RunSteps; ++s) {
        const std::optional<int> y = StandbyDotTop(axisY, ResultStore.StandbyRun[s].voltage);
        if (!y)
            continue;
        const int x = left + s * dw;
        // The ellipse's box starts one pixel further left than the rectangle's and the rhombus's.
        DrawDot(canvas, shape, shape == 1 ? x : x + 1, *y, dw, dh, GraphColor(TemperatureColor));
        if (shape == 1)
            WriteLogLine(StandbyDotLogLine(x, *y, dw, dh));
    }

    DrawCurveTitle(canvas, 80, QPoint(230, 20), QStringLiteral("+5Vstb test"));
    GraphDrawnFlags[StandbyImage] = true;
}
