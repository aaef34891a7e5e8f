#pragma once
// The result data file (.dat): the whole result store plus the DUT description, block after
// block in a fixed order, little-endian, no header (1323754 bytes):
//
//   0        11 x 96000  the cross-load grid, channel after channel
//   1056000  11 x 24000  the noise grid, channel after channel
//   1320000  400         the efficiency run's power factors and efficiencies
//   1320400  1600        the efficiency run's temperatures and fan speeds
//   1322000  154         the DUT description
//   1322154  1600        the +5Vstb run (not aligned to 4 bytes)

#include <QByteArray>
#include <QString>
#include <cstddef>

#include "autotests/ResultStore.h"
#include "config/AppSettings.h"

constexpr qint64 ResultFileSize = 1323754;
constexpr qint64 DutBlockOffset = 1322000;
constexpr qint64 StandbyBlockOffset = 1322154;
constexpr int DutBlockSize = 154;

static_assert(DutBlockOffset == offsetof(TResultStore, StandbyRun));
static_assert(StandbyBlockOffset + sizeof(ResultStore.StandbyRun) == ResultFileSize);

// The DUT description as its 154 bytes: four texts of a length byte and 30 Latin-1 characters,
// the rated power, six reserved bytes, eleven maximum currents.
QByteArray EncodeDutBlock(const TDutDescription& dut);
// The reverse. A length byte above 30 reads as 30: no text reaches past its field.
void DecodeDutBlock(const QByteArray& block, TDutDescription& dut);

// The name a chosen path is saved under: unchanged when it contains ".dat" anywhere
// (case-sensitive, folder names included), otherwise with ".dat" appended.
QString DataFileName(const QString& chosen);

// Writes the store and the DUT description to `path` through a temporary file in the same
// folder that replaces the target only when every block is written: a failed save leaves the
// previous file as it was and no partial file behind. False when anything failed.
bool WriteResultFile(const QString& path);

// Reads `path` block by block; each complete block replaces its part of the store (or the DUT
// description) at once, and the load bars follow a loaded DUT description before the +5Vstb
// block is read. Bytes beyond the layout are ignored. False when the file could not be opened
// or ended before the last block.
bool ReadResultFile(const QString& path);

// "Save Data": asks for a file, saves, and says how it went.
void SaveResultFile();
// "Load Data": asks for a file, loads, reports a failure, and paints the graph on show again
// (also after a failure).
void LoadResultFile();
