#pragma once
// The program-wide live state: the latest readings of the stand, the link and test flags,
// the receive buffer and the facts about the program file. Everything runs on the one
// user-interface thread, so nothing here is locked.

#include <QString>
#include <cstdint>

#include "core/Definitions.h"

// The latest live readings; written only while a received frame is dispatched.
struct TChannelReadings {
    IndexedArray<float, 1, LoadChannelCount> Voltage{};            // V, "VC"
    IndexedArray<float, 1, LoadChannelCount> Current{};            // A, "VC"
    IndexedArray<uint16_t, 1, LoadChannelCount> NoiseLevel{};      // mV, "VC"
    IndexedArray<uint16_t, 1, LoadChannelCount> NoiseFrequency{};  // kHz, "VC"
    float VoltageMinus12 = 0;      // V, magnitude of CH12, "VC" index 11
    float VoltageStandbyAux = 0;   // V, the separate +5V standby reading, "VC" index 12
    IndexedArray<float, 1, 4> Temperature{};  // degrees C, "MT"
    IndexedArray<uint16_t, 1, 2> FanSpeed{};  // RPM, "FAN"
    uint16_t PwrOkOnTime = 0;   // ms, "TN"
    bool PwrOkOnReported = false;  // a "TN" has come since start-up
    uint16_t PwrOkOffTime = 0;  // ms, "TF"
    // The AC meter's values as the stand sent them ("MVC"); converted where they are used.
    QString AcVoltageText;
    QString AcCurrentText;
    QString AcFrequencyText;
    QString AcPowerText;
};

inline TChannelReadings ChannelReadings;

// Link and test state.
inline bool Connected = false;         // the user has connected
inline bool StandIdentified = false;   // the stand has answered the greeting with "REP"
inline bool CrossLoadRunning = false;  // between "AT" and "ATE": polling pauses
inline uint32_t PsuOnSeconds = 0;      // seconds since the DUT reported PWR_OK within limits
inline QString ReceiveBuffer;          // received characters not yet part of a complete frame

// The program file: its directory (with a trailing "/"; every file the program opens without
// a dialog lies under it) and its four-part version ("1.2.0.15").
inline QString AppDir;
inline QString VersionString;

// The main window's designed size, and the part of the height that is not the page control:
// the graph pages grow the window from these and return to them.
inline int DesignWidth = 0;
inline int DesignHeight = 0;
inline int ChromeHeight = 0;

// "a.b.c.d" from a version text; missing or unreadable parts are 0, each part keeps 16 bits.
QString BuildVersionString(const QString& version);
// The version compiled into this program, or "0.0.0.0" when the build carries none.
QString ProgramVersionString();

// The program's directory with a trailing "/", or the directory a test has put in its place.
QString ProgramDirectory();
// Test seam: makes ProgramDirectory() answer `dir` (empty returns to the real one).
void SetAppDirForTests(const QString& dir);

// Returns the state of this module to its start values. The test seam of the program
// directory is kept: a test sets it once before it starts the program.
void ResetCoreState();

// Waits `ms` milliseconds on the monotonic clock while the event loop keeps running: the window
// stays live and frames keep arriving, and no processor core spins. The wait ends at the first
// check after `ms` have passed; pending events are processed at least once.
void WaitProcessingEvents(int ms);
