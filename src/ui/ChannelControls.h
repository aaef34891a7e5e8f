#pragma once
// Tables of the main window's per-channel controls, so the display code can address a label
// by channel number: entry n of each table is the control whose name is the pattern with n
// written in decimal ("C4Sensor" is CurrentLabelTable[4]). Built once at start-up.

#include "core/IndexedArray.h"

class GraphImage;
class TAutoSizeLabel;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

// The manual-loading page, load channels 1..11.
inline IndexedArray<QLineEdit*, 1, 11> LoadEditTable{};         // "PSUC" n "Edit"
inline IndexedArray<QSlider*, 1, 11> LoadBarTable{};            // "PSUC" n "Bar"
inline IndexedArray<QLabel*, 1, 11> CurrentLabelTable{};        // "C" n "Sensor"
inline IndexedArray<QLabel*, 1, 11> VoltageLabelTable{};        // "V" n "Sensor"
inline IndexedArray<QLabel*, 1, 11> PowerLabelTable{};          // "P" n "Sensor"
inline IndexedArray<QLabel*, 1, 11> EstPowerLabelTable{};       // "EstPower" n
inline IndexedArray<QLabel*, 1, 11> NoiseLevelLabelTable{};     // "NL" n "Sensor"
inline IndexedArray<QLabel*, 1, 11> NoiseFreqLabelTable{};      // "NF" n "Sensor"
inline IndexedArray<QLabel*, 1, 11> PassLabelTable{};           // "CP" n "Status"

// The front panel, channels 1..12.
inline IndexedArray<QLabel*, 1, 12> FrontVoltageLabelTable{};     // "FPV" n "Sensor"
inline IndexedArray<QLabel*, 1, 12> FrontCurrentLabelTable{};     // "FPC" n "Sensor"
inline IndexedArray<QLabel*, 1, 12> FrontNoiseLevelLabelTable{};  // "FPNL" n "Sensor"
inline IndexedArray<QLabel*, 1, 12> FrontNoiseFreqLabelTable{};   // "FPNF" n "Sensor"
inline IndexedArray<TAutoSizeLabel*, 1, 12> FrontDeviationLabelTable{};  // "FPVD" n "Sensor"
inline IndexedArray<QLabel*, 1, 12> FrontPassLabelTable{};        // "FPCP" n "Status"

// The 26 graph images, "Image" n; the number selects the graph.
inline IndexedArray<GraphImage*, 1, 26> GraphImages{};

// The temperature labels, "T" n "Sensor".
inline IndexedArray<QLabel*, 1, 4> TemperatureLabelTable{};

// Fills every table from the controls of `window`, sets the tags, empties the deviation and
// verdict labels of the front panel (moving each deviation label to x = 65), hides the -12V
// panel's labels other than its voltage, and fills the transient-response channel selector.
void BuildChannelControls(QWidget& window);

// Empties every table (the window they pointed into is gone).
void ResetChannelControls();
