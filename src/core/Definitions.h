#pragma once
// The vocabulary every module shares: how the stand's channels are numbered and named,
// their nominal voltages, the legend labels of the two colour scales, the split frame,
// the serial settings and the table of the stand's error and warning codes.
//
// Channels: CH1 +3.3V, CH2 +5V, CH3 +5V standby, CH4..CH11 +12V1..+12V8, CH12 -12V.
// Channels 1..11 can be loaded. On the wire a channel travels as its number minus 1.

#include <QString>
#include <array>
#include <cstdint>

#include "core/IndexedArray.h"

constexpr int LoadChannelCount = 11;   // CH1..CH11
constexpr int MeasuredChannelCount = 12; // CH1..CH12

// Names of the load channels, as the transient-response selector and the graph titles show them.
extern const IndexedArray<QString, 1, LoadChannelCount> LoadChannelNames;

// Nominal output voltage of each load channel in volts: the reference of every deviation.
extern const IndexedArray<float, 1, LoadChannelCount> NominalVoltage;

// Labels under the thirteen boxes of the voltage-deviation legend.
extern const IndexedArray<QString, 1, 13> DeviationLegendLabels;

// Labels at the ten borders of the nine boxes of the noise legend, in millivolts.
extern const IndexedArray<QString, 1, 10> NoiseLegendLabels;

// One frame received from the stand, split into its name and fields.
constexpr int ParsedCommandMaxName = 30;
constexpr int ParsedCommandMaxParams = 100;
struct TParsedCommand {
    QString Command;                                  // at most 30 characters; empty = not a frame
    std::array<QString, ParsedCommandMaxParams> Params; // fields 0..99; missing ones are empty
};

// The serial-port settings kept in [Connection]. Only Port and Speed reach the port: the link
// always opens with 8 data bits, no parity, one stop bit.
struct TCOMSettings {
    uint8_t Port = 1;
    int32_t Speed = 115200;
    QString Parity = QStringLiteral("none");
    uint8_t DataBits = 8;
    QString StopBits = QStringLiteral("1");
    QString Hanshaking = QStringLiteral("none");
};

// One entry of the stand's error table; Code 0 marks an empty entry.
struct TDeviceError {
    uint8_t Code = 0;
    QString Identifier;
    QString Description;
};

constexpr int DeviceErrorTableSize = 71;

// The stand's codes as compiled in: code, identifier and description, three texts per row.
extern const std::array<const char*, 66> DeviceErrorSource;

// Indexed directly by code 1..71; filled once by BuildDeviceErrorTable at the end of start-up.
inline IndexedArray<TDeviceError, 1, DeviceErrorTableSize> DeviceErrorTable{};

void BuildDeviceErrorTable();

// The two texts the status display shows for a code other than 0; never empty.
TDeviceError LookupDeviceError(uint8_t code);

// Empties DeviceErrorTable, as it is before start-up has built it.
void ResetDeviceErrorTable();
