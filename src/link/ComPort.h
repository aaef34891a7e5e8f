#pragma once
// The stand's serial port: exactly the operations the link needs. The device is named as the
// stand's documentation names it, "\\.\COM" followed by the port number, and resolved on this
// system (ResolveDeviceName). The line always runs 8 data bits, no parity, one stop bit.
//
// Every failed operation first emits ErrorOccurred with its text (the link disconnects there)
// and then throws EComPortError with the same text. A failure while waiting for input (the line
// hangs up, the adapter is unplugged) emits ErrorOccurred only, once: the device is released at
// once, and what had arrived before stays readable through ReadAll until Close.
//
// Opening leaves the flow control (RTS/CTS, XON/XOFF) as the device had it before.

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;

// The most the port holds of received bytes that the program has not read yet: 4 MiB, a whole
// streamed cross-load run (12,000 points of about 150 bytes) with room to spare, so nothing a
// run sends is lost while the operator reads a dialog, yet a stand that streams on and on
// while nobody reads cannot fill the memory. Beyond it the bytes wait in the driver.
constexpr qint64 ComReadBufferLimit = 4 * 1024 * 1024;

class TComPort : public QObject {
    Q_OBJECT
public:
    explicit TComPort(QObject* parent = nullptr);
    ~TComPort() override;

    // "\\.\COM3" names AppDir + "dev/COM3" when that exists (a link to /dev/ttyUSB0, a
    // simulator's pseudo-terminal, ...), otherwise /dev/ttyS2.
    static QString ResolveDeviceName(const QString& deviceName);

    QString DeviceName() const { return Device; }
    // Refused while open unless the name stays the same.
    void SetDeviceName(const QString& deviceName);
    void SetBaudRate(int baudRate) { BaudRate = baudRate; }

    bool IsOpen() const;
    // Opens the device; does nothing when it is open already.
    void Open();
    // Closes the device; closing a closed port does nothing.
    void Close();
    // Queues the text's bytes for sending and returns without waiting for them to go out.
    void WriteText(const QString& text);
    // Every byte that has arrived and not been read yet, as Latin-1 text (possibly empty).
    // After the line has been lost, the bytes that arrived before it went.
    QString ReadAll();
    // Bytes read since the port object was made, for diagnostics and the link benchmark.
    qint64 BytesReceived() const { return Received; }

signals:
    // At least one byte has arrived.
    void DataReceived();
    // An operation failed; the text is the system's or the port layer's message. `raised` is
    // true when an EComPortError with the same text follows for the caller to report, false
    // when the line failed while nobody was calling (then nobody else reports it).
    void ErrorOccurred(const QString& message, bool raised);

private:
    [[noreturn]] void Fail(const QString& message);
    void OnPortError();
    void ReleaseLostLine();
    QString LostLineMessage() const;
    void RaisePriority();
    void RestorePriority();

    QSerialPort* Port;
    QString Device = QStringLiteral("COM1");
    int BaudRate = 115200;
    bool PriorityRaised = false;
    int SavedNice = 0;
    qint64 Received = 0;
    bool InOperation = false;  // inside one of our own calls: their failures go through Fail
    bool Lost = false;
    QByteArray Held;  // what arrived before the line was lost, not read yet
};
