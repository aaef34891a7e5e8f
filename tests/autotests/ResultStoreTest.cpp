#include <QTest>
#include <cstring>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"

class ResultStoreTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

    static const unsigned char* Bytes() { return reinterpret_cast<const unsigned char*>(&ResultStore); }

    static bool AllZero()
    {
        const unsigned char* bytes = Bytes();
        for (size_t i = 0; i < sizeof ResultStore; ++i)
            if (bytes[i] != 0)
                return false;
        return true;
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void PointNumbersAddressRowAndColumn_data()
    {
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("first") << 0 << 1 << 1;
        QTest::newRow("end of row 1") << 199 << 1 << 200;
        QTest::newRow("start of row 2") << 200 << 2 << 1;
        QTest::newRow("last") << 11999 << 60 << 200;
    }
    void PointNumbersAddressRowAndColumn()
    {
        QFETCH(int, point);
        QFETCH(int, row);
        QFETCH(int, column);
        QCOMPARE(PointRow(point), row);
        QCOMPARE(PointColumn(point), column);
        // Within a channel, point l is the l-th element in storage (and file) order.
        CrossLoadAt(5, point).voltage = 12.25f;
        NoiseAt(5, point) = 321;
        float voltage = 0;
        std::memcpy(&voltage, Bytes() + 96000 * 4 + 8 * point, 4);
        QCOMPARE(voltage, 12.25f);
        uint16_t noise = 0;
        std::memcpy(&noise, Bytes() + 1056000 + 24000 * 4 + 2 * point, 2);
        QCOMPARE(noise, uint16_t(321));
        QCOMPARE(ResultStore.CrossLoadGrid[5][row][column].voltage, 12.25f);
    }

    void PointsOutsideTheGridAreRefused()
    {
        QVERIFY(!IsGridPoint(-1) && !IsGridPoint(12000) && IsGridPoint(11999));
        QVERIFY(!IsRunStep(200) && IsRunStep(0));
        QVERIFY_THROWS_EXCEPTION(ERangeError, CrossLoadAt(1, 12000));
        QVERIFY_THROWS_EXCEPTION(ERangeError, CrossLoadAt(12, 0));
        QVERIFY_THROWS_EXCEPTION(ERangeError, ResultStore.StandbyRun[200]);
    }

    void ClearResultsZeroesEveryByte()
    {
        FillRandomResults();
        QVERIFY(!AllZero());
        AppSettings.DutDescription.Vendor = "Acme";
        AppSettings.DutDescription.Power = 650;
        ClearResults();
        QVERIFY(AllZero());
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("Acme"));
        QCOMPARE(AppSettings.DutDescription.Power, uint16_t(650));
    }

    void FillRandomResultsStaysInItsRanges()
    {
        AppSettings.DutDescription.Model = "PSU-650";
        FillRandomResults();
        QCOMPARE(AppSettings.DutDescription.Model, QString("PSU-650"));
        for (int k = 1; k <= LoadChannelCount; ++k) {
            const float low = k >= 4 ? 12.100f : (k == 1 ? 3.3100f : 5.0100f);
            const float high = k >= 4 ? 12.998f : (k == 1 ? 3.3998f : 5.0998f);
            const double nominal = k >= 4 ? 12.0 : (k == 1 ? 3.3 : 5.0);
            const double step = k >= 4 ? 1000.0 : 10000.0;
            for (int point = 0; point < GridPoints; ++point) {
                const CrossLoadPoint& p = CrossLoadAt(k, point);
                QVERIFY2(p.voltage >= low && p.voltage <= high, qPrintable(QString::number(p.voltage)));
                // An exact number of steps above nominal, rounded once to single precision.
                const double steps = std::round((double(p.voltage) - nominal) * step);
                QCOMPARE(p.voltage, float((std::round(nominal * step) + steps) / step));
                QVERIFY(p.current >= 0 && p.current <= 30 && p.current == std::trunc(p.current));
                QVERIFY(NoiseAt(k, point) < 400);
            }
        }
        int zeroStandby = 0;
        for (int s = 0; s < RunSteps; ++s) {
            const EfficiencyPoint& ratio = ResultStore.EfficiencyRun.ratios[s];
            QVERIFY(ratio.powerFactor <= 100 && ratio.efficiency <= 100);
            const ThermalPoint& thermal = ResultStore.EfficiencyRun.thermal[s];
            QVERIFY(thermal.temperature >= 0 && thermal.temperature <= 100);
            QVERIFY(thermal.fan1Speed >= 1 && thermal.fan1Speed <= 5999);
            QVERIFY(thermal.fan2Speed >= 1 && thermal.fan2Speed <= 5999);
            const StandbyPoint& standby = ResultStore.StandbyRun[s];
            QVERIFY(standby.current >= 0 && standby.current <= 19);
            if (standby.voltage == 0)
                ++zeroStandby;
            else
                QVERIFY(standby.voltage >= 5.0100f && standby.voltage <= 5.0998f);
        }
        // About one step in ten has no voltage; 200 draws make 0 or more than 60 implausible.
        QVERIFY2(zeroStandby > 0 && zeroStandby < 60, qPrintable(QString::number(zeroStandby)));
    }
};

TARVIK_TEST(ResultStoreTest)
#include "ResultStoreTest.moc"
