// The link through the real serial-port class on a pseudo-terminal: a hand-played stand for
// the exact frames and timings, and the simulator for a whole session.

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <utility>

#include "PtyPeer.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"
#include "link/ComPort.h"
#include "link/Dispatcher.h"
#include "link/Connection.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
QColor TextColor(const QWidget* widget) { return widget->palette().color(QPalette::WindowText); }
const QByteArray Report = "!REP;Tarvik;ATE-12;2.14;2026-11-03;PSU-TS1;#";
} // namespace

class LinkEndToEndTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;
    std::optional<TPtyPeer> Stand;

    // Connects and answers the greeting as the stand does.
    void ConnectToStand(const QByteArray& settings = QByteArray())
    {
        Fixture->WriteFile("settings.ini", settings);
        Stand.emplace(Fixture->Dir(), 1);
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QCOMPARE(Stand->ReadUntil("!!!;#", 2000), QByteArray("!!!;#"));
        Stand->Write(Report);
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 2000);
    }

    // Plays the stand for `ms`: every poll is answered with answer(n), n counting the polls
    // from 0. Returns the number of polls answered.
    int AnswerPolls(int ms, const std::function<QByteArray(int)>& answer)
    {
        int polls = 0;
        QByteArray pending;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            pending += Stand->ReadFor(10);
            qsizetype at = 0;
            while ((at = pending.indexOf("!GV;#")) >= 0) {
                pending.remove(0, at + 5);
                Stand->Write(answer(polls++));
            }
        }
        return polls;
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup()
    {
        if (Fixture)
            Fixture->Destroy();
        Stand.reset();
        TARVIK_FINISH_WINDOW(Fixture);
    }

    void ConnectGreetsAndTheReportIdentifies()
    {
        ConnectToStand();
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        QVERIFY(Connected);
        QVERIFY(!form.bConnect->isEnabled() && form.bDisconnect->isEnabled());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Connected"));
        QCOMPARE(TextColor(form.ConnectInfoLabel), Green);
        QCOMPARE(form.HwInfoFirmware->text(), QString("Firmware: 2.14"));
        // Polls follow at the default 100 ms.
        QVERIFY(Stand->ReadUntil("!GV;#!GV;#", 2000).contains("!GV;#!GV;#"));
        form.bDisconnect->click();
        QVERIFY(!Connected && !StandIdentified && !form.COM->IsOpen());
        Stand->ReadFor(150);
        QCOMPARE(Stand->ReadFor(400), QByteArray());  // polling stopped, nothing sent
    }

    void PollsFollowTheTimeoutAndPauseDuringTheCrossLoadRun()
    {
        ConnectToStand("[General]\r\nGVTimeout=250\r\n");
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        QCOMPARE(form.GVTimer->interval(), 250);
        Stand->ReadFor(100);
        const int polls = Stand->ReadFor(1300).count("!GV;#");
        QVERIFY2(polls >= 3 && polls <= 7, qPrintable(QString::number(polls)));
        Stand->Write("!AT;#");
        QTRY_VERIFY_WITH_TIMEOUT(CrossLoadRunning, 2000);
        Stand->ReadFor(300);
        QCOMPARE(Stand->ReadFor(800).count("!GV;#"), 0);
        Stand->Write("!ATE;#");
        QVERIFY(Stand->ReadUntil("!GV;#", 2000).contains("!GV;#"));
        QVERIFY(form.bATStart->isEnabled());
    }

    void ReadingsAndReportsReachTheWindow()
    {
        ConnectToStand();
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        Stand->Write("!VC;3;12.034;4.5;35;110;#!VC;0;3.1;1;0;0;#!ERR;30;#!TN;450;#");
        QTRY_COMPARE_WITH_TIMEOUT(FrontVoltageLabelTable[4]->text(), QString("+12.034 VDC"), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(form.PWRONLabel->text(), QString("PWR_OK ON, ms: 450"), 2000);
        QCOMPARE(FrontDeviationLabelTable[4]->text(), QString("+0.3%"));
        QCOMPARE(FrontPassLabelTable[4]->text(), QString("PASS"));
        QCOMPARE(TextColor(FrontPassLabelTable[4]), Green);
        QCOMPARE(FrontPassLabelTable[1]->text(), QString("FAIL"));
        QCOMPARE(TextColor(FrontPassLabelTable[1]), Red);
        QCOMPARE(form.ErrorLabel->text(), QString("ERR_OTP"));
        QCOMPARE(TextColor(form.ErrorLabel), Red);
        QCOMPARE(form.PSUStatusLabel->text(), QString("Status: ON"));
        Stand->Write("!TN;451;#");
        QTRY_COMPARE_WITH_TIMEOUT(form.PWRONLabel->text(), QString("PWR_OK ON, ms: 451"), 2000);
        // Frames the buttons send.
        Stand->ReadFor(50);
        form.bPSUOFF->click();
        QVERIFY(Stand->ReadUntil("!PF;#", 2000).contains("!PF;#"));
    }

    void OneBadAcPowerIsReportedOnceAndTheEfficiencyComesBack()
    {
        ConnectToStand();
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        // Each answer carries a reading before the AC meter, as the stand sends them; the
        // meter's power is unreadable in the first answer only.
        const int polls = AnswerPolls(1500, [](int n) {
            return QByteArray("!VC;3;12;7.5;0;0;#!MVC;230.0;0.500;50.0;") + (n == 0 ? "n/a" : "180") + ";#";
        });
        QVERIFY2(polls >= 5, qPrintable(QString::number(polls)));
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'n/a' is not a valid floating point value.",
                                            TDialogIcon::Error)});
        QCOMPARE(form.ACPLabel->text(), QString("Power: 180 W"));
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 50.00 %"));
        QVERIFY(Connected && form.COM->IsOpen());
    }

    void ADialogOnTheReceivePathHoldsThePolls()
    {
        ConnectToStand();
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        QByteArray sentMeanwhile;
        Fixture->Dialogs.WhileShown = [&](const TDialogCall&) {
            // The operator reads the dialog for a second; the stand sends one more reading.
            Stand->ReadFor(150);  // a poll already on its way
            Stand->Write("!VC;3;12.5;1;0;0;#");
            sentMeanwhile = Stand->ReadFor(1000);
        };
        Stand->Write("!FAN;abc;1;#");
        QTRY_COMPARE_WITH_TIMEOUT(Fixture->Dialogs.Calls.size(), 1, 3000);
        Fixture->Dialogs.WhileShown = nullptr;
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'abc' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QCOMPARE(sentMeanwhile, QByteArray());
        // After OK the reading that came meanwhile is shown and polling goes on.
        QTRY_COMPARE_WITH_TIMEOUT(FrontVoltageLabelTable[4]->text(), QString("+12.500 VDC"), 2000);
        QVERIFY(Stand->ReadUntil("!GV;#!GV;#", 2000).contains("!GV;#!GV;#"));
        QVERIFY(Connected && form.COM->IsOpen());
    }

    void AHangUpBehindAnOpenDialogLosesNoFrame()
    {
        ConnectToStand("[General]\r\nGVTimeout=60000\r\n");
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        constexpr int Points = 2000;
        QByteArray run = "!AT;#";
        for (int n = 0; n < Points; ++n) {
            run += "!G;" + QByteArray::number(n) + ';';
            for (int k = 1; k <= 11; ++k)
                run += "3.3;" + QByteArray::number(n % 30) + ';';
            run += '#';
        }
        uint64_t dispatchedBefore = 0;
        bool streamed = false;
        Fixture->Dialogs.WhileShown = [&](const TDialogCall&) {
            // While the operator reads the first dialog, the stand streams a run and the line goes.
            if (std::exchange(streamed, true))
                return;
            dispatchedBefore = DispatchedFrames;
            Stand->Write(run);
            QTest::qWait(300);
            Stand->HangUp();
            QTest::qWait(300);
        };
        Stand->Write("!FAN;abc;1;#");
        QTRY_VERIFY_WITH_TIMEOUT(!Connected, 10000);
        Fixture->Dialogs.WhileShown = nullptr;
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 (QStringList{DescribeDialog("Error", ApplicationTitle(), "'abc' is not a valid integer value.",
                                             TDialogIcon::Error),
                              DescribeDialog("Error", ApplicationTitle(),
                                             "The connection to COM1 was lost (the device was closed or unplugged).",
                                             TDialogIcon::Error)}));
        QCOMPARE(DispatchedFrames - dispatchedBefore, uint64_t(Points + 1));
        for (int n = 0; n < Points; ++n) {
            if (CrossLoadAt(11, n).voltage != 3.3f || CrossLoadAt(11, n).current != float(n % 30))
                QFAIL(qPrintable(QString("point %1 missing").arg(n)));
        }
        QVERIFY(!form.COM->IsOpen());
        QVERIFY(form.bConnect->isEnabled() && !form.bDisconnect->isEnabled());
        QVERIFY(!form.GVTimer->isActive());
        // A stand on the line again: Connect works as before.
        Stand.emplace(Fixture->Dir(), 1);
        form.bConnect->click();
        QCOMPARE(Stand->ReadUntil("!!!;#", 2000), QByteArray("!!!;#"));
        Stand->Write(Report);
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 2000);
    }

    void ReceiveNotificationsNeverOverlap()
    {
        // The stand writes a second chunk while the first is being dispatched, with one frame
        // split across the two: the second waits for the first to be done.
        ConnectToStand("[General]\r\nGVTimeout=60000\r\n");
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        form.DebugMemo->clear();
        struct TSecondChunk : QObject {
            TPtyPeer* Stand = nullptr;
            bool Sent = false;
            bool eventFilter(QObject*, QEvent* event) override
            {
                if (event->type() == QEvent::EnabledChange && !Sent) {
                    Sent = true;  // inside the action of "!AT;#", the first frame
                    Stand->Write(";1;0;0;#!ATE;#");
                    QTest::qWait(100);
                }
                return false;
            }
        } second;
        second.Stand = &*Stand;
        form.bATStart->installEventFilter(&second);
        Stand->Write("!AT;#!VC;0;3.3;1;0;0;#!VC;1;5");
        QTRY_VERIFY_WITH_TIMEOUT(form.DebugMemo->toPlainText().contains("!ATE;#"), 3000);
        QTest::qWait(50);
        form.bATStart->removeEventFilter(&second);
        QVERIFY(second.Sent);
        QCOMPARE(form.DebugMemo->toPlainText().split(u'\n'),
                 (QStringList{"Received: !AT;#!VC;0;3.3;1;0;0;#!VC;1;5", "Executed: !AT;#",
                              "Executed: !VC;0;3.3;1;0;0;#", "Received: ;1;0;0;#!ATE;#", "Executed: !VC;1;5;1;0;0;#",
                              "Executed: !ATE;#"}));
        QCOMPARE(FrontVoltageLabelTable[2]->text(), QString("+5.000 VDC"));
    }

    void AConnectWhileALossWaitsKeepsTheNewLine()
    {
        // Greeted but not identified, so Connect can still be pressed: the line goes while a
        // dialog holds the receive path, and the operator connects again meanwhile.
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=60000\r\n");
        Stand.emplace(Fixture->Dir(), 1);
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QCOMPARE(Stand->ReadUntil("!!!;#", 2000), QByteArray("!!!;#"));
        bool reconnected = false;
        Fixture->Dialogs.WhileShown = [&](const TDialogCall&) {
            if (std::exchange(reconnected, true))
                return;
            Stand->HangUp();
            QTest::qWait(300);
            Stand.emplace(Fixture->Dir(), 1);
            form.bConnect->click();
            Stand->ReadUntil("!!!;#", 2000);
            Stand->Write(Report);
            QTest::qWait(300);
        };
        Stand->Write("!FAN;abc;1;#");
        QTRY_VERIFY_WITH_TIMEOUT(reconnected, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 3000);
        QTest::qWait(200);
        Fixture->Dialogs.WhileShown = nullptr;
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'abc' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QVERIFY(Connected && StandIdentified && form.COM->IsOpen());
        QVERIFY(form.bDisconnect->isEnabled());
    }

    void AHangUpDisconnectsAndIsShownOnce()
    {
        ConnectToStand();
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        Stand->HangUp();
        QTRY_VERIFY_WITH_TIMEOUT(!Connected, 3000);
        QTest::qWait(300);
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(),
                                            "The connection to COM1 was lost (the device was closed or unplugged).",
                                            TDialogIcon::Error)});
        QVERIFY(!form.COM->IsOpen());
        QVERIFY(form.bConnect->isEnabled() && !form.bDisconnect->isEnabled());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
        QVERIFY(!form.GVTimer->isActive());
    }

    void ClosingWhileConnectedSendsNothingAndKeepsTheLog()
    {
        ConnectToStand("[General]\r\nWriteLog=1\r\nGVTimeout=60000\r\n");
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        Stand->Write("!VC;0;3.3;1;0;0;#");
        QTRY_COMPARE_WITH_TIMEOUT(FrontVoltageLabelTable[1]->text(), QString("+3.300 VDC"), 2000);
        Stand->ReadFor(100);
        Fixture->Dialogs.AnswerYesNo(true);
        form.close();
        Fixture->Dialogs.Take();
        QVERIFY(!form.COM->IsOpen());
        QCOMPARE(Stand->ReadFor(200), QByteArray());
        const QStringList logs = QDir(Fixture->Path("log")).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QByteArray log = Fixture->ReadFile("log/" + logs[0]);
        QVERIFY(log.contains(": Executed: " + Report + "\r\n"));
        QVERIFY(log.contains(": Executed: !VC;0;3.3;1;0;0;#\r\n"));
        QVERIFY(log.endsWith("\r\n"));
    }

    void QuittingWhilePollingSendsNothingAndShowsNothing_data()
    {
        QTest::addColumn<int>("interval");
        QTest::newRow("10 ms") << 10;
        QTest::newRow("default 100 ms") << 100;
    }
    void QuittingWhilePollingSendsNothingAndShowsNothing()
    {
        QFETCH(int, interval);
        ConnectToStand("[General]\r\nGVTimeout=" + QByteArray::number(interval) + "\r\n");
        if (QTest::currentTestFailed())
            return;
        TMForm& form = *Fixture->Window();
        Stand->Write("!TN;200;#");  // the on-time clock runs too
        QTRY_VERIFY_WITH_TIMEOUT(form.PSUOnTimer->isActive(), 2000);
        QVERIFY(Stand->ReadUntil("!GV;#", 2000).contains("!GV;#"));
        Fixture->Dialogs.AnswerYesNo(true);
        form.mExit->trigger();
        const QString clock = form.TimerLabel->text();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("YesNo"));
        Stand->ReadFor(0);  // a poll that left before the close
        QCOMPARE(Stand->ReadFor(1200), QByteArray());
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QVERIFY(!form.GVTimer->isActive() && !form.PSUOnTimer->isActive());
        QVERIFY(!Connected && !StandIdentified && !form.COM->IsOpen());
        QCOMPARE(form.TimerLabel->text(), clock);  // the clock stopped with the program
    }

    void AMissingPortIsReportedAndStaysDisconnected()
    {
        Fixture->WriteFile("settings.ini", "[Connection]\r\nPort=200\r\n");
        TMForm& form = Fixture->Open();
        QCOMPARE(TComPort::ResolveDeviceName("\\\\.\\COM200"), QString("/dev/ttyS199"));
        form.bConnect->click();
        const QStringList dialogs = Fixture->Dialogs.TakeAll();
        QCOMPARE(dialogs.size(), 1);
        QVERIFY2(dialogs[0].startsWith("Error (error) ["), qPrintable(dialogs[0]));
        QVERIFY(!Connected && !form.COM->IsOpen());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
    }

    void SimulatorReports_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("delay");
        QTest::addColumn<QString>("error");
        QTest::newRow("PWR_OK in 450 ms") << QStringList{"--pwrok-ms", "450"} << "Status: ON" << "PWR_OK ON, ms: 450"
                                          << "No errors";
        QTest::newRow("PWR_OK in 451 ms") << QStringList{"--pwrok-ms", "451"} << "Status: OFF" << "PWR_OK ON, ms: 451"
                                          << "No errors";
        QTest::newRow("overheat") << QStringList{"--error", "30", "--pwrok-ms", "200"} << "Status: ON"
                                  << "PWR_OK ON, ms: 200" << "ERR_OTP";
    }
    void SimulatorReports()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, status);
        QFETCH(QString, delay);
        QFETCH(QString, error);
        QProcess simulator;
        simulator.start(TARVIK_STAND_SIM, QStringList{"--unpaced", "--link", Fixture->Path("dev/COM1")} + options);
        QVERIFY(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 5000);
        form.bPSUON->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.PWRONLabel->text(), delay, 5000);
        QCOMPARE(form.PSUStatusLabel->text(), status);
        QTRY_COMPARE_WITH_TIMEOUT(form.ErrorLabel->text(), error, 5000);
        QCOMPARE(TextColor(form.ErrorLabel), error == "No errors" ? Green : Red);
        // Readings reach the front panel in the display's formats.
        QTRY_VERIFY_WITH_TIMEOUT(FrontVoltageLabelTable[4]->text().contains(QRegularExpression("^\\+1[12]\\.\\d{3} VDC$")),
                                 5000);
        QVERIFY(FrontDeviationLabelTable[4]->text().contains(QRegularExpression("^[+-]\\d+\\.\\d%$")));
        form.bDisconnect->click();
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
    }

    void TheSimulatorHangingUpDisconnectsOnce()
    {
        QProcess simulator;
        simulator.start(TARVIK_STAND_SIM, {"--unpaced", "--hangup-after-frames", "40", "--link",
                                           Fixture->Path("dev/COM1")});
        QVERIFY(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!Connected, 10000);
        QTest::qWait(300);
        QCOMPARE(Fixture->Dialogs.TakeAll().size(), 1);
        QVERIFY(!form.COM->IsOpen() && form.bConnect->isEnabled() && !form.bDisconnect->isEnabled());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
        simulator.terminate();
        simulator.waitForFinished(5000);
    }

    void AnUnpacedRunCutByAHangUpKeepsEveryFrameSent()
    {
        // The line closes in the middle of a cross-load run streamed as fast as it goes: every
        // frame the stand wrote before is dispatched, the points are in the store.
        constexpr int Frames = 9000;
        QProcess simulator;
        simulator.start(TARVIK_STAND_SIM, {"--unpaced", "--hangup-after-frames", QString::number(Frames), "--link",
                                           Fixture->Path("dev/COM1")});
        QVERIFY(simulator.waitForStarted(5000) && simulator.waitForReadyRead(5000));
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=60000\r\n");
        TMForm& form = Fixture->Open();
        const uint64_t before = DispatchedFrames;
        form.bConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 5000);
        GuardEvent([&] { SendCommand("!ATS;0200;1200;1400;2;0;#"); });
        QTRY_VERIFY_WITH_TIMEOUT(!Connected, 20000);
        QCOMPARE(Fixture->Dialogs.TakeAll().size(), 1);
        QCOMPARE(DispatchedFrames - before, uint64_t(Frames));
        // The stand sends its points in order; the last one it wrote is stored.
        const QStringList lines = form.DebugMemo->toPlainText().split(u'\n');
        const QStringList points = lines.filter(QRegularExpression("^Executed: !G;"));
        QVERIFY(points.size() > 2000);
        const QStringList last = points.last().mid(QString("Executed: ").size()).split(u';');
        const int n = last[1].toInt();
        QCOMPARE(CrossLoadAt(4, n).voltage, last[8].toFloat());
        QCOMPARE(CrossLoadAt(4, n).current, last[9].toFloat());
        simulator.terminate();
        simulator.waitForFinished(5000);
    }

    void ASessionWithTheSimulator()
    {
        QProcess simulator;
        simulator.start(TARVIK_STAND_SIM, {"--unpaced", "--link", Fixture->Path("dev/COM1")});
        QVERIFY(simulator.waitForStarted(5000));
        QVERIFY(simulator.waitForReadyRead(5000));
        Fixture->WriteFile("settings.ini", "[ATS]\r\nrails_12V=2\r\n");
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(FrontVoltageLabelTable[4]->text() != "0 VDC", 5000);
        form.bPSUON->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.PSUStatusLabel->text(), QString("Status: ON"), 5000);
        // The cross-load run streams all 12000 points and ends with the start button back.
        GuardEvent([&] { SendCommand("!ATS;0200;1200;1400;2;0;#"); });
        // Unpaced, the whole run can arrive within one pass of the event loop.
        QTRY_VERIFY_WITH_TIMEOUT(form.DebugMemo->toPlainText().contains("Executed: !ATE;#"), 60000);
        QVERIFY(form.DebugMemo->toPlainText().contains("Executed: !AT;#"));
        QVERIFY(!CrossLoadRunning);
        QVERIFY(form.bATStart->isEnabled() && !form.bATStop->isEnabled());
        QVERIFY(CrossLoadAt(4, 0).voltage > 11 && CrossLoadAt(4, 11999).voltage > 10);
        QVERIFY(CrossLoadAt(1, 11999).voltage > 3);
        form.bDisconnect->click();
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }
};

TARVIK_TEST(LinkEndToEndTest)
#include "LinkEndToEndTest.moc"
