#include "ui/Startup.h"

#include <QLocale>
#include <QTimer>

#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "config/ApplySettings.h"
#include "config/AutoTestFields.h"
#include "config/SettingsFile.h"
#include "core/Dialogs.h"
#include "core/LogFile.h"
#include "autotests/RunProgress.h"
#include "link/ComPort.h"
#include "monitor/ManualLoading.h"
#include "core/ProgramState.h"
#include "graphs/GraphState.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

void ResetProgramState()
{
    ResetCoreState();
    ResetLogState();
    ResetChannelControls();
    ResetAppSettings();
    ClearResults();
    ResetGraphState();
    ResetManualLoading();
    ResetRunProgress();
}

void InitializeProgram()
{
    ResetProgramState();
    // Our own conversions always use "."; this keeps anything Qt formats by default the same.
    QLocale::setDefault(QLocale::c());
    VersionString = ProgramVersionString();
    BuildChannelControls(*MForm);
    ClearResults();
    AppDir = ProgramDirectory();
    ReadSettingsFile();
    ReadTransientParams();
    ReadAutoTestParams();
    ApplySettings();
    BuildDeviceErrorTable();
}

void FinalizeProgram()
{
    // Nothing may talk to the stand any more: a poll or a clock tick from the event loop (the
    // window lives on after its close, and a failing save below shows a dialog) would
    // otherwise meet the port closed at the end and raise an error after the operator quit.
    if (MForm) {
        MForm->GVTimer->stop();
        MForm->PSUOnTimer->stop();
    }
    Connected = false;
    StandIdentified = false;
    // Each step runs whatever the step before it did: a pasted non-number in a front-panel
    // field must not keep the log open or the port held.
    GuardEvent(WriteTransientParams);
    GuardEvent(WriteAutoTestParams);
    CloseLog();
    // Released without the disconnect routine: nothing is sent to the stand at exit.
    if (MForm && MForm->COM)
        MForm->COM->Close();
}
