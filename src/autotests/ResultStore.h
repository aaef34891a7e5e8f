#pragma once
// The results of the four stand-run tests, as one program-wide block of fixed size
// (1323600 bytes, allocated once). The stand's point frames write single elements; the
// graphs only read; the result file moves whole arrays. The byte layout of every array is
// the one of the result file: little-endian, float32 = IEEE single, no padding.

#include <QtGlobal>
#include <cstddef>
#include <cstdint>

#include "core/Definitions.h"

constexpr int GridRows = 60;       // steps of the combined +3.3V and +5V load
constexpr int GridColumns = 200;   // steps of the +12V load
constexpr int GridPoints = GridRows * GridColumns;  // point numbers 0..11999
constexpr int RunSteps = 200;      // steps 0..199 of the efficiency and +5Vstb sweeps

struct CrossLoadPoint {
    float voltage;  // V; exactly 0 = no measurement
    float current;  // A
};

struct EfficiencyPoint {
    uint8_t powerFactor;  // hundredths, 0..100; 0 = no measurement
    uint8_t efficiency;   // percent; 0 = no measurement
};

struct ThermalPoint {
    float temperature;   // degrees C
    uint16_t fan1Speed;  // RPM
    uint16_t fan2Speed;  // RPM
};

struct StandbyPoint {
    float voltage;  // V; 0 = no measurement
    float current;  // A
};

// One channel of a load map: rows 1..60 (row 1 lowest), columns 1..200 (column 1 leftmost).
template <typename T>
using LoadMapChannel = IndexedArray<IndexedArray<T, 1, GridColumns>, 1, GridRows>;

struct TEfficiencyRun {
    IndexedArray<EfficiencyPoint, 0, RunSteps - 1> ratios;
    IndexedArray<ThermalPoint, 0, RunSteps - 1> thermal;
};

struct TResultStore {
    IndexedArray<LoadMapChannel<CrossLoadPoint>, 1, LoadChannelCount> CrossLoadGrid;
    IndexedArray<LoadMapChannel<uint16_t>, 1, LoadChannelCount> NoiseGrid;  // mV; 0 = no measurement
    TEfficiencyRun EfficiencyRun;
    IndexedArray<StandbyPoint, 0, RunSteps - 1> StandbyRun;
};

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the result layout is little-endian");
static_assert(sizeof(CrossLoadPoint) == 8 && offsetof(CrossLoadPoint, current) == 4);
static_assert(sizeof(EfficiencyPoint) == 2 && offsetof(EfficiencyPoint, efficiency) == 1);
static_assert(sizeof(ThermalPoint) == 8 && offsetof(ThermalPoint, fan1Speed) == 4 &&
              offsetof(ThermalPoint, fan2Speed) == 6);
static_assert(sizeof(StandbyPoint) == 8 && offsetof(StandbyPoint, current) == 4);
static_assert(sizeof(LoadMapChannel<CrossLoadPoint>) == 96000);
static_assert(sizeof(LoadMapChannel<uint16_t>) == 24000);
static_assert(sizeof(TEfficiencyRun) == 2000 && offsetof(TEfficiencyRun, thermal) == 400);
static_assert(offsetof(TResultStore, CrossLoadGrid) == 0);
static_assert(offsetof(TResultStore, NoiseGrid) == 1056000);
static_assert(offsetof(TResultStore, EfficiencyRun) == 1320000);
static_assert(offsetof(TResultStore, StandbyRun) == 1322000);
static_assert(sizeof(TResultStore) == 1323600);

inline TResultStore ResultStore{};

// Row and column (both from 1) of the stand's point number l = (r - 1) * 200 + (c - 1).
constexpr int PointRow(int point) { return point / GridColumns + 1; }
constexpr int PointColumn(int point) { return point % GridColumns + 1; }
constexpr bool IsGridPoint(int point) { return point >= 0 && point < GridPoints; }
constexpr bool IsRunStep(int step) { return step >= 0 && step < RunSteps; }

// The element of channel k at point number l (0..11999).
CrossLoadPoint& CrossLoadAt(int channel, int point);
uint16_t& NoiseAt(int channel, int point);

// Every value of every array becomes 0.
void ClearResults();

// Demonstration values in the ranges of real results (see ResultStore.cpp).
void FillRandomResults();
