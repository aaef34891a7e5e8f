#include "monitor/PowerControl.h"

#include <QLabel>
#include <QTimer>

#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/Connection.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

// The longest PWR_OK delay of a healthy supply.
constexpr unsigned PwrOkLimitMs = 450;

void bPSUONClick() { SendCommand(PowerOnFrame()); }

void bPSUOFFClick() { SendCommand(PowerOffFrame()); }

void PollTick()
{
    if (Connected && StandIdentified && !CrossLoadRunning && !ReceivePathStalled())
        SendCommand(PollFrame());
}

void ReportDutOn(int milliseconds)
{
    const uint16_t t = static_cast<uint16_t>(milliseconds);
    TMForm& form = *MForm;
    ChannelReadings.PwrOkOnTime = t;
    ChannelReadings.PwrOkOnReported = true;
    if (t <= PwrOkLimitMs) {
        form.PSUStatusLabel->setText(QStringLiteral("Status: ON"));
        SetTextColor(form.PSUStatusLabel, GoodColor);
        PsuOnSeconds = 0;
        form.PSUOnTimer->start();
    }
    form.PWRONLabel->setText(QStringLiteral("PWR_OK ON, ms: ") + QString::number(t));
}

void ReportDutOff(int milliseconds)
{
    const uint16_t t = static_cast<uint16_t>(milliseconds);
    TMForm& form = *MForm;
    ChannelReadings.PwrOkOffTime = t;
    form.PSUStatusLabel->setText(QStringLiteral("Status: OFF"));
    SetTextColor(form.PSUStatusLabel, NeutralColor);
    form.PSUOnTimer->stop();
    form.PWROFFLabel->setText(QStringLiteral("PWR_OK OFF, ms: ") + QString::number(t));
}

QString FormatOnTime(unsigned seconds)
{
    const unsigned h = seconds / 3600;
    const unsigned m = (seconds - 3600 * h) / 60;
    const unsigned s = seconds % 60;
    const auto two = [](unsigned v) { return QString::number(v).rightJustified(2, u'0'); };
    return two(h) + u':' + two(m) + u':' + two(s);
}

void OnTimeTick()
{
    ++PsuOnSeconds;
    MForm->TimerLabel->setText(FormatOnTime(PsuOnSeconds));
}
