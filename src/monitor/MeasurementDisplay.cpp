#include "monitor/MeasurementDisplay.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "core/Definitions.h"
#include "core/ProgramState.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

void UpdateChannelDisplay(int r)
{
    if (r < 1 || r > 13)
        return;
    TMForm& form = *MForm;
    const TChannelReadings& readings = ChannelReadings;
    float voltage = 0;
    if (r == 13) {
        form.AuxSensor2->setText(QStringLiteral("5Vstb voltage: ") + FormatVolts(readings.VoltageStandbyAux));
        return;
    }
    if (r == 12) {
        voltage = readings.VoltageMinus12;
        form.AuxSensor1->setText(QStringLiteral("-12V voltage: -") + FormatVolts(voltage));
    } else {
        voltage = readings.Voltage[r];
    }
    // The sign goes in front of whatever the format gives, also for a negative value.
    FrontVoltageLabelTable[r]->setText((r == 12 ? QStringLiteral("-") : QStringLiteral("+")) + FormatVolts(voltage) +
                                       QStringLiteral("DC"));

    if (r <= LoadChannelCount) {
        const float current = readings.Current[r];
        const float power = current * voltage;
        const uint16_t noiseLevel = readings.NoiseLevel[r];
        const uint16_t noiseFrequency = readings.NoiseFrequency[r];
        CurrentLabelTable[r]->setText(FormatAmps(current));
        VoltageLabelTable[r]->setText(FormatVolts(voltage));
        PowerLabelTable[r]->setText(FormatFixed(power, 7, 2) + QStringLiteral(" W"));
        NoiseLevelLabelTable[r]->setText(QString::number(noiseLevel) + QStringLiteral(" mV"));
        NoiseFreqLabelTable[r]->setText(QString::number(noiseFrequency) + QStringLiteral(" kHz"));
        FrontCurrentLabelTable[r]->setText(FormatAmps(current) + QStringLiteral("DC"));
        FrontNoiseLevelLabelTable[r]->setText(QString::number(noiseLevel) + QStringLiteral(" mV"));
        FrontNoiseFreqLabelTable[r]->setText(QString::number(noiseFrequency) + QStringLiteral(" kHz"));
        const float nominal = NominalVoltage[r];
        const float deviation = (voltage - nominal) / nominal * 100.0f;
        FrontDeviationLabelTable[r]->setText((deviation >= 0 ? QStringLiteral("+") : QString()) +
                                             FormatFixed(deviation, 7, 1) + u'%');
        EvaluateChannel(r, noiseLevel, current, voltage);
    }
    UpdatePowerSummary();
}

void EvaluateChannel(int r, uint16_t noiseLevel, float current, float voltage)
{
    const TChannelThreshold& limits = AppSettings.ChannelThresholds[r];
    const bool pass = limits.Vmin <= voltage && voltage <= limits.Vmax && current <= limits.Imax &&
                      noiseLevel <= limits.Nmax;
    SetPassMark(r, pass);
}

void SetPassMark(int r, bool pass)
{
    for (QLabel* label : {PassLabelTable[r], FrontPassLabelTable[r]}) {
        label->setText(pass ? QStringLiteral("PASS") : QStringLiteral("FAIL"));
        SetTextColor(label, pass ? GoodColor : BadColor);
    }
}

void ResetPassMarks()
{
    for (int r = 1; r <= LoadChannelCount; ++r)
        SetPassMark(r, false);
}

void UpdatePowerSummary()
{
    const TChannelReadings& readings = ChannelReadings;
    float low = 0;
    float high = 0;
    for (int r = 1; r <= 3; ++r)
        low += readings.Current[r] * readings.Voltage[r];
    for (int r = 4; r <= LoadChannelCount; ++r)
        high += readings.Current[r] * readings.Voltage[r];
    const float total = low + high;

    // Efficiency is output over the stand's AC input power. An input power that is empty, 0
    // or not a number (the "MVC" frame that brought it has reported that) leaves it at 0.
    double efficiency = 0;
    double input = 0;
    if (TryStrToFloat(readings.AcPowerText, input) && input != 0)
        efficiency = total / input * 100.0;
    TMForm& form = *MForm;
    form.PSUpower1Label->setText(QStringLiteral("Low voltage power: ") + QString::number(RoundUp(low)) + QStringLiteral(" W"));
    form.PSUpower2Label->setText(QStringLiteral("High voltage power: ") + QString::number(RoundUp(high)) + QStringLiteral(" W"));
    form.PSUpower3Label->setText(QStringLiteral("Total power: ") + QString::number(RoundUp(total)) + QStringLiteral(" W"));
    form.PSUpower4Label->setText(QStringLiteral("Efficiency: ") + FormatFixed(efficiency, 7, 2) + QStringLiteral(" %"));
}

void ShowHardwareReport(const TParsedCommand& p)
{
    TMForm& form = *MForm;
    StandIdentified = true;
    form.bConnect->setEnabled(false);
    form.bDisconnect->setEnabled(true);
    form.GVTimer->setInterval(AppSettings.GVTimeout);
    // A polling interval of 0 (a hand-edited settings.ini) means no polling: a 0 ms timer would
    // fire on every pass of the event loop and flood the stand with requests.
    if (AppSettings.GVTimeout > 0)
        form.GVTimer->start();
    else
        form.GVTimer->stop();
    form.ConnectInfoLabel->setText(QStringLiteral("Connected"));
    SetTextColor(form.ConnectInfoLabel, GoodColor);
    form.HwInfoMFG->setText(QStringLiteral("MFG: ") + p.Params[0]);
    form.HwInfoBoardId->setText(QStringLiteral("Board ID: ") + p.Params[1]);
    form.HwInfoFirmware->setText(QStringLiteral("Firmware: ") + p.Params[2]);
    form.HwInfoCalibrated->setText(QStringLiteral("Calibrated: ") + p.Params[3]);
    form.HwInfoModelId->setText(QStringLiteral("Model ID: ") + p.Params[4]);
}

void ShowErrorStatus(const TParsedCommand& p)
{
    TMForm& form = *MForm;
    const uint8_t code = static_cast<uint8_t>(StrToInt(p.Params[0]));
    if (code == 0) {
        form.ErrorLabel->setText(QStringLiteral("No errors"));
        SetTextColor(form.ErrorLabel, GoodColor);
        form.FrontPanelErrorPanel->setText(QStringLiteral("Status: No errors"));
    } else {
        const TDeviceError error = LookupDeviceError(code);
        form.ErrorLabel->setText(error.Identifier);
        SetTextColor(form.ErrorLabel, BadColor);
        form.FrontPanelErrorPanel->setText(QStringLiteral("Status: ") + error.Description);
    }
    SetTextColor(form.FrontPanelErrorPanel, form.ErrorLabel->palette().color(QPalette::WindowText));
}
