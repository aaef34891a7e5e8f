#pragma once
// The far end of a pseudo-terminal, playing the stand by hand in a test: the program opens the
// other end as its serial port "\\.\COM<n>" through the link AppDir/dev/COM<n>.

#include <QByteArray>
#include <QString>
#include <atomic>
#include <termios.h>

class TPtyPeer {
public:
    // Opens a raw pseudo-terminal and links it as dir + "dev/COM" + port.
    TPtyPeer(const QString& dir, int port);
    ~TPtyPeer();
    TPtyPeer(const TPtyPeer&) = delete;
    TPtyPeer& operator=(const TPtyPeer&) = delete;

    bool IsOpen() const { return Master >= 0; }
    void Write(const QByteArray& bytes);
    // Everything the program has sent, collected while the event loop runs for `ms`.
    QByteArray ReadFor(int ms);
    // Collects until `text` has arrived or `ms` have passed; returns all collected bytes.
    QByteArray ReadUntil(const QByteArray& text, int ms);
    // Writes from any thread, waiting (without the event loop) while the line is full;
    // returns early when our end has been closed. `written`, when given, follows the bytes
    // the line has taken so far.
    void WriteBlocking(const QByteArray& bytes, std::atomic<qsizetype>* written = nullptr);
    // The line settings of the program's side, as the driver holds them.
    termios LineSettings() const;
    void SetLineSettings(const termios& settings);
    // Closes our end: the program's side of the line hangs up.
    void HangUp();

private:
    QByteArray ReadAvailable();

    std::atomic<int> Master{-1};  // read by WriteBlocking on another thread
    int Slave = -1;  // kept open so the line stays up while the program is not connected
    QString LinkPath;
};
