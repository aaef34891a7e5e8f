#pragma once
// The configuration of the program, as one record in memory. settings.ini beside the program
// holds it (SettingsFile.h); the settings dialog edits it; the other modules read its fields
// directly. Colours are 0x00BBGGRR values: red in the lowest byte.

#include <QString>
#include <cstdint>

#include "core/Definitions.h"

using TColor = uint32_t;

// Stand calibration constants, uploaded to the stand's registers.
struct TCalibrationSet {
    IndexedArray<float, 1, LoadChannelCount> MValue{};  // "M3V3" ... "M12V8"
    IndexedArray<float, 1, LoadChannelCount> CValue{};  // "C3V3" ... "C12V8"
    IndexedArray<float, 1, 4> MTValue{};                // "MT1" ... "MT4"
    float AREF = 0;
    int32_t FADC = 0;
    int32_t FCPU = 0;
    int32_t FMCK = 0;
    uint8_t MDAC = 0;  // 0 or 1
};

// PASS/FAIL limits of one load channel; each limit itself passes.
struct TChannelThreshold {
    float Vmin = 0;   // V
    float Vmax = 0;   // V
    float Imax = 0;   // A
    uint16_t Nmax = 0; // mV
};

// The auto-testing fields of the front panel (ATEdit1..ATEdit7, in this order).
struct TAutoTestParams {
    uint16_t l_max_power = 0;  // W, +3.3V and +5V together
    uint16_t h_max_power = 0;  // W, the +12V rails
    uint16_t t_max_power = 0;  // W, total
    uint16_t rails_12V = 0;    // number of +12V rails
    uint16_t psu_type = 0;
    uint16_t steps = 0;
    uint16_t power_5vstb = 0;  // W, +5Vstb
};

// Transient-response settings of one load channel.
struct TTransientParam {
    uint8_t current = 0;    // A
    uint16_t interval = 0;  // ms
    bool enabled = false;
};

// The power supply under test. Texts hold at most DutTextLength characters.
constexpr int DutTextLength = 30;
struct TDutDescription {
    QString Vendor;
    QString Model;
    QString Code;
    QString SN;
    uint16_t Power = 0;  // W
    // Never interpreted: kept only so that a result file saved after loading one carries back
    // whatever the loaded file held in these bytes.
    uint8_t Reserved[6] = {};
    IndexedArray<uint16_t, 1, LoadChannelCount> MaxCurrent{};  // A
};

struct TAppSettings {
    // [General]
    bool WriteLog = false;
    float LVRatio = 0;       // +5V load to +3.3V load
    uint16_t GVTimeout = 0;  // ms between polls
    IndexedArray<TColor, 1, 3> GUIColor{};  // channel groups of the manual-loading page
    bool DebugMode = false;      // "Debug" = 52917
    bool EfcPfcTest = false;     // "EFC_PFC_Test" = 1
    bool ExtendedAdc = false;    // "Extended_ADC" = 12 or 24
    bool ExtendedAdc24 = false;  // "Extended_ADC" = 24

    // [Connection]
    TCOMSettings COMSettings;

    // [Stand]
    TCalibrationSet CalibrationSet;

    // [Graph]
    uint8_t DotShape = 0;  // 0 rectangle, 1 circle, 2 rhombus
    uint8_t DotWidth = 0;
    uint8_t DotHeight = 0;
    IndexedArray<TColor, 1, 28> Color{};

    // [Tresholds]
    IndexedArray<TChannelThreshold, 1, LoadChannelCount> ChannelThresholds{};

    // [ATS]
    TAutoTestParams AutoTestParams;

    // [TR]
    IndexedArray<TTransientParam, 1, LoadChannelCount> TransientParams{};

    // [PSU]
    TDutDescription DutDescription;
};

inline TAppSettings AppSettings;

// The record as it is before anything has been read: every field zero or empty.
void ResetAppSettings();
