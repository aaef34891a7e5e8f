#include "graphs/GraphReadouts.h"

#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "autotests/ResultStore.h"
#include "core/Conversions.h"
#include "core/Definitions.h"
#include "core/Dialogs.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "graphs/LoadMaps.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
const QString VoltagePrefix = QStringLiteral("Voltage, V: ");
const QString CurrentPrefix = QStringLiteral("Current, A: ");
const QString DeltaPrefix = QStringLiteral("Delta V, %: ");
const QString PowerFactorPrefix = QStringLiteral("PFC: ");
const QString EfficiencyPrefix = QStringLiteral("Efficiency, %: ");
const QString Fan1Prefix = QStringLiteral("FAN 1, RPM: ");
const QString Fan2Prefix = QStringLiteral("FAN 2, RPM: ");
const QString TemperaturePrefix = QStringLiteral("Temp, °C: ");
const QString NoisePrefix = QStringLiteral("Noise, mV: ");

constexpr int FirstTwelveVoltChannel = 4;
constexpr int TwelveVoltRails = 8;
constexpr double StandbyNominal = 5;

// A value that is not a finite number (a damaged result file) is no measurement: the
// readout shows its caption alone.
QString Fixed(double x, int decimals) { return std::isfinite(x) ? FormatFixed(x, 7, decimals) : QString(); }

void ShowPointFailure(const TGridPoint& point)
{
    ShowMessage(QStringLiteral("i:=%1 j=%2").arg(point.Row).arg(point.Column));
}

// The grid point under the pointer on image n, or nothing (then the labels show their
// prefixes) when the graph has not been painted or the pointer is outside its plot.
std::optional<TGridPoint> PointOnGraph(int n, int x, int y, int left, int rows, const TGraphGeometry& geometry)
{
    if (!GraphDrawnFlags[n])
        return std::nullopt;
    return ReadoutPoint(x, y, left, rows, geometry, DotWidthPx(), DotHeightPx());
}

void SetPrefixes(std::initializer_list<std::pair<QLabel*, const QString*>> labels)
{
    for (const auto& [label, prefix] : labels)
        label->setText(*prefix);
}

} // namespace

std::optional<TGridPoint> ReadoutPoint(int x, int y, int left, int rows, const TGraphGeometry& geometry,
                                       int dotWidth, int dotHeight)
{
    if (x < left || y < PlotTop || y > geometry.AxisY || x > geometry.PlotRight)
        return std::nullopt;
    const int row = RoundUp(static_cast<double>(geometry.AxisY - y) / dotHeight);
    const int column = RoundUp(static_cast<double>(x - left) / dotWidth);
    if (row <= 0 || row > rows || column <= 0 || column > PlotColumns)
        return std::nullopt;
    return TGridPoint{row, column};
}

void Image1MouseMove(GraphImage* image, int x, int y)
{
    const int n = Tag(image);
    if (n < 1 || (n > LoadChannelCount && n != SummaryImage))
        return;
    TMForm& form = *MForm;
    const std::optional<TGridPoint> point = PointOnGraph(n, x, y, DefaultLeft, MapRows, GraphGeometry.LoadMap);
    if (!point) {
        SetPrefixes({{form.Graph_KHX_VLabel, &VoltagePrefix},
                     {form.Graph_KHX_CLabel, &CurrentPrefix},
                     {form.Graph_KHX_DLabel, &DeltaPrefix}});
        return;
    }
    const int r = point->Row;
    const int c = point->Column;
    double voltage = 0;
    double nominal = 0;
    bool voltageRead = false;
    try {
        double current = 0;
        if (n == SummaryImage) {
            const int rails = StrToInt(form.ATEdit[4]->text());
            if (rails == 0) {
                ShowMessage(QStringLiteral("12V Rails = 0"));
                return;
            }
            voltage = SummaryVoltage(r, c, rails);
            const int present = std::min(rails, TwelveVoltRails);
            for (int k = FirstTwelveVoltChannel; k < FirstTwelveVoltChannel + present; ++k)
                current += ResultStore.CrossLoadGrid[k][r][c].current;
            nominal = NominalVoltage[LoadChannelCount];
        } else {
            const CrossLoadPoint& at = ResultStore.CrossLoadGrid[n][r][c];
            voltage = at.voltage;
            current = at.current;
            nominal = NominalVoltage[n];
        }
        voltageRead = true;
        form.Graph_KHX_VLabel->setText(VoltagePrefix + Fixed(voltage, 3));
        form.Graph_KHX_CLabel->setText(CurrentPrefix + Fixed(current, 3));
    } catch (...) {
        ShowPointFailure(*point);
    }
    // Without a voltage (the rail count was not a number) the deviation keeps what it showed.
    if (voltageRead)
        form.Graph_KHX_DLabel->setText(DeltaPrefix + Fixed(VoltageDeviation(voltage, nominal), 3));
}

