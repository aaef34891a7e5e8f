#include "report/Verdicts.h"

#include <cmath>

namespace {
constexpr int MinusTwelveChannel = 12;
const QString MinusTwelveName = QStringLiteral("-12V");

bool Measured(float v) { return v != 0 && std::isfinite(v); }

// Verdicts are made on the value as the report prints it, two decimals: a rail read as
// 12.6 V (single precision, a hair above) is exactly +5.00 % and passes.
double AsShown(double x) { return std::round(x * 100) / 100; }

TVerdict Judge(const std::optional<double>& worst, double limit, bool twoSided)
{
    if (!worst)
        return TVerdict::NoData;
    const double value = AsShown(twoSided ? std::fabs(*worst) : *worst);
    return value <= limit ? TVerdict::Pass : TVerdict::Fail;
}

// The efficiency of step s, when it was measured.
std::optional<double> StepEfficiency(const TResultStore& store, int s)
{
    const uint8_t e = store.EfficiencyRun.ratios[s].efficiency;
    return e != 0 ? std::optional<double>(e) : std::nullopt;
}
} // namespace

QString VerdictText(TVerdict verdict)
{
    switch (verdict) {
    case TVerdict::Pass: return QStringLiteral("PASS");
    case TVerdict::Fail: return QStringLiteral("FAIL");
    case TVerdict::NoData: break;
    }
    return QStringLiteral("no data");
}

double VoltageTolerance(int channel) { return channel == MinusTwelveChannel ? 10.0 : 5.0; }

double RippleLimit(int channel) { return channel <= 3 ? 50.0 : 120.0; }

std::vector<TRailVerdict> DeviationVerdicts(const TResultStore& store)
{
    std::vector<TRailVerdict> rails;
    for (int k = 1; k <= LoadChannelCount; ++k) {
        std::optional<double> worst;
        const double nominal = NominalVoltage[k];
        for (int r = 1; r <= GridRows; ++r)
            for (int c = 1; c <= GridColumns; ++c) {
                const float v = store.CrossLoadGrid[k][r][c].voltage;
                if (!Measured(v))
                    continue;
                const double deviation = (v - nominal) / nominal * 100;
                if (!worst || std::fabs(deviation) > std::fabs(*worst))
                    worst = deviation;
            }
        rails.push_back({LoadChannelNames[k], worst, VoltageTolerance(k), Judge(worst, VoltageTolerance(k), true)});
    }
    rails.push_back({MinusTwelveName, std::nullopt, VoltageTolerance(MinusTwelveChannel), TVerdict::NoData});
    return rails;
}

std::vector<TRailVerdict> RippleVerdicts(const TResultStore& store)
{
    std::vector<TRailVerdict> rails;
    for (int k = 1; k <= LoadChannelCount; ++k) {
        std::optional<double> worst;
        for (int r = 1; r <= GridRows; ++r)
            for (int c = 1; c <= GridColumns; ++c) {
                const uint16_t mv = store.NoiseGrid[k][r][c];
                if (mv != 0 && (!worst || mv > *worst))
                    worst = mv;
            }
        rails.push_back({LoadChannelNames[k], worst, RippleLimit(k), Judge(worst, RippleLimit(k), false)});
    }
    rails.push_back({MinusTwelveName, std::nullopt, RippleLimit(MinusTwelveChannel), TVerdict::NoData});
    return rails;
}

TVerdict PwrOkVerdict(std::optional<int> milliseconds)
{
    if (!milliseconds)
        return TVerdict::NoData;
    return *milliseconds >= 100 && *milliseconds <= 500 ? TVerdict::Pass : TVerdict::Fail;
}

std::optional<double> EfficiencyAt(const TResultStore& store, double loadPercent)
{
    int last = -1;
    for (int s = RunSteps - 1; s >= 0 && last < 0; --s)
        if (StepEfficiency(store, s))
            last = s;
    if (last < 0)
        return std::nullopt;
    if (loadPercent >= 100)
        return StepEfficiency(store, last);
    const double step = loadPercent * 2;
    // The nearest measured steps at or below and at or above the load.
    std::optional<int> below, above;
    for (int s = 0; s <= last; ++s) {
        if (!StepEfficiency(store, s))
            continue;
        if (s <= step)
            below = s;
        if (s >= step && !above)
            above = s;
    }
    if (!below || !above)
        return std::nullopt;
    const double e1 = *StepEfficiency(store, *below);
    if (*below == *above)
        return e1;
    const double e2 = *StepEfficiency(store, *above);
    return e1 + (e2 - e1) * (step - *below) / (*above - *below);
}

const std::vector<TEfficiencyLevel>& EfficiencyLevels(TMainsTable table)
{
    static const std::vector<TEfficiencyLevel> internal115 = {
        {"Standard", {0, 80, 80, 80}}, {"Bronze", {0, 82, 85, 82}},   {"Silver", {0, 85, 88, 85}},
        {"Gold", {0, 87, 90, 87}},     {"Platinum", {0, 90, 92, 89}}, {"Titanium", {90, 92, 94, 90}},
    };
    static const std::vector<TEfficiencyLevel> internal230 = {
        {"Standard", {0, 82, 85, 82}}, {"Bronze", {0, 85, 88, 85}},   {"Silver", {0, 87, 90, 87}},
        {"Gold", {0, 90, 92, 89}},     {"Platinum", {0, 92, 94, 90}}, {"Titanium", {90, 94, 96, 94}},
    };
    return table == TMainsTable::Internal230VEU ? internal230 : internal115;
}

TMainsTable MainsTableFor(std::optional<double> acVoltage)
{
    return acVoltage && *acVoltage >= 180 ? TMainsTable::Internal230VEU : TMainsTable::Internal115V;
}

TEfficiencyVerdict EfficiencyVerdict(const TResultStore& store, std::optional<double> acVoltage)
{
    TEfficiencyVerdict verdict;
    const double loads[4] = {10, 20, 50, 100};
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        verdict.Efficiency[i] = EfficiencyAt(store, loads[i]);
        any = any || verdict.Efficiency[i].has_value();
    }
    verdict.Table = MainsTableFor(acVoltage);
    if (!any)
        return verdict;
    for (const TEfficiencyLevel& level : EfficiencyLevels(verdict.Table)) {
        bool met = true;
        for (int i = 0; i < 4; ++i)
            if (level.Required[i] > 0 && !(verdict.Efficiency[i] && AsShown(*verdict.Efficiency[i]) >= level.Required[i]))
                met = false;
        if (met)
            verdict.Level = QString::fromLatin1(level.Name);
    }
    verdict.Verdict = verdict.Level.isEmpty() ? TVerdict::Fail : TVerdict::Pass;
    return verdict;
}

bool TReportVerdicts::AnyFailure() const
{
    for (const auto* rails : {&Deviation, &Ripple})
        for (const TRailVerdict& rail : *rails)
            if (rail.Verdict == TVerdict::Fail)
                return true;
    return PwrOk == TVerdict::Fail || Efficiency.Verdict == TVerdict::Fail;
}

TReportVerdicts ComputeVerdicts(const TResultStore& store, std::optional<int> pwrOkMs, std::optional<double> acVoltage)
{
    TReportVerdicts v;
    v.Deviation = DeviationVerdicts(store);
    v.Ripple = RippleVerdicts(store);
    v.PwrOkMs = pwrOkMs;
    v.PwrOk = PwrOkVerdict(pwrOkMs);
    v.Efficiency = EfficiencyVerdict(store, acVoltage);
    return v;
}
