#include "autotests/RunControl.h"

#include <QPushButton>

#include <algorithm>

#include "autotests/ResultStore.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"

bool StartFieldsFilled(const TAutoTestTexts& texts, std::initializer_list<int> fields)
{
    for (int field : fields) {
        if (texts.at(field - 1).isEmpty()) {
            ShowMessage(QStringLiteral("Incorrect values!"));
            return false;
        }
    }
    return true;
}

void ShowRunState(QPushButton* start, QPushButton* stop, bool running)
{
    start->setEnabled(!running);
    stop->setEnabled(running);
}

std::optional<int> ExpectedSteps(const TAutoTestTexts& texts)
{
    int32_t steps = 0;
    if (!TryStrToInt(texts[5], steps) || steps < 0)
        return std::nullopt;
    return std::min<int>(steps, RunSteps);
}

uint16_t FieldWord(const QString& field) { return static_cast<uint16_t>(StrToInt(field)); }

float FieldSingle(const QString& field) { return static_cast<float>(StrToFloat(field)); }

void StoreUntilBadField(const std::function<void()>& store)
{
    try {
        store();
    } catch (const EConvertError&) {
    }
}
