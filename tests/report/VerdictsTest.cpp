// The verdict rules as tables: the limits of each rail, the PWR_OK window, the efficiency read
// on the load axis and the 80 PLUS levels, boundary values passing and "no data" never failing.

#include <QTest>
#include <cmath>
#include <limits>
#include <memory>

#include "TestRegistry.h"
#include "autotests/ResultStore.h"
#include "report/Verdicts.h"

using Efficiencies = QList<int>;  // percent at steps 20, 40, 100 and 199 (10, 20, 50 and 99.5 % load); 0 = none

namespace {
std::unique_ptr<TResultStore> EmptyStore() { return std::make_unique<TResultStore>(); }

const TRailVerdict& Rail(const std::vector<TRailVerdict>& rails, const QString& name)
{
    for (const TRailVerdict& rail : rails)
        if (rail.Rail == name)
            return rail;
    static const TRailVerdict none{};
    return none;
}
} // namespace

class VerdictsTest : public QObject {
    Q_OBJECT

private slots:
    void WorstDeviationPerRail_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QList<float>>("voltages");  // at points 0, 1, 2 ...
        QTest::addColumn<double>("worst");
        QTest::addColumn<int>("verdict");
        const int pass = int(TVerdict::Pass), fail = int(TVerdict::Fail), none = int(TVerdict::NoData);
        QTest::newRow("+12V1 exactly +5 % passes") << 4 << QList<float>{12.0f, 12.6f} << 5.0 << pass;
        QTest::newRow("+12V1 just above") << 4 << QList<float>{12.61f} << 5.083 << fail;
        QTest::newRow("+12V1 exactly -5 % passes") << 4 << QList<float>{11.4f, 12.3f} << -5.0 << pass;
        QTest::newRow("the farther side is the worst") << 4 << QList<float>{12.5f, 11.3f} << -5.833 << fail;
        QTest::newRow("+3.3V nominal") << 1 << QList<float>{3.3f} << 0.0 << pass;
        QTest::newRow("+5Vstb -4 %") << 3 << QList<float>{4.8f} << -4.0 << pass;
        QTest::newRow("no measurement at all") << 5 << QList<float>{0.0f} << 0.0 << none;
        QTest::newRow("values that are not numbers")
            << 5 << QList<float>{std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()} << 0.0
            << none;
    }
    void WorstDeviationPerRail()
    {
        QFETCH(int, channel);
        QFETCH(QList<float>, voltages);
        QFETCH(double, worst);
        QFETCH(int, verdict);
        auto store = EmptyStore();
        for (int i = 0; i < voltages.size(); ++i)
            store->CrossLoadGrid[channel][1][i + 1].voltage = voltages[i];
        const std::vector<TRailVerdict> rails = DeviationVerdicts(*store);
        QCOMPARE(int(rails.size()), 12);
        const TRailVerdict& rail = rails[channel - 1];
        QCOMPARE(int(rail.Verdict), verdict);
        QCOMPARE(rail.Worst.has_value(), verdict != int(TVerdict::NoData));
        if (rail.Worst)
            QVERIFY2(std::fabs(*rail.Worst - worst) < 0.001, qPrintable(QString::number(*rail.Worst)));
        QCOMPARE(Rail(rails, "-12V").Limit, 10.0);
        QCOMPARE(Rail(rails, "-12V").Verdict, TVerdict::NoData);
    }

    void WorstRipplePerRail_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("ripple");
        QTest::addColumn<double>("limit");
        QTest::addColumn<int>("verdict");
        QTest::newRow("+3.3V at 50 mV") << 1 << 50 << 50.0 << int(TVerdict::Pass);
        QTest::newRow("+3.3V at 51 mV") << 1 << 51 << 50.0 << int(TVerdict::Fail);
        QTest::newRow("+5Vstb at 50 mV") << 3 << 50 << 50.0 << int(TVerdict::Pass);
        QTest::newRow("+12V1 at 120 mV") << 4 << 120 << 120.0 << int(TVerdict::Pass);
        QTest::newRow("+12V8 at 121 mV") << 11 << 121 << 120.0 << int(TVerdict::Fail);
        QTest::newRow("nothing measured") << 6 << 0 << 120.0 << int(TVerdict::NoData);
    }
    void WorstRipplePerRail()
    {
        QFETCH(int, channel);
        QFETCH(int, ripple);
        QFETCH(double, limit);
        QFETCH(int, verdict);
        auto store = EmptyStore();
        store->NoiseGrid[channel][60][200] = uint16_t(ripple);
        store->NoiseGrid[channel][1][1] = ripple ? 10 : 0;
        // A copy: the list of verdicts is a temporary gone at the end of the statement.
        const TRailVerdict rail = RippleVerdicts(*store)[channel - 1];
        QCOMPARE(rail.Limit, limit);
        QCOMPARE(int(rail.Verdict), verdict);
        if (ripple)
            QCOMPARE(*rail.Worst, double(ripple));
    }

    void PwrOkWindow()
    {
        QCOMPARE(PwrOkVerdict(std::nullopt), TVerdict::NoData);
        QCOMPARE(PwrOkVerdict(99), TVerdict::Fail);
        QCOMPARE(PwrOkVerdict(100), TVerdict::Pass);
        QCOMPARE(PwrOkVerdict(500), TVerdict::Pass);
        QCOMPARE(PwrOkVerdict(501), TVerdict::Fail);
    }

    void EfficiencyOnTheLoadAxis()
    {
        auto store = EmptyStore();
        QVERIFY(!EfficiencyAt(*store, 50));
        store->EfficiencyRun.ratios[10].efficiency = 70;   // 5 % load
        store->EfficiencyRun.ratios[30].efficiency = 80;   // 15 % load
        store->EfficiencyRun.ratios[150].efficiency = 90;  // 75 % load, the last step measured
        QCOMPARE(*EfficiencyAt(*store, 10), 75.0);         // half way between steps 10 and 30
        QCOMPARE(*EfficiencyAt(*store, 5), 70.0);
        QCOMPARE(*EfficiencyAt(*store, 50), 80 + 10 * (100 - 30) / 120.0);
        QCOMPARE(*EfficiencyAt(*store, 100), 90.0);  // 100 % is the last step
        QVERIFY(!EfficiencyAt(*store, 2));            // below the first measured step
        QVERIFY(!EfficiencyAt(*store, 80));           // beyond the last, short of 100 %
    }

    void EightyPlusLevels_data()
    {
        QTest::addColumn<double>("acVoltage");  // negative: not known
        QTest::addColumn<Efficiencies>("efficiency");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("verdict");
        const int pass = int(TVerdict::Pass), fail = int(TVerdict::Fail);
        QTest::newRow("115 V Standard at its limits") << 115.0 << Efficiencies{0, 80, 80, 80} << "Standard" << pass;
        QTest::newRow("115 V just short of Standard") << 115.0 << Efficiencies{0, 80, 79, 80} << "" << fail;
        QTest::newRow("115 V Bronze") << 115.0 << Efficiencies{0, 82, 85, 82} << "Bronze" << pass;
        QTest::newRow("115 V Silver") << 115.0 << Efficiencies{0, 85, 88, 85} << "Silver" << pass;
        QTest::newRow("115 V Gold") << 115.0 << Efficiencies{0, 87, 90, 87} << "Gold" << pass;
        QTest::newRow("115 V Platinum") << 115.0 << Efficiencies{0, 90, 92, 89} << "Platinum" << pass;
        QTest::newRow("115 V Platinum without 10 % is not Titanium") << 115.0 << Efficiencies{0, 92, 94, 90}
                                                                      << "Platinum" << pass;
        QTest::newRow("115 V Titanium") << 115.0 << Efficiencies{90, 92, 94, 90} << "Titanium" << pass;
        QTest::newRow("179.9 V takes the 115 V table") << 179.9 << Efficiencies{0, 80, 80, 80} << "Standard" << pass;
        QTest::newRow("unknown mains takes the 115 V table") << -1.0 << Efficiencies{0, 82, 85, 82} << "Bronze" << pass;
        QTest::newRow("230 V: 115 V Bronze is only Standard") << 230.0 << Efficiencies{0, 82, 85, 82} << "Standard"
                                                              << pass;
        QTest::newRow("180 V takes the 230 V table") << 180.0 << Efficiencies{0, 80, 80, 80} << "" << fail;
        QTest::newRow("230 V Gold") << 230.0 << Efficiencies{0, 90, 92, 89} << "Gold" << pass;
        QTest::newRow("230 V Platinum") << 230.0 << Efficiencies{0, 92, 94, 90} << "Platinum" << pass;
        QTest::newRow("230 V Titanium") << 230.0 << Efficiencies{90, 94, 96, 94} << "Titanium" << pass;
        QTest::newRow("a missing load point meets no level") << 230.0 << Efficiencies{0, 0, 96, 94} << "" << fail;
        QTest::newRow("no run at all is no data") << 230.0 << Efficiencies{0, 0, 0, 0} << "" << int(TVerdict::NoData);
    }
    void EightyPlusLevels()
    {
        QFETCH(double, acVoltage);
        QFETCH(Efficiencies, efficiency);
        QFETCH(QString, level);
        QFETCH(int, verdict);
        auto store = EmptyStore();
        const int steps[4] = {20, 40, 100, 199};
        for (int i = 0; i < 4; ++i)
            store->EfficiencyRun.ratios[steps[i]].efficiency = uint8_t(efficiency[i]);
        const std::optional<double> mains = acVoltage < 0 ? std::nullopt : std::optional<double>(acVoltage);
        const TEfficiencyVerdict v = EfficiencyVerdict(*store, mains);
        QCOMPARE(v.Level, level);
        QCOMPARE(int(v.Verdict), verdict);
        QCOMPARE(v.Table, acVoltage >= 180 ? TMainsTable::Internal230VEU : TMainsTable::Internal115V);
    }

    void NoDataIsNoFailure()
    {
        auto store = EmptyStore();
        QVERIFY(!ComputeVerdicts(*store, std::nullopt, std::nullopt).AnyFailure());
        store->NoiseGrid[4][1][1] = 121;
        QVERIFY(ComputeVerdicts(*store, std::nullopt, std::nullopt).AnyFailure());
        store->NoiseGrid[4][1][1] = 120;
        QVERIFY(!ComputeVerdicts(*store, 300, std::nullopt).AnyFailure());
        QVERIFY(ComputeVerdicts(*store, 600, std::nullopt).AnyFailure());
    }
};

TARVIK_TEST(VerdictsTest)
#include "VerdictsTest.moc"
