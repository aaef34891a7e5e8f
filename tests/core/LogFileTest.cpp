#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "core/LogFile.h"

class LogFileTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

    QStringList LogFiles() const { return QDir(Fixture->Path("log")).entryList(QDir::Files); }
    QByteArray LogText() const
    {
        const QStringList files = LogFiles();
        return files.size() == 1 ? Fixture->ReadFile("log/" + files[0]) : QByteArray();
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup()
    {
        CloseLog();
        ResetLogState();
        TARVIK_FINISH_FIXTURE(Fixture);
    }

    void OpenCreatesTheFolderAndOneFilePerRun()
    {
        AppSettings.WriteLog = true;
        const QDateTime before = QDateTime::currentDateTime();
        OpenLog();
        QVERIFY(LogOpen);
        const QStringList files = LogFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.txt$").match(files[0]).hasMatch(),
                 qPrintable(files[0]));
        const QDateTime named = QDateTime::fromString(files[0].chopped(4), "yyyy-MM-dd HH-mm-ss");
        QVERIFY(named.secsTo(before) <= 1 && before.secsTo(named) <= 2);
        OpenLog();  // already open: no second file
        QCOMPARE(LogFiles().size(), 1);
    }

    void LinesCarryAStampAndEndInCrLf()
    {
        AppSettings.WriteLog = true;
        OpenLog();
        WriteLogLine("Received: !GV;#");
        WriteLogLine(QString::fromLatin1("Received: a\r\nb \xe9"));  // bytes as they came
        const QByteArray text = LogText();
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.size(), 4);  // the chunk's own line break spreads it over two lines
        QVERIFY(lines[0].endsWith(": Received: !GV;#\r"));
        QVERIFY(lines[1].endsWith(": Received: a\r"));
        QCOMPARE(lines[2], QByteArray("b \xe9\r"));
        QVERIFY(lines[3].isEmpty());
        const QString stamp = QString::fromLatin1(lines[0].left(lines[0].indexOf(": ")));
        QCOMPARE(stamp, LogTimeStamp(QDateTime::currentDateTime()).left(stamp.size()));
    }

    void WriteLogOffStopsTheLinesNotTheFile()
    {
        AppSettings.WriteLog = true;
        OpenLog();
        WriteLogLine("one");
        AppSettings.WriteLog = false;
        WriteLogLine("two");
        AppSettings.WriteLog = true;
        OpenLog();
        WriteLogLine("three");
        QCOMPARE(LogFiles().size(), 1);
        const QByteArray text = LogText();
        QVERIFY(text.contains(": one\r\n") && text.contains(": three\r\n") && !text.contains("two"));
    }

    void NothingIsWrittenWithoutAFile()
    {
        AppSettings.WriteLog = true;
        WriteLogLine("lost");  // never fails towards the caller
        QVERIFY(!LogOpen);
        QVERIFY(!QDir(Fixture->Path("log")).exists());
    }

    void ASecondRunInTheSameSecondAppends()
    {
        AppSettings.WriteLog = true;
        QDir().mkdir(Fixture->Path("log"));
        const QString name = QDateTime::currentDateTime().toString("yyyy-MM-dd HH-mm-ss") + ".txt";
        Fixture->WriteFile("log/" + name, "earlier run\r\n");
        OpenLog();
        WriteLogLine("this run");
        const QStringList files = LogFiles();
        const QByteArray text = Fixture->ReadFile("log/" + files.last());
        if (files.last() == name)
            QVERIFY(text.startsWith("earlier run\r\n") && text.contains(": this run\r\n"));
        QCOMPARE(Fixture->ReadFile("log/" + name).left(13), QByteArray("earlier run\r\n"));
    }

    void AFolderThatCannotBeMadeIsReportedAndRetried()
    {
        AppSettings.WriteLog = true;
        Fixture->WriteFile("log", "a file where the folder should be");
        OpenLog();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("MessageBox", "Error", "Error initializing log file!", TDialogIcon::Error)});
        QVERIFY(!LogOpen);
        QFile::remove(Fixture->Path("log"));
        OpenLog();
        QVERIFY(LogOpen);
    }

    void AFailedWriteIsReportedOnceAndLoggingStops()
    {
        // A full disk: this run's file is the device that is always full.
        AppSettings.WriteLog = true;
        QDir().mkdir(Fixture->Path("log"));
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s <= 3; ++s)
            QFile::link("/dev/full", Fixture->Path("log/" + now.addSecs(s).toString("yyyy-MM-dd HH-mm-ss") + ".txt"));
        OpenLog();
        QVERIFY(LogOpen);
        WriteLogLine("Received: !GV;#");
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("MessageBox", "Error",
                                            "Error writing log file! Logging has stopped (No space left on device).",
                                            TDialogIcon::Error)});
        WriteLogLine("Executed: !GV;#");
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        // Logging stays off for the rest of the run: no new file either.
        OpenLog();
        WriteLogLine("Received: later");
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QCOMPARE(LogFiles().size(), 4);
    }

    void MidnightLeavesTheTimeOut()
    {
        const QDateTime midnight(QDate(2026, 12, 10), QTime(0, 0, 0));
        const QDateTime later(QDate(2026, 12, 10), QTime(9, 5, 2));
        QVERIFY(!LogTimeStamp(midnight).contains(':'));
        QVERIFY(LogTimeStamp(later).endsWith(" 09:05:02"));
        QVERIFY(LogTimeStamp(later).startsWith(LogTimeStamp(midnight)));
    }
};

TARVIK_TEST(LogFileTest)
#include "LogFileTest.moc"
