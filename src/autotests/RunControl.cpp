#include "autotests/RunControl.h"

#include <QPushButton>

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

uint16_t FieldWord(const QString& field) { return static_cast<uint16_t>(StrToInt(field)); }

float FieldSingle(const QString& field) { return static_cast<float>(StrToFloat(field)); }

void StoreUntilBadField(const std::function<void()>& store)
{
    try {
        store();
    } catch (const EConvertError&) {
    }
}
