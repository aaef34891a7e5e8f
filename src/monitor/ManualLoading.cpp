#include "monitor/ManualLoading.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/Connection.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {

constexpr int StandbyChannel = 3;
constexpr int First12VChannel = 4;

double Watts(int amps, int channel) { return amps * static_cast<double>(NominalVoltage[channel]); }

int MaxCurrent(int channel) { return AppSettings.DutDescription.MaxCurrent[channel]; }

// Moves bar n to `position` as the program does: the bar clamps it to its range, and the
// moved-bar rule runs when the position really changed.
void PlaceBar(int channel, int position)
{
    QSlider* bar = LoadBarTable[channel];
    const int before = bar->value();
    {
        const QSignalBlocker quiet(bar);
        bar->setValue(position);
    }
    if (bar->value() != before)
        LoadBarChange(channel);
}

} // namespace

bool LoadWithinLimits(const IndexedArray<uint8_t, 1, LoadChannelCount>& settings, int current, int channel,
                      const TLoadPowerLimits& limits)
{
    if (channel == 1)
        return Watts(current, 1) + Watts(settings[2], 2) <= limits.LowVoltage;
    if (channel == 2)
        return Watts(settings[1], 1) + Watts(current, 2) <= limits.LowVoltage;
    if (channel == StandbyChannel)
        return true;
    double total = Watts(current, channel);
    for (int m = First12VChannel; m <= LoadChannelCount; ++m)
        if (m != channel)
            total += Watts(settings[m], m);
    return total <= limits.HighVoltage;
}

TLoadPowerLimits FrontPanelLoadLimits()
{
    TLoadPowerLimits limits;
    const QString low = MForm->ATEdit[1]->text();
    const QString high = MForm->ATEdit[2]->text();
    if (!low.isEmpty())
        limits.LowVoltage = StrToInt(low);
    if (!high.isEmpty())
        limits.HighVoltage = StrToInt(high);
    return limits;
}

bool LoadPowerCheck(int current, int channel)
{
    return LoadWithinLimits(LoadSettings, current, channel, FrontPanelLoadLimits());
}

QString EstimatedPowerText(int channel, int amps)
{
    return FormatFixed(Watts(amps, channel), 7, 2) + QStringLiteral(" W");
}

void LoadBarChange(int channel)
{
    QSlider* bar = LoadBarTable[channel];
    const auto candidate = static_cast<uint8_t>(MaxCurrent(channel) - bar->value());
    if (LoadPowerCheck(candidate, channel)) {
        LoadEditTable[channel]->setText(QString::number(candidate));
        LoadSettings[channel] = candidate;
    } else {
        // Springs back to the setting in force; that position changes nothing.
        const QSignalBlocker quiet(bar);
        bar->setValue(MaxCurrent(channel) - LoadSettings[channel]);
    }
    EstPowerLabelTable[channel]->setText(EstimatedPowerText(channel, LoadSettings[channel]));
}

void LoadEditEnter(int channel)
{
    QLineEdit* edit = LoadEditTable[channel];
    // A value typed above 255 wraps, as the stand's one-byte setpoint does.
    const auto value = static_cast<uint8_t>(StrToInt(edit->text()));
    if (LoadPowerCheck(value, channel))
        PlaceBar(channel, MaxCurrent(channel) - value);
    else
        edit->setText(QString::number(LoadSettings[channel]));
}

void RefreshLoadControls()
{
    for (int n = 1; n <= LoadChannelCount; ++n) {
        QSlider* bar = LoadBarTable[n];
        const int before = bar->value();
        {
            // A new range alone changes no setting; only the final position counts.
            const QSignalBlocker quiet(bar);
            bar->setRange(0, MaxCurrent(n));
            bar->setValue(MaxCurrent(n) - LoadSettings[n]);
        }
        if (bar->value() != before)
            LoadBarChange(n);
        LoadEditTable[n]->setText(QString::number(LoadSettings[n]));
    }
}

void SendLoadCurrent(int channel) { SendCommand(SetCurrentFrame(channel, LoadSettings[channel])); }

void bSetClick(int channel) { SendLoadCurrent(channel); }

void SetAllLoads(uint8_t amps)
{
    for (int n = 1; n <= LoadChannelCount; ++n)
        LoadSettings[n] = amps;
    RefreshLoadControls();
    for (int n = 1; n <= LoadChannelCount; ++n) {
        SendLoadCurrent(n);
        WaitProcessingEvents(50);
    }
}

void ConnectManualLoading()
{
    TMForm& form = *MForm;
    for (int n = 1; n <= LoadChannelCount; ++n) {
        QObject::connect(form.PSUCBar[n], &QSlider::valueChanged, &form,
                         [n] { GuardEvent([n] { LoadBarChange(n); }); });
        QObject::connect(form.PSUCEdit[n], &QLineEdit::returnPressed, &form,
                         [n] { GuardEvent([n] { LoadEditEnter(n); }); });
        QObject::connect(form.bSet[n], &QPushButton::clicked, &form,
                         [n] { GuardEvent([n] { bSetClick(n); }); });
    }
    const auto setAll = [&form](QPushButton* button, uint8_t amps) {
        QObject::connect(button, &QPushButton::clicked, &form, [amps] { GuardEvent([amps] { SetAllLoads(amps); }); });
    };
    setAll(form.bSetAll1, 1);
    setAll(form.AdvGlowButton3, 1);
    setAll(form.bSetAll0, 0);
    setAll(form.AdvGlowButton5, 0);
}

void ResetManualLoading() { LoadSettings = {}; }
