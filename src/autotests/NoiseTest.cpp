#include "autotests/NoiseTest.h"

#include "autotests/ResultStore.h"
#include "autotests/RunControl.h"
#include "config/AutoTestFields.h"
#include "graphs/GraphPages.h"
#include "link/Connection.h"
#include "monitor/MeasurementDisplay.h"
#include "ui/MainForm.h"

void bStartNoiseClick()
{
    const TAutoTestTexts texts = AutoTestFieldTexts();
    if (!StartFieldsFilled(texts, {1, 2, 3, 4, 5}))
        return;
    ResetPassMarks();
    SendCommand(NoiseStartFrame(texts));
}

void NoiseStarted() { ShowRunState(MForm->bStartNoise, MForm->bStopNoise, true); }

void StoreNoisePoint(const TParsedCommand& p)
{
    const int point = FieldWord(p.Params[0]);
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
    RepaintShownGraph(false);
}
