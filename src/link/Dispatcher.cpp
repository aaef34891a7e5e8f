#include "link/Dispatcher.h"

#include <QLabel>
#include <memory>
#include <vector>

#include "autotests/CrossLoadTest.h"
#include "autotests/EfficiencyTest.h"
#include "autotests/NoiseTest.h"
#include "autotests/StandbyTest.h"
#include "core/Conversions.h"
#include "core/LogFile.h"
#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/DebugFeed.h"
#include "monitor/MeasurementDisplay.h"
#include "monitor/PowerControl.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/PaintPacer.h"

namespace {

uint16_t Word(const QString& field) { return static_cast<uint16_t>(StrToInt(field)); }
float Single(const QString& field) { return static_cast<float>(StrToFloat(field)); }

void StoreReading(const TParsedCommand& p)
{
    const int index = StrToInt(p.Params[0]);
    if (index >= 0 && index <= 10) {
        const int channel = index + 1;
        ChannelReadings.Voltage[channel] = Single(p.Params[1]);
        ChannelReadings.Current[channel] = Single(p.Params[2]);
        ChannelReadings.NoiseLevel[channel] = Word(p.Params[3]);
        ChannelReadings.NoiseFrequency[channel] = Word(p.Params[4]);
    } else if (index == 11) {
        ChannelReadings.VoltageMinus12 = Single(p.Params[1]);
    } else if (index == 12) {
        ChannelReadings.VoltageStandbyAux = Single(p.Params[1]);
    }
    // Reading numbers outside 1..13 show nothing.
    UpdateChannelDisplay(index >= 0 && index <= 12 ? index + 1 : 0);
}

void ShowFans(const TParsedCommand& p)
{
    ChannelReadings.FanSpeed[1] = Word(p.Params[0]);
    ChannelReadings.FanSpeed[2] = Word(p.Params[1]);
    MForm->FANLabel1->setText(QStringLiteral("FAN1 speed, RPM: ") + QString::number(ChannelReadings.FanSpeed[1]));
    MForm->FANLabel2->setText(QStringLiteral("FAN2 speed, RPM: ") + QString::number(ChannelReadings.FanSpeed[2]));
}

void ShowTemperatures(const TParsedCommand& p)
{
    for (int n = 1; n <= 4; ++n) {
        ChannelReadings.Temperature[n] = Single(p.Params[n - 1]);
        TemperatureLabelTable[n]->setText(QStringLiteral("T%1, °C: ").arg(n) +
                                          FormatFixed(ChannelReadings.Temperature[n], 3, 1));
    }
}

void ShowAcMeter(const TParsedCommand& p)
{
    TChannelReadings& r = ChannelReadings;
    r.AcVoltageText = p.Params[0];
    r.AcCurrentText = p.Params[1];
    r.AcFrequencyText = p.Params[2];
    r.AcPowerText = p.Params[3];
    MForm->ACVLabel->setText(QStringLiteral("Voltage: ") + FormatVolts(StrToFloat(r.AcVoltageText)));
    MForm->ACCLabel->setText(QStringLiteral("Current: ") + FormatAmps(StrToFloat(r.AcCurrentText)));
    MForm->ACFLabel->setText(QStringLiteral("Frequency: ") + r.AcFrequencyText + QStringLiteral(" Hz"));
    MForm->ACPLabel->setText(QStringLiteral("Power: ") + r.AcPowerText + QStringLiteral(" W"));
    // An input power that is not a number is reported here, once, by the frame that brought
    // it; the power summary then counts it as unknown until a numeric one arrives.
    if (!r.AcPowerText.isEmpty())
        StrToFloat(r.AcPowerText);
}

// Runs the action of a known frame; false when the name is not one of the stand's.
bool Act(const TParsedCommand& p)
{
    const QString& name = p.Command;
    if (name == QLatin1String("REP"))
        ShowHardwareReport(p);
    else if (name == QLatin1String("ERR"))
        ShowErrorStatus(p);
    else if (name == QLatin1String("FAN"))
        ShowFans(p);
    else if (name == QLatin1String("TN"))
        ReportDutOn(StrToInt(p.Params[0]));
    else if (name == QLatin1String("TF"))
        ReportDutOff(StrToInt(p.Params[0]));
    else if (name == QLatin1String("VC"))
        StoreReading(p);
    else if (name == QLatin1String("MT"))
        ShowTemperatures(p);
    else if (name == QLatin1String("MVC"))
        ShowAcMeter(p);
    else if (name == QLatin1String("AT"))
        CrossLoadStarted();
    else if (name == QLatin1String("ATE"))
        CrossLoadEnded();
    else if (name == QLatin1String("G"))
        StoreCrossLoadPoint(p);
    else if (name == QLatin1String("NTS"))
        NoiseStarted();
    else if (name == QLatin1String("NTE"))
        NoiseEnded();
    else if (name == QLatin1String("N"))
        StoreNoisePoint(p);
    else if (name == QLatin1String("S"))
        StoreStandbyPoint(p);
    else if (name == QLatin1String("STE"))
        StandbyEnded();
    else if (name == QLatin1String("FAMS"))
        EfficiencyStarted();
    else if (name == QLatin1String("FAM"))
        StoreEfficiencyPoint(p);
    else if (name == QLatin1String("FAE"))
        EfficiencyEnded();
    else
        return false;
    return true;
}

// One parsed command per depth of nested dispatch (a handler may run the event loop, and a
// frame dispatched meanwhile must not write over the fields the handler is reading), kept from
// frame to frame so that their strings keep their memory.
std::vector<std::unique_ptr<TParsedCommand>> ParsedByDepth;
size_t DispatchDepth = 0;
} // namespace

void DispatchFrame(const QString& frame)
{
    ++DispatchedFrames;
    if (DispatchDepth == ParsedByDepth.size())
        ParsedByDepth.push_back(std::make_unique<TParsedCommand>());
    TParsedCommand& parsed = *ParsedByDepth[DispatchDepth];
    struct TDepth {
        TDepth() { ++DispatchDepth; }
        ~TDepth() { --DispatchDepth; }
    } depth;
    ParseFrame(frame, parsed);
    const bool known = Act(parsed);
    const QString line = (known ? QStringLiteral("Executed: ") : QStringLiteral("Unknown command: ")) + frame;
    WriteLogLine(line);
    AppendDebugLine(line);
    PacedEventPass(MForm);
}
