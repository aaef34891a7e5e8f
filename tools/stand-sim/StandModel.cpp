#include "StandModel.h"

#include <algorithm>
#include <cmath>

namespace StandModel {

namespace {

// Small factory offsets of the outputs, so that the rails of one group are not identical.
constexpr std::array<double, LoadChannelCount> RailOffset = {
    +0.004, -0.002, 0.0, +0.002, -0.001, +0.003, 0.0, -0.002, +0.001, -0.003, +0.0015};
// Resistance of each output's cables and connector, ohms.
constexpr std::array<double, LoadChannelCount> CableOhms = {
    0.0005, 0.0006, 0.01, 0.001, 0.001, 0.001, 0.001, 0.001, 0.001, 0.001, 0.001};
constexpr std::array<int, LoadChannelCount> SwitchingKHz = {130, 130, 100, 65, 65, 65, 65, 65, 65, 65, 65};

double Clamp(double v, double lo, double hi) { return std::min(hi, std::max(lo, v)); }

}  // namespace

double NominalVoltage(int channel)
{
    if (channel == 0)
        return 3.3;
    if (channel == 1 || channel == 2)
        return 5.0;
    return 12.0;
}

double RailVoltage(int channel, double amps, TGroupLoad load)
{
    const double lv = Clamp(load.Lv, 0.0, 1.5);
    const double hv = Clamp(load.Hv, 0.0, 1.5);
    const double own = IsLowVoltage(channel) ? lv : hv;
    const double other = IsLowVoltage(channel) ? hv : lv;
    const double ownDroop = IsLowVoltage(channel) ? 0.06 : 0.065;
    double deviation = RailOffset[channel] + 0.02 - ownDroop * own - 0.015 * own * own + 0.04 * other;
    deviation = Clamp(deviation, -0.2, 0.1);
    return NominalVoltage(channel) * (1.0 + deviation) - std::max(0.0, amps) * CableOhms[channel];
}

double StandbyVoltage(double loadFraction)
{
    const double x = Clamp(loadFraction, 0.0, 1.5);
    return 5.0 * (1.016 - 0.036 * x - 0.01 * x * x);
}

double Minus12Magnitude(TGroupLoad load)
{
    return 12.0 * (1.01 + 0.025 * Clamp(load.Hv, 0.0, 1.5) - 0.02 * Clamp(load.Lv, 0.0, 1.5));
}

double NoiseMillivolts(int channel, TGroupLoad load, double standbyFraction)
{
    const double lv = Clamp(load.Lv, 0.0, 1.5);
    const double hv = Clamp(load.Hv, 0.0, 1.5);
    double mv;
    if (channel == 0)
        mv = 10 + 75 * lv + 30 * hv;
    else if (channel == 1)
        mv = 12 + 85 * lv + 30 * hv;
    else if (channel == 2)
        mv = 8 + 25 * Clamp(standbyFraction, 0.0, 1.5);
    else
        mv = 14 + 170 * hv + 40 * lv + 2 * (channel - 3);
    return Clamp(mv, 1.0, 250.0);
}

int NoiseFrequencyKHz(int channel) { return SwitchingKHz[channel]; }

double Efficiency(double loadFraction)
{
    const double x = Clamp(loadFraction, 0.0, 1.5);
    return 0.60 + 0.295 * (1.0 - std::exp(-x / 0.12)) - 0.015 * x * x;
}

double PowerFactor(double loadFraction)
{
    const double x = Clamp(loadFraction, 0.0, 1.5);
    return std::min(0.995, 0.55 + 0.44 * (1.0 - std::exp(-x / 0.15)));
}

double SupplyTemperature(double loadFraction)
{
    return 27.0 + 23.0 * std::pow(Clamp(loadFraction, 0.0, 1.5), 1.2);
}

std::array<double, 4> Temperatures(double loadFraction, TGroupLoad load)
{
    const double x = Clamp(loadFraction, 0.0, 1.5);
    return {24.0 + 3.0 * x, SupplyTemperature(x), 26.0 + 30.0 * Clamp(load.Lv, 0.0, 1.5),
            26.0 + 34.0 * Clamp(load.Hv, 0.0, 1.5)};
}

std::array<double, 2> FanSpeeds(double loadFraction)
{
    const double x = Clamp(loadFraction, 0.0, 1.5);
    return {650.0 + 1150.0 * std::pow(x, 1.5), 900.0 + 950.0 * std::pow(x, 1.3)};
}

TLoadPoint LoadPlanePoint(int n, const TLoadPlaneSetup& setup)
{
    TLoadPoint point;
    if (n < 0 || n >= GridPoints)
        return point;
    const int row = n / GridColumns;
    const int column = n % GridColumns;
    const double lvW = std::max(0.0, setup.LvMaxW) * (row + 1) / GridRows;
    const double hvW = std::max(0.0, setup.HvMaxW) * (column + 1) / GridColumns;
    if (setup.TotalMaxW > 0 && lvW + hvW > setup.TotalMaxW + 1e-9)
        return point;  // beyond what the supply may deliver in all: the stand skips it

    point.Visited = true;
    point.Load.Lv = setup.LvMaxW > 0 ? lvW / setup.LvMaxW : 0.0;
    point.Load.Hv = setup.HvMaxW > 0 ? hvW / setup.HvMaxW : 0.0;

    const double ratio = std::max(0.0, setup.LvRatio);
    const double amps33 = lvW / (3.3 + 5.0 * ratio);
    point.Amps[0] = amps33;
    point.Amps[1] = amps33 * ratio;
    point.Amps[2] = StandbyLoadDuringMapsA;
    const int rails = std::clamp(setup.Rails12V, 1, MaxRails12V);
    for (int k = 0; k < rails; ++k)
        point.Amps[3 + k] = hvW / 12.0 / rails;

    point.Volts[0] = RailVoltage(0, point.Amps[0], point.Load);
    point.Volts[1] = RailVoltage(1, point.Amps[1], point.Load);
    point.Volts[2] = StandbyVoltage(StandbyLoadDuringMapsA / StandbyRatingA);
    for (int k = 0; k < rails; ++k)
        point.Volts[3 + k] = RailVoltage(3 + k, point.Amps[3 + k], point.Load);
    return point;
}

}  // namespace StandModel
