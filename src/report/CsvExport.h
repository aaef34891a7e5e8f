#pragma once
// The results as CSV files, one per result kind that holds data: a header row, one row per
// point or step the stand sent (a point with no measurement in any channel has no row), "."
// as the decimal separator, UTF-8, CR LF line ends. Numbers are written with the digits that
// read back as the same single-precision value; a value that is not a finite number (a
// damaged result file) is an empty field.

#include <QString>
#include <QStringList>

#include "autotests/ResultStore.h"

// The text of each file; empty when the kind holds no data.
QString CrossLoadCsv(const TResultStore& store);   // row, column, then V, A, deviation % per rail
QString NoiseCsv(const TResultStore& store);       // row, column, then mV per rail
QString EfficiencyCsv(const TResultStore& store);  // step, power factor, efficiency %, temperature, fans
QString StandbyCsv(const TResultStore& store);     // step, voltage, current

// The file names in a folder: crossload.csv, noise.csv, efficiency.csv, standby.csv.
struct TCsvFile {
    const char* Name;
    QString (*Text)(const TResultStore&);
};
extern const TCsvFile CsvFiles[4];

// Writes every file that has data into `folder` (each replaced whole, or left as it was when
// writing fails) and returns the names written. Fails with the file's name and the reason.
QStringList WriteCsvFiles(const QString& folder, const TResultStore& store);

// "File / Export CSV...": asks for a folder and writes the files there, then says which.
void ExportCsvClick();
