#pragma once
// The test report: a PDF of a few pages with the DUT description, the date, the stand's
// identification, the verdict table and the painted graphs (the same bitmaps "Save Image"
// writes), made with Qt's own PDF writer.

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

#include "config/AppSettings.h"
#include "report/Verdicts.h"

struct TReportGraph {
    QString Caption;
    QImage Bitmap;
};

struct TReportContent {
    TDutDescription Dut;
    QDateTime Date;
    QString Stand;  // the stand's identification; empty when no stand is connected
    TReportVerdicts Verdicts;
    QString MainsNote;  // which 80 PLUS table was used and why
    QList<TReportGraph> Graphs;
};

// Paints the graphs of every result kind that holds data on the main window's images, the
// way their pages show them, and returns their bitmaps; the page on show is restored after.
QList<TReportGraph> PaintReportGraphs();

// What the report says for the store, the DUT description and what the stand last reported
// (the PWR_OK delay, the mains voltage, its identification; none of them when `live` is false).
TReportContent CollectReport(bool live);

// Writes the report; false when the file could not be written.
bool WriteReportPdf(const QString& path, const TReportContent& content);

// The name a chosen path is saved under: ".pdf" appended unless the name contains it.
QString ReportFileName(const QString& chosen);

// "File / Export report...": asks for a file and writes the report of the results in memory.
void ExportReportClick();
