#include "core/Definitions.h"

#include "core/Conversions.h"

const IndexedArray<QString, 1, LoadChannelCount> LoadChannelNames = {{
    QStringLiteral("+3.3V"), QStringLiteral("+5V"), QStringLiteral("+5Vstb"),
    QStringLiteral("+12V1"), QStringLiteral("+12V2"), QStringLiteral("+12V3"),
    QStringLiteral("+12V4"), QStringLiteral("+12V5"), QStringLiteral("+12V6"),
    QStringLiteral("+12V7"), QStringLiteral("+12V8"),
}};

const IndexedArray<float, 1, LoadChannelCount> NominalVoltage = {{
    3.3f, 5.0f, 5.0f, 12.0f, 12.0f, 12.0f, 12.0f, 12.0f, 12.0f, 12.0f, 12.0f,
}};

const IndexedArray<QString, 1, 13> DeviationLegendLabels = {{
    QStringLiteral(">-5"), QStringLiteral("-5"), QStringLiteral("-4"), QStringLiteral("-3"),
    QStringLiteral("-2"), QStringLiteral("-1"), QStringLiteral(" 0"), QStringLiteral("+1"),
    QStringLiteral("+2"), QStringLiteral("+3"), QStringLiteral("+4"), QStringLiteral("+5"),
    QStringLiteral(">+5"),
}};

const IndexedArray<QString, 1, 10> NoiseLegendLabels = {{
    QStringLiteral("0"), QStringLiteral("25"), QStringLiteral(" 50"), QStringLiteral(" 75"),
    QStringLiteral("100"), QStringLiteral("125"), QStringLiteral("150"), QStringLiteral("175"),
    QStringLiteral("200"), QStringLiteral("225"),
}};

// clang-format off
const std::array<const char*, 66> DeviceErrorSource = {
    "10", "ERR_MAXPWR_LO_OVR",      "Overload on +3.3V or +5V channels",
    "11", "ERR_MAXPWR_HI_OVR",      "Overload on +12V channel",
    "12", "ERR_MAXPWR_OVR",         "Overall power limit reached",
    "13", "ERR_CHANNELS_OVR",       "Channel voltage limit reached",
    "14", "ERR_LV_RATIO",           "+3.3V / +5V ratio incorrect",
    "15", "ERR_MAXPWR_STBY",        "+5Vstandby overload detected",
    "16", "ERR_WRONG_HILOADING",    "Incorrect +12V load distrubution",
    "30", "ERR_OTP",                "Overheat detected",
    "31", "ERR_OVP",                "Overvoltage detected",
    "32", "ERR_OCP",                "Overcurrent detected",
    "50", "WARN_DUT_POWEROFF",      "DUT PSU powered off",
    "51", "WARN_DUT_PGOOD_ONLONG",  "Power_good fail, >500ms",
    "52", "WARN_DUT_PGOOD_OFFLONG", "Power_good fail, <500ms",
    "53", "WARN_DUT_STB_FAIL",      "Standby rail fail",
    "54", "WARN_DUT_SHUTDOWN",      "PSU protection trigger, shutdown",
    "55", "WARN_DUT_PSON_FAILED",   "PSU cannot turn-on, PSON fail",
    "60", "WARN_KNX_ABORT",         "CL-test failed",
    "61", "WARN_NOISE_ABORT",       "Noise-test failed",
    "62", "WARN_EFF_ABORT",         "Efficiency-test failed",
    "63", "WARN_PF_ABORT",          "PF-test failed",
    "70", "AC_ERROR_DETECTED",      "AC unit not available",
    "71", "AC_ERROR_PROTECTION",    "AC unit triggered protection",
};
// clang-format on

void ResetDeviceErrorTable()
{
    for (TDeviceError& entry : DeviceErrorTable)
        entry = TDeviceError{};
}

void BuildDeviceErrorTable()
{
    for (size_t row = 0; row + 2 < DeviceErrorSource.size(); row += 3) {
        const uint8_t code = static_cast<uint8_t>(StrToInt(QString::fromLatin1(DeviceErrorSource[row])));
        // A code outside the table would have nowhere to go; the compiled list has none.
        if (!DeviceErrorTable.Contains(code))
            continue;
        TDeviceError& entry = DeviceErrorTable[code];
        entry.Code = code;
        entry.Identifier = QString::fromLatin1(DeviceErrorSource[row + 1]);
        entry.Description = QString::fromLatin1(DeviceErrorSource[row + 2]);
    }
}

TDeviceError LookupDeviceError(uint8_t code)
{
    TDeviceError entry;
    if (DeviceErrorTable.Contains(code))
        entry = DeviceErrorTable[code];
    if (entry.Code == 0) {
        entry.Identifier = QStringLiteral("ERR_UNKNOWN_") + QString::number(code);
        entry.Description = QStringLiteral("UNKNOWN ERROR #") + QString::number(code);
    }
    return entry;
}
