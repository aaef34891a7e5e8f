#include "ui/ChannelControls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "core/Definitions.h"
#include "core/Errors.h"
#include "graphs/GraphImage.h"
#include "ui/Widgets.h"

namespace {

template <typename Control>
Control* Find(QWidget& window, const QString& name)
{
    auto* control = window.findChild<Control*>(name);
    if (!control)
        throw Exception(QStringLiteral("The window has no control named %1").arg(name));
    return control;
}

template <typename Control, int First, int Last>
void Fill(IndexedArray<Control*, First, Last>& table, QWidget& window, int n, const QString& prefix,
          const QString& suffix, bool tag)
{
    Control* control = Find<Control>(window, prefix + QString::number(n) + suffix);
    if (tag)
        control->setProperty("Tag", n);
    table[n] = control;
}

} // namespace

void ResetChannelControls()
{
    LoadEditTable = {};
    LoadBarTable = {};
    CurrentLabelTable = {};
    VoltageLabelTable = {};
    PowerLabelTable = {};
    EstPowerLabelTable = {};
    NoiseLevelLabelTable = {};
    NoiseFreqLabelTable = {};
    PassLabelTable = {};
    FrontVoltageLabelTable = {};
    FrontCurrentLabelTable = {};
    FrontNoiseLevelLabelTable = {};
    FrontNoiseFreqLabelTable = {};
    FrontDeviationLabelTable = {};
    FrontPassLabelTable = {};
    GraphImages = {};
    TemperatureLabelTable = {};
}

void BuildChannelControls(QWidget& window)
{
    for (int n = 1; n <= LoadChannelCount; ++n) {
        Fill(LoadEditTable, window, n, QStringLiteral("PSUC"), QStringLiteral("Edit"), true);
        Fill(LoadBarTable, window, n, QStringLiteral("PSUC"), QStringLiteral("Bar"), true);
        Fill(CurrentLabelTable, window, n, QStringLiteral("C"), QStringLiteral("Sensor"), true);
        Fill(VoltageLabelTable, window, n, QStringLiteral("V"), QStringLiteral("Sensor"), true);
        Fill(PowerLabelTable, window, n, QStringLiteral("P"), QStringLiteral("Sensor"), true);
        Fill(EstPowerLabelTable, window, n, QStringLiteral("EstPower"), QString(), true);
        Fill(NoiseLevelLabelTable, window, n, QStringLiteral("NL"), QStringLiteral("Sensor"), true);
        Fill(NoiseFreqLabelTable, window, n, QStringLiteral("NF"), QStringLiteral("Sensor"), true);
        Fill(PassLabelTable, window, n, QStringLiteral("CP"), QStringLiteral("Status"), true);
    }
    for (int n = 1; n <= MeasuredChannelCount; ++n) {
        Fill(FrontVoltageLabelTable, window, n, QStringLiteral("FPV"), QStringLiteral("Sensor"), false);
        Fill(FrontCurrentLabelTable, window, n, QStringLiteral("FPC"), QStringLiteral("Sensor"), false);
        Fill(FrontNoiseLevelLabelTable, window, n, QStringLiteral("FPNL"), QStringLiteral("Sensor"), false);
        Fill(FrontNoiseFreqLabelTable, window, n, QStringLiteral("FPNF"), QStringLiteral("Sensor"), false);
        Fill(FrontDeviationLabelTable, window, n, QStringLiteral("FPVD"), QStringLiteral("Sensor"), false);
        Fill(FrontPassLabelTable, window, n, QStringLiteral("FPCP"), QStringLiteral("Status"), false);
        FrontDeviationLabelTable[n]->setText(QString());
        FrontPassLabelTable[n]->clear();
        // The deviation reads right-aligned against this edge, clear of the verdict beside it.
        TAutoSizeLabel* deviation = FrontDeviationLabelTable[n];
        deviation->move(65, deviation->y());
    }
    // The -12V channel shows only its voltage.
    FrontPassLabelTable[12]->hide();
    FrontDeviationLabelTable[12]->hide();
    FrontCurrentLabelTable[12]->hide();
    FrontNoiseLevelLabelTable[12]->hide();
    FrontNoiseFreqLabelTable[12]->hide();

    for (int n = 1; n <= 26; ++n)
        Fill(GraphImages, window, n, QStringLiteral("Image"), QString(), true);
    for (int n = 1; n <= 4; ++n)
        Fill(TemperatureLabelTable, window, n, QStringLiteral("T"), QStringLiteral("Sensor"), false);

    auto* channelList = Find<QComboBox>(window, QStringLiteral("ChannelList"));
    for (const QString& name : LoadChannelNames)
        channelList->addItem(name);
    channelList->setCurrentIndex(0);
}
