#include "graphs/ColorScales.h"

#include <cmath>

double VoltageDeviation(double voltage, double nominal) { return (voltage - nominal) / nominal * 100; }

int DeviationColorIndex(double deviation)
{
    const double m = std::fabs(deviation);
    const bool positive = deviation >= 0;
    // Distance from the middle colour 7, the same on both sides.
    int steps;
    if (m > 4.99)
        steps = 6;
    else if (m > 3.99)
        steps = 5;
    else if (m > 2.99)
        steps = 4;
    else if (m > 1.99)
        steps = 3;
    else if (m > 0.99)
        steps = 2;
    else if (m >= 0.1)
        steps = 1;
    else
        steps = 0;
    return positive ? 7 + steps : 7 - steps;
}

int NoiseColorIndex(double noise)
{
    const double limits[] = {25, 50, 75, 100, 125, 150, 175, 200};
    int color = 20;
    for (double limit : limits) {
        if (noise <= limit)
            return color;
        ++color;
    }
    return 28;
}
