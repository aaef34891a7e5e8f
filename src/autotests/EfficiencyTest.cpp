#include "autotests/EfficiencyTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "autotests/RunProgress.h"
#include "config/AutoTestFields.h"
#include "core/Conversions.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "ui/MainForm.h"

namespace {
const QString RunName = QStringLiteral("PFC");
}

void bStartPFCClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    // The type is a one-character field the stand cannot do without.
    if (!StartFieldsFilled(texts, {5}))
        return;
    SendCommand(EfficiencyStartFrame(texts));
    RunRequested(RunName, ExpectedSteps(texts));
}

void EfficiencyStarted()
{
    ShowRunState(MForm->bStartPFC, MForm->bStopPFC, true);
    RunStarted(RunName);
}

void StoreEfficiencyPoint(const TParsedCommand& p)
{
    StoreUntilBadField([&] {
        const int step = StrToInt(p.Params[0]);
        RunPoint(RunName);
        if (!IsRunStep(step))
            return;
        EfficiencyPoint& ratio = ResultStore.EfficiencyRun.ratios[step];
        ThermalPoint& thermal = ResultStore.EfficiencyRun.thermal[step];
        ratio.powerFactor = static_cast<uint8_t>(StrToInt(p.Params[1]));
        ratio.efficiency = static_cast<uint8_t>(StrToInt(p.Params[2]));
        thermal.temperature = FieldSingle(p.Params[3]);
        thermal.fan1Speed = FieldWord(p.Params[4]);
        thermal.fan2Speed = FieldWord(p.Params[5]);
    });
}

void EfficiencyEnded()
{
    ShowRunState(MForm->bStartPFC, MForm->bStopPFC, false);
    RunEnded(RunName);
    PaintEfficiencyGraph();
    PaintFanGraph();
}
