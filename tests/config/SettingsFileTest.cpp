#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <functional>
#include <map>
#include <optional>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "config/SettingsFile.h"
#include "core/Definitions.h"
#include "core/Errors.h"
#include "core/ProgramState.h"

namespace {

void ReadWholeConfiguration()
{
    ReadSettingsFile();
    ReadTransientParams();
    ReadAutoTestSection();
}

void WriteWholeConfiguration()
{
    WriteSettingsFile();
    WriteTransientParams();
    WriteAutoTestSection();
}

// Section names in file order, and the key names of each, as a program other than this one
// would see them: the parts of the file the checks below look at.
struct TFileLayout {
    QStringList Sections;
    std::map<QString, QStringList> Keys;
};

TFileLayout LayoutOf(const QByteArray& bytes)
{
    TFileLayout layout;
    QString section;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        if (line.startsWith(u'[')) {
            section = line.mid(1, line.indexOf(u']') - 1);
            layout.Sections << section;
        } else if (line.contains(u'=')) {
            layout.Keys[section] << line.left(line.indexOf(u'='));
        }
    }
    return layout;
}

QStringList Numbered(const QStringList& stems, int count)
{
    QStringList keys;
    for (int n = 1; n <= count; ++n)
        for (const QString& stem : stems)
            keys << stem + QString::number(n);
    return keys;
}

const QStringList CalibrationNames = {"3V3", "5V", "5Vstb", "12V1", "12V2", "12V3", "12V4", "12V5", "12V6", "12V7", "12V8"};

QStringList Prefixed(const QString& prefix, const QStringList& names)
{
    QStringList keys;
    for (const QString& name : names)
        keys << prefix + name;
    return keys;
}

// Every field that a save and a read carry, by name, where two records differ.
QStringList Differences(const TAppSettings& a, const TAppSettings& b)
{
    QStringList diff;
    const auto check = [&diff](bool same, const QString& name) {
        if (!same)
            diff << name;
    };
    check(a.WriteLog == b.WriteLog, "WriteLog");
    check(a.LVRatio == b.LVRatio, "LVRatio");
    check(a.GVTimeout == b.GVTimeout, "GVTimeout");
    for (int n = 1; n <= 3; ++n)
        check(a.GUIColor[n] == b.GUIColor[n], QString("GUIColor%1").arg(n));
    check(a.DebugMode == b.DebugMode, "DebugMode");
    check(a.EfcPfcTest == b.EfcPfcTest, "EfcPfcTest");
    check(a.ExtendedAdc == b.ExtendedAdc, "ExtendedAdc");
    check(a.ExtendedAdc24 == b.ExtendedAdc24, "ExtendedAdc24");
    const TCOMSettings& ca = a.COMSettings;
    const TCOMSettings& cb = b.COMSettings;
    check(ca.Port == cb.Port, "Port");
    check(ca.Speed == cb.Speed, "Speed");
    check(ca.Parity == cb.Parity, "Parity");
    check(ca.DataBits == cb.DataBits, "DataBits");
    check(ca.StopBits == cb.StopBits, "StopBits");
    check(ca.Hanshaking == cb.Hanshaking, "Hanshaking");
    const TCalibrationSet& ka = a.CalibrationSet;
    const TCalibrationSet& kb = b.CalibrationSet;
    for (int n = 1; n <= LoadChannelCount; ++n) {
        check(ka.MValue[n] == kb.MValue[n], QString("MValue%1").arg(n));
        check(ka.CValue[n] == kb.CValue[n], QString("CValue%1").arg(n));
    }
    for (int n = 1; n <= 4; ++n)
        check(ka.MTValue[n] == kb.MTValue[n], QString("MTValue%1").arg(n));
    check(ka.AREF == kb.AREF, "AREF");
    check(ka.FADC == kb.FADC, "FADC");
    check(ka.FCPU == kb.FCPU, "FCPU");
    check(ka.FMCK == kb.FMCK, "FMCK");
    check(ka.MDAC == kb.MDAC, "MDAC");
    check(a.DotShape == b.DotShape, "DotShape");
    check(a.DotWidth == b.DotWidth, "DotWidth");
    check(a.DotHeight == b.DotHeight, "DotHeight");
    for (int n = 1; n <= 28; ++n)
        check(a.Color[n] == b.Color[n], QString("Color%1").arg(n));
    for (int n = 1; n <= LoadChannelCount; ++n) {
        const TChannelThreshold& ta = a.ChannelThresholds[n];
        const TChannelThreshold& tb = b.ChannelThresholds[n];
        check(ta.Vmin == tb.Vmin, QString("Vmin%1").arg(n));
        check(ta.Vmax == tb.Vmax, QString("Vmax%1").arg(n));
        check(ta.Imax == tb.Imax, QString("Imax%1").arg(n));
        check(ta.Nmax == tb.Nmax, QString("Nmax%1").arg(n));
        const TTransientParam& pa = a.TransientParams[n];
        const TTransientParam& pb = b.TransientParams[n];
        check(pa.current == pb.current, QString("Current%1").arg(n));
        check(pa.interval == pb.interval, QString("Interval%1").arg(n));
        check(pa.enabled == pb.enabled, QString("Enabled%1").arg(n));
        check(a.DutDescription.MaxCurrent[n] == b.DutDescription.MaxCurrent[n], QString("MaxCurrent%1").arg(n));
    }
    const TAutoTestParams& pa = a.AutoTestParams;
    const TAutoTestParams& pb = b.AutoTestParams;
    check(pa.l_max_power == pb.l_max_power, "l_max_power");
    check(pa.h_max_power == pb.h_max_power, "h_max_power");
    check(pa.t_max_power == pb.t_max_power, "t_max_power");
    check(pa.rails_12V == pb.rails_12V, "rails_12V");
    check(pa.psu_type == pb.psu_type, "psu_type");
    check(pa.steps == pb.steps, "steps");
    check(pa.power_5vstb == pb.power_5vstb, "power_5vstb");
    const TDutDescription& da = a.DutDescription;
    const TDutDescription& db = b.DutDescription;
    check(da.Vendor == db.Vendor, "Vendor");
    check(da.Model == db.Model, "Model");
    check(da.Code == db.Code, "Code");
    check(da.SN == db.SN, "SN");
    check(da.Power == db.Power, "Power");
    check(std::equal(std::begin(da.Reserved), std::end(da.Reserved), std::begin(db.Reserved)), "Reserved");
    return diff;
}

