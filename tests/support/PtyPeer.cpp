#include "PtyPeer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

TPtyPeer::TPtyPeer(const QString& dir, int port)
{
    char name[256] = {};
    int master = -1;
    if (openpty(&master, &Slave, name, nullptr, nullptr) != 0)
        qFatal("openpty failed");
    Master = master;
    termios raw{};
    tcgetattr(Slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(Slave, TCSANOW, &raw);
    fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK);
    QDir().mkpath(dir + QStringLiteral("dev"));
    LinkPath = dir + QStringLiteral("dev/COM") + QString::number(port);
    QFile::remove(LinkPath);
    if (!QFile::link(QString::fromLocal8Bit(name), LinkPath))
        qFatal("cannot link %s", qPrintable(LinkPath));
}

TPtyPeer::~TPtyPeer()
{
    HangUp();
    if (Slave >= 0)
        close(Slave);
    QFile::remove(LinkPath);
}

void TPtyPeer::Write(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (IsOpen() && done < bytes.size()) {
        const ssize_t n = write(Master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0)
            done += n;
        else
            QTest::qWait(1);
    }
}

void TPtyPeer::WriteBlocking(const QByteArray& bytes, std::atomic<qsizetype>* written)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const int master = Master;
        if (master < 0)
            return;
        pollfd fd{master, POLLOUT, 0};
        if (poll(&fd, 1, 50) <= 0 || !(fd.revents & POLLOUT))
            continue;
        const ssize_t n = write(master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            if (written)
                *written = done;
        }
    }
}

termios TPtyPeer::LineSettings() const
{
    termios settings{};
    tcgetattr(Slave, &settings);
    return settings;
}

void TPtyPeer::SetLineSettings(const termios& settings) { tcsetattr(Slave, TCSANOW, &settings); }

QByteArray TPtyPeer::ReadAvailable()
{
    QByteArray bytes;
    char buffer[4096];
    while (IsOpen()) {
        const ssize_t n = read(Master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

QByteArray TPtyPeer::ReadFor(int ms)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    do {
        QTest::qWait(5);
        bytes += ReadAvailable();
    } while (clock.elapsed() < ms);
    return bytes;
}

QByteArray TPtyPeer::ReadUntil(const QByteArray& text, int ms)
{
    QByteArray bytes;
    QElapsedTimer clock;
    clock.start();
    while (!bytes.contains(text) && clock.elapsed() < ms) {
        QTest::qWait(5);
        bytes += ReadAvailable();
    }
    return bytes;
}

void TPtyPeer::HangUp()
{
    const int master = Master.exchange(-1);
    if (master >= 0)
        close(master);
}
