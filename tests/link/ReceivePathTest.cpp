// The receive path without a port: chunks go through ProcessReceivedText exactly as the
// port's notification or the debug console hands them over.

#include <QDir>
#include <QLabel>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "core/ProgramState.h"
#include "core/Dialogs.h"
#include "graphs/GraphState.h"
#include "link/Connection.h"
#include "link/DebugFeed.h"
#include "ui/MainForm.h"

namespace {

// The frames the dispatcher saw, from the memo's "Executed: " / "Unknown command: " lines.
QStringList DispatchedLines(TMForm& form)
{
    QStringList lines;
    for (const QString& line : form.DebugMemo->toPlainText().split(u'\n'))
        if (!line.startsWith(QLatin1String("Received: ")) && !line.isEmpty())
            lines << line;
    return lines;
}

} // namespace

class ReceivePathTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    void Receive(const QString& chunk)
    {
        GuardEvent([&] { ProcessReceivedText(chunk); });
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void FramesAreCutFromChunks_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QStringList>("dispatched");
        QTest::addColumn<QString>("left");
        QTest::newRow("frame split over two chunks") << QStringList{"!GV", ";#"} << QStringList{"Unknown command: !GV;#"} << "";
        QTest::newRow("junk in front dropped") << QStringList{"xx!AT;#!ATE;#"}
                                               << QStringList{"Executed: !AT;#", "Executed: !ATE;#"} << "";
        QTest::newRow("text between frames becomes the next frame's head")
            << QStringList{"!AT;#zz!ATE;#"} << QStringList{"Executed: !AT;#", "Unknown command: zz!ATE;#"} << "";
        QTest::newRow("lone # waits, then is dropped") << QStringList{"#", "!AT;#"} << QStringList{"Executed: !AT;#"} << "";
        QTest::newRow("text without ! waits") << QStringList{"abc"} << QStringList{} << "abc";
        QTest::newRow("waiting text dropped by the next !") << QStringList{"abc", "!AT;#"}
                                                            << QStringList{"Executed: !AT;#"} << "";
        QTest::newRow("incomplete tail kept") << QStringList{"!AT;#!VC;3;1"} << QStringList{"Executed: !AT;#"} << "!VC;3;1";
        QTest::newRow("# before any ! in the rest") << QStringList{"!AT;#x#!ATE;#"}
                                                    << QStringList{"Executed: !AT;#", "Unknown command: x#",
                                                                   "Executed: !ATE;#"}
                                                    << "";
        QTest::newRow("empty chunk re-runs the buffer") << QStringList{"!AT", ""} << QStringList{} << "!AT";
    }
    void FramesAreCutFromChunks()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, dispatched);
        QFETCH(QString, left);
        TMForm& form = Fixture->Open();
        for (const QString& chunk : chunks)
            Receive(chunk);
        QCOMPARE(DispatchedLines(form), dispatched);
        QCOMPARE(ReceiveBuffer, left);
        // Every chunk is shown as received, once.
        QCOMPARE(form.DebugMemo->toPlainText().count("Received: "), chunks.size());
    }

    void ALineBreakBetweenFramesBecomesTheNextFramesHead()
    {
        // The log keeps the frames byte for byte, the line break included.
        Fixture->WriteFile("settings.ini", "[General]\r\nWriteLog=1\r\n");
        Fixture->Open();
        Receive("!AT;#\r\n!ATE;#");
        const QStringList logs = QDir(Fixture->Path("log")).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QByteArray log = Fixture->ReadFile("log/" + logs[0]);
        QVERIFY(log.contains(": Executed: !AT;#\r\n"));
        QVERIFY(log.contains(": Unknown command: \r\n!ATE;#\r\n"));
        QVERIFY(CrossLoadRunning);  // the end frame was not recognised
    }

    // The memo is fed in batches; every line still reaches it, in order, and in time: before
    // any dialog opens, when a chunk stops at a bad frame, and while a long chunk is still
    // being dispatched.
    void MemoLinesAreOnShowBeforeADialogOpens()
    {
        TMForm& form = Fixture->Open();
        QString shown;
        Fixture->Dialogs.WhileShown = [&](const TDialogCall&) { shown = form.DebugMemo->toPlainText(); };
        AppendDebugLine(QStringLiteral("Executed: !AT;#"));
        ShowMessage(QStringLiteral("x"));
        QCOMPARE(Fixture->Dialogs.TakeAll().size(), 1);
        QCOMPARE(shown, QString("Executed: !AT;#"));
    }
    void NoMoreLinesWaitThanTheMemoKeeps()
    {
        // However fast the lines come (the timed flush may or may not fall in between).
        TMForm& form = Fixture->Open();
        int mostWaiting = 0;
        for (int n = 0; n < 2 * DebugMemoLineLimit + 7; ++n) {
            AppendDebugLine(QStringLiteral("Executed: !AT;#"));
            mostWaiting = std::max(mostWaiting, WaitingDebugLines());
        }
        QVERIFY2(mostWaiting < DebugMemoLineLimit, qPrintable(QString::number(mostWaiting)));
        FlushDebugLines();
        QCOMPARE(form.DebugMemo->blockCount(), DebugMemoLineLimit);
    }
    void AChunkStoppedByABadFrameLeavesItsLinesInTheMemo()
    {
        TMForm& form = Fixture->Open();
        try {
            ProcessReceivedText(QStringLiteral("!AT;#!FAN;abc;10;#!ATE;#"));
            QFAIL("no failure");
        } catch (const EConvertError&) {
        }
        QCOMPARE(form.DebugMemo->toPlainText(), QString("Received: !AT;#!FAN;abc;10;#!ATE;#\nExecuted: !AT;#"));
    }
    void ALongChunkReachesTheMemoWhileItIsDispatched()
    {
        // The map painted at the end frame waits 150 ms: the lines up to it reach the memo
        // then, before the rest of the chunk is dispatched.
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.TabKHX);
        const int wait = std::exchange(GraphSizingWaitMs, 150);
        QStringList batches;
        connect(form.DebugMemo, &QPlainTextEdit::blockCountChanged, this,
                [&] { batches << form.DebugMemo->toPlainText(); });
        Receive("!AT;#!ATE;#!VC;0;1;1;1;1;#");
        GraphSizingWaitMs = wait;
        QCOMPARE(batches.size(), 2);
        QCOMPARE(batches[0], QString("Received: !AT;#!ATE;#!VC;0;1;1;1;1;#\nExecuted: !AT;#\nExecuted: !ATE;#"));
        QVERIFY(batches[1].endsWith("\nExecuted: !ATE;#\nExecuted: !VC;0;1;1;1;1;#"));
    }

    void ABadFieldDropsTheRestOfItsChunk()
    {
        TMForm& form = Fixture->Open();
        Receive("!AT;#!FAN;abc;10;#!ATE;#");
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'abc' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QCOMPARE(DispatchedLines(form), QStringList{"Executed: !AT;#"});
        QVERIFY(ReceiveBuffer.isEmpty());
        QVERIFY(CrossLoadRunning);
        // The next chunk is processed normally.
        Receive("!ATE;#");
        QVERIFY(!CrossLoadRunning);
        QCOMPARE(DispatchedLines(form).last(), QString("Executed: !ATE;#"));
    }

    // A frame whose field does not convert: which frames stop their chunk with the error dialog
    // (no log line, the next frame not run) and which only stop storing (logged, the chunk goes
    // on), and what was stored before the failing field.
    void ConversionFailuresByFrame_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("dialog");  // empty: none
        QTest::addColumn<QString>("probe");
        QTest::addColumn<double>("value");
        const QString integer = "'%1' is not a valid integer value.";
        const QString decimal = "'%1' is not a valid floating point value.";
        QTest::newRow("VC, all good") << "!VC;3;12;1;0;0;#" << "" << "Voltage4" << 12.0;
        QTest::newRow("VC, bad index") << "!VC;a;1;1;0;0;#" << integer.arg("a") << "Voltage1" << 0.0;
        QTest::newRow("VC, bad current keeps the voltage") << "!VC;3;12.5;x;0;0;#" << decimal.arg("x") << "Voltage4"
                                                           << 12.5;
        QTest::newRow("MVC, bad power") << "!MVC;230;1;50;n/a;#" << decimal.arg("n/a") << "AcVoltage" << 230.0;
        QTest::newRow("MVC, bad voltage after the texts") << "!MVC;2x0;1;50;100;#" << decimal.arg("2x0") << "AcPower"
                                                          << 100.0;
        QTest::newRow("ERR, bad code") << "!ERR;e;#" << integer.arg("e") << "none" << 0.0;
        QTest::newRow("FAN, bad second speed") << "!FAN;1200;x;#" << integer.arg("x") << "Fan1" << 1200.0;
        QTest::newRow("MT, bad fourth temperature") << "!MT;1;2;3;x;#" << decimal.arg("x") << "T3" << 3.0;
        QTest::newRow("TN, empty time") << "!TN;;#" << integer.arg("") << "none" << 0.0;
        QTest::newRow("TF, fraction") << "!TF;1.5;#" << integer.arg("1.5") << "none" << 0.0;
        QTest::newRow("G, bad point number") << "!G;x;3.3;1;#" << integer.arg("x") << "CrossLoad1@0" << 0.0;
        QTest::newRow("G, bad second pair") << "!G;5;3.3;1;5.1;x;#" << "" << "CrossLoad1@5" << 3.3;
        QTest::newRow("N, bad point number") << "!N;1x;40;#" << integer.arg("1x") << "Noise1@0" << 0.0;
        QTest::newRow("N, bad second value") << "!N;5;40;4x;#" << "" << "Noise1@5" << 40.0;
        QTest::newRow("S, bad step") << "!S;x;5;1;#" << integer.arg("x") << "Standby0" << 0.0;
        QTest::newRow("S, bad current stores nothing") << "!S;7;5.02;x;#" << "" << "Standby7" << 0.0;
        QTest::newRow("FAM, bad step") << "!FAM;x;1;1;1;1;1;#" << "" << "Efficiency0" << 0.0;
        QTest::newRow("FAM, bad temperature") << "!FAM;4;97;87;hot;1;1;#" << "" << "Efficiency4" << 87.0;
    }
    void ConversionFailuresByFrame()
    {
        QFETCH(QString, frame);
        QFETCH(QString, dialog);
        QFETCH(QString, probe);
        QFETCH(double, value);
        Fixture->WriteFile("settings.ini", "[General]\r\nWriteLog=1\r\n");
        Fixture->Open();
        const QString chunk = frame + "!AT;#";
        Receive(chunk);
        const bool guarded = dialog.isEmpty();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 guarded ? QStringList{}
                         : QStringList{DescribeDialog("Error", ApplicationTitle(), dialog, TDialogIcon::Error)});
        const TChannelReadings& r = ChannelReadings;
        const QMap<QString, double> probes{
            {"none", 0},
            {"Voltage1", r.Voltage[1]},
            {"Voltage4", r.Voltage[4]},
            {"AcVoltage", r.AcVoltageText.toDouble()},
            {"AcPower", r.AcPowerText.toDouble()},
            {"Fan1", r.FanSpeed[1]},
            {"T3", r.Temperature[3]},
            {"CrossLoad1@0", CrossLoadAt(1, 0).voltage},
            {"CrossLoad1@5", CrossLoadAt(1, 5).voltage},
            {"Noise1@0", NoiseAt(1, 0)},
            {"Noise1@5", NoiseAt(1, 5)},
            {"Standby0", ResultStore.StandbyRun[0].voltage},
            {"Standby7", ResultStore.StandbyRun[7].voltage},
            {"Efficiency0", ResultStore.EfficiencyRun.ratios[0].powerFactor},
            {"Efficiency4", ResultStore.EfficiencyRun.ratios[4].efficiency},
        };
        QVERIFY2(probes.contains(probe), qPrintable(probe));
        QCOMPARE(float(probes[probe]), float(value));
        QCOMPARE(CrossLoadRunning, guarded);  // the frame behind it in the chunk
        const QStringList logs = QDir(Fixture->Path("log")).entryList(QDir::Files);
        QCOMPARE(logs.size(), 1);
        const QByteArray log = Fixture->ReadFile("log/" + logs[0]);
        QVERIFY(log.contains(": Received: " + chunk.toLatin1() + "\r\n"));
        QCOMPARE(log.contains(": Executed: " + frame.toLatin1() + "\r\n"), guarded);
        QCOMPARE(log.contains(": Executed: !AT;#\r\n"), guarded);
    }

    void JunkWithoutFramesDoesNotGrowTheBuffer()
    {
        Fixture->Open();
        Receive(QString(40000, u'x'));
        Receive("!" + QString(70000, u'x'));
        QCOMPARE(ReceiveBuffer.size(), ReceiveBufferLimit);
        Receive("!AT;#");  // the next frame still gets through
        QVERIFY(CrossLoadRunning);
        QVERIFY(ReceiveBuffer.isEmpty());
    }

    void CrossLoadPointsAreStored()
    {
        TMForm& form = Fixture->Open();
        // Point 201 is row 2, column 2; eleven voltage and current pairs.
        QString frame = "!G;201;";
        for (int k = 1; k <= 11; ++k)
            frame += QString("%1.5;%2;").arg(k).arg(k + 10);
        Receive(frame + "#");
        for (int k = 1; k <= 11; ++k) {
            QCOMPARE(ResultStore.CrossLoadGrid[k][2][2].voltage, k + 0.5f);
            QCOMPARE(ResultStore.CrossLoadGrid[k][2][2].current, float(k + 10));
        }
        // A bad current in the second pair keeps the first pair only; the frame is still
        // logged and the rest of the chunk is processed.
        Receive("!G;5;3.3;1;5.1;x;12.1;2;#!AT;#");
        QCOMPARE(CrossLoadAt(1, 5).voltage, 3.3f);
        QCOMPARE(CrossLoadAt(2, 5).voltage, 0.0f);
        QCOMPARE(CrossLoadAt(3, 5).voltage, 0.0f);
        QVERIFY(CrossLoadRunning);
        // The point number keeps 16 bits; a point outside the grid is ignored.
        Receive("!G;65537;7;0.5;#!G;12000;9;9;#");
        QCOMPARE(CrossLoadAt(1, 1).voltage, 7.0f);
        QCOMPARE(DispatchedLines(form),
                 (QStringList{"Executed: " + frame + "#", "Executed: !G;5;3.3;1;5.1;x;12.1;2;#", "Executed: !AT;#",
                              "Executed: !G;65537;7;0.5;#", "Executed: !G;12000;9;9;#"}));
    }

    void NoisePointsAreStored()
    {
        Fixture->Open();
        Receive("!N;11999;1;2;3;4;5;6;7;8;9;10;70000;#");
        for (int k = 1; k <= 10; ++k)
            QCOMPARE(NoiseAt(k, 11999), uint16_t(k));
        QCOMPARE(NoiseAt(11, 11999), uint16_t(70000 - 65536));
        Receive("!N;0;40;4x;50;#");
        QCOMPARE(NoiseAt(1, 0), uint16_t(40));
        QCOMPARE(NoiseAt(2, 0), uint16_t(0));
        QCOMPARE(NoiseAt(3, 0), uint16_t(0));
    }

    void StandbyPointsAreStored()
    {
        Fixture->Open();
        Receive("!S;199;5.01;3;#");
        QCOMPARE(ResultStore.StandbyRun[199].voltage, 5.01f);
        QCOMPARE(ResultStore.StandbyRun[199].current, 3.0f);
        // Both values are converted before either is stored.
        Receive("!S;7;5.02;x;#!S;200;5;1;#");
        QCOMPARE(ResultStore.StandbyRun[7].voltage, 0.0f);
        // A bad step number is not guarded: the chunk ends there.
        Receive("!S;x;5;1;#!AT;#");
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'x' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QVERIFY(!CrossLoadRunning);
    }

    void EfficiencyPointsAreStored()
    {
        Fixture->Open();
        Receive("!FAM;3;97;88;41.5;1200;1350;#");
        const EfficiencyPoint& ratio = ResultStore.EfficiencyRun.ratios[3];
        const ThermalPoint& thermal = ResultStore.EfficiencyRun.thermal[3];
        QCOMPARE(ratio.powerFactor, uint8_t(97));
        QCOMPARE(ratio.efficiency, uint8_t(88));
        QCOMPARE(thermal.temperature, 41.5f);
        QCOMPARE(thermal.fan1Speed, uint16_t(1200));
        QCOMPARE(thermal.fan2Speed, uint16_t(1350));
        // Fields before a bad one stay; the power factor keeps its low 8 bits.
        Receive("!FAM;4;300;87;hot;1;1;#");
        QCOMPARE(ResultStore.EfficiencyRun.ratios[4].powerFactor, uint8_t(44));
        QCOMPARE(ResultStore.EfficiencyRun.ratios[4].efficiency, uint8_t(87));
        QCOMPARE(ResultStore.EfficiencyRun.thermal[4].fan1Speed, uint16_t(0));
        // Even the step number is guarded here: no dialog, the chunk goes on.
        Receive("!FAM;x;1;#!FAM;200;1;1;1;1;1;#!AT;#");
        QVERIFY(CrossLoadRunning);
    }

    void TestFramesSwitchTheButtons_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("startButton");
        QTest::addColumn<QString>("stopButton");
        QTest::newRow("cross-load") << "!AT;#" << "!ATE;#" << "bATStart" << "bATStop";
        QTest::newRow("noise") << "!NTS;#" << "!NTE;#" << "bStartNoise" << "bStopNoise";
        QTest::newRow("efficiency") << "!FAMS;#" << "!FAE;#" << "bStartPFC" << "bStopPFC";
    }
    void TestFramesSwitchTheButtons()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, startButton);
        QFETCH(QString, stopButton);
        TMForm& form = Fixture->Open();
        auto* startControl = form.findChild<QPushButton*>(startButton);
        auto* stopControl = form.findChild<QPushButton*>(stopButton);
        Receive(start);
        QVERIFY(!startControl->isEnabled() && stopControl->isEnabled());
        Receive(end);
        QVERIFY(startControl->isEnabled() && !stopControl->isEnabled());
    }

    void StandbyEndReenablesItsStart()
    {
        TMForm& form = Fixture->Open();
        form.bSTStart->setEnabled(false);
        form.bSTStop->setEnabled(true);
        Receive("!STE;#");
        QVERIFY(form.bSTStart->isEnabled() && !form.bSTStop->isEnabled());
    }
};

TARVIK_TEST(ReceivePathTest)
#include "ReceivePathTest.moc"
