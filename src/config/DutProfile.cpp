#include "config/DutProfile.h"

#include "config/SettingsFile.h"
#include "config/SettingsForm.h"

QString ProfileFileName(const QString& chosen)
{
    const QString extension = QStringLiteral(".ini");
    return chosen.contains(extension, Qt::CaseSensitive) ? chosen : chosen + extension;
}

void TSettingsForm::bLoadPSUClick()
{
    if (!ChooseOpenFile(OD))
        return;
    // A file without the section, or no file at all, gives the defaults.
    ReadDutDescription(ProfileBuffer, OD.FileName);
    ShowDutFields(ProfileBuffer);
}

void TSettingsForm::bSavePSUClick()
{
    if (!ChooseSaveFile(SD))
        return;
    // Every field is taken before the file is touched: a field that fails leaves it as it was.
    TakeDutFields(ProfileBuffer);
    SD.FileName = ProfileFileName(SD.FileName);
    WriteDutDescription(ProfileBuffer, SD.FileName);
}
