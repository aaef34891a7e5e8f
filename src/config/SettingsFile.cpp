#include "config/SettingsFile.h"

#include <cmath>
#include <limits>

#include "config/IniFile.h"
#include "core/Conversions.h"
#include "core/ProgramState.h"

namespace {

const QString General = QStringLiteral("General");
const QString Connection = QStringLiteral("Connection");
const QString Stand = QStringLiteral("Stand");
const QString Graph = QStringLiteral("Graph");
const QString Thresholds = QStringLiteral("Tresholds");
const QString AutoTest = QStringLiteral("ATS");
const QString Transient = QStringLiteral("TR");
const QString Psu = QStringLiteral("PSU");

// "Debug" holds this value when the Debug page is to be shown.
constexpr int32_t DebugModeKey = 52917;

// The calibration keys are "M" and "C" followed by the channel's short name.
const IndexedArray<QString, 1, LoadChannelCount> CalibrationKeyNames = {{
    QStringLiteral("3V3"), QStringLiteral("5V"), QStringLiteral("5Vstb"), QStringLiteral("12V1"),
    QStringLiteral("12V2"), QStringLiteral("12V3"), QStringLiteral("12V4"), QStringLiteral("12V5"),
    QStringLiteral("12V6"), QStringLiteral("12V7"), QStringLiteral("12V8"),
}};

constexpr IndexedArray<TColor, 1, 3> DefaultGUIColor = {{15135487, 15132415, 14942207}};

// Colours 1..13 are the deviation scale, 14..19 the curves and background, 20..28 the noise scale.
constexpr IndexedArray<TColor, 1, 28> DefaultColor = {{
    255, 16747008, 16764672, 13555456, 7586560, 7069440, 65280, 55155, 48788, 55246, 47838, 28143, 16715023,
    16777215, 8388608, 128, 255, 32768, 16711680,
    65280, 55155, 48788, 32896, 32768, 55246, 47838, 28143, 255,
}};

constexpr IndexedArray<uint16_t, 1, LoadChannelCount> DefaultMaxCurrent = {{20, 25, 10, 25, 25, 25, 30, 30, 30, 30, 30}};

QString Numbered(const char* key, int n) { return QLatin1String(key) + QString::number(n); }

QString F3(double x) { return FormatFixed(x, 7, 3); }
QString G15(double x) { return FormatGeneral(x, 15); }

// Low-order bits of a value read for a narrow field.
uint8_t Low8(int32_t v) { return static_cast<uint8_t>(v); }
uint16_t Low16(int32_t v) { return static_cast<uint16_t>(v); }

float ReadSingle(const TIniFile& ini, const QString& section, const QString& key, double fallback)
{
    // A number too large for single precision is as unusable as text that is no number.
    const double value = ini.ReadFloat(section, key, fallback);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return static_cast<float>(fallback);
    return static_cast<float>(value);
}

// Colours are read and written as signed 32-bit decimals, the only form StrToInt reads back for
// every 32-bit value.
TColor ReadColor(const TIniFile& ini, const QString& section, const QString& key, TColor fallback)
{
    return static_cast<TColor>(ini.ReadInteger(section, key, static_cast<int32_t>(fallback)));
}

void WriteColor(const TIniFile& ini, const QString& section, const QString& key, TColor value)
{
    ini.WriteInteger(section, key, static_cast<int32_t>(value));
}

void ReadDut(const TIniFile& ini, TDutDescription& record)
{
    record.Vendor = ini.ReadString(Psu, QStringLiteral("Vendor"), QString()).left(DutTextLength);
    record.Model = ini.ReadString(Psu, QStringLiteral("Model"), QString()).left(DutTextLength);
    record.Code = ini.ReadString(Psu, QStringLiteral("Code"), QString()).left(DutTextLength);
    record.SN = ini.ReadString(Psu, QStringLiteral("SN"), QString()).left(DutTextLength);
    record.Power = Low16(ini.ReadInteger(Psu, QStringLiteral("Power"), 0));
    for (int n = 1; n <= LoadChannelCount; ++n)
        record.MaxCurrent[n] = Low16(ini.ReadInteger(Psu, Numbered("MaxCurrent", n), DefaultMaxCurrent[n]));
}

void ReadGeneral(const TIniFile& ini, TAppSettings& s)
{
    s.DebugMode = ini.ReadInteger(General, QStringLiteral("Debug"), 0) == DebugModeKey;
    s.EfcPfcTest = ini.ReadInteger(General, QStringLiteral("EFC_PFC_Test"), 0) == 1;
    const int32_t adc = ini.ReadInteger(General, QStringLiteral("Extended_ADC"), 0);
    s.ExtendedAdc = adc == 12 || adc == 24;
    s.ExtendedAdc24 = adc == 24;
    s.WriteLog = ini.ReadBool(General, QStringLiteral("WriteLog"), false);
    s.LVRatio = ReadSingle(ini, General, QStringLiteral("LVRatio"), 0.8);
    s.GVTimeout = Low16(ini.ReadInteger(General, QStringLiteral("GVTimeout"), 100));
    for (int n = 1; n <= 3; ++n)
        s.GUIColor[n] = ReadColor(ini, General, Numbered("GUIColor", n), DefaultGUIColor[n]);
}

void ReadConnection(const TIniFile& ini, TCOMSettings& c)
{
    c.Port = Low8(ini.ReadInteger(Connection, QStringLiteral("Port"), 1));
    c.Speed = ini.ReadInteger(Connection, QStringLiteral("Speed"), 115200);
    c.DataBits = Low8(ini.ReadInteger(Connection, QStringLiteral("DataBits"), 8));
    c.Parity = ini.ReadString(Connection, QStringLiteral("Parity"), QStringLiteral("none"));
    c.StopBits = ini.ReadString(Connection, QStringLiteral("StopBits"), QStringLiteral("1"));
    c.Hanshaking = ini.ReadString(Connection, QStringLiteral("Hanshaking"), QStringLiteral("none"));
}

void ReadStand(const TIniFile& ini, TCalibrationSet& c)
{
    for (int n = 1; n <= LoadChannelCount; ++n)
        c.MValue[n] = ReadSingle(ini, Stand, u'M' + CalibrationKeyNames[n], 15.916);
    for (int n = 1; n <= LoadChannelCount; ++n)
        c.CValue[n] = ReadSingle(ini, Stand, u'C' + CalibrationKeyNames[n], 5.7);
    for (int n = 1; n <= 4; ++n)
        c.MTValue[n] = ReadSingle(ini, Stand, Numbered("MT", n), 0);
    c.AREF = ReadSingle(ini, Stand, QStringLiteral("AREF"), 3.3);
    c.FADC = ini.ReadInteger(Stand, QStringLiteral("FADC"), 2);
    c.FCPU = ini.ReadInteger(Stand, QStringLiteral("FCPU"), 18432000);
    c.FMCK = ini.ReadInteger(Stand, QStringLiteral("FMCK"), 48000000);
    c.MDAC = Low8(ini.ReadInteger(Stand, QStringLiteral("MDAC"), 0));
}

void ReadGraph(const TIniFile& ini, TAppSettings& s)
{
    s.DotShape = Low8(ini.ReadInteger(Graph, QStringLiteral("DotShape"), 0));
    s.DotWidth = Low8(ini.ReadInteger(Graph, QStringLiteral("DotWidth"), 5));
    s.DotHeight = Low8(ini.ReadInteger(Graph, QStringLiteral("DotHeight"), 5));
    for (int n = 1; n <= 28; ++n)
        s.Color[n] = ReadColor(ini, Graph, Numbered("Color", n), DefaultColor[n]);
}

void ReadThresholds(const TIniFile& ini, TAppSettings& s)
{
    for (int n = 1; n <= LoadChannelCount; ++n) {
        TChannelThreshold& t = s.ChannelThresholds[n];
        // The products are taken in double and only then stored as single: 3.135, 3.465, ...
        const double nominal = NominalVoltage[n];
        t.Vmin = ReadSingle(ini, Thresholds, Numbered("Vmin", n), nominal * 0.95);
        t.Vmax = ReadSingle(ini, Thresholds, Numbered("Vmax", n), nominal * 1.05);
        t.Imax = ReadSingle(ini, Thresholds, Numbered("Imax", n), 30);
        t.Nmax = Low16(ini.ReadInteger(Thresholds, Numbered("Nmax", n), n <= 3 ? 50 : 120));
    }
}

void ReadTransient(const TIniFile& ini, IndexedArray<TTransientParam, 1, LoadChannelCount>& params)
{
    for (int n = 1; n <= LoadChannelCount; ++n) {
        params[n].current = Low8(ini.ReadInteger(Transient, Numbered("Current", n), 0));
        params[n].interval = Low16(ini.ReadInteger(Transient, Numbered("Interval", n), 0));
        params[n].enabled = ini.ReadBool(Transient, Numbered("Enabled", n), false);
    }
}

void ReadAutoTest(const TIniFile& ini, TAutoTestParams& p)
{
    p.l_max_power = Low16(ini.ReadInteger(AutoTest, QStringLiteral("l_max_power"), 200));
    p.h_max_power = Low16(ini.ReadInteger(AutoTest, QStringLiteral("h_max_power"), 1200));
    // The sum of the two fields as they now are (each already cut to 16 bits).
    p.t_max_power = Low16(ini.ReadInteger(AutoTest, QStringLiteral("t_max_power"), p.l_max_power + p.h_max_power));
    p.rails_12V = Low16(ini.ReadInteger(AutoTest, QStringLiteral("rails_12V"), 2));
    p.psu_type = Low16(ini.ReadInteger(AutoTest, QStringLiteral("psu_type"), 0));
    p.steps = Low16(ini.ReadInteger(AutoTest, QStringLiteral("steps"), 200));
    p.power_5vstb = Low16(ini.ReadInteger(AutoTest, QStringLiteral("power_5vstb"), 50));
}

// The fields of the auto-testing parameters in the order of the front-panel fields and of [ATS].
std::array<uint16_t*, 7> AutoTestFields(TAutoTestParams& p)
{
    return {&p.l_max_power, &p.h_max_power, &p.t_max_power, &p.rails_12V, &p.psu_type, &p.steps, &p.power_5vstb};
}

const std::array<QString, 7> AutoTestKeys = {
    QStringLiteral("l_max_power"), QStringLiteral("h_max_power"), QStringLiteral("t_max_power"),
    QStringLiteral("rails_12V"),   QStringLiteral("psu_type"),    QStringLiteral("steps"),
    QStringLiteral("power_5vstb"),
};

} // namespace

