// Faults of the stand's text through the real serial port on a pseudo-terminal, the stand
// played by hand: a frame cut at every byte, garbage in every number field of every frame the
// stand sends, and a flood of live frames while a graph paint lets the event loop run.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <functional>
#include <optional>

#include "PtyPeer.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "core/ProgramState.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphState.h"
#include "link/Connection.h"
#include "link/Dispatcher.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {

const QByteArray Report = "!REP;Tarvik;ATE-12;2.14;2026-11-03;PSU-TS1;#";

// Runs the event loop until `done` holds or `ms` have passed; false on time-out. Checks after
// every pass, so a step takes as long as the program needs and no longer.
bool WaitFor(const std::function<bool()>& done, int ms = 3000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(1);
    }
    return true;
}

QString LastMemoLine(TMForm& form)
{
    const QString text = form.DebugMemo->toPlainText();
    return text.mid(text.lastIndexOf(u'\n') + 1);
}

// A valid cross-load point 201 (row 2, column 2): channel k at k.5 V and k + 10 A.
QString CrossLoadPointFrame()
{
    QString frame = "!G;201;";
    for (int k = 1; k <= LoadChannelCount; ++k)
        frame += QString("%1.5;%2;").arg(k).arg(k + 10);
    return frame + "#";
}

QString NoisePointFrame()
{
    QString frame = "!N;201;";
    for (int k = 1; k <= LoadChannelCount; ++k)
        frame += QString::number(10 * k) + u';';
    return frame + "#";
}

// The frame with field `index` replaced by `text`.
QString WithField(const QString& frame, int index, const QString& text)
{
    QStringList parts = frame.split(u';');
    parts[index + 1] = text;
    return parts.join(u';');
}

} // namespace

class FaultRunsTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;
    std::optional<TPtyPeer> Stand;

    // Connected and identified, with polling off (the tests send every frame themselves).
    TMForm* ConnectToStand()
    {
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=0\r\n");
        Stand.emplace(Fixture->Dir(), 1);
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        if (!Stand->ReadUntil("!!!;#", 2000).contains("!!!;#"))
            return nullptr;
        Stand->Write(Report);
        return WaitFor([] { return StandIdentified; }) ? &form : nullptr;
    }

    // Sends a frame that always dispatches and waits for it: everything sent before has been
    // read and processed.
    bool Sync(TMForm& form)
    {
        Stand->Write("!ATE;#");
        return WaitFor([&form] { return !CrossLoadRunning && LastMemoLine(form) == "Executed: !ATE;#"; });
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

    // Whatever byte the line happens to break a frame at, the two notifications give the one
    // frame, dispatched once.
    void AFrameSplitAtEveryBytePosition_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::newRow("reading") << "!VC;3;12.034;4.5;35;110;#";
        QTest::newRow("cross-load point") << CrossLoadPointFrame();
        QTest::newRow("hardware report") << QString::fromLatin1(Report);
    }
    void AFrameSplitAtEveryBytePosition()
    {
        QFETCH(QString, frame);
        TMForm* form = ConnectToStand();
        QVERIFY(form);
        for (int cut = 1; cut < frame.size(); ++cut) {
            ClearResults();
            ChannelReadings = TChannelReadings{};
            const uint64_t before = DispatchedFrames;
            const QString head = frame.left(cut);
            Stand->Write(head.toLatin1());
            QVERIFY2(WaitFor([&] { return ReceiveBuffer == head; }), qPrintable(head));
            QCOMPARE(DispatchedFrames, before);
            Stand->Write(frame.mid(cut).toLatin1());
            QVERIFY2(WaitFor([&] { return DispatchedFrames > before; }), qPrintable(head));
            QCOMPARE(DispatchedFrames, before + 1);
            QCOMPARE(LastMemoLine(*form), "Executed: " + frame);
            QVERIFY(ReceiveBuffer.isEmpty());
            if (frame.startsWith("!VC")) {
                QCOMPARE(ChannelReadings.Voltage[4], 12.034f);
                QCOMPARE(ChannelReadings.NoiseFrequency[4], uint16_t(110));
                QCOMPARE(FrontVoltageLabelTable[4]->text(), QString("+12.034 VDC"));
            } else if (frame.startsWith("!G")) {
                QCOMPARE(ResultStore.CrossLoadGrid[11][2][2].voltage, 11.5f);
                QCOMPARE(ResultStore.CrossLoadGrid[11][2][2].current, 21.0f);
            } else {
                QCOMPARE(form->HwInfoModelId->text(), QString("Model ID: PSU-TS1"));
            }
        }
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }

    // Every number field of every frame the stand sends, with garbage in it, sent with a valid
    // frame behind it in the same write. `kinds` has one letter per field: i integer, d decimal,
    // p the AC input power (a decimal that may be empty), - text. `guarded` has one letter per
    // field: g when a bad value only ends the frame's storing (logged, the chunk goes on), u when
    // it stops the chunk with the error dialog (no log line, the frame behind it dropped).
    void GarbageInEveryNumberField_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("kinds");
        QTest::addColumn<QString>("guarded");
        QTest::newRow("ERR") << "!ERR;5;#" << "i" << "u";
        QTest::newRow("FAN") << "!FAN;1200;1350;#" << "ii" << "uu";
        QTest::newRow("TN") << "!TN;450;#" << "i" << "u";
        QTest::newRow("TF") << "!TF;20;#" << "i" << "u";
        QTest::newRow("VC, load channel") << "!VC;3;12.1;4.5;35;110;#" << "iddii" << "uuuuu";
        QTest::newRow("VC, -12V") << "!VC;11;12.2;#" << "id" << "uu";
        QTest::newRow("VC, +5Vstb reading") << "!VC;12;5.01;#" << "id" << "uu";
        QTest::newRow("MT") << "!MT;30.1;31.2;32.3;33.4;#" << "dddd" << "uuuu";
        QTest::newRow("MVC") << "!MVC;230.5;1.25;50;287;#" << "dd-p" << "uu-u";
        QTest::newRow("G") << CrossLoadPointFrame() << "i" + QString(22, u'd') << "u" + QString(22, u'g');
        QTest::newRow("N") << NoisePointFrame() << "i" + QString(11, u'i') << "u" + QString(11, u'g');
        QTest::newRow("S") << "!S;7;5.01;3;#" << "idd" << "ugg";
        QTest::newRow("FAM") << "!FAM;3;97;88;41.5;1200;1350;#" << "iiidii" << "gggggg";
    }
    void GarbageInEveryNumberField()
    {
        QFETCH(QString, frame);
        QFETCH(QString, kinds);
        QFETCH(QString, guarded);
        TMForm* form = ConnectToStand();
        QVERIFY(form);
        const QString name = frame.mid(1, frame.indexOf(u';') - 1);
        const QStringList integerGarbage{"x", "", "1.5", "4294967296"};
        const QStringList decimalGarbage{"x", "", "12,5", "1.2.3", "1e999"};
        for (int field = 0; field < kinds.size(); ++field) {
            if (kinds[field] == u'-')
                continue;
            QStringList garbage = kinds[field] == u'i' ? integerGarbage : decimalGarbage;
            if (kinds[field] == u'p')
                garbage.removeAll("");  // an empty AC power is "unknown", not a failure
            for (const QString& bad : garbage) {
                const QString what = QString("field %1 = '%2'").arg(field).arg(bad);
                ClearResults();
                ChannelReadings = TChannelReadings{};
                const QString badFrame = WithField(frame, field, bad);
                const uint64_t before = DispatchedFrames;
                Stand->Write((badFrame + "!AT;#").toLatin1());
                if (guarded[field] == u'g') {
                    QVERIFY2(WaitFor([&] { return CrossLoadRunning; }), qPrintable(what));
                    QVERIFY2(form->DebugMemo->toPlainText().contains("Executed: " + badFrame + "\n"), qPrintable(what));
                    QVERIFY2(Fixture->Dialogs.Calls.isEmpty(), qPrintable(what));
                } else {
                    QVERIFY2(WaitFor([&] { return !Fixture->Dialogs.Calls.isEmpty(); }), qPrintable(what));
                    const QString expected = QString(kinds[field] == u'i' ? "'%1' is not a valid integer value."
                                                                          : "'%1' is not a valid floating point value.")
                                                 .arg(bad);
                    QCOMPARE(Fixture->Dialogs.TakeAll(),
                             QStringList{DescribeDialog("Error", ApplicationTitle(), expected, TDialogIcon::Error)});
                    QVERIFY2(!form->DebugMemo->toPlainText().endsWith("Executed: " + badFrame), qPrintable(what));
                }
                QVERIFY2(Connected && StandIdentified, qPrintable(what));  // the link stays up

                // What was stored before the bad field stays; nothing after it is stored.
                const TChannelReadings& r = ChannelReadings;
                if (name == "G" && field > 0) {
                    const int failing = (field + 1) / 2;
                    for (int k = 1; k <= LoadChannelCount; ++k)
                        QCOMPARE(ResultStore.CrossLoadGrid[k][2][2].voltage, k < failing ? k + 0.5f : 0.0f);
                } else if (name == "N" && field > 0) {
                    for (int k = 1; k <= LoadChannelCount; ++k)
                        QCOMPARE(ResultStore.NoiseGrid[k][2][2], uint16_t(k < field ? 10 * k : 0));
                } else if (name == "S") {
                    QCOMPARE(ResultStore.StandbyRun[7].voltage, 0.0f);
                } else if (name == "FAM") {
                    const EfficiencyPoint& ratio = ResultStore.EfficiencyRun.ratios[3];
                    const ThermalPoint& thermal = ResultStore.EfficiencyRun.thermal[3];
                    QCOMPARE(ratio.powerFactor, uint8_t(field > 1 ? 97 : 0));
                    QCOMPARE(ratio.efficiency, uint8_t(field > 2 ? 88 : 0));
                    QCOMPARE(thermal.temperature, field > 3 ? 41.5f : 0.0f);
                    QCOMPARE(thermal.fan1Speed, uint16_t(field > 4 ? 1200 : 0));
                    QCOMPARE(thermal.fan2Speed, uint16_t(0));
                } else if (name == "FAN") {
                    QCOMPARE(r.FanSpeed[1], uint16_t(field > 0 ? 1200 : 0));
                } else if (name == "MT") {
                    const float sent[] = {30.1f, 31.2f, 32.3f, 33.4f};
                    for (int n = 1; n <= 4; ++n)
                        QCOMPARE(r.Temperature[n], n <= field ? sent[n - 1] : 0.0f);
                } else if (frame.startsWith("!VC;3;")) {
                    QCOMPARE(r.Voltage[4], field > 1 ? 12.1f : 0.0f);
                    QCOMPARE(r.Current[4], field > 2 ? 4.5f : 0.0f);
                    QCOMPARE(r.NoiseLevel[4], uint16_t(field > 3 ? 35 : 0));
                }

                QVERIFY2(Sync(*form), qPrintable(what));
                // Guarded: the bad frame, the frame behind it and the sync; otherwise the bad
                // frame and the sync only.
                QCOMPARE(DispatchedFrames - before, uint64_t(guarded[field] == u'g' ? 3 : 2));
            }
        }
    }

    // The graph paint lets the event loop run while it sizes the window; a flood of live frames,
    // with end frames among them that paint the shown graph again from inside that wait, must
    // leave every reading, the map and the window as one quiet paint would.
    void AFloodDuringAGraphPaint()
    {
        TMForm* form = ConnectToStand();
        QVERIFY(form);
        FillRandomResults();
        form->PC->setCurrentWidget(form->TabKHX);
        form->KHX_GPC->setCurrentIndex(3);  // +12V1, image 4
        QVERIFY(WaitFor([] { return GraphDrawnFlags[4]; }));
        QVERIFY(Sync(*form));

        QList<QByteArray> flood;
        for (int n = 0; n < 400; ++n) {
            QByteArray chunk;
            for (int k = 0; k < 5; ++k) {
                const int i = 5 * n + k;
                chunk += "!ERR;" + QByteArray::number(i % 2 ? 30 : 0) + ";#";
                chunk += "!VC;3;12." + QByteArray::number(100 + i % 800) + ";4.5;35;110;#";
            }
            if (n % 50 == 25)
                chunk += "!ATE;#";  // paints the map again, inside the paint that is running
            flood << chunk;
        }
        flood << "!ERR;30;#!VC;3;12.345;4.6;36;111;#";
        const uint64_t frames = [&flood] {
            uint64_t count = 0;
            for (const QByteArray& chunk : flood)
                count += chunk.count('#');
            return count;
        }();

        const uint64_t before = DispatchedFrames;
        int sent = 0;
        QTimer feeder;
        connect(&feeder, &QTimer::timeout, [&] {
            if (sent < flood.size())
                Stand->Write(flood[sent++]);
        });
        feeder.start(0);
        // Repaints while the flood comes in: each one waits inside.
        for (int paint = 0; paint < 5 && sent < flood.size(); ++paint)
            form->bRepaintGraphs->click();
        QVERIFY(WaitFor([&] { return sent == flood.size(); }, 20000));
        feeder.stop();
        QVERIFY(WaitFor([&] { return DispatchedFrames - before == frames; }, 20000));
        QVERIFY(Sync(*form));

        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QVERIFY(Connected && StandIdentified && !CrossLoadRunning);
        QCOMPARE(form->ErrorLabel->text(), QString("ERR_OTP"));
        QCOMPARE(FrontVoltageLabelTable[4]->text(), QString("+12.345 VDC"));
        QCOMPARE(ChannelReadings.NoiseFrequency[4], uint16_t(111));
        QVERIFY(ReceiveBuffer.isEmpty());
        QVERIFY(form->bATStart->isEnabled() && !form->bATStop->isEnabled());

        // The map and the window are as a quiet paint of the same results leaves them.
        const QImage flooded = GraphImages[4]->Bitmap.copy();
        const QSize window = form->size();
        form->bRepaintGraphs->click();
        QCOMPARE(form->size(), window);
        QVERIFY(GraphImages[4]->Bitmap == flooded);
    }
};

TARVIK_TEST(FaultRunsTest)
#include "FaultRunsTest.moc"
