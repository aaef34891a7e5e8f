#include "monitor/DebugConsole.h"

#include <QLineEdit>

#include "link/Connection.h"
#include "ui/MainForm.h"

void bDebugReceiveClick() { ProcessReceivedText(MForm->DebugEdit1->text()); }

void bDebugSendClick() { SendCommand(MForm->DebugEdit2->text()); }

void AdvGlowButton1Click() { ClearDebugMemo(); }