QString SettingsFilePath() { return AppDir + QStringLiteral("settings.ini"); }

void ReadDutDescription(TDutDescription& record, const QString& path) { ReadDut(TIniFile(path), record); }

void WriteDutDescription(const TDutDescription& record, const QString& path)
{
    const TIniFile ini(path);
    ini.WriteString(Psu, QStringLiteral("Vendor"), record.Vendor);
    ini.WriteString(Psu, QStringLiteral("Model"), record.Model);
    ini.WriteString(Psu, QStringLiteral("Code"), record.Code);
    ini.WriteString(Psu, QStringLiteral("SN"), record.SN);
    ini.WriteInteger(Psu, QStringLiteral("Power"), record.Power);
    for (int n = 1; n <= LoadChannelCount; ++n)
        ini.WriteInteger(Psu, Numbered("MaxCurrent", n), record.MaxCurrent[n]);
}

void ReadSettingsFile()
{
    const QString path = SettingsFilePath();
    ReadDutDescription(AppSettings.DutDescription, path);
    const TIniFile ini(path);
    ReadGeneral(ini, AppSettings);
    ReadConnection(ini, AppSettings.COMSettings);
    ReadStand(ini, AppSettings.CalibrationSet);
    ReadGraph(ini, AppSettings);
    ReadThresholds(ini, AppSettings);
}

