#include "autotests/ResultStore.h"

#include <QRandomGenerator>
#include <cmath>
#include <cstring>

CrossLoadPoint& CrossLoadAt(int channel, int point)
{
    return ResultStore.CrossLoadGrid[channel][PointRow(point)][PointColumn(point)];
}

uint16_t& NoiseAt(int channel, int point)
{
    return ResultStore.NoiseGrid[channel][PointRow(point)][PointColumn(point)];
}

void ClearResults() { std::memset(static_cast<void*>(&ResultStore), 0, sizeof ResultStore); }

void FillRandomResults()
{
    QRandomGenerator& random = *QRandomGenerator::global();
    // Random(n): a whole number 0..n-1.
    const auto Random = [&random](int n) { return static_cast<int>(random.bounded(n)); };

    for (int k = 1; k <= LoadChannelCount; ++k) {
        // The +12V rails vary in thousandths of a volt, the low rails in ten-thousandths. The
        // sum is formed from whole units of that step, so 3.3 V + 257 steps is 3.3257 V
        // rounded once, not the single-precision 3.3 plus a fraction.
        const float nominal = NominalVoltage[k];
        const double scale = nominal > 5 ? 1000.0 : 10000.0;
        const double nominalSteps = std::round(nominal * scale);
        for (auto& row : ResultStore.CrossLoadGrid[k])
            for (CrossLoadPoint& point : row) {
                const int n = 100 + Random(899);
                const int a = Random(31);
                point.voltage = static_cast<float>((nominalSteps + n) / scale);
                point.current = static_cast<float>(a);
            }
        for (auto& row : ResultStore.NoiseGrid[k])
            for (uint16_t& noise : row)
                noise = static_cast<uint16_t>(Random(400));
    }
    for (EfficiencyPoint& point : ResultStore.EfficiencyRun.ratios) {
        point.efficiency = static_cast<uint8_t>(Random(101));
        point.powerFactor = static_cast<uint8_t>(Random(101));
    }
    for (ThermalPoint& point : ResultStore.EfficiencyRun.thermal) {
        point.temperature = static_cast<float>(Random(101));
        point.fan1Speed = static_cast<uint16_t>(1 + Random(5999));
        point.fan2Speed = static_cast<uint16_t>(1 + Random(5999));
    }
    for (StandbyPoint& point : ResultStore.StandbyRun) {
        point.current = static_cast<float>(Random(20));
        if (Random(10) != 0) {
            const int n = 100 + Random(899);
            point.voltage = static_cast<float>((50000 + n) / 10000.0);
        } else {
            point.voltage = 0;
        }
    }
}
