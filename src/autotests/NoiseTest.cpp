#include "autotests/NoiseTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "autotests/RunProgress.h"
#include "config/AutoTestFields.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "monitor/MeasurementDisplay.h"
#include "ui/MainForm.h"

namespace {
const QString RunName = QStringLiteral("Noise");
}

void bStartNoiseClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    if (!StartFieldsFilled(texts, {1, 2, 3, 4, 5}))
        return;
    ResetPassMarks();
    SendCommand(NoiseStartFrame(texts));
    RunRequested(RunName, GridPoints);
}

void NoiseStarted()
{
    ShowRunState(MForm->bStartNoise, MForm->bStopNoise, true);
    RunStarted(RunName);
}

void StoreNoisePoint(const TParsedCommand& p)
{
    const int point = FieldWord(p.Params[0]);
    RunPoint(RunName);
    StoreUntilBadField([&] {
        for (int k = 1; k <= LoadChannelCount; ++k) {
            const uint16_t noise = FieldWord(p.Params[k]);
            if (IsGridPoint(point))
                NoiseAt(k, point) = noise;
        }
    });
}

void NoiseEnded()
{
    ShowRunState(MForm->bStartNoise, MForm->bStopNoise, false);
    RunEnded(RunName);
    RepaintShownGraph(false);
}
