#include "config/Calibration.h"

#include "core/ProgramState.h"
#include "link/CommandSet.h"
#include "link/Connection.h"

namespace {
using S = TCalibrationSource;
constexpr int RequestGapMs = 50;
} // namespace

const std::array<TCalibrationRegister, 28> CalibrationUploadOrder = {{
    {0, S::MValue, 1},   {1, S::MValue, 2},   {2, S::MValue, 3},   {3, S::MValue, 4},
    {4, S::MValue, 5},   {5, S::MValue, 6},   {6, S::MValue, 7},   {7, S::MValue, 8},
    {8, S::MValue, 9},   {9, S::MValue, 10},  {10, S::MValue, 11},
    {11, S::CValue, 1},  {12, S::CValue, 2},  {13, S::CValue, 3},  {14, S::CValue, 4},
    {15, S::CValue, 5},  {16, S::CValue, 6},  {17, S::CValue, 7},  {18, S::CValue, 8},
    {19, S::CValue, 9},  {20, S::CValue, 10}, {21, S::CValue, 11},
    {22, S::MTValue, 1}, {23, S::MTValue, 2}, {24, S::MTValue, 3},
    {MT4Register, S::MTValue, 4},
    {25, S::MDAC, 0},
    {26, S::AREF, 0},
}};

float CalibrationValue(const TCalibrationSet& set, const TCalibrationRegister& reg)
{
    switch (reg.Source) {
    case S::MValue: return set.MValue[reg.Index];
    case S::CValue: return set.CValue[reg.Index];
    case S::MTValue: return set.MTValue[reg.Index];
    case S::MDAC: return static_cast<float>(set.MDAC);  // register 25 sends it as a whole number
    case S::AREF: return set.AREF;
    }
    return 0;
}

void UploadCalibration()
{
    for (const TCalibrationRegister& reg : CalibrationUploadOrder) {
        // Read at each request: a second upload started during a wait may have changed them.
        SendCommand(CalibrationRegisterFrame(reg.Register, CalibrationValue(AppSettings.CalibrationSet, reg)));
        WaitProcessingEvents(RequestGapMs);
    }
}

void SendLoadRatio() { SendCommand(LoadRatioFrame(AppSettings.LVRatio)); }
