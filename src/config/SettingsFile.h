#pragma once
// settings.ini beside the program: every section, key, default and written form, and the
// operations that load and save AppSettings section by section. Each operation opens the file
// by its full path and works key by key (IniFile.h); nothing is kept between operations.
//
// Forms in the file: integers and colours in decimal, booleans "1"/"0", reals either as F3
// (FormatFixed(x, 7, 3): "0.800", "15.916") or as G15 (FormatGeneral(x, 15): the exact
// single-precision value, "3.13499999046326"), texts as they are. A value stored into an 8- or
// 16-bit field keeps its low-order bits (Port=257 is port 1). Absent or unreadable values take
// their defaults silently. A write the platform refuses throws EIniWriteError "Unable to write
// to <path>" at that key; the keys written before it stay in the file.

#include <QString>
#include <array>

#include "config/AppSettings.h"

// AppDir + "settings.ini".
QString SettingsFilePath();

// [PSU] of settings.ini, then [General], [Connection], [Stand], [Graph] and [Tresholds].
// "Debug", "EFC_PFC_Test" and "Extended_ADC" of [General] are read here and never written.
void ReadSettingsFile();
// [PSU], then [General] (without the three keys above), [Connection], [Stand], [Graph] and
// [Tresholds].
void WriteSettingsFile();

// [TR]: "Current", "Interval" and "Enabled" with the channel number, channel by channel.
void ReadTransientParams();
void WriteTransientParams();

// [ATS] into AppSettings.AutoTestParams; "t_max_power" defaults to the sum of the two values
// just read for "l_max_power" and "h_max_power".
void ReadAutoTestSection();
// The seven [ATS] keys from AppSettings.AutoTestParams.
void WriteAutoTestSection();
// The texts of the seven auto-testing fields, in field order (l_max_power, h_max_power,
// t_max_power, rails_12V, psu_type, steps, power_5vstb), into AppSettings.AutoTestParams.
// An empty text leaves its field; any other text must be a whole number (StrToInt) and keeps
// its low 16 bits. The first text that is not throws EConvertError; the fields taken before it
// keep their new values.
void TakeAutoTestTexts(const std::array<QString, 7>& texts);

// The [PSU] section of the INI file at `path` (settings.ini or a DUT profile). Reading cuts the
// four texts to DutTextLength characters and leaves `Reserved` alone; absent keys give empty
// texts, power 0 and the default maximum currents.
void ReadDutDescription(TDutDescription& record, const QString& path);
void WriteDutDescription(const TDutDescription& record, const QString& path);

// The configuration as it is read from an absent settings.ini, [TR], [ATS] and [PSU] included:
// what the settings dialog offers as its defaults.
TAppSettings DefaultAppSettings();
