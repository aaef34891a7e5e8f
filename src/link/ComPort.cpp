#include "link/ComPort.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include "core/Errors.h"
#include "core/ProgramState.h"

namespace {
const QString ComPrefix = QStringLiteral("\\\\.\\COM");
}

TComPort::TComPort(QObject* parent) : QObject(parent), Port(new QSerialPort(this))
{
    connect(Port, &QSerialPort::readyRead, this, &TComPort::DataReceived);
    connect(Port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error != QSerialPort::NoError)
            OnPortError();
    });
}

TComPort::~TComPort() { Close(); }

QString TComPort::ResolveDeviceName(const QString& deviceName)
{
    if (!deviceName.startsWith(ComPrefix))
        return deviceName;
    bool ok = false;
    const int number = deviceName.mid(ComPrefix.size()).toInt(&ok);
    const QString linked = ProgramDirectory() + QStringLiteral("dev/COM") + deviceName.mid(ComPrefix.size());
    if (QFileInfo::exists(linked) || QFileInfo(linked).isSymLink())
        return linked;
    return QStringLiteral("/dev/ttyS") + QString::number(ok ? number - 1 : 0);
}

void TComPort::SetDeviceName(const QString& deviceName)
{
    if (IsOpen() && deviceName != Device)
        Fail(QStringLiteral("Can't perform this operation on an open port"));
    Device = deviceName;
}

bool TComPort::IsOpen() const { return Port->isOpen(); }

namespace {
// Marks the time spent inside one of our own calls.
struct TOperation {
    explicit TOperation(bool& flag) : Flag(flag), Outer(flag) { Flag = true; }
    ~TOperation() { Flag = Outer; }
    bool& Flag;
    bool Outer;
};

// The flow-control settings of the device as its driver holds them, read through a handle of
// our own before Qt opens the device (Qt switches them off when it opens). The handle stays
// open until the settings are back, so the device is never fully closed in between.
class TFlowControl {
public:
    explicit TFlowControl(const QString& path)
        : Handle(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        if (Handle >= 0 && ::tcgetattr(Handle, &Saved) != 0) {
            ::close(Handle);
            Handle = -1;
        }
    }
    ~TFlowControl()
    {
        if (Handle >= 0)
            ::close(Handle);
    }
    TFlowControl(const TFlowControl&) = delete;
    TFlowControl& operator=(const TFlowControl&) = delete;

    // Sets the flags back on the device opened as `device`.
    void Restore(int device) const
    {
        termios now{};
        if (Handle < 0 || device < 0 || ::tcgetattr(device, &now) != 0)
            return;
        now.c_cflag = (now.c_cflag & ~CRTSCTS) | (Saved.c_cflag & CRTSCTS);
        now.c_iflag = (now.c_iflag & ~(IXON | IXOFF)) | (Saved.c_iflag & (IXON | IXOFF));
        ::tcsetattr(device, TCSANOW, &now);
    }

private:
    int Handle;
    termios Saved{};
};
} // namespace

void TComPort::Open()
{
    if (IsOpen())
        return;
    TOperation operation(InOperation);
    Lost = false;
    Held.clear();
    const QString path = ResolveDeviceName(Device);
    Port->setPortName(path);
    if (!Port->setBaudRate(BaudRate) || !Port->setDataBits(QSerialPort::Data8) ||
        !Port->setParity(QSerialPort::NoParity) || !Port->setStopBits(QSerialPort::OneStop))
        Fail(Port->errorString());
    Port->setReadBufferSize(ComReadBufferLimit);
    const TFlowControl flowControl(path);
    if (!Port->open(QIODevice::ReadWrite)) {
        const QString message = Port->errorString();
        Port->clearError();
        Fail(message);
    }
    flowControl.Restore(Port->handle());
    Port->clear();  // purge whatever waited in the driver's queues
    RaisePriority();
}

void TComPort::Close()
{
    Lost = false;
    Held.clear();
    if (!Port->isOpen())
        return;
    TOperation operation(InOperation);
    Port->close();
    Port->clearError();
    RestorePriority();
}

void TComPort::WriteText(const QString& text)
{
    TOperation operation(InOperation);
    if (Lost)
        Fail(LostLineMessage());
    if (!IsOpen())
        Fail(QStringLiteral("Can't perform this operation on a closed port"));
    const QByteArray bytes = text.toLatin1();
    if (Port->write(bytes) != bytes.size())
        Fail(Port->errorString());
}

QString TComPort::ReadAll()
{
    QByteArray bytes;
    if (Lost)
        bytes.swap(Held);
    else if (IsOpen())
        bytes = Port->readAll();
    Received += bytes.size();
    return QString::fromLatin1(bytes);
}

void TComPort::Fail(const QString& message)
{
    emit ErrorOccurred(message, true);
    throw EComPortError(message);
}

void TComPort::OnPortError()
{
    // Failures of our own calls are reported by Fail; this is the line going away while we
    // wait for input. Keep what arrived, release the device and report it once; the link
    // disconnects when it has dispatched what arrived.
    if (InOperation || !Port->isOpen() || Lost)
        return;
    const QSerialPort::SerialPortError error = Port->error();
    if (error == QSerialPort::NotOpenError || error == QSerialPort::OpenError)
        return;
    ReleaseLostLine();
    emit ErrorOccurred(LostLineMessage(), false);
}

void TComPort::ReleaseLostLine()
{
    // Keep what had arrived (Qt reads the line until it reports the end, so nothing of it is
    // left in the driver), then release the device at once: Qt would otherwise report the
    // dead line again on every pass of the event loop.
    Held = Port->readAll();
    Lost = true;
    {
        TOperation operation(InOperation);
        Port->close();
        Port->clearError();
    }
    RestorePriority();
}

QString TComPort::LostLineMessage() const
{
    // The operating system's text for a dead line is no help ("Unknown error", or whatever
    // errno held); say what happened and to which port.
    const QString port = Device.startsWith(ComPrefix) ? Device.mid(4) : Device;
    return QStringLiteral("The connection to %1 was lost (the device was closed or unplugged).").arg(port);
}

void TComPort::RaisePriority()
{
    // The stand streams its results without flow control; a busy desktop must not make us
    // miss them. Systems that refuse a higher priority simply keep the normal one.
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, 0);
    if (errno != 0)
        return;
    if (setpriority(PRIO_PROCESS, 0, current - 5) == 0) {
        SavedNice = current;
        PriorityRaised = true;
    }
}

void TComPort::RestorePriority()
{
    if (!PriorityRaised)
        return;
    setpriority(PRIO_PROCESS, 0, SavedNice);
    PriorityRaised = false;
}
