#include "autotests/CrossLoadTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "autotests/RunProgress.h"
#include "config/AutoTestFields.h"
#include "core/ProgramState.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "monitor/MeasurementDisplay.h"
#include "ui/MainForm.h"

namespace {
const QString RunName = QStringLiteral("KHX");
}

void bATStartClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    if (!StartFieldsFilled(texts, {1, 2, 3, 4, 5}))
        return;
    ResetPassMarks();
    // The buttons change when the stand acknowledges the start.
    SendCommand(CrossLoadStartFrame(texts));
    RunRequested(RunName, GridPoints);
}

void CrossLoadStarted()
{
    CrossLoadRunning = true;
    ShowRunState(MForm->bATStart, MForm->bATStop, true);
    RunStarted(RunName);
}

void StoreCrossLoadPoint(const TParsedCommand& p)
{
    const int point = FieldWord(p.Params[0]);
    RunPoint(RunName);
    StoreUntilBadField([&] {
        for (int k = 1; k <= LoadChannelCount; ++k) {
            const float voltage = FieldSingle(p.Params[2 * k - 1]);
            const float current = FieldSingle(p.Params[2 * k]);
            // A point outside the grid has no place to go; its frame is still logged.
            if (IsGridPoint(point))
                CrossLoadAt(k, point) = CrossLoadPoint{voltage, current};
        }
    });
}

void CrossLoadEnded()
{
    CrossLoadRunning = false;
    ShowRunState(MForm->bATStart, MForm->bATStop, false);
    RunEnded(RunName);
    RepaintShownGraph(false);
}
