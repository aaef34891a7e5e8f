#include "autotests/StandbyTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "autotests/RunProgress.h"
#include "config/AutoTestFields.h"
#include "core/Conversions.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "monitor/MeasurementDisplay.h"
#include "ui/MainForm.h"

namespace {
const QString RunName = QStringLiteral("+5Vstb");
}

void bSTStartClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    if (!StartFieldsFilled(texts, {7, 6}))
        return;
    ResetPassMarks();
    SendCommand(StandbyStartFrame(texts));
    // No frame acknowledges this run: it is under way once requested.
    RunRequested(RunName, ExpectedSteps(texts));
    RunStarted(RunName);
}

void StoreStandbyPoint(const TParsedCommand& p)
{
    const int step = StrToInt(p.Params[0]);
    RunPoint(RunName);
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
    RunEnded(RunName);
    RepaintShownGraph(false);
}
