#include "core/ProgramState.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

namespace {
QString AppDirForTests;
}

QString BuildVersionString(const QString& version)
{
    const QStringList parts = version.split(u'.');
    QStringList out;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint value = i < parts.size() ? parts[i].toUInt(&ok) : 0;
        out << QString::number(ok ? (value & 0xFFFFu) : 0u);
    }
    return out.join(u'.');
}

QString ProgramVersionString()
{
#ifdef TARVIK_VERSION
    return BuildVersionString(QStringLiteral(TARVIK_VERSION));
#else
    return BuildVersionString(QString());
#endif
}

QString ProgramDirectory()
{
    if (!AppDirForTests.isEmpty())
        return AppDirForTests.endsWith(u'/') ? AppDirForTests : AppDirForTests + u'/';
    return QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/';
}

void SetAppDirForTests(const QString& dir) { AppDirForTests = dir; }

void ResetCoreState()
{
    ChannelReadings = TChannelReadings{};
    Connected = false;
    StandIdentified = false;
    CrossLoadRunning = false;
    PsuOnSeconds = 0;
    ReceiveBuffer.clear();
    AppDir.clear();
    VersionString.clear();
    DesignWidth = 0;
    DesignHeight = 0;
    ChromeHeight = 0;
    ResetDeviceErrorTable();
}

void WaitProcessingEvents(int ms)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    while (clock.elapsed() < ms) {
        const qint64 remaining = ms - clock.elapsed();
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(remaining > 0 ? remaining : 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
