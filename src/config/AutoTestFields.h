#pragma once
// The auto-testing parameters between settings.ini's [ATS] section and the front panel's
// fields ATEdit1..ATEdit7.

#include <array>

#include <QString>

// Reads [ATS] into the record and shows the seven values in ATEdit1..ATEdit7.
void ReadAutoTestParams();

// Takes every non-empty field into the record (a non-number stops here with the standard
// conversion message, before anything is written), then writes [ATS].
void WriteAutoTestParams();

// The texts of ATEdit1..ATEdit7 as they stand.
std::array<QString, 7> AutoTestFieldTexts();
