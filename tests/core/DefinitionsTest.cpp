#include <QTest>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "core/Definitions.h"

class DefinitionsTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void LookupDeviceError_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("description");
        // Every listed code, as the stand documents it (the typo in 16 included).
        QTest::newRow("10") << 10 << "ERR_MAXPWR_LO_OVR" << "Overload on +3.3V or +5V channels";
        QTest::newRow("11") << 11 << "ERR_MAXPWR_HI_OVR" << "Overload on +12V channel";
        QTest::newRow("12") << 12 << "ERR_MAXPWR_OVR" << "Overall power limit reached";
        QTest::newRow("13") << 13 << "ERR_CHANNELS_OVR" << "Channel voltage limit reached";
        QTest::newRow("14") << 14 << "ERR_LV_RATIO" << "+3.3V / +5V ratio incorrect";
        QTest::newRow("15") << 15 << "ERR_MAXPWR_STBY" << "+5Vstandby overload detected";
        QTest::newRow("16") << 16 << "ERR_WRONG_HILOADING" << "Incorrect +12V load distrubution";
        QTest::newRow("30") << 30 << "ERR_OTP" << "Overheat detected";
        QTest::newRow("31") << 31 << "ERR_OVP" << "Overvoltage detected";
        QTest::newRow("32") << 32 << "ERR_OCP" << "Overcurrent detected";
        QTest::newRow("50") << 50 << "WARN_DUT_POWEROFF" << "DUT PSU powered off";
        QTest::newRow("51") << 51 << "WARN_DUT_PGOOD_ONLONG" << "Power_good fail, >500ms";
        QTest::newRow("52") << 52 << "WARN_DUT_PGOOD_OFFLONG" << "Power_good fail, <500ms";
        QTest::newRow("53") << 53 << "WARN_DUT_STB_FAIL" << "Standby rail fail";
        QTest::newRow("54") << 54 << "WARN_DUT_SHUTDOWN" << "PSU protection trigger, shutdown";
        QTest::newRow("55") << 55 << "WARN_DUT_PSON_FAILED" << "PSU cannot turn-on, PSON fail";
        QTest::newRow("60") << 60 << "WARN_KNX_ABORT" << "CL-test failed";
        QTest::newRow("61") << 61 << "WARN_NOISE_ABORT" << "Noise-test failed";
        QTest::newRow("62") << 62 << "WARN_EFF_ABORT" << "Efficiency-test failed";
        QTest::newRow("63") << 63 << "WARN_PF_ABORT" << "PF-test failed";
        QTest::newRow("70") << 70 << "AC_ERROR_DETECTED" << "AC unit not available";
        QTest::newRow("71") << 71 << "AC_ERROR_PROTECTION" << "AC unit triggered protection";
        QTest::newRow("empty entry 1") << 1 << "ERR_UNKNOWN_1" << "UNKNOWN ERROR #1";
        QTest::newRow("empty entry 17") << 17 << "ERR_UNKNOWN_17" << "UNKNOWN ERROR #17";
        QTest::newRow("empty entry 20") << 20 << "ERR_UNKNOWN_20" << "UNKNOWN ERROR #20";
        QTest::newRow("empty entry 33") << 33 << "ERR_UNKNOWN_33" << "UNKNOWN ERROR #33";
        QTest::newRow("empty entry 64") << 64 << "ERR_UNKNOWN_64" << "UNKNOWN ERROR #64";
        QTest::newRow("above table 72") << 72 << "ERR_UNKNOWN_72" << "UNKNOWN ERROR #72";
        QTest::newRow("above table 255") << 255 << "ERR_UNKNOWN_255" << "UNKNOWN ERROR #255";
    }
    void LookupDeviceError()
    {
        QFETCH(int, code);
        QFETCH(QString, identifier);
        QFETCH(QString, description);
        BuildDeviceErrorTable();
        const TDeviceError entry = ::LookupDeviceError(static_cast<uint8_t>(code));
        QCOMPARE(entry.Identifier, identifier);
        QCOMPARE(entry.Description, description);
    }

    void ErrorTableHoldsExactlyTheListedCodes()
    {
        QCOMPARE(DeviceErrorSource.size(), size_t(66));
        BuildDeviceErrorTable();
        QList<int> filled;
        for (int code = 1; code <= DeviceErrorTableSize; ++code) {
            const TDeviceError& entry = DeviceErrorTable[code];
            if (entry.Code != 0) {
                QCOMPARE(int(entry.Code), code);
                filled << code;
            } else {
                QVERIFY(entry.Identifier.isEmpty() && entry.Description.isEmpty());
            }
        }
        QCOMPARE(filled, (QList<int>{10, 11, 12, 13, 14, 15, 16, 30, 31, 32, 50, 51, 52, 53, 54, 55,
                                     60, 61, 62, 63, 70, 71}));
    }

    void ErrorTableIsEmptyUntilBuilt()
    {
        // A fresh program has not built the table yet; a listed code then reads as unknown.
        QCOMPARE(::LookupDeviceError(10).Identifier, QString("ERR_UNKNOWN_10"));
    }

    void ChannelTables()
    {
        QCOMPARE(LoadChannelNames[1], QString("+3.3V"));
        QCOMPARE(LoadChannelNames[3], QString("+5Vstb"));
        QCOMPARE(LoadChannelNames[11], QString("+12V8"));
        QCOMPARE(NominalVoltage[1], 3.3f);
        QCOMPARE(NominalVoltage[2], 5.0f);
        QCOMPARE(NominalVoltage[3], 5.0f);
        for (int k = 4; k <= 11; ++k)
            QCOMPARE(NominalVoltage[k], 12.0f);
        QCOMPARE(DeviationLegendLabels[7], QString(" 0"));
        QCOMPARE(DeviationLegendLabels[1], QString(">-5"));
        QCOMPARE(DeviationLegendLabels[13], QString(">+5"));
        QCOMPARE(NoiseLegendLabels[3], QString(" 50"));
        QCOMPARE(NoiseLegendLabels[4], QString(" 75"));
        QCOMPARE(NoiseLegendLabels[10], QString("225"));
        // No entry exists for CH12: indexing past the load channels is refused, not read.
        QVERIFY_THROWS_EXCEPTION(ERangeError, LoadChannelNames[12]);
        QVERIFY_THROWS_EXCEPTION(ERangeError, NominalVoltage[0]);
    }
};

TARVIK_TEST(DefinitionsTest)
#include "DefinitionsTest.moc"
