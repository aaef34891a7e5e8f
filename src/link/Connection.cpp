#include "link/Connection.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "config/AppSettings.h"
#include "core/Dialogs.h"
#include "core/LogFile.h"
#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/ComPort.h"
#include "link/DebugFeed.h"
#include "link/Dispatcher.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
bool Receiving = false;     // inside the receive notification
int DialogsOutside = 0;     // dialogs open when it began
QString LineLostMessage;    // the line went away; reported once everything it brought is done
} // namespace

void Connect()
{
    LineLostMessage.clear();  // a line lost before belongs to the old connection
    TComPort& port = *MForm->COM;
    port.SetDeviceName(QStringLiteral("\\\\.\\COM") + QString::number(AppSettings.COMSettings.Port));
    port.SetBaudRate(AppSettings.COMSettings.Speed);
    port.Open();
    Connected = true;
    SendCommand(GreetingFrame());
}

void Disconnect()
{
    TMForm& form = *MForm;
    form.COM->Close();
    StandIdentified = false;
    form.bDisconnect->setEnabled(false);
    form.bConnect->setEnabled(true);
    form.GVTimer->stop();
    form.ConnectInfoLabel->setText(QStringLiteral("Disconnected"));
    SetTextColor(form.ConnectInfoLabel, NeutralColor);
    form.StatusPanel[0]->clear();
    Connected = false;
    LineLostMessage.clear();
}

void SendCommand(const QString& frame) { MForm->COM->WriteText(frame); }

void ProcessReceivedText(const QString& chunk)
{
    // The chunk's lines reach the memo when it is done, also when a frame of it fails.
    struct TFlushAtEnd {
        ~TFlushAtEnd() { FlushDebugLines(); }
    } flushAtEnd;
    const QString received = QStringLiteral("Received: ") + chunk;
    WriteLogLine(received);
    AppendDebugLine(received);

    QString s = chunk;
    if (!ReceiveBuffer.isEmpty()) {
        s = ReceiveBuffer + s;
        ReceiveBuffer.clear();
    }
    const qsizetype first = s.indexOf(u'!');
    if (first > 0)
        s.remove(0, first);

    while (!s.isEmpty()) {
        const bool hasStart = s.contains(u'!');
        const qsizetype end = s.indexOf(u'#', 1);
        if (!hasStart || end < 0) {
            // Keep the tail for the next chunk, but never more than the limit: a frame is a
            // few hundred characters, so a longer tail without "#" is junk.
            ReceiveBuffer = s.size() > ReceiveBufferLimit ? s.right(ReceiveBufferLimit) : s;
            return;
        }
        const QString frame = s.left(end + 1);
        s.remove(0, end + 1);
        DispatchFrame(frame);
    }
}

bool ReceivePathStalled()
{
    return (Receiving && OpenDialogCount() > DialogsOutside) || !LineLostMessage.isEmpty();
}

void COMRxChar()
{
    if (Receiving)
        return;  // the outer notification reads this text when the dispatch returns
    Receiving = true;
    DialogsOutside = OpenDialogCount();
    // A failing frame drops the rest of its own chunk only; text that arrived meanwhile is
    // read and processed by the next round. After a hang-up the port still hands out what
    // arrived before it, so every frame the stand sent is dispatched.
    while (MForm) {
        const QString chunk = MForm->COM->ReadAll();
        if (chunk.isEmpty())
            break;
        GuardEvent([&chunk] { ProcessReceivedText(chunk); });
    }
    Receiving = false;
    if (!LineLostMessage.isEmpty() && MForm) {
        const QString message = LineLostMessage;
        GuardEvent(Disconnect);
        ShowErrorDialog(message);
    }
}

void COMError(const QString& message, bool raised)
{
    if (raised) {
        GuardEvent(Disconnect);  // the failing call reports it
        return;
    }
    // The line went away while we waited for input. Disconnect only once what it delivered
    // before has been dispatched: at the end of the receive notification now running (also
    // one held by a dialog), or in a notification of its own.
    if (!LineLostMessage.isEmpty())
        return;
    LineLostMessage = message;
    if (!Receiving && MForm)
        QTimer::singleShot(0, MForm, COMRxChar);
}