void WriteSettingsFile()
{
    const QString path = SettingsFilePath();
    WriteDutDescription(AppSettings.DutDescription, path);
    const TIniFile ini(path);
    const TAppSettings& s = AppSettings;

    ini.WriteBool(General, QStringLiteral("WriteLog"), s.WriteLog);
    ini.WriteString(General, QStringLiteral("LVRatio"), F3(s.LVRatio));
    ini.WriteInteger(General, QStringLiteral("GVTimeout"), s.GVTimeout);
    for (int n = 1; n <= 3; ++n)
        WriteColor(ini, General, Numbered("GUIColor", n), s.GUIColor[n]);

    const TCOMSettings& com = s.COMSettings;
    ini.WriteInteger(Connection, QStringLiteral("Port"), com.Port);
    ini.WriteInteger(Connection, QStringLiteral("Speed"), com.Speed);
    ini.WriteInteger(Connection, QStringLiteral("DataBits"), com.DataBits);
    ini.WriteString(Connection, QStringLiteral("Parity"), com.Parity);
    ini.WriteString(Connection, QStringLiteral("StopBits"), com.StopBits);
    ini.WriteString(Connection, QStringLiteral("Hanshaking"), com.Hanshaking);

    const TCalibrationSet& cal = s.CalibrationSet;
    for (int n = 1; n <= LoadChannelCount; ++n)
        ini.WriteString(Stand, u'M' + CalibrationKeyNames[n], F3(cal.MValue[n]));
    for (int n = 1; n <= LoadChannelCount; ++n)
        ini.WriteString(Stand, u'C' + CalibrationKeyNames[n], F3(cal.CValue[n]));
    for (int n = 1; n <= 4; ++n)
        ini.WriteString(Stand, Numbered("MT", n), F3(cal.MTValue[n]));
    ini.WriteString(Stand, QStringLiteral("AREF"), F3(cal.AREF));
    ini.WriteInteger(Stand, QStringLiteral("FADC"), cal.FADC);
    ini.WriteInteger(Stand, QStringLiteral("FCPU"), cal.FCPU);
    ini.WriteInteger(Stand, QStringLiteral("FMCK"), cal.FMCK);
    ini.WriteInteger(Stand, QStringLiteral("MDAC"), cal.MDAC);

    ini.WriteInteger(Graph, QStringLiteral("DotShape"), s.DotShape);
    ini.WriteInteger(Graph, QStringLiteral("DotWidth"), s.DotWidth);
    ini.WriteInteger(Graph, QStringLiteral("DotHeight"), s.DotHeight);
    for (int n = 1; n <= 28; ++n)
        WriteColor(ini, Graph, Numbered("Color", n), s.Color[n]);

    for (int n = 1; n <= LoadChannelCount; ++n) {
        const TChannelThreshold& t = s.ChannelThresholds[n];
        ini.WriteString(Thresholds, Numbered("Vmin", n), G15(t.Vmin));
        ini.WriteString(Thresholds, Numbered("Vmax", n), G15(t.Vmax));
        ini.WriteString(Thresholds, Numbered("Imax", n), G15(t.Imax));
        ini.WriteString(Thresholds, Numbered("Nmax", n), G15(t.Nmax));
    }
}

