#include "config/AutoTestFields.h"

#include <QLineEdit>

#include "config/AppSettings.h"
#include "config/SettingsFile.h"
#include "ui/MainForm.h"

void ReadAutoTestParams()
{
    ReadAutoTestSection();
    const TAutoTestParams& p = AppSettings.AutoTestParams;
    const uint16_t values[7] = {p.l_max_power, p.h_max_power, p.t_max_power, p.rails_12V,
                                p.psu_type,    p.steps,       p.power_5vstb};
    for (int n = 1; n <= 7; ++n)
        MForm->ATEdit[n]->setText(QString::number(values[n - 1]));
}

std::array<QString, 7> AutoTestFieldTexts()
{
    std::array<QString, 7> texts;
    for (int n = 1; n <= 7; ++n)
        texts[n - 1] = MForm->ATEdit[n]->text();
    return texts;
}

void WriteAutoTestParams()
{
    TakeAutoTestTexts(AutoTestFieldTexts());
    WriteAutoTestSection();
}
