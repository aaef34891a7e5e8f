#pragma once
// Sending configuration values to the stand: the calibration constants into the stand's
// registers (one "STR" request each) and the LV load ratio ("SLC").

#include <array>

#include "config/AppSettings.h"

// Where a register's value comes from in the calibration set.
enum class TCalibrationSource { MValue, CValue, MTValue, MDAC, AREF };

struct TCalibrationRegister {
    int Register;  // sent as two decimal digits
    TCalibrationSource Source;
    int Index;     // channel or sensor number of MValue, CValue, MTValue; 0 otherwise
};

// The stand keeps MTValue [4] in register 27, the first number after the ones the other
// constants use (00..26). It is sent after MTValue [3] in register 24, before MDAC.
constexpr int MT4Register = 27;

// The upload, request by request, in the order it is sent.
extern const std::array<TCalibrationRegister, 28> CalibrationUploadOrder;

// The value a register is loaded with.
float CalibrationValue(const TCalibrationSet& set, const TCalibrationRegister& reg);

// Sends the 28 requests of CalibrationUploadOrder with the constants of AppSettings, each
// followed by a 50 ms wait that keeps the event loop running (frames from the stand are
// dispatched meanwhile). Reads no answer. A port failure stops the upload at that request; the
// requests sent before it stay in effect in the stand.
void UploadCalibration();

// Sends the LV load ratio in hundredths: 0.8 gives "!SLC;080;#". Awaits nothing.
void SendLoadRatio();
