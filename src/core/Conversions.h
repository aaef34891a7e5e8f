#pragma once
// Every conversion between text and number of the program: on the wire, in settings.ini and
// on screen. The decimal separator is always "." whatever the desktop's regional settings.

#include <QString>
#include <cstdint>

// Whole numbers: optional blanks in front, an optional sign, then decimal digits or, after
// "$" or "0x", hexadecimal digits. Anything else fails. Hexadecimal values take 32 bits
// ($FFFFFFFF is -1); decimal ones must fit in a signed 32-bit integer.
bool TryStrToInt(const QString& text, int32_t& value);
// As TryStrToInt, throwing EConvertError "'text' is not a valid integer value".
int32_t StrToInt(const QString& text);
int32_t StrToIntDef(const QString& text, int32_t fallback);

// Numbers with an optional fraction and exponent: blanks around, an optional sign, digits with
// at most one ".", at least one digit, then optionally "E" or "e", a sign and digits.
bool TryStrToFloat(const QString& text, double& value);
// As TryStrToFloat, throwing EConvertError "'text' is not a valid floating point value".
double StrToFloat(const QString& text);
double StrToFloatDef(const QString& text, double fallback);

// x rounded once, half away from zero, to the coarser of `precision` significant digits and
// `decimals` digits after the point, written with exactly `decimals` digits after the point.
// When the integer part has more digits than `precision`, the general scientific form is
// written instead (FormatGeneral with the same precision).
QString FormatFixed(double x, int precision, int decimals);

// x rounded to `precision` significant digits, trailing zeros dropped; fixed notation unless
// the integer part has more than `precision` digits or the value is below 0.00001, then
// scientific ("1.5E-6", "1E20"). With precision 15 this is how settings.ini stores reals that
// must read back as the same single-precision value.
QString FormatGeneral(double x, int precision);

// A live voltage or current with its unit: four decimals when the stand has the 24-bit
// converter (ExtendedAdc24), otherwise three for volts and two for amperes.
QString FormatVolts(double x);
QString FormatAmps(double x);

// Rounding to a whole number: to the nearest, halves to even (2.5 -> 2, 3.5 -> 4).
int RoundHalfEven(double x);
// numerator / denominator rounded to the nearest whole number, halves to even, computed
// exactly (99 * 3 * 10 / 60 = 49.5 gives 50, which floating point may miss). denominator > 0.
int RoundRatioHalfEven(int64_t numerator, int64_t denominator);
// Rounding up toward positive infinity (12.01 -> 13, -0.4 -> 0).
int RoundUp(double x);
