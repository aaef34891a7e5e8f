#pragma once
// The link to the stand: connecting and disconnecting, sending frames, and cutting the received
// text into frames for the dispatcher.

#include <QString>

// Opens the port named by the configuration at its speed, 8-N-1, and greets the stand. The
// stand's hardware report then marks it identified and starts the polling.
void Connect();

// Closes the port and returns the link display to "Disconnected". Nothing is sent.
void Disconnect();

// Writes one frame to the port unchanged. Fails (after disconnecting) when the port is closed.
void SendCommand(const QString& frame);

// Logs a received chunk, joins it to what waits in ReceiveBuffer and dispatches every complete
// frame from "!" to "#" in order. A frame whose fields do not convert stops the chunk there:
// the failure travels to the caller and the rest of the chunk is dropped.
void ProcessReceivedText(const QString& chunk);

// The longest text kept in ReceiveBuffer while no complete frame arrives: a stand sending
// garbage must not make the buffer grow without bound.
constexpr int ReceiveBufferLimit = 65535;

// The port's receive notification: reads everything available and processes it. A notification
// that arrives while a chunk is being dispatched (the dispatcher runs the event loop) is not
// handled inside it; the outer handler reads again until nothing is left.
void COMRxChar();

// The port's error notification: disconnects. A failure nobody called for (the line hung up)
// disconnects only after every frame received before it has been dispatched, and is shown
// then, once.
void COMError(const QString& message, bool raised);

// True while what the stand sends cannot be processed: a dialog raised on the receive path
// waits for the operator, or the line has gone and its last frames are being dispatched. Polls
// wait meanwhile, so unanswerable answers do not pile up.
bool ReceivePathStalled();
