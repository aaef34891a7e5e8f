#include "config/ApplySettings.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

#include "config/AppSettings.h"
#include "config/AutoTestFields.h"
#include "core/LogFile.h"
#include "graphs/GraphPages.h"
#include "monitor/ManualLoading.h"
#include "monitor/TransientResponse.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

void ApplySettings()
{
    // A graph on show that was painted before takes the new colours, dot shape and dot size.
    RepaintShownGraph(true);
    TMForm& form = *MForm;

    // The log opens when logging is switched on; switching it off only stops the lines.
    if (AppSettings.WriteLog)
        OpenLog();

    // The optional pages keep their indices while their tabs are hidden.
    form.PC->setTabVisible(form.PC->indexOf(form.TabDebug), AppSettings.DebugMode);
    form.PC->setTabVisible(form.PC->indexOf(form.TabEfficiency), AppSettings.EfcPfcTest);
    form.BlockAC->setVisible(AppSettings.EfcPfcTest);

    // Noise readings exist only on stands with the extended converter. The -12V panel's
    // noise labels stay hidden whatever the setting.
    for (int n = 1; n <= LoadChannelCount; ++n) {
        NoiseLevelLabelTable[n]->setVisible(AppSettings.ExtendedAdc);
        NoiseFreqLabelTable[n]->setVisible(AppSettings.ExtendedAdc);
        FrontNoiseLevelLabelTable[n]->setVisible(AppSettings.ExtendedAdc);
        FrontNoiseFreqLabelTable[n]->setVisible(AppSettings.ExtendedAdc);
    }

    SetBackground(form.CHGB[1], AppSettings.GUIColor[1]);
    SetBackground(form.CHGB[2], AppSettings.GUIColor[2]);
    SetBackground(form.CHGB[3], AppSettings.GUIColor[2]);
    for (int n = 4; n <= LoadChannelCount; ++n)
        SetBackground(form.CHGB[n], AppSettings.GUIColor[3]);

    // The load bars take the DUT's maximum currents as their ranges.
    RefreshLoadControls();
    ChannelListChange();
    ReadAutoTestParams();
}
