#pragma once
// The compliance verdicts of a tested power supply, from the result store alone: the worst
// deviation and the worst ripple of every rail against the ATX limits, the PWR_OK delay
// against its window, and the efficiency at 10, 20, 50 and 100 % load with the highest
// 80 PLUS level it meets. Pure functions of their inputs; "no data" is never a failure.

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "autotests/ResultStore.h"

enum class TVerdict { NoData, Pass, Fail };
// Each verdict is made on its value rounded to the two decimals the report prints; a limit
// itself passes.

QString VerdictText(TVerdict verdict);  // "no data", "PASS", "FAIL"

// One rail of a map verdict: the worst value over the measured points and its limit.
struct TRailVerdict {
    QString Rail;                 // "+3.3V" ... "+12V8", "-12V"
    std::optional<double> Worst;  // the deviation in % (signed) or the ripple in mV
    double Limit = 0;             // the tolerance in % (both ways) or the ripple limit in mV
    TVerdict Verdict = TVerdict::NoData;
};

// The ATX voltage tolerance of a rail: 5 % for the positive rails, 10 % for -12V.
double VoltageTolerance(int channel);  // channel 1..12
// The ATX ripple limit: 50 mV for +3.3V, +5V and +5Vstb, 120 mV for the +12V rails and -12V.
double RippleLimit(int channel);

// Per rail (twelve rows, -12V last; the store holds no -12V results, so it has no data), the
// deviation from nominal of the measured point farthest from it, and the highest ripple.
std::vector<TRailVerdict> DeviationVerdicts(const TResultStore& store);
std::vector<TRailVerdict> RippleVerdicts(const TResultStore& store);

// The PWR_OK delay after switching on, passing within 100..500 ms.
TVerdict PwrOkVerdict(std::optional<int> milliseconds);

// The efficiency in percent at a load on the efficiency graph's load axis: step s stands for
// s / 2 % of the total power. Between measured steps the value is interpolated; a load outside
// the measured steps has no value. 100 % is the last measured step.
std::optional<double> EfficiencyAt(const TResultStore& store, double loadPercent);

// The 80 PLUS tables. A level needs each of its points (percent at 10, 20, 50, 100 % load;
// 0 = not required) met or exceeded.
enum class TMainsTable { Internal115V, Internal230VEU };
struct TEfficiencyLevel {
    const char* Name;
    std::array<double, 4> Required;  // at 10, 20, 50, 100 % load
};
const std::vector<TEfficiencyLevel>& EfficiencyLevels(TMainsTable table);
// Below 180 V the 115 V table; an unknown mains voltage also takes the 115 V table.
TMainsTable MainsTableFor(std::optional<double> acVoltage);

struct TEfficiencyVerdict {
    std::array<std::optional<double>, 4> Efficiency;  // at 10, 20, 50, 100 % load
    TMainsTable Table = TMainsTable::Internal115V;
    QString Level;  // the highest level met, empty when none
    TVerdict Verdict = TVerdict::NoData;  // PASS when at least the lowest level is met
};
TEfficiencyVerdict EfficiencyVerdict(const TResultStore& store, std::optional<double> acVoltage);

struct TReportVerdicts {
    std::vector<TRailVerdict> Deviation;
    std::vector<TRailVerdict> Ripple;
    std::optional<int> PwrOkMs;
    TVerdict PwrOk = TVerdict::NoData;
    TEfficiencyVerdict Efficiency;
    // True when any verdict is FAIL.
    bool AnyFailure() const;
};
TReportVerdicts ComputeVerdicts(const TResultStore& store, std::optional<int> pwrOkMs,
                                std::optional<double> acVoltage);
