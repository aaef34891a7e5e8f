#pragma once
// The electrical behaviour of the simulated stand and of the power supply on it: how the rails
// hold their voltage under load, how noisy they are, how efficient the supply is and how warm
// it gets. Pure functions without randomness; the simulator adds the measuring jitter.
//
// Load channels are numbered 0..10 here, as on the wire: 0 +3.3V, 1 +5V, 2 +5Vstb,
// 3..10 +12V1..+12V8.

#include <array>

namespace StandModel {

inline constexpr int LoadChannelCount = 11;
inline constexpr int GridRows = 60;       // steps of the +3.3V/+5V load
inline constexpr int GridColumns = 200;   // steps of the +12V load
inline constexpr int GridPoints = GridRows * GridColumns;
inline constexpr int MaxSteps = 200;      // longest efficiency or +5Vstb run
inline constexpr int MaxRails12V = 8;

// Ratings of the simulated supply, the reference of the live readings.
inline constexpr double LvRatingW = 200.0;      // +3.3V and +5V together
inline constexpr double HvRatingW = 1200.0;     // all +12V rails together
inline constexpr double TotalRatingW = 1400.0;
inline constexpr double StandbyRatingA = 3.0;
inline constexpr double StandbyLoadDuringMapsA = 0.5;  // the stand's fixed +5Vstb load in the load maps

double NominalVoltage(int channel);
inline bool IsLowVoltage(int channel) { return channel == 0 || channel == 1; }
inline bool Is12V(int channel) { return channel >= 3 && channel < LoadChannelCount; }

// How hard each regulated group is loaded: 0 = unloaded, 1 = at its rating (may exceed 1).
struct TGroupLoad {
    double Lv = 0;
    double Hv = 0;
};

// Voltage of load channel `channel` carrying `amps` while the groups are loaded as given.
// The +3.3V/+5V group and the +12V group share one regulation loop, so each group droops as
// its own load grows and rises as the other group's load grows (cross-regulation); every rail
// also loses a little in its own cables. Not meant for +5Vstb (see StandbyVoltage).
double RailVoltage(int channel, double amps, TGroupLoad load);
// +5Vstb output: about 5.08 V unloaded, about 4.85 V at full load (fraction 1).
double StandbyVoltage(double loadFraction);
// Magnitude of the -12V output, which follows the main groups loosely.
double Minus12Magnitude(TGroupLoad load);
// Ripple and noise of a load channel in millivolts (about 10..250).
double NoiseMillivolts(int channel, TGroupLoad load, double standbyFraction);
// Switching frequency the stand sees on a channel, kHz.
int NoiseFrequencyKHz(int channel);

// Efficiency (0..1) and power factor (0..1) at a fraction of the total rating: efficiency rises
// from about 60 % and flattens near 89 %, the power factor from about 0.55 to 0.99.
double Efficiency(double loadFraction);
double PowerFactor(double loadFraction);
// Power the supply draws at no output load while switched on, W.
inline constexpr double IdleInputW = 2.0;

// Steady temperatures (°C) and fan speeds (RPM) at a fraction of the total rating.
// T1 intake air, T2 exhaust air of the supply, T3 and T4 the stand's two load heat sinks.
std::array<double, 4> Temperatures(double loadFraction, TGroupLoad load);
double SupplyTemperature(double loadFraction);   // the one temperature of the efficiency run
std::array<double, 2> FanSpeeds(double loadFraction);

// One point of the 60 x 200 load plane of the cross-load and noise runs.
struct TLoadPlaneSetup {
    double LvMaxW = 0;     // +3.3V/+5V power at the top row
    double HvMaxW = 0;     // +12V power at the right-hand column
    double TotalMaxW = 0;  // points above this total are not visited; 0 = no limit
    int Rails12V = 1;      // +12V rails present and loaded, 1..8; the others read nothing
    double LvRatio = 0.8;  // +5V current to +3.3V current
};
struct TLoadPoint {
    bool Visited = false;
    TGroupLoad Load;
    std::array<double, LoadChannelCount> Volts{};
    std::array<double, LoadChannelCount> Amps{};
};
// Point n (0..11999): row n div 200 sets the +3.3V/+5V load, column n mod 200 the +12V load.
TLoadPoint LoadPlanePoint(int n, const TLoadPlaneSetup& setup);

}  // namespace StandModel
