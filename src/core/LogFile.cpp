#include "core/LogFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <memory>

#include "config/AppSettings.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"

bool LogOpen = false;

namespace {
std::unique_ptr<QFile> Log;
}

QString LogTimeStamp(const QDateTime& moment)
{
    const QString date = QLocale::system().toString(moment.date(), QLocale::ShortFormat);
    const QTime time = moment.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    return date + u' ' + time.toString(QStringLiteral("HH:mm:ss"));
}

void OpenLog()
{
    if (LogOpen)
        return;
    const QString folder = AppDir + QStringLiteral("log");
    auto file = std::make_unique<QFile>(
        folder + u'/' + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")) +
        QStringLiteral(".txt"));
    // One level only: the program's own folder must exist.
    const bool folderReady = QDir(folder).exists() || QDir().mkdir(folder);
    if (!folderReady || !file->open(QIODevice::WriteOnly | QIODevice::Append)) {
        ShowMessageBox(QStringLiteral("Error initializing log file!"), QStringLiteral("Error"), TDialogIcon::Error);
        return;
    }
    Log = std::move(file);
    LogOpen = true;
}

void WriteLogLine(const QString& text)
{
    if (!AppSettings.WriteLog || !Log || !Log->isOpen())
        return;
    // Received text goes in byte for byte as it came; each line reaches the file at once, so
    // the log is complete whatever ends the program.
    const QByteArray line = (LogTimeStamp(QDateTime::currentDateTime()) + QStringLiteral(": ") + text).toLatin1() + "\r\n";
    if (Log->write(line) == line.size() && Log->flush())
        return;
    // A full disk or a vanished folder: say so once and stop logging for the rest of the run
    // (LogOpen stays set, so no other file is started). The program carries on.
    const QString reason = Log->errorString();
    Log->close();
    ShowMessageBox(QStringLiteral("Error writing log file! Logging has stopped (%1).").arg(reason),
                   QStringLiteral("Error"), TDialogIcon::Error);
}

void CloseLog()
{
    if (!LogOpen || !Log)
        return;
    Log->close();
}

void ResetLogState()
{
    Log.reset();
    LogOpen = false;
}