void Image12MouseMove(GraphImage* image, int x, int y)
{
    TMForm& form = *MForm;
    const std::optional<TGridPoint> point =
        PointOnGraph(Tag(image), x, y, DefaultLeft, CurveRows, GraphGeometry.Efficiency);
    if (!point) {
        SetPrefixes({{form.Graph_PFC_PLabel, &PowerFactorPrefix}, {form.Graph_PFC_ELabel, &EfficiencyPrefix}});
        return;
    }
    try {
        const EfficiencyPoint& at = ResultStore.EfficiencyRun.ratios[point->Column - 1];
        form.Graph_PFC_PLabel->setText(PowerFactorPrefix + Fixed(at.powerFactor / 100.0, 2));
        form.Graph_PFC_ELabel->setText(EfficiencyPrefix + QString::number(at.efficiency));
    } catch (...) {
        ShowPointFailure(*point);
    }
}

void Image13MouseMove(GraphImage* image, int x, int y)
{
    TMForm& form = *MForm;
    const std::optional<TGridPoint> point = PointOnGraph(Tag(image), x, y, FanLeft, CurveRows, GraphGeometry.Fan);
    if (!point) {
        SetPrefixes({{form.Graph_FAN_F1Label, &Fan1Prefix},
                     {form.Graph_FAN_F2Label, &Fan2Prefix},
                     {form.Graph_FAN_TLabel, &TemperaturePrefix}});
        return;
    }
    try {
        const ThermalPoint& at = ResultStore.EfficiencyRun.thermal[point->Column - 1];
        form.Graph_FAN_F1Label->setText(Fan1Prefix + QString::number(at.fan1Speed));
        form.Graph_FAN_F2Label->setText(Fan2Prefix + QString::number(at.fan2Speed));
        form.Graph_FAN_TLabel->setText(TemperaturePrefix + Fixed(at.temperature, 2));
    } catch (...) {
        ShowPointFailure(*point);
    }
}

void Image14MouseMove(GraphImage* image, int x, int y)
{
    const int n = Tag(image);
    if (n < FirstNoiseImage || n > GraphCount)
        return;
    TMForm& form = *MForm;
    const std::optional<TGridPoint> point = PointOnGraph(n, x, y, DefaultLeft, MapRows, GraphGeometry.NoiseMap);
    if (!point) {
        SetPrefixes({{form.Graph_Noise_NLabel, &NoisePrefix}});
        return;
    }
    try {
        const uint16_t noise = ResultStore.NoiseGrid[n - (FirstNoiseImage - 1)][point->Row][point->Column];
        form.Graph_Noise_NLabel->setText(NoisePrefix + QString::number(noise));
    } catch (...) {
        ShowPointFailure(*point);
    }
}

void Image26MouseMove(GraphImage* image, int x, int y)
{
    if (Tag(image) != StandbyImage)
        return;
    TMForm& form = *MForm;
    const std::optional<TGridPoint> point =
        PointOnGraph(StandbyImage, x, y, DefaultLeft, CurveRows, GraphGeometry.Standby);
    if (!point) {
        SetPrefixes({{form.STS_VLabel, &VoltagePrefix}, {form.STS_CLabel, &CurrentPrefix}, {form.STS_DLabel, &DeltaPrefix}});
        return;
    }
    double voltage = 0;
    bool voltageRead = false;
    try {
        const StandbyPoint& at = ResultStore.StandbyRun[point->Column - 1];
        voltage = at.voltage;
        voltageRead = true;
        form.STS_VLabel->setText(VoltagePrefix + Fixed(voltage, 3));
        form.STS_CLabel->setText(CurrentPrefix + Fixed(at.current, 3));
    } catch (...) {
        ShowPointFailure(*point);
    }
    if (voltageRead)
        form.STS_DLabel->setText(DeltaPrefix + Fixed(VoltageDeviation(voltage, StandbyNominal), 3));
}
