#pragma once
// The two colour scales of the maps: voltage deviation from nominal (colours 1..13) and
// absolute noise level (colours 20..28). Colour 14 is the background, also of points without
// a measurement.

constexpr int BackgroundColor = 14;

// Deviation of a measured voltage from its nominal value, in percent.
double VoltageDeviation(double voltage, double nominal);

// Colour number 1..13 of a deviation in percent. The band is chosen by the magnitude with the
// limits 0.1, 0.99, 1.99, 2.99, 3.99 and 4.99 as they stand (each upper limit belongs to its
// band, 0.1 to the band above it); the side by the sign, 0 counting as positive.
int DeviationColorIndex(double deviation);

// Colour number 20..28 of a noise value in mV, in bands of 25 mV up to 200 (each upper limit
// belongs to its band).
int NoiseColorIndex(double noise);
