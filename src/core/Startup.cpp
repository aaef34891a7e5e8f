#include "core/Startup.h"

#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"

void ResetProgramState()
{
    ResetCoreState();
    ResetAppSettings();
    ClearResults();
}