// A configuration with no field at its default, with values that are hard to carry: the exact
// single-precision limits, Latin-1 text, "=" inside a text, the widest integers of each field.
TAppSettings UnusualSettings()
{
    TAppSettings s;
    s.WriteLog = true;
    s.LVRatio = 1.25f;
    s.GVTimeout = 65535;
    s.GUIColor[1] = 0x00010203;
    s.GUIColor[2] = 0x00FFFFFF;
    s.GUIColor[3] = 0;
    s.COMSettings.Port = 255;
    s.COMSettings.Speed = 9600;
    s.COMSettings.Parity = "even";
    s.COMSettings.DataBits = 7;
    s.COMSettings.StopBits = "1.5";
    s.COMSettings.Hanshaking = "RTS/CTS+XON/XOFF";
    for (int n = 1; n <= LoadChannelCount; ++n) {
        s.CalibrationSet.MValue[n] = 16 + n * 0.125f;
        s.CalibrationSet.CValue[n] = -0.5f * n;
        s.ChannelThresholds[n].Vmin = NominalVoltage[n] * 0.9123f;
        s.ChannelThresholds[n].Vmax = 123456.789f + n;
        s.ChannelThresholds[n].Imax = 1.0f / (3 * n);
        s.ChannelThresholds[n].Nmax = static_cast<uint16_t>(5000 * n + 1);
        s.TransientParams[n] = {static_cast<uint8_t>(200 + n), static_cast<uint16_t>(60000 + n), n % 2 == 1};
        s.DutDescription.MaxCurrent[n] = static_cast<uint16_t>(3 * n);
    }
    s.ChannelThresholds[1].Vmin = 3.135f;
    s.ChannelThresholds[11].Imax = 1e-6f;
    for (int n = 1; n <= 4; ++n)
        s.CalibrationSet.MTValue[n] = 1.5f * n;
    s.CalibrationSet.AREF = 2.5f;
    s.CalibrationSet.FADC = -3;
    s.CalibrationSet.FCPU = 2147483647;
    s.CalibrationSet.FMCK = 1;
    s.CalibrationSet.MDAC = 1;
    s.DotShape = 2;
    s.DotWidth = 9;
    s.DotHeight = 255;
    for (int n = 1; n <= 28; ++n)
        s.Color[n] = static_cast<TColor>(n * 0x010101);
    s.AutoTestParams = {1, 2, 3, 4, 5, 6, 65535};
    s.DutDescription.Vendor = "M\u00fcller & S\u00f6hne";
    s.DutDescription.Model = "a=b";
    s.DutDescription.Code = "X-1;2 [rev]";
    s.DutDescription.SN = "000123";
    s.DutDescription.Power = 65535;
    return s;
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

    QByteArray SettingsBytes() const { return Fixture->ReadFile("settings.ini"); }

    // Checks every default of the tables; fails the running test on the first difference.
    static void VerifyDefaults(const TAppSettings& s)
    {
        QCOMPARE(s.WriteLog, false);
        QCOMPARE(s.LVRatio, 0.8f);
        QCOMPARE(int(s.GVTimeout), 100);
        QCOMPARE(s.GUIColor[1], TColor(15135487));
        QCOMPARE(s.GUIColor[2], TColor(15132415));
        QCOMPARE(s.GUIColor[3], TColor(14942207));
        QCOMPARE(s.DebugMode, false);
        QCOMPARE(s.EfcPfcTest, false);
        QCOMPARE(s.ExtendedAdc, false);
        QCOMPARE(s.ExtendedAdc24, false);
        QCOMPARE(int(s.COMSettings.Port), 1);
        QCOMPARE(s.COMSettings.Speed, 115200);
        QCOMPARE(int(s.COMSettings.DataBits), 8);
        QCOMPARE(s.COMSettings.Parity, QString("none"));
        QCOMPARE(s.COMSettings.StopBits, QString("1"));
        QCOMPARE(s.COMSettings.Hanshaking, QString("none"));
        for (int n = 1; n <= LoadChannelCount; ++n) {
            QCOMPARE(s.CalibrationSet.MValue[n], 15.916f);
            QCOMPARE(s.CalibrationSet.CValue[n], 5.7f);
            QCOMPARE(s.ChannelThresholds[n].Imax, 30.0f);
            QCOMPARE(int(s.TransientParams[n].current), 0);
            QCOMPARE(int(s.TransientParams[n].interval), 0);
            QCOMPARE(s.TransientParams[n].enabled, false);
        }
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(s.CalibrationSet.MTValue[n], 0.0f);
        QCOMPARE(s.CalibrationSet.AREF, 3.3f);
        QCOMPARE(s.CalibrationSet.FADC, 2);
        QCOMPARE(s.CalibrationSet.FCPU, 18432000);
        QCOMPARE(s.CalibrationSet.FMCK, 48000000);
        QCOMPARE(int(s.CalibrationSet.MDAC), 0);
        QCOMPARE(int(s.DotShape), 0);
        QCOMPARE(int(s.DotWidth), 5);
        QCOMPARE(int(s.DotHeight), 5);
        const QList<TColor> colors = {255,      16747008, 16764672, 13555456, 7586560, 7069440, 65280,
                                      55155,    48788,    55246,    47838,    28143,   16715023, 16777215,
                                      8388608,  128,      255,      32768,    16711680, 65280,  55155,
                                      48788,    32896,    32768,    55246,    47838,   28143,   255};
        QList<TColor> read;
        for (int n = 1; n <= 28; ++n)
            read << s.Color[n];
        QCOMPARE(read, colors);
        const TAutoTestParams& p = s.AutoTestParams;
        QCOMPARE((QList<int>{p.l_max_power, p.h_max_power, p.t_max_power, p.rails_12V, p.psu_type, p.steps,
                             p.power_5vstb}),
                 (QList<int>{200, 1200, 1400, 2, 0, 200, 50}));
        const TDutDescription& d = s.DutDescription;
        QVERIFY(d.Vendor.isEmpty() && d.Model.isEmpty() && d.Code.isEmpty() && d.SN.isEmpty());
        QCOMPARE(int(d.Power), 0);
        QList<int> currents;
        for (int n = 1; n <= LoadChannelCount; ++n)
            currents << d.MaxCurrent[n];
        QCOMPARE(currents, (QList<int>{20, 25, 10, 25, 25, 25, 30, 30, 30, 30, 30}));
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void Defaults_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("no file") << "absent";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("only other sections") << "foreign";
        QTest::newRow("DefaultAppSettings") << "function";
    }
    void Defaults()
    {
        QFETCH(QString, source);
        if (source == "empty")
            Fixture->WriteFile("settings.ini", "");
        if (source == "foreign")
            Fixture->WriteFile("settings.ini", "[Other]\r\nSpeed=9600\r\nPort=4\r\n\r\n[Generals]\r\nGVTimeout=5\r\n");
        if (source == "function") {
            AppSettings = DefaultAppSettings();
        } else {
            ReadWholeConfiguration();
        }
        VerifyDefaults(AppSettings);
        // Reading never creates the file.
        QCOMPARE(QFile::exists(SettingsFilePath()), source != "absent" && source != "function");
    }

    void ThresholdDefaults_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<float>("vmin");
        QTest::addColumn<float>("vmax");
        QTest::addColumn<int>("nmax");
        QTest::newRow("+3.3V") << 1 << 3.135f << 3.465f << 50;
        QTest::newRow("+5V") << 2 << 4.75f << 5.25f << 50;
        QTest::newRow("+5Vstb") << 3 << 4.75f << 5.25f << 50;
        for (int n = 4; n <= 11; ++n)
            QTest::addRow("+12V%d", n - 3) << n << 11.4f << 12.6f << 120;
    }
    void ThresholdDefaults()
    {
        QFETCH(int, channel);
        QFETCH(float, vmin);
        QFETCH(float, vmax);
        QFETCH(int, nmax);
        ReadSettingsFile();
        const TChannelThreshold& t = AppSettings.ChannelThresholds[channel];
        QCOMPARE(t.Vmin, vmin);
        QCOMPARE(t.Vmax, vmax);
        QCOMPARE(int(t.Nmax), nmax);
        QCOMPARE(DefaultAppSettings().ChannelThresholds[channel].Vmin, vmin);
    }

    void ReadValues_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("expected");
        QTest::newRow("Speed=abc") << QByteArray("[Connection]\r\nSpeed=abc\r\n") << "Speed" << 115200.0;
        QTest::newRow("names in other case") << QByteArray("[connection]\r\nSPEED=9600\r\n") << "Speed" << 9600.0;
        QTest::newRow("LVRatio=0,5") << QByteArray("[General]\r\nLVRatio=0,5\r\n") << "LVRatio" << double(0.8f);
        QTest::newRow("LVRatio too large for a single") << QByteArray("[General]\r\nLVRatio=1e39\r\n") << "LVRatio" << double(0.8f);
        QTest::newRow("Vmin1 too large for a single") << QByteArray("[Tresholds]\r\nVmin1=-1e39\r\n") << "Vmin1" << double(3.135f);
        QTest::newRow("LVRatio=0.5") << QByteArray("[General]\r\nLVRatio= 0.5 \r\n") << "LVRatio" << 0.5;
        QTest::newRow("Port=257") << QByteArray("[Connection]\r\nPort=257\r\n") << "Port" << 1.0;
        QTest::newRow("Port=-1") << QByteArray("[Connection]\r\nPort=-1\r\n") << "Port" << 255.0;
        QTest::newRow("Port=$10") << QByteArray("[Connection]\r\nPort=$10\r\n") << "Port" << 16.0;
        QTest::newRow("DotWidth=300") << QByteArray("[Graph]\r\nDotWidth=300\r\n") << "DotWidth" << 44.0;
        QTest::newRow("GVTimeout=65636") << QByteArray("[General]\r\nGVTimeout=65636\r\n") << "GVTimeout" << 100.0;
        QTest::newRow("Nmax1=5.5") << QByteArray("[Tresholds]\r\nNmax1=5.5\r\n") << "Nmax1" << 50.0;
        QTest::newRow("Nmax4=70000") << QByteArray("[Tresholds]\r\nNmax4=70000\r\n") << "Nmax4" << 4464.0;
        QTest::newRow("Vmin1 empty") << QByteArray("[Tresholds]\r\nVmin1=\r\n") << "Vmin1" << double(3.135f);
        QTest::newRow("Vmin1 written form") << QByteArray("[Tresholds]\r\nVmin1=3.13499999046326\r\n") << "Vmin1" << double(3.135f);
        QTest::newRow("Color1 in hex") << QByteArray("[Graph]\r\nColor1=0x00FF00\r\n") << "Color1" << 65280.0;
        QTest::newRow("MDAC=2") << QByteArray("[Stand]\r\nMDAC=258\r\n") << "MDAC" << 2.0;
        QTest::newRow("FCPU=garbage") << QByteArray("[Stand]\r\nFCPU=18.432 MHz\r\n") << "FCPU" << 18432000.0;
        QTest::newRow("Debug=52917") << QByteArray("[General]\r\nDebug=52917\r\n") << "DebugMode" << 1.0;
        QTest::newRow("Debug=52916") << QByteArray("[General]\r\nDebug=52916\r\n") << "DebugMode" << 0.0;
        QTest::newRow("Debug in hex") << QByteArray("[General]\r\nDebug=$CEB5\r\n") << "DebugMode" << 1.0;
        QTest::newRow("EFC_PFC_Test=1") << QByteArray("[General]\r\nEFC_PFC_Test=1\r\n") << "EfcPfcTest" << 1.0;
        QTest::newRow("EFC_PFC_Test=2") << QByteArray("[General]\r\nEFC_PFC_Test=2\r\n") << "EfcPfcTest" << 0.0;
        QTest::newRow("Extended_ADC=12") << QByteArray("[General]\r\nExtended_ADC=12\r\n") << "ExtendedAdc" << 1.0;
        QTest::newRow("Extended_ADC=12, not 24") << QByteArray("[General]\r\nExtended_ADC=12\r\n") << "ExtendedAdc24" << 0.0;
        QTest::newRow("Extended_ADC=24") << QByteArray("[General]\r\nExtended_ADC=24\r\n") << "ExtendedAdc" << 1.0;
        QTest::newRow("Extended_ADC=24, four decimals") << QByteArray("[General]\r\nExtended_ADC=24\r\n") << "ExtendedAdc24" << 1.0;
        QTest::newRow("Extended_ADC=13") << QByteArray("[General]\r\nExtended_ADC=13\r\n") << "ExtendedAdc" << 0.0;
        QTest::newRow("WriteLog=2") << QByteArray("[General]\r\nWriteLog=2\r\n") << "WriteLog" << 1.0;
        QTest::newRow("WriteLog=yes") << QByteArray("[General]\r\nWriteLog=yes\r\n") << "WriteLog" << 0.0;
        QTest::newRow("t_max_power from the two just read")
            << QByteArray("[ATS]\r\nl_max_power=300\r\nh_max_power=900\r\n") << "t_max_power" << 1200.0;
        QTest::newRow("t_max_power from a default and a value")
            << QByteArray("[ATS]\r\nh_max_power=100\r\n") << "t_max_power" << 300.0;
        QTest::newRow("t_max_power from values cut to 16 bits")
            << QByteArray("[ATS]\r\nl_max_power=65537\r\nh_max_power=abc\r\n") << "t_max_power" << 1201.0;
        QTest::newRow("t_max_power given")
            << QByteArray("[ATS]\r\nl_max_power=300\r\nh_max_power=900\r\nt_max_power=1000\r\n") << "t_max_power" << 1000.0;
        QTest::newRow("Current1=300") << QByteArray("[TR]\r\nCurrent1=300\r\n") << "Current1" << 44.0;
        QTest::newRow("Interval11=1500") << QByteArray("[TR]\r\nInterval11=1500\r\n") << "Interval11" << 1500.0;
        QTest::newRow("Enabled3=1") << QByteArray("[TR]\r\nEnabled3=1\r\n") << "Enabled3" << 1.0;
        QTest::newRow("MaxCurrent1=x") << QByteArray("[PSU]\r\nMaxCurrent1=x\r\n") << "MaxCurrent1" << 20.0;
        QTest::newRow("Power=70000") << QByteArray("[PSU]\r\nPower=70000\r\n") << "Power" << 4464.0;
    }
    void ReadValues()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, field);
        QFETCH(double, expected);
        Fixture->WriteFile("settings.ini", file);
        ReadWholeConfiguration();
        const TAppSettings& s = AppSettings;
        const std::map<QString, std::function<double()>> fields = {
            {"Speed", [&] { return double(s.COMSettings.Speed); }},
            {"Port", [&] { return double(s.COMSettings.Port); }},
            {"LVRatio", [&] { return double(s.LVRatio); }},
            {"GVTimeout", [&] { return double(s.GVTimeout); }},
            {"WriteLog", [&] { return double(s.WriteLog); }},
            {"DebugMode", [&] { return double(s.DebugMode); }},
            {"EfcPfcTest", [&] { return double(s.EfcPfcTest); }},
            {"ExtendedAdc", [&] { return double(s.ExtendedAdc); }},
            {"ExtendedAdc24", [&] { return double(s.ExtendedAdc24); }},
            {"DotWidth", [&] { return double(s.DotWidth); }},
            {"Color1", [&] { return double(s.Color[1]); }},
            {"MDAC", [&] { return double(s.CalibrationSet.MDAC); }},
            {"FCPU", [&] { return double(s.CalibrationSet.FCPU); }},
            {"Vmin1", [&] { return double(s.ChannelThresholds[1].Vmin); }},
            {"Nmax1", [&] { return double(s.ChannelThresholds[1].Nmax); }},
            {"Nmax4", [&] { return double(s.ChannelThresholds[4].Nmax); }},
            {"t_max_power", [&] { return double(s.AutoTestParams.t_max_power); }},
            {"Current1", [&] { return double(s.TransientParams[1].current); }},
            {"Interval11", [&] { return double(s.TransientParams[11].interval); }},
            {"Enabled3", [&] { return double(s.TransientParams[3].enabled); }},
            {"MaxCurrent1", [&] { return double(s.DutDescription.MaxCurrent[1]); }},
            {"Power", [&] { return double(s.DutDescription.Power); }},
        };
        QVERIFY2(fields.count(field) == 1, qPrintable(field));
        QCOMPARE(fields.at(field)(), expected);
    }

    void DutTextsAreCutOnRead()
    {
        const QByteArray forty = "ABCDEFGHIJ0123456789abcdefghij!!!!!!!!!!";
        Fixture->WriteFile("profile.ini", "[Other]\r\nVendor=wrong\r\n[psu]\r\nVendor=" + forty + "\r\nModel=" + forty.left(30)
                                              + "\r\nCode= C1 \r\nSN=\r\n");
        TDutDescription record;
        std::fill(std::begin(record.Reserved), std::end(record.Reserved), uint8_t(7));
        record.SN = "old";
        ReadDutDescription(record, Fixture->Path("profile.ini"));
        QCOMPARE(record.Vendor, QString(forty.left(30)));
        QCOMPARE(record.Model, QString(forty.left(30)));
        QCOMPARE(record.Code, QString("C1"));
        QCOMPARE(record.SN, QString());
        // The reserved bytes are never read from a file.
        QCOMPARE(int(record.Reserved[0]), 7);
        QCOMPARE(int(record.Reserved[5]), 7);
        QCOMPARE(int(record.MaxCurrent[3]), 10);
    }

    void WrittenForms_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("LVRatio F3") << "LVRatio=0.800";
        QTest::newRow("M3V3 F3") << "M3V3=15.916";
        QTest::newRow("C12V8 F3") << "C12V8=5.700";
        QTest::newRow("MT4 F3 of zero") << "MT4=0.000";
        QTest::newRow("AREF F3") << "AREF=3.300";
        QTest::newRow("negative F3") << "C5V=-0.500";
        QTest::newRow("F3 rounds") << "M5V=16.001";
        QTest::newRow("Vmin1 G15") << "Vmin1=3.13499999046326";
        QTest::newRow("Vmax1 G15") << "Vmax1=3.46499991416931";
        QTest::newRow("Vmin2 G15 exact") << "Vmin2=4.75";
        QTest::newRow("Vmin4 G15") << "Vmin4=11.3999996185303";
        QTest::newRow("Vmax11 G15") << "Vmax11=12.6000003814697";
        QTest::newRow("Imax G15 whole") << "Imax1=30";
        QTest::newRow("Nmax plain digits") << "Nmax1=50";
        QTest::newRow("Nmax 16 bits") << "Nmax11=65535";
        QTest::newRow("boolean") << "WriteLog=0";
        QTest::newRow("integer") << "GVTimeout=100";
        QTest::newRow("colour") << "GUIColor1=15135487";
        QTest::newRow("graph colour") << "Color13=16715023";
        QTest::newRow("32-bit integer") << "FMCK=48000000";
        QTest::newRow("Parity") << "Parity=odd";
        QTest::newRow("Hanshaking") << "Hanshaking=none";
        QTest::newRow("empty text") << "Vendor=";
        QTest::newRow("max current") << "MaxCurrent3=10";
        QTest::newRow("transient boolean") << "Enabled1=1";
        QTest::newRow("transient interval") << "Interval11=0";
        QTest::newRow("auto-testing") << "t_max_power=1400";
    }
    void WrittenForms()
    {
        QFETCH(QString, line);
        AppSettings = DefaultAppSettings();
        AppSettings.COMSettings.Parity = "odd";
        AppSettings.CalibrationSet.CValue[2] = -0.5f;
        AppSettings.CalibrationSet.MValue[2] = 16.0006f;
        AppSettings.ChannelThresholds[11].Nmax = 65535;
        AppSettings.TransientParams[1].enabled = true;
        WriteWholeConfiguration();
        const QString file = "\r\n" + QString::fromLatin1(SettingsBytes());
        QVERIFY2(file.contains("\r\n" + line + "\r\n"), qPrintable(file));
    }

    void KeysInOrder_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("sections");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QStringList>("keys");
        const QStringList settingsSections = {"PSU", "General", "Connection", "Stand", "Graph", "Tresholds"};
        QTest::newRow("[PSU]") << "settings" << settingsSections << "PSU"
                               << QStringList{"Vendor", "Model", "Code", "SN", "Power"} + Numbered({"MaxCurrent"}, 11);
        QTest::newRow("[General] without the hand-set keys")
            << "settings" << settingsSections << "General"
            << QStringList{"WriteLog", "LVRatio", "GVTimeout", "GUIColor1", "GUIColor2", "GUIColor3"};
        QTest::newRow("[Connection]") << "settings" << settingsSections << "Connection"
                                      << QStringList{"Port", "Speed", "DataBits", "Parity", "StopBits", "Hanshaking"};
        QTest::newRow("[Stand]") << "settings" << settingsSections << "Stand"
                                 << Prefixed("M", CalibrationNames) + Prefixed("C", CalibrationNames)
                                        + QStringList{"MT1", "MT2", "MT3", "MT4", "AREF", "FADC", "FCPU", "FMCK", "MDAC"};
        QTest::newRow("[Graph]") << "settings" << settingsSections << "Graph"
                                 << QStringList{"DotShape", "DotWidth", "DotHeight"} + Numbered({"Color"}, 28);
        QTest::newRow("[Tresholds]") << "settings" << settingsSections << "Tresholds"
                                     << Numbered({"Vmin", "Vmax", "Imax", "Nmax"}, 11);
        QTest::newRow("[TR]") << "transient" << QStringList{"TR"} << "TR" << Numbered({"Current", "Interval", "Enabled"}, 11);
        QTest::newRow("[ATS]") << "autotest" << QStringList{"ATS"} << "ATS"
                               << QStringList{"l_max_power", "h_max_power", "t_max_power", "rails_12V", "psu_type",
                                              "steps", "power_5vstb"};
        QTest::newRow("DUT profile") << "profile" << QStringList{"PSU"} << "PSU"
                                     << QStringList{"Vendor", "Model", "Code", "SN", "Power"} + Numbered({"MaxCurrent"}, 11);
    }
    void KeysInOrder()
    {
        QFETCH(QString, operation);
        QFETCH(QStringList, sections);
        QFETCH(QString, section);
        QFETCH(QStringList, keys);
        AppSettings = DefaultAppSettings();
        if (operation == "settings")
            WriteSettingsFile();
        else if (operation == "transient")
            WriteTransientParams();
        else if (operation == "autotest")
            WriteAutoTestSection();
        else
            WriteDutDescription(AppSettings.DutDescription, SettingsFilePath());
        const TFileLayout layout = LayoutOf(SettingsBytes());
        QCOMPARE(layout.Sections, sections);
        QCOMPARE(layout.Keys.at(section), keys);
    }

    void EverythingSurvivesASave()
    {
        const TAppSettings saved = UnusualSettings();
        AppSettings = saved;
        WriteWholeConfiguration();
        ResetAppSettings();
        ReadWholeConfiguration();
        QCOMPARE(Differences(AppSettings, saved), QStringList());
        QCOMPARE(AppSettings.COMSettings.Parity, QString("even"));

        // A second save of what was read changes nothing in the file.
        const QByteArray first = SettingsBytes();
        WriteWholeConfiguration();
        QCOMPARE(SettingsBytes(), first);
    }

    void SaveKeepsHandWrittenKeysInPlace()
    {
        Fixture->WriteFile("settings.ini", "[General]\r\n"
                                           "Debug=52917\r\n"
                                           "WriteLog=1\r\n"
                                           "Extended_ADC=24\r\n"
                                           "MyOwnKey=hello\r\n"
                                           "\r\n"
                                           "[Custom]\r\n"
                                           "foo=bar\r\n"
                                           "\r\n"
                                           "[connection]\r\n"
                                           "PORT=3\r\n");
        ReadWholeConfiguration();
        QVERIFY(AppSettings.DebugMode && AppSettings.ExtendedAdc24 && AppSettings.WriteLog);
        AppSettings.COMSettings.Parity = "mark";
        WriteSettingsFile();
        const QByteArray expectedStart = "[General]\r\n"
                                         "Debug=52917\r\n"
                                         "WriteLog=1\r\n"
                                         "Extended_ADC=24\r\n"
                                         "MyOwnKey=hello\r\n"
                                         "LVRatio=0.800\r\n"
                                         "GVTimeout=100\r\n"
                                         "GUIColor1=15135487\r\n"
                                         "GUIColor2=15132415\r\n"
                                         "GUIColor3=14942207\r\n"
                                         "\r\n"
                                         "[Custom]\r\n"
                                         "foo=bar\r\n"
                                         "\r\n"
                                         "[connection]\r\n"
                                         "PORT=3\r\n"
                                         "Speed=115200\r\n"
                                         "DataBits=8\r\n"
                                         "Parity=mark\r\n"
                                         "StopBits=1\r\n"
                                         "Hanshaking=none\r\n"
                                         "\r\n"
                                         "[PSU]\r\n"
                                         "Vendor=\r\n";
        const QByteArray file = SettingsBytes();
        QVERIFY2(file.startsWith(expectedStart), file.constData());

        ResetAppSettings();
        ReadSettingsFile();
        QVERIFY(AppSettings.DebugMode);
        QVERIFY(AppSettings.ExtendedAdc && AppSettings.ExtendedAdc24);
        QCOMPARE(int(AppSettings.COMSettings.Port), 3);
        QCOMPARE(AppSettings.COMSettings.Parity, QString("mark"));
    }

    void ProfileWriteReplacesOnlyItsSection()
    {
        const QByteArray other = "[Connection]\r\nPort=4\r\n\r\n";
        Fixture->WriteFile("settings.ini", other + "[PSU]\r\nVendor=Old\r\nPower=300\r\n\r\n[ATS]\r\nsteps=5\r\n");
        TDutDescription record;
        record.Vendor = "New";
        record.Power = 450;
        for (int n = 1; n <= LoadChannelCount; ++n)
            record.MaxCurrent[n] = static_cast<uint16_t>(n);
        WriteDutDescription(record, SettingsFilePath());
        const QByteArray file = SettingsBytes();
        QVERIFY(file.startsWith(other + "[PSU]\r\nVendor=New\r\nPower=450\r\nModel=\r\n"));
        QVERIFY(file.endsWith("MaxCurrent11=11\r\n\r\n[ATS]\r\nsteps=5\r\n"));
        TDutDescription back;
        ReadDutDescription(back, SettingsFilePath());
        QCOMPARE(back.Vendor, QString("New"));
        QCOMPARE(int(back.Power), 450);
        QCOMPARE(int(back.MaxCurrent[7]), 7);
    }

    void TakeAutoTestTexts_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QString>("error");
        QTest::newRow("all filled") << QStringList{"1", "2", "3", "4", "5", "6", "7"} << QList<int>{1, 2, 3, 4, 5, 6, 7}
                                    << QString();
        QTest::newRow("empty texts keep their fields") << QStringList{"", "900", "", "", "", "", ""}
                                                       << QList<int>{200, 900, 1400, 2, 0, 200, 50} << QString();
        QTest::newRow("low 16 bits") << QStringList{"65536", "70000", "-1", "", "", "", ""}
                                     << QList<int>{0, 4464, 65535, 2, 0, 200, 50} << QString();
        QTest::newRow("not a number stops there")
            << QStringList{"10", "20", "abc", "40", "50", "60", "70"} << QList<int>{10, 20, 1400, 2, 0, 200, 50}
            << "'abc' is not a valid integer value";
        QTest::newRow("first text not a number") << QStringList{"12a", "5", "", "", "", "", ""}
                                                 << QList<int>{200, 1200, 1400, 2, 0, 200, 50}
                                                 << "'12a' is not a valid integer value";
        QTest::newRow("blank is not empty") << QStringList{"", "", "", "", "", "", " "}
                                            << QList<int>{200, 1200, 1400, 2, 0, 200, 50}
                                            << "' ' is not a valid integer value";
    }
    void TakeAutoTestTexts()
    {
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, fields);
        QFETCH(QString, error);
        AppSettings = DefaultAppSettings();
        std::array<QString, 7> input;
        std::copy(texts.begin(), texts.end(), input.begin());
        QString thrown;
        try {
            ::TakeAutoTestTexts(input);
        } catch (const EConvertError& e) {
            thrown = e.Message;
        }
        QCOMPARE(thrown, error);
        const TAutoTestParams& p = AppSettings.AutoTestParams;
        QCOMPARE((QList<int>{p.l_max_power, p.h_max_power, p.t_max_power, p.rails_12V, p.psu_type, p.steps,
                             p.power_5vstb}),
                 fields);
        QVERIFY(!QFile::exists(SettingsFilePath()));
    }

    void RefusedSave_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("operation");
        for (const char* operation : {"settings", "transient", "autotest", "profile"}) {
            QTest::addRow("settings.ini is a directory, %s", operation) << "directory" << operation;
            QTest::addRow("program directory is a file, %s", operation) << "file" << operation;
        }
    }
    void RefusedSave()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, operation);
        if (obstacle == "directory") {
            QVERIFY(QDir(Fixture->Dir()).mkdir("settings.ini"));
        } else {
            Fixture->WriteFile("plain", "x");
            AppDir = Fixture->Path("plain") + "/";
        }
        AppSettings = DefaultAppSettings();
        QString thrown;
        try {
            if (operation == "settings")
                WriteSettingsFile();
            else if (operation == "transient")
                WriteTransientParams();
            else if (operation == "autotest")
                WriteAutoTestSection();
            else
                WriteDutDescription(AppSettings.DutDescription, SettingsFilePath());
        } catch (const EIniWriteError& e) {
            thrown = e.Message;
        }
        QCOMPARE(thrown, "Unable to write to " + AppDir + "settings.ini");
        // Reading what cannot be written gives the defaults without a fault.
        ResetAppSettings();
        ReadWholeConfiguration();
        VerifyDefaults(AppSettings);
    }

    void RefusalMidwayKeepsTheKeysWrittenBefore()
    {
#ifdef Q_OS_LINUX
        // The whole save, for comparison.
        AppSettings = UnusualSettings();
        WriteSettingsFile();
        const QByteArray whole = SettingsBytes();
        QVERIFY(QFile::remove(SettingsFilePath()));

        // Then the same save while no file may grow beyond `limit` bytes: somewhere in the
        // middle a key no longer fits.
        constexpr rlim_t limit = 1000;
        QVERIFY(whole.size() > qsizetype(limit) * 2);
        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        rlimit small = previous;
        small.rlim_cur = limit;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString thrown;
        try {
            WriteSettingsFile();
        } catch (const EIniWriteError& e) {
            thrown = e.Message;
        }
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(thrown, "Unable to write to " + SettingsFilePath());
        const QByteArray partial = SettingsBytes();
        // Every key before the one that failed is in the file, whole; nothing after it.
        QVERIFY(partial.size() <= qsizetype(limit));
        QVERIFY(partial.endsWith("\r\n"));
        QVERIFY(whole.startsWith(partial));
        const qsizetype failedKeyEnd = whole.indexOf("\r\n", whole.indexOf('=', partial.size())) + 2;
        QVERIFY(failedKeyEnd > qsizetype(limit));
        QCOMPARE(QDir(Fixture->Dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});
#else
        QSKIP("needs a file size limit");
#endif
    }
};

TARVIK_TEST(SettingsFileTest)
#include "SettingsFileTest.moc"
