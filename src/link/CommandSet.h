#pragma once
// The stand's frames: the splitting of a received frame and the exact text of every request.
// A frame is "!" NAME ";" then fields each followed by ";", then "#": "!GV;#", "!SC;10;09;#".
// The encoders only build texts; sending them is the link's job (SendCommand).

#include <QString>
#include <array>

#include "core/Definitions.h"

// Splits one received frame. Never fails: a text that does not start with "!" or has no ";"
// gives an empty Command. The name is cut to its first 30 characters, fields beyond the
// 100th are dropped, and whatever follows the last ";" (normally "#") is ignored.
void ParseFrame(const QString& text, TParsedCommand& parsed);

// Zero fill of request fields; a longer value is sent whole, never cut.
QString Pad2(int value);           // 7 -> "07"
QString Pad3(int value);           // 5 -> "005", 80 -> "080"
QString Pad4(const QString& text); // "7" -> "0007", "abc" -> "0abc", "" and "12345" unchanged

// A calibration constant as the stand's two fields: the integer part and three decimals of
// the fraction, each zero-filled to four characters (15.916 -> "0015", "0916"). A fraction
// that rounds up to 1.000 is sent as "0000" and nothing is carried into the integer part.
struct TCalibrationNumber {
    QString IntegerPart;
    QString Fraction;
};
TCalibrationNumber CalibrationNumber(float value);

// The texts of the front-panel auto-testing fields ATEdit1..ATEdit7, as typed (index 0 = ATEdit1).
using TAutoTestTexts = std::array<QString, 7>;

// "!" name ";" field ";" ... "#"
QString BuildFrame(const QString& name, std::initializer_list<QString> fields = {});

QString GreetingFrame();   // "!!!;#"
QString PollFrame();       // "!GV;#"
QString PowerOnFrame();    // "!PN;#"
QString PowerOffFrame();   // "!PF;#"
// Load current of load channel 1..11 in whole amperes: "!SC;" channel-1 ";" Pad2(amps) ";#".
QString SetCurrentFrame(int loadChannel, int amps);
// The LV load ratio in hundredths: 0.8 -> "!SLC;080;#".
QString LoadRatioFrame(float ratio);
// One calibration register, 00 to 27 (two digits); register 25 always carries the fraction "0000".
QString CalibrationRegisterFrame(int reg, float value);
// Test starts from the auto-testing fields. The one-character fields take the first character
// of their edit, or nothing when it is empty: the start buttons check the fields first.
QString CrossLoadStartFrame(const TAutoTestTexts& texts);   // "ATS"
QString NoiseStartFrame(const TAutoTestTexts& texts);       // "NTS"
QString EfficiencyStartFrame(const TAutoTestTexts& texts);  // "FAMC"
QString StandbyStartFrame(const TAutoTestTexts& texts);     // "STS"
