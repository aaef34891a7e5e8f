// Each of the four stand-run tests started from its button against the simulated stand over a
// pseudo-terminal: the run reaches its end frame, its results are in the store, the buttons
// are back, and the live readings pause during the cross-load run only.

#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "core/ProgramState.h"
#include "graphs/GraphState.h"
#include "ui/MainForm.h"

namespace {
// The live readings answering polls that arrived between two memo lines.
int ReadingsBetween(const QString& memo, const QString& from, const QString& to)
{
    const int start = memo.indexOf(from);
    const int end = memo.indexOf(to, start);
    if (start < 0 || end < 0)
        return -1;
    return memo.mid(start, end - start).count(QStringLiteral("Executed: !VC;0;"));
}
} // namespace

class TestRunsEndToEndTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void ATestRunsFromItsButtonToItsEnd_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("startFrame");  // the stand's acknowledgement, or the request
        QTest::addColumn<QString>("endFrame");
        QTest::addColumn<bool>("pollsPause");
        // Paced fast enough for a short test, slow enough that polls meet the stream.
        QTest::addColumn<QString>("baud");
        QTest::newRow("KHX") << "bATStart" << "Executed: !AT;#" << "Executed: !ATE;#" << true << "4000000";
        QTest::newRow("Noise") << "bStartNoise" << "Executed: !NTS;#" << "Executed: !NTE;#" << false << "4000000";
        QTest::newRow("PFC") << "bStartPFC" << "Executed: !FAMS;#" << "Executed: !FAE;#" << false << "200000";
        QTest::newRow("+5Vstb") << "bSTStart" << "Executed: !S;0;" << "Executed: !STE;#" << false << "100000";
    }
    void ATestRunsFromItsButtonToItsEnd()
    {
        QFETCH(QString, button);
        QFETCH(QString, startFrame);
        QFETCH(QString, endFrame);
        QFETCH(bool, pollsPause);
        QFETCH(QString, baud);
        QProcess simulator;
        simulator.start(TARVIK_STAND_SIM, {"--baud", baud, "--link", Fixture->Path("dev/COM1")});
        QVERIFY(simulator.waitForStarted(5000));
        QVERIFY(simulator.waitForReadyRead(5000));
        Fixture->WriteFile("settings.ini", "[General]\r\nDebug=52917\r\nEFC_PFC_Test=1\r\n"
                                           "[ATS]\r\nl_max_power=300\r\nh_max_power=1200\r\nt_max_power=1500\r\n"
                                           "rails_12V=2\r\npsu_type=0\r\nsteps=200\r\npower_5vstb=15\r\n");
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 5000);
        form.bPSUON->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.PSUStatusLabel->text(), QString("Status: ON"), 5000);

        form.findChild<QPushButton*>(button)->click();
        QTRY_VERIFY_WITH_TIMEOUT(form.DebugMemo->toPlainText().contains(endFrame), 60000);
        const QString memo = form.DebugMemo->toPlainText();
        QVERIFY(memo.contains(startFrame));
        const int readings = ReadingsBetween(memo, startFrame, endFrame);
        if (pollsPause)
            QVERIFY2(readings <= 1, qPrintable(QString::number(readings)));  // one answer may be under way
        else
            QVERIFY2(readings >= 3, qPrintable(QString::number(readings)));
        for (QPushButton* start : {form.bATStart, form.bStartNoise, form.bStartPFC, form.bSTStart})
            QVERIFY2(start->isEnabled(), qPrintable(start->objectName()));
        for (QPushButton* stop : {form.bATStop, form.bStopNoise, form.bStopPFC, form.bSTStop})
            QVERIFY2(!stop->isEnabled(), qPrintable(stop->objectName()));
        QVERIFY(!CrossLoadRunning);

        if (button == "bATStart") {
            QVERIFY(CrossLoadAt(4, 0).voltage > 11 && CrossLoadAt(4, 11999).voltage > 10);
            QVERIFY(CrossLoadAt(1, 0).voltage > 3);
        } else if (button == "bStartNoise") {
            QVERIFY(NoiseAt(4, 0) > 0 && NoiseAt(4, 11999) > 0);
        } else if (button == "bStartPFC") {
            QVERIFY(ResultStore.EfficiencyRun.ratios[199].efficiency > 50);
            QVERIFY(ResultStore.EfficiencyRun.thermal[199].fan1Speed > 0);
        } else {
            QVERIFY(ResultStore.StandbyRun[0].voltage > 4.5f && ResultStore.StandbyRun[199].current > 0);
        }
        form.bDisconnect->click();
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(5000));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }
};

TARVIK_TEST(TestRunsEndToEndTest)
#include "TestRunsEndToEndTest.moc"
