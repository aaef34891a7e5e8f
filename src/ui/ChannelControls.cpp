#include "ui/ChannelControls.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include "core/Definitions.h"
#include "core/Errors.h"
#include "graphs/GraphImage.h"
#include "ui/Widgets.h"

namespace {

// The window's controls by name, gathered in one walk over the window: a search of the whole
// window for each of the ~200 controls was most of the window's building time. A name used
// twice is left to the window's own search, which decides as it always has.
class TControlIndex {
public:
    explicit TControlIndex(QWidget& window) : Window(window)
    {
        for (QObject* object : window.findChildren<QObject*>()) {
            const QString name = object->objectName();
            if (name.isEmpty())
                continue;
            const auto found = ByName.constFind(name);
            ByName.insert(name, found == ByName.constEnd() ? object : nullptr);
        }
    }

    template <typename Control>
    Control* Find(const QString& name) const
    {
        const auto found = ByName.constFind(name);
        Control* control = found == ByName.constEnd() ? nullptr
                           : *found                   ? qobject_cast<Control*>(*found)
                                                      : Window.findChild<Control*>(name);
        if (!control)
            throw Exception(QStringLiteral("The window has no control named %1").arg(name));
        return control;
    }

private:
    QWidget& Window;
    QHash<QString, QObject*> ByName;  // nullptr: the name is used more than once
};

template <typename Control, int First, int Last>
void Fill(IndexedArray<Control*, First, Last>& table, const TControlIndex& controls, int n, const QString& prefix,
          const QString& suffix, bool tag)
{
    Control* control = controls.Find<Control>(prefix + QString::number(n) + suffix);
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
    const TControlIndex controls(window);
    for (int n = 1; n <= LoadChannelCount; ++n) {
        Fill(LoadEditTable, controls, n, QStringLiteral("PSUC"), QStringLiteral("Edit"), true);
        Fill(LoadBarTable, controls, n, QStringLiteral("PSUC"), QStringLiteral("Bar"), true);
        Fill(CurrentLabelTable, controls, n, QStringLiteral("C"), QStringLiteral("Sensor"), true);
        Fill(VoltageLabelTable, controls, n, QStringLiteral("V"), QStringLiteral("Sensor"), true);
        Fill(PowerLabelTable, controls, n, QStringLiteral("P"), QStringLiteral("Sensor"), true);
        Fill(EstPowerLabelTable, controls, n, QStringLiteral("EstPower"), QString(), true);
        Fill(NoiseLevelLabelTable, controls, n, QStringLiteral("NL"), QStringLiteral("Sensor"), true);
        Fill(NoiseFreqLabelTable, controls, n, QStringLiteral("NF"), QStringLiteral("Sensor"), true);
        Fill(PassLabelTable, controls, n, QStringLiteral("CP"), QStringLiteral("Status"), true);
    }
    for (int n = 1; n <= MeasuredChannelCount; ++n) {
        Fill(FrontVoltageLabelTable, controls, n, QStringLiteral("FPV"), QStringLiteral("Sensor"), false);
        Fill(FrontCurrentLabelTable, controls, n, QStringLiteral("FPC"), QStringLiteral("Sensor"), false);
        Fill(FrontNoiseLevelLabelTable, controls, n, QStringLiteral("FPNL"), QStringLiteral("Sensor"), false);
        Fill(FrontNoiseFreqLabelTable, controls, n, QStringLiteral("FPNF"), QStringLiteral("Sensor"), false);
        Fill(FrontDeviationLabelTable, controls, n, QStringLiteral("FPVD"), QStringLiteral("Sensor"), false);
        Fill(FrontPassLabelTable, controls, n, QStringLiteral("FPCP"), QStringLiteral("Status"), false);
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
        Fill(GraphImages, controls, n, QStringLiteral("Image"), QString(), true);
    for (int n = 1; n <= 4; ++n)
        Fill(TemperatureLabelTable, controls, n, QStringLiteral("T"), QStringLiteral("Sensor"), false);

    auto* channelList = controls.Find<QComboBox>(QStringLiteral("ChannelList"));
    for (const QString& name : LoadChannelNames)
        channelList->addItem(name);
    channelList->setCurrentIndex(0);
}
