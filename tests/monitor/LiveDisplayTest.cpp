// What the operator sees of the live readings, the stand's reports and the PSU controls,
// driven through the receive path as the stand (or the debug console) would drive it.

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"
#include "link/Connection.h"
#include "monitor/DebugConsole.h"
#include "monitor/PowerControl.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
// Calls `seen` whenever `object` receives an event of `type`.
class TEventRecorder : public QObject {
public:
    TEventRecorder(QObject* object, QEvent::Type type, std::function<void()> seen)
        : Type(type), Seen(std::move(seen))
    {
        object->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == Type)
            Seen();
        return false;
    }

private:
    QEvent::Type Type;
    std::function<void()> Seen;
};

const QColor Green(0, 128, 0);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);
QColor TextColor(const QWidget* widget) { return widget->palette().color(QPalette::WindowText); }
} // namespace

class LiveDisplayTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    void Receive(const QString& chunk) { GuardEvent([&] { ProcessReceivedText(chunk); }); }

    QString ErrorBox(const QString& text)
    {
        return DescribeDialog("Error", ApplicationTitle(), text, TDialogIcon::Error);
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    // Readings streaming in faster than the screen refreshes are painted together; the last
    // one is always painted, also when no other frame follows it.
    void TheLastReadingOfAStreamIsPainted()
    {
        Fixture->Open();
        QLabel* label = FrontVoltageLabelTable[1];
        QStringList painted;
        TEventRecorder recorder(label, QEvent::Paint, [&] { painted << label->text(); });
        QString chunk;
        for (int n = 0; n < 400; ++n)
            chunk += QStringLiteral("!VC;0;%1;1;0;0;#").arg(3 + n / 1000.0, 0, 'f', 3);
        Receive(chunk);
        QTRY_VERIFY(!painted.isEmpty() && painted.last() == "+3.399 VDC");
        QVERIFY(painted.size() < 400);
    }

    // A stand that never pauses between frames still sees its readings move: the held repaint
    // is made once it has waited its longest, not only when the line goes quiet.
    void ReadingsThatNeverPauseArePaintedAlongTheWay()
    {
        Fixture->Open();
        QLabel* label = FrontVoltageLabelTable[1];
        QStringList painted;
        TEventRecorder recorder(label, QEvent::Paint, [&] { painted << label->text(); });
        const int frames = 150;
        int sent = 0;
        QTimer stand;  // a frame every 2 ms: never as long a pause as the quiet the pacer waits for
        QObject::connect(&stand, &QTimer::timeout, [&] {
            Receive(QStringLiteral("!VC;0;%1;1;0;0;#").arg(3 + ++sent / 1000.0, 0, 'f', 3));
            if (sent == frames)
                stand.stop();
        });
        stand.start(2);
        QTRY_VERIFY_WITH_TIMEOUT(sent == frames, 10000);
        const qsizetype beforeTheLast = painted.count() - painted.count(QStringLiteral("+3.150 VDC"));
        QVERIFY2(beforeTheLast >= 2, qPrintable(painted.join(u',')));
        QTRY_COMPARE(painted.last(), QString("+3.150 VDC"));

        // The same within one long chunk, dispatched without a return to the event loop
        // (20,000 readings take well over the longest hold on any machine).
        painted.clear();
        QString chunk;
        for (int n = 0; n < 20000; ++n)
            chunk += QStringLiteral("!VC;0;%1;1;0;0;#").arg(n % 2 ? 4.0 : 5.0, 0, 'f', 3);
        chunk += QStringLiteral("!VC;0;6;1;0;0;#");
        Receive(chunk);
        const qsizetype duringTheChunk = painted.count() - painted.count(QStringLiteral("+6.000 VDC"));
        QVERIFY2(duringTheChunk >= 1, qPrintable(painted.join(u',')));
        QTRY_COMPARE(painted.last(), QString("+6.000 VDC"));
    }

    void ChannelReadingsShowWithTheirFormats_data()
    {
        QTest::addColumn<bool>("extended24");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("front");     // FPV, FPC, FPVD, FPCP
        QTest::addColumn<QString>("loading");   // V, C, P, NL, NF, CP
        QTest::newRow("+12V1") << false << "!VC;3;12.034;4.5;35;110;#" << 4
                               << "+12.034 VDC|4.50 ADC|+0.3%|PASS" << "12.034 V|4.50 A|54.15 W|35 mV|110 kHz|PASS";
        QTest::newRow("1% high") << false << "!VC;3;12.12;1;0;0;#" << 4 << "+12.120 VDC|1.00 ADC|+1.0%|PASS"
                                 << "12.120 V|1.00 A|12.12 W|0 mV|0 kHz|PASS";
        QTest::newRow("+3.3V low") << false << "!VC;0;3.25;2;12;50;#" << 1 << "+3.250 VDC|2.00 ADC|-1.5%|PASS"
                                   << "3.250 V|2.00 A|6.50 W|12 mV|50 kHz|PASS";
        QTest::newRow("exactly nominal") << false << "!VC;1;5;0;0;0;#" << 2 << "+5.000 VDC|0.00 ADC|+0.0%|PASS"
                                         << "5.000 V|0.00 A|0.00 W|0 mV|0 kHz|PASS";
        QTest::newRow("standby at its limit") << false << "!VC;2;4.75;0;50;0;#" << 3
                                              << "+4.750 VDC|0.00 ADC|-5.0%|PASS"
                                              << "4.750 V|0.00 A|0.00 W|50 mV|0 kHz|PASS";
        QTest::newRow("rounded to three decimals") << false << "!VC;3;12.0345;4.5;0;0;#" << 4
                                                   << "+12.035 VDC|4.50 ADC|+0.3%|PASS"
                                                   << "12.035 V|4.50 A|54.16 W|0 mV|0 kHz|PASS";
        QTest::newRow("24-bit converter") << true << "!VC;3;12.0345;4.5;0;0;#" << 4
                                          << "+12.0345 VDC|4.5000 ADC|+0.3%|PASS"
                                          << "12.0345 V|4.5000 A|54.16 W|0 mV|0 kHz|PASS";
        QTest::newRow("noise above its limit") << false << "!VC;0;3.3;1;51;90;#" << 1 << "+3.300 VDC|1.00 ADC|+0.0%|FAIL"
                                               << "3.300 V|1.00 A|3.30 W|51 mV|90 kHz|FAIL";
        QTest::newRow("under Vmin") << false << "!VC;3;11.39;1;0;0;#" << 4 << "+11.390 VDC|1.00 ADC|-5.1%|FAIL"
                                    << "11.390 V|1.00 A|11.39 W|0 mV|0 kHz|FAIL";
        QTest::newRow("current above Imax") << false << "!VC;10;12;30.01;0;0;#" << 11
                                            << "+12.000 VDC|30.01 ADC|+0.0%|FAIL"
                                            << "12.000 V|30.01 A|360.12 W|0 mV|0 kHz|FAIL";
        QTest::newRow("negative reading keeps the sign in front") << false << "!VC;0;-0.5;0;0;0;#" << 1
                                                                  << "+-0.500 VDC|0.00 ADC|-115.2%|FAIL"
                                                                  << "-0.500 V|0.00 A|0.00 W|0 mV|0 kHz|FAIL";
    }
    void ChannelReadingsShowWithTheirFormats()
    {
        QFETCH(bool, extended24);
        QFETCH(QString, frame);
        QFETCH(int, channel);
        QFETCH(QString, front);
        QFETCH(QString, loading);
        Fixture->WriteFile("settings.ini", extended24 ? "[General]\r\nExtended_ADC=24\r\n" : "");
        Fixture->Open();
        Receive(frame);
        const int n = channel;
        QCOMPARE(QStringList({FrontVoltageLabelTable[n]->text(), FrontCurrentLabelTable[n]->text(),
                              FrontDeviationLabelTable[n]->text(), FrontPassLabelTable[n]->text()})
                     .join('|'),
                 front);
        QCOMPARE(QStringList({VoltageLabelTable[n]->text(), CurrentLabelTable[n]->text(), PowerLabelTable[n]->text(),
                              NoiseLevelLabelTable[n]->text(), NoiseFreqLabelTable[n]->text(), PassLabelTable[n]->text()})
                     .join('|'),
                 loading);
        const QColor verdict = PassLabelTable[n]->text() == "PASS" ? Green : Red;
        QCOMPARE(TextColor(PassLabelTable[n]), verdict);
        QCOMPARE(TextColor(FrontPassLabelTable[n]), verdict);
    }

    void EveryLimitItselfPasses()
    {
        Fixture->Open();
        // Defaults of +3.3V: 3.135 .. 3.465 V, 30 A, 50 mV.
        Receive("!VC;0;3.135;30;50;0;#");
        QCOMPARE(PassLabelTable[1]->text(), QString("PASS"));
        Receive("!VC;0;3.465;30;50;0;#");
        QCOMPARE(PassLabelTable[1]->text(), QString("PASS"));
        Receive("!VC;0;3.4651;30;50;0;#");
        QCOMPARE(PassLabelTable[1]->text(), QString("FAIL"));
    }

    void TheAuxiliaryReadings()
    {
        TMForm& form = Fixture->Open();
        Receive("!VC;11;11.95;#");
        QCOMPARE(form.AuxSensor1->text(), QString("-12V voltage: -11.950 V"));
        QCOMPARE(FrontVoltageLabelTable[12]->text(), QString("-11.950 VDC"));
        QCOMPARE(form.PSUpower3Label->text(), QString("Total power: 0 W"));
        for (int n = 1; n <= 11; ++n)
            QVERIFY(PassLabelTable[n]->text() == "PASS");  // untouched design text
        Receive("!VC;12;5.02;#");
        QCOMPARE(form.AuxSensor2->text(), QString("5Vstb voltage: 5.020 V"));
        // An index outside 0..12 changes nothing and is still executed.
        Receive("!VC;13;1;1;1;1;#");
        QVERIFY(form.DebugMemo->toPlainText().endsWith("Executed: !VC;13;1;1;1;1;#"));
    }

    void PowerSummary()
    {
        TMForm& form = Fixture->Open();
        Receive("!VC;0;3.3;0.0606;0;0;#");  // 0.2 W
        QCOMPARE(form.PSUpower1Label->text(), QString("Low voltage power: 1 W"));
        QCOMPARE(form.PSUpower2Label->text(), QString("High voltage power: 0 W"));
        QCOMPARE(form.PSUpower3Label->text(), QString("Total power: 1 W"));
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 0.00 %"));

        Receive("!MVC;230.1;1.25;50;100;#!VC;3;12;7.5;0;0;#");  // 90 W + 0.2 W out of 100 W in
        QCOMPARE(form.ACVLabel->text(), QString("Voltage: 230.100 V"));
        QCOMPARE(form.ACCLabel->text(), QString("Current: 1.25 A"));
        QCOMPARE(form.ACFLabel->text(), QString("Frequency: 50 Hz"));
        QCOMPARE(form.ACPLabel->text(), QString("Power: 100 W"));
        QCOMPARE(form.PSUpower2Label->text(), QString("High voltage power: 90 W"));
        QCOMPARE(form.PSUpower3Label->text(), QString("Total power: 91 W"));
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 90.20 %"));

        Receive("!MVC;230;1;50;0;#!VC;3;12;7.5;0;0;#");
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 0.00 %"));
    }

    void ANonNumericAcPowerIsReportedByItsOwnFrameOnly()
    {
        TMForm& form = Fixture->Open();
        Receive("!VC;3;12;7.5;0;0;#!MVC;230;1;50;n/a;#!VC;4;12;2;0;0;#");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("'n/a' is not a valid floating point value.")});
        QCOMPARE(form.ACPLabel->text(), QString("Power: n/a W"));
        QCOMPARE(VoltageLabelTable[5]->text(), QString("0 V"));  // the rest of that chunk was dropped
        // Later readings go on with the AC power unknown: no dialog, no efficiency.
        Receive("!VC;3;12;7.5;0;0;#!VC;4;12;2;0;0;#");
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QCOMPARE(VoltageLabelTable[5]->text(), QString("12.000 V"));
        QCOMPARE(form.PSUpower2Label->text(), QString("High voltage power: 114 W"));
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 0.00 %"));
        // The next numeric AC power brings the efficiency back.
        Receive("!MVC;230;1;50;228;#!VC;3;12;7.5;0;0;#");
        QCOMPARE(form.PSUpower4Label->text(), QString("Efficiency: 50.00 %"));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }

    void ErrorStatus_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QColor>("color");
        QTest::newRow("no error") << "0" << "No errors" << "Status: No errors" << Green;
        QTest::newRow("overheat") << "30" << "ERR_OTP" << "Status: Overheat detected" << Red;
        QTest::newRow("unknown") << "1" << "ERR_UNKNOWN_1" << "Status: UNKNOWN ERROR #1" << Red;
        QTest::newRow("256 counts as 0") << "256" << "No errors" << "Status: No errors" << Green;
    }
    void ErrorStatus()
    {
        QFETCH(QString, code);
        QFETCH(QString, identifier);
        QFETCH(QString, status);
        QFETCH(QColor, color);
        TMForm& form = Fixture->Open();
        Receive("!ERR;55;#");  // a different state first
        Receive("!ERR;" + code + ";#");
        QCOMPARE(form.ErrorLabel->text(), identifier);
        QCOMPARE(form.FrontPanelErrorPanel->text(), status);
        QCOMPARE(TextColor(form.ErrorLabel), color);
        QCOMPARE(TextColor(form.FrontPanelErrorPanel), color);
    }

    void TemperaturesAndFans()
    {
        TMForm& form = Fixture->Open();
        Receive("!MT;25;41.26;-3.04;100.4;#!FAN;1200;70000;#");
        QCOMPARE(form.TSensor[1]->text(), QString("T1, °C: 25.0"));
        QCOMPARE(form.TSensor[2]->text(), QString("T2, °C: 41.3"));
        QCOMPARE(form.TSensor[3]->text(), QString("T3, °C: -3.0"));
        QCOMPARE(form.TSensor[4]->text(), QString("T4, °C: 100.0"));
        QCOMPARE(form.FANLabel1->text(), QString("FAN1 speed, RPM: 1200"));
        QCOMPARE(form.FANLabel2->text(), QString("FAN2 speed, RPM: 4464"));
        // A bad fourth temperature leaves three new labels and fails the chunk.
        Receive("!MT;1;2;3;x;#");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("'x' is not a valid floating point value.")});
        QCOMPARE(form.TSensor[3]->text(), QString("T3, °C: 3.0"));
        QCOMPARE(form.TSensor[4]->text(), QString("T4, °C: 100.0"));
    }

    void HardwareReportTypedIntoTheConsole()
    {
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=250\r\n");
        TMForm& form = Fixture->Open();
        form.DebugEdit1->setText("!REP;M;B;F;Y;X;#");
        QTest::keyClick(form.DebugEdit1, Qt::Key_Return);
        QVERIFY(StandIdentified);
        QVERIFY(!Connected);
        QVERIFY(!form.bConnect->isEnabled() && form.bDisconnect->isEnabled());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Connected"));
        QCOMPARE(TextColor(form.ConnectInfoLabel), Green);
        QVERIFY(form.GVTimer->isActive());
        QCOMPARE(form.GVTimer->interval(), 250);
        QCOMPARE(QStringList({form.HwInfoMFG->text(), form.HwInfoBoardId->text(), form.HwInfoFirmware->text(),
                              form.HwInfoCalibrated->text(), form.HwInfoModelId->text()}),
                 (QStringList{"MFG: M", "Board ID: B", "Firmware: F", "Calibrated: Y", "Model ID: X"}));
        // Not connected: the timer ticks but nothing is sent (sending would fail on the closed port).
        QTest::qWait(600);
        QCOMPARE(form.DebugMemo->toPlainText(), QString("Received: !REP;M;B;F;Y;X;#\nExecuted: !REP;M;B;F;Y;X;#"));
        form.bDisconnect->click();
        QVERIFY(form.bConnect->isEnabled() && !form.bDisconnect->isEnabled());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
        QCOMPARE(TextColor(form.ConnectInfoLabel), Black);
        QVERIFY(!form.GVTimer->isActive());
        QVERIFY(!StandIdentified);
        QCOMPARE(form.HwInfoMFG->text(), QString("MFG: M"));  // kept after a disconnect
    }

    void AZeroPollingIntervalPollsNothing()
    {
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=0\r\n");
        TMForm& form = Fixture->Open();
        Receive("!REP;M;B;F;Y;X;#");
        QVERIFY(StandIdentified);
        QVERIFY(!form.GVTimer->isActive());
    }

    void DebugConsoleButtons()
    {
        TMForm& form = Fixture->Open();
        form.DebugEdit1->setText("!VC;0;3.31;1.0;12;50;#");
        form.bDebugReceive->click();
        QCOMPARE(FrontVoltageLabelTable[1]->text(), QString("+3.310 VDC"));
        QCOMPARE(form.DebugEdit1->text(), QString("!VC;0;3.31;1.0;12;50;#"));  // kept for a repeat
        form.DebugEdit1->clear();
        form.bDebugReceive->click();
        QVERIFY(form.DebugMemo->toPlainText().endsWith("\nReceived: "));
        form.AdvGlowButton1->click();
        QCOMPARE(form.DebugMemo->toPlainText(), QString());
        // Sending needs the port.
        form.DebugEdit2->setText("!GV;#");
        QTest::keyClick(form.DebugEdit2, Qt::Key_Return);
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("Can't perform this operation on a closed port.")});
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
    }

    void TheMemoKeepsTheMostRecentLines()
    {
        // A shift's traffic must not fill the memory; the log file keeps everything.
        Fixture->WriteFile("settings.ini", "[General]\r\nWriteLog=1\r\n");
        TMForm& form = Fixture->Open();
        const int chunks = DebugMemoLineLimit / 2 + 10;  // two lines each
        for (int n = 0; n < chunks; ++n)
            Receive(QString("!X%1;#").arg(n));
        QCOMPARE(form.DebugMemo->blockCount(), DebugMemoLineLimit);
        const QStringList lines = form.DebugMemo->toPlainText().split(u'\n');
        QCOMPARE(lines.size(), DebugMemoLineLimit);
        QCOMPARE(lines.first(), QString("Received: !X10;#"));
        QCOMPARE(lines.last(), QString("Unknown command: !X%1;#").arg(chunks - 1));
        const QStringList logs = QDir(Fixture->Path("log")).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        QCOMPARE(Fixture->ReadFile("log/" + logs[0]).count("\r\n"), 2 * chunks);
    }

    void TurnOnWhileDisconnectedFails()
    {
        TMForm& form = Fixture->Open();
        form.bPSUON->click();
        form.bPSUOFF->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), (QStringList{ErrorBox("Can't perform this operation on a closed port."),
                                                          ErrorBox("Can't perform this operation on a closed port.")}));
    }

    void PwrOkReports()
    {
        TMForm& form = Fixture->Open();
        Receive("!TN;450;#");
        QCOMPARE(form.PSUStatusLabel->text(), QString("Status: ON"));
        QCOMPARE(TextColor(form.PSUStatusLabel), Green);
        QCOMPARE(form.PWRONLabel->text(), QString("PWR_OK ON, ms: 450"));
        QVERIFY(form.PSUOnTimer->isActive());
        QCOMPARE(PsuOnSeconds, 0u);
        OnTimeTick();
        OnTimeTick();
        QCOMPARE(form.TimerLabel->text(), QString("00:00:02"));

        Receive("!TF;1200;#");
        QCOMPARE(form.PSUStatusLabel->text(), QString("Status: OFF"));
        QCOMPARE(TextColor(form.PSUStatusLabel), Black);
        QCOMPARE(form.PWROFFLabel->text(), QString("PWR_OK OFF, ms: 1200"));
        QVERIFY(!form.PSUOnTimer->isActive());
        QCOMPARE(form.TimerLabel->text(), QString("00:00:02"));  // frozen

        // Too slow, or 70000 taken as 4464: only the delay changes.
        Receive("!TN;451;#");
        QCOMPARE(form.PWRONLabel->text(), QString("PWR_OK ON, ms: 451"));
        QCOMPARE(form.PSUStatusLabel->text(), QString("Status: OFF"));
        Receive("!TN;70000;#");
        QCOMPARE(form.PWRONLabel->text(), QString("PWR_OK ON, ms: 4464"));
        QVERIFY(!form.PSUOnTimer->isActive());

        // A second good report restarts the clock; the label waits for the next tick.
        Receive("!TN;300;#");
        OnTimeTick();
        Receive("!TN;300;#");
        QCOMPARE(PsuOnSeconds, 0u);
        QCOMPARE(form.TimerLabel->text(), QString("00:00:01"));
    }

    void TheOnTimeClockTicksByItself()
    {
        // The timer is wired to its tick: with the event loop running, a second after a good
        // "TN" the clock shows its first second.
        TMForm& form = Fixture->Open();
        form.TimerLabel->setText("00:07:00");
        Receive("!TN;200;#");
        QCOMPARE(form.TimerLabel->text(), QString("00:07:00"));  // not written at the reset
        QTRY_COMPARE_WITH_TIMEOUT(form.TimerLabel->text(), QString("00:00:01"), 3000);
        Receive("!TF;20;#");
        const QString stopped = form.TimerLabel->text();
        QTest::qWait(1300);
        QCOMPARE(form.TimerLabel->text(), stopped);
    }

    void OnTimeFormat_data()
    {
        QTest::addColumn<unsigned>("seconds");
        QTest::addColumn<QString>("shown");
        QTest::newRow("start") << 1u << "00:00:01";
        QTest::newRow("minute") << 61u << "00:01:01";
        QTest::newRow("hour") << 3600u << "01:00:00";
        QTest::newRow("just under a day") << 86399u << "23:59:59";
        QTest::newRow("hundred hours") << 360000u << "100:00:00";
    }
    void OnTimeFormat()
    {
        QFETCH(unsigned, seconds);
        QFETCH(QString, shown);
        QCOMPARE(FormatOnTime(seconds), shown);
    }
};

TARVIK_TEST(LiveDisplayTest)
#include "LiveDisplayTest.moc"
