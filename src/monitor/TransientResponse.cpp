#include "monitor/TransientResponse.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "ui/MainForm.h"

void ChannelListChange()
{
    const int index = MForm->ChannelList->currentIndex();
    if (index < 0)
        return;
    const TTransientParam& params = AppSettings.TransientParams[index + 1];
    MForm->TRCEdit->setText(QString::number(params.current));
    MForm->TRIEdit->setText(QString::number(params.interval));
    MForm->cbTREnable->setChecked(params.enabled);
}

void bApplyTRClick()
{
    const int index = MForm->ChannelList->currentIndex();
    if (index < 0)
        return;
    TTransientParam& params = AppSettings.TransientParams[index + 1];
    if (!MForm->TRCEdit->text().isEmpty())
        params.current = static_cast<uint8_t>(StrToInt(MForm->TRCEdit->text()));
    if (!MForm->TRIEdit->text().isEmpty())
        params.interval = static_cast<uint16_t>(StrToInt(MForm->TRIEdit->text()));
    params.enabled = MForm->cbTREnable->isChecked();
}
