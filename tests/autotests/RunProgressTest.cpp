// The run progress the status bar shows: the estimator on a clock of our own, and the texts
// the operator sees as the stand's frames arrive.

#include <QLabel>
#include <QTest>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/RunProgress.h"
#include "core/Dialogs.h"
#include "link/Connection.h"
#include "ui/MainForm.h"

namespace {
// A run fed `points` points, one every `spacing` ms from `from` on; returns the time of the last.
int64_t Feed(TRunProgress& run, int points, double spacing, int64_t from = 0)
{
    int64_t t = from;
    for (int i = 1; i <= points; ++i) {
        t = from + static_cast<int64_t>(i * spacing);
        run.Point(t);
    }
    return t;
}
} // namespace

class RunProgressTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    void Receive(const QString& chunk) { GuardEvent([&] { ProcessReceivedText(chunk); }); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void Numbers()
    {
        QCOMPARE(GroupedNumber(0), QString("0"));
        QCOMPARE(GroupedNumber(999), QString("999"));
        QCOMPARE(GroupedNumber(1000), QString("1,000"));
        QCOMPARE(GroupedNumber(12000), QString("12,000"));
        QCOMPARE(GroupedNumber(1234567), QString("1,234,567"));
        QCOMPARE(Duration(0), QString("0:00"));
        QCOMPARE(Duration(59499), QString("0:59"));
        QCOMPARE(Duration(61000), QString("1:01"));
        QCOMPARE(Duration(161000), QString("2:41"));
        QCOMPARE(Duration(3723000), QString("1:02:03"));
    }

    void TheTextWhileARunStreams()
    {
        TRunProgress run;
        run.Start("KHX", 12000, 0);
        QCOMPARE(run.Text(0), QString("KHX: 0 of 12,000 points"));
        // No time left before there is a rate over half a second.
        Feed(run, 10, 10);
        QCOMPARE(run.Text(100), QString("KHX: 10 of 12,000 points"));
        // 100 points a second: 7,188 left take 71.88 s.
        run.Start("KHX", 12000, 0);
        const int64_t now = Feed(run, 4812, 10);
        QCOMPARE(run.Text(now), QString("KHX: 4,812 of 12,000 points, 1:12 left"));
        // Once every point has come there is no time left to tell.
        run.Start("PFC", 200, 0);
        QCOMPARE(run.Text(Feed(run, 200, 10)), QString("PFC: 200 of 200 points"));
        // A run the stand started by itself: its count alone.
        run.Start("KHX", std::nullopt, 0);
        QCOMPARE(run.Text(Feed(run, 4812, 10)), QString("KHX: 4,812 points"));
        run.Start("KHX", 12000, 0);
        Feed(run, 12000, 161000.0 / 12000);
        QCOMPARE(run.EndText(161000), QString("KHX: 12,000 points in 2:41"));
    }

    void TheRateFollowsTheLastSeconds()
    {
        TRunProgress run;
        run.Start("Noise", 12000, 0);
        int64_t now = Feed(run, 1000, 100);   // 10 points a second for 100 s
        now = Feed(run, 5000, 1, now);        // then 1000 a second for 5 s
        const std::optional<double> rate = run.Rate(now);
        QVERIFY(rate);
        QVERIFY2(*rate > 900 && *rate <= 1000, qPrintable(QString::number(*rate)));
        // A stream that stops: the rate fades with the window.
        QVERIFY(!run.Rate(now + 6000));
        QCOMPARE(run.Text(now + 6000), QString("Noise: 6,000 of 12,000 points"));
    }

    void TheStatusBarFollowsTheStandsFrames()
    {
        TMForm& form = Fixture->Open();
        QLabel* panel = form.StatusPanel[0];
        // Started by the stand itself: no expected count.
        Receive("!AT;#!G;0;3.3;1;#!G;1;3.3;1;#");
        QCOMPARE(panel->text(), QString("KHX: 0 points"));
        Receive("!G;x;#");  // no point number: not counted, and reported as usual
        Fixture->Dialogs.TakeAll();
        Receive("!G;2;3.3;1;#!ATE;#");
        QCOMPARE(panel->text(), QString("KHX: 3 points in 0:00"));
        // Points without an acknowledgement still count.
        Receive("!N;0;12;#!N;1;12;#!NTE;#");
        QCOMPARE(panel->text(), QString("Noise: 2 points in 0:00"));
        // An end frame of a run that is not under way leaves the panel alone.
        Receive("!FAE;#");
        QCOMPARE(panel->text(), QString("Noise: 2 points in 0:00"));
        // Started here: the +5Vstb run counts from its request, against its steps.
        Receive("!S;0;5.0;0.1;#");
        Receive("!STE;#");
        QCOMPARE(panel->text(), QString("+5Vstb: 1 point in 0:00"));
    }
};

TARVIK_TEST(RunProgressTest)
#include "RunProgressTest.moc"
