// Any bytes as settings.ini and as a DUT profile through the configuration readers, with the
// writers run on what was read: a save must keep every value it was given (the reals kept with
// three decimals to that rounding), and saving the profile section onto settings.ini must
// change nothing else. Every key read and written opens the file, as the program does it, so
// an input costs several hundred file operations.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <memory>

#include "FuzzTarget.h"
#include "config/AppSettings.h"
#include "config/SettingsFile.h"
#include "core/ProgramState.h"

namespace {

std::unique_ptr<QTemporaryDir> Folder;

QString FolderPath()
{
    if (!Folder) {
        // Memory-backed when the system has it: every key read and write opens the file.
        const QString shm = QStringLiteral("/dev/shm");
        Folder = QDir(shm).exists() ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/tarvik-fuzz-XXXXXX"))
                                    : std::make_unique<QTemporaryDir>();
        FUZZ_CHECK(Folder->isValid(), "no temporary folder");
    }
    return Folder->path() + u'/';
}

void WriteBytes(const QString& path, const uint8_t* data, size_t size)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write " + path);
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void ReadEverything()
{
    ResetAppSettings();
    ReadSettingsFile();
    ReadTransientParams();
    ReadAutoTestSection();
}

void WriteEverything()
{
    WriteSettingsFile();
    WriteTransientParams();
    WriteAutoTestSection();
}

template <typename Array>
bool Same(const Array& a, const Array& b)
{
    return std::equal(a.begin(), a.end(), b.begin());
}

bool SameDut(const TDutDescription& a, const TDutDescription& b)
{
    return a.Vendor == b.Vendor && a.Model == b.Model && a.Code == b.Code && a.SN == b.SN && a.Power == b.Power &&
           Same(a.MaxCurrent, b.MaxCurrent);
}

// The reals kept with three decimals: what a save writes of them reads back to within that.
bool NearF3(float a, float b)
{
    return a == b || std::fabs(static_cast<double>(a) - b) <= 0.0005 + std::fabs(static_cast<double>(a)) * 1e-6;
}

// What differs between two configurations; empty when they are the same. With `f3Rounded`,
// the reals written with three decimals may differ by that rounding.
QString Difference(const TAppSettings& a, const TAppSettings& b, bool f3Rounded)
{
    auto real = [f3Rounded](float x, float y) { return f3Rounded ? NearF3(x, y) : x == y; };
    if (a.WriteLog != b.WriteLog || a.GVTimeout != b.GVTimeout || !Same(a.GUIColor, b.GUIColor) ||
        a.DebugMode != b.DebugMode || a.EfcPfcTest != b.EfcPfcTest || a.ExtendedAdc != b.ExtendedAdc ||
        a.ExtendedAdc24 != b.ExtendedAdc24)
        return QStringLiteral("[General]");
    if (!real(a.LVRatio, b.LVRatio))
        return QStringLiteral("LVRatio %1 / %2").arg(a.LVRatio).arg(b.LVRatio);
    const TCOMSettings& ca = a.COMSettings;
    const TCOMSettings& cb = b.COMSettings;
    if (ca.Port != cb.Port || ca.Speed != cb.Speed || ca.Parity != cb.Parity || ca.DataBits != cb.DataBits ||
        ca.StopBits != cb.StopBits || ca.Hanshaking != cb.Hanshaking)
        return QStringLiteral("[Connection] '%1'/'%2' '%3'/'%4' '%5'/'%6'")
            .arg(ca.Parity, cb.Parity, ca.StopBits, cb.StopBits, ca.Hanshaking, cb.Hanshaking);
    const TCalibrationSet& sa = a.CalibrationSet;
    const TCalibrationSet& sb = b.CalibrationSet;
    for (int n = 1; n <= LoadChannelCount; ++n)
        if (!real(sa.MValue[n], sb.MValue[n]) || !real(sa.CValue[n], sb.CValue[n]))
            return QStringLiteral("[Stand] channel %1").arg(n);
    for (int n = 1; n <= 4; ++n)
        if (!real(sa.MTValue[n], sb.MTValue[n]))
            return QStringLiteral("[Stand] MT%1").arg(n);
    if (!real(sa.AREF, sb.AREF) || sa.FADC != sb.FADC || sa.FCPU != sb.FCPU || sa.FMCK != sb.FMCK || sa.MDAC != sb.MDAC)
        return QStringLiteral("[Stand]");
    if (a.DotShape != b.DotShape || a.DotWidth != b.DotWidth || a.DotHeight != b.DotHeight || !Same(a.Color, b.Color))
        return QStringLiteral("[Graph]");
    for (int n = 1; n <= LoadChannelCount; ++n) {
        const TChannelThreshold& ta = a.ChannelThresholds[n];
        const TChannelThreshold& tb = b.ChannelThresholds[n];
        if (ta.Vmin != tb.Vmin || ta.Vmax != tb.Vmax || ta.Imax != tb.Imax || ta.Nmax != tb.Nmax)
            return QStringLiteral("[Tresholds] channel %1: %2/%3 %4/%5 %6/%7")
                .arg(n).arg(ta.Vmin).arg(tb.Vmin).arg(ta.Vmax).arg(tb.Vmax).arg(ta.Imax).arg(tb.Imax);
    }
    const TAutoTestParams& pa = a.AutoTestParams;
    const TAutoTestParams& pb = b.AutoTestParams;
    if (pa.l_max_power != pb.l_max_power || pa.h_max_power != pb.h_max_power || pa.t_max_power != pb.t_max_power ||
        pa.rails_12V != pb.rails_12V || pa.psu_type != pb.psu_type || pa.steps != pb.steps ||
        pa.power_5vstb != pb.power_5vstb)
        return QStringLiteral("[ATS]");
    for (int n = 1; n <= LoadChannelCount; ++n) {
        const TTransientParam& ra = a.TransientParams[n];
        const TTransientParam& rb = b.TransientParams[n];
        if (ra.current != rb.current || ra.interval != rb.interval || ra.enabled != rb.enabled)
            return QStringLiteral("[TR] channel %1").arg(n);
    }
    if (!SameDut(a.DutDescription, b.DutDescription))
        return QStringLiteral("[PSU] '%1'/'%2' '%3'/'%4'")
            .arg(a.DutDescription.Vendor, b.DutDescription.Vendor, a.DutDescription.SN, b.DutDescription.SN);
    return QString();
}

// A line break inside a text (a lone CR; reading ends lines at LF) is written as a blank.
QString AsWritten(QString text) { return text.replace(u'\r', u' '); }

TDutDescription DutAsWritten(TDutDescription dut)
{
    for (QString* text : {&dut.Vendor, &dut.Model, &dut.Code, &dut.SN})
        *text = AsWritten(*text);
    return dut;
}

TAppSettings AsWritten(TAppSettings settings)
{
    settings.DutDescription = DutAsWritten(settings.DutDescription);
    for (QString* text : {&settings.COMSettings.Parity, &settings.COMSettings.StopBits, &settings.COMSettings.Hanshaking})
        *text = AsWritten(*text);
    return settings;
}

void CheckTexts(const TDutDescription& dut)
{
    for (const QString* text : {&dut.Vendor, &dut.Model, &dut.Code, &dut.SN})
        FUZZ_CHECK(text->size() <= DutTextLength, "a DUT text longer than 30 characters");
}

void SettingsFileRoundTrip(const uint8_t* data, size_t size)
{
    const QString path = SettingsFilePath();
    WriteBytes(path, data, size);
    ReadEverything();
    const TAppSettings first = AppSettings;
    CheckTexts(first.DutDescription);

    // The profile section saved onto settings.ini changes nothing else in it.
    WriteDutDescription(first.DutDescription, path);
    ReadEverything();
    TAppSettings expected = first;
    expected.DutDescription = DutAsWritten(first.DutDescription);
    QString difference = Difference(expected, AppSettings, false);
    FUZZ_CHECK(difference.isEmpty(), "saving [PSU] changed " + difference);

    // A save keeps every value; the three-decimal reals keep them to their rounding.
    WriteEverything();
    ReadEverything();
    const TAppSettings second = AppSettings;
    difference = Difference(AsWritten(first), second, true);
    FUZZ_CHECK(difference.isEmpty(), "a save changed " + difference);
}

void ProfileRoundTrip(const uint8_t* data, size_t size)
{
    const QString path = FolderPath() + QStringLiteral("profile.ini");
    WriteBytes(path, data, size);
    TDutDescription first;
    ReadDutDescription(first, path);
    CheckTexts(first);
    WriteDutDescription(first, path);
    TDutDescription second;
    ReadDutDescription(second, path);
    FUZZ_CHECK(SameDut(DutAsWritten(first), second),
               QStringLiteral("a profile save changed '%1' to '%2'").arg(first.Vendor, second.Vendor));
}

} // namespace

TARVIK_FUZZ_TARGET(settings)
{
    const QString folder = FolderPath();
    const QString appDir = AppDir;
    SetAppDirForTests(folder);
    AppDir = ProgramDirectory();
    const TAppSettings kept = AppSettings;

    SettingsFileRoundTrip(data, size);
    ProfileRoundTrip(data, size);

    AppSettings = kept;
    AppDir = appDir;
    SetAppDirForTests(QString());
}

TARVIK_FUZZ_RELEASE(settings) { Folder.reset(); }