void ReadTransientParams() { ReadTransient(TIniFile(SettingsFilePath()), AppSettings.TransientParams); }

void WriteTransientParams()
{
    const TIniFile ini(SettingsFilePath());
    for (int n = 1; n <= LoadChannelCount; ++n) {
        const TTransientParam& p = AppSettings.TransientParams[n];
        ini.WriteInteger(Transient, Numbered("Current", n), p.current);
        ini.WriteInteger(Transient, Numbered("Interval", n), p.interval);
        ini.WriteBool(Transient, Numbered("Enabled", n), p.enabled);
    }
}

void ReadAutoTestSection() { ReadAutoTest(TIniFile(SettingsFilePath()), AppSettings.AutoTestParams); }

void WriteAutoTestSection()
{
    const TIniFile ini(SettingsFilePath());
    const auto fields = AutoTestFields(AppSettings.AutoTestParams);
    for (size_t i = 0; i < fields.size(); ++i)
        ini.WriteInteger(AutoTest, AutoTestKeys[i], *fields[i]);
}

void TakeAutoTestTexts(const std::array<QString, 7>& texts)
{
    const auto fields = AutoTestFields(AppSettings.AutoTestParams);
    for (size_t i = 0; i < fields.size(); ++i)
        if (!texts[i].isEmpty())
            *fields[i] = Low16(StrToInt(texts[i]));
}

TAppSettings DefaultAppSettings()
{
    // A file without a name reads every key as its default.
    const TIniFile none{QString()};
    TAppSettings s;
    ReadDut(none, s.DutDescription);
    ReadGeneral(none, s);
    ReadConnection(none, s.COMSettings);
    ReadStand(none, s.CalibrationSet);
    ReadGraph(none, s);
    ReadThresholds(none, s);
    ReadTransient(none, s.TransientParams);
    ReadAutoTest(none, s.AutoTestParams);
    return s;
}
