#include "autotests/StandbyTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "config/AutoTestFields.h"
#include "core/Conversions.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "monitor/MeasurementDisplay.h"
#include "ui/MainForm.h"

void bSTStartClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    if (!StartFieldsFilled(texts, {7, 6}))
        return;
    ResetPassMarks();
    SendCommand(StandbyStartFrame(texts));
}

void StoreStandbyPoint(const TParsedCommand& p)
{
    const int step = StrToInt(p.Params[0]);
    StoreUntilBadField([&] {
        const float voltage = FieldSingle(p.Params[1]);
        const float current = FieldSingle(p.Params[2]);
        if (IsRunStep(step))
            ResultStore.StandbyRun[step] = StandbyPoint{voltage, current};
    });
}

void StandbyEnded()
{
    ShowRunState(MForm->bSTStart, MForm->bSTStop, false);
    RepaintShownGraph(false);
}
