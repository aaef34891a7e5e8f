#pragma once
// What every painter shares: sizing the window and the image before a paint, preparing the
// canvas, the axis frame with its ticks and arrowheads, the grid cells and their dots, the two
// legends, the title block and the frame of the load maps. Positions are in bitmap pixels,
// y growing downwards; the top of every plot lies at y = 80.

#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

#include "graphs/GraphCanvas.h"
#include "graphs/GraphState.h"

class GraphImage;
class QImage;

constexpr int PlotTop = 80;       // y of the top of every plot
constexpr int MapRows = 60;       // grid rows of the load maps
constexpr int CurveRows = 100;    // grid rows of the curve graphs
constexpr int PlotColumns = 200;  // grid columns of every graph
constexpr int DefaultLeft = 60;   // x of the vertical axis, except on the fan graph
constexpr int FanLeft = 100;      // x of the vertical axis of the temperature / fan graph

// --- arithmetic ---------------------------------------------------------------------------

// The plot of a graph with `rows` grid rows and its vertical axis at x = left, for the
// current dot size.
TGraphGeometry PlotGeometry(int rows, int left);

// The window size a plot asks for: W = plotRight + 100 + the right-hand panel's width,
// H = axisY + 110 + the bottom panel's height + the window chrome, neither below the window's
// design size nor above what the window can take.
QSize GraphWindowSize(int plotRight, int axisY, int rightPanelWidth, int bottomPanelHeight);

// Top-left corner of grid cell (row, column), both from 1, row 1 lowest, column 1 leftmost.
QPoint CellOrigin(int left, int axisY, int dotWidth, int dotHeight, int row, int column);

// The rhombus in the box of a dot at (x, y): top, right, bottom and left corner and the top
// again; the half sizes are rounded with halves to even.
std::array<QPoint, 5> RhombusPoints(int x, int y, int width, int height);

// Vertical label i (1..6) of a load map: the +3.3V and +5V load in W for maximum power p1.
int LoadMapPowerLabel(int p1, int i);

// Horizontal label i (1..10) of a load map for maximum +12V power p2: whole amperes at 12 V
// (first row) and those amperes times 12 in W (second row).
struct TTwelveVoltLabel {
    int Amperes;
    int Watts;
};
TTwelveVoltLabel TwelveVoltLabel(int p2, int i);

// Horizontal label i (1..10) of a sweep of 200 steps up to `maxPower` W: the power of the
// i-th twentieth column, rounded with halves to even.
int SweepPowerLabel(int maxPower, int i);

// The texts of the scale labels of a graph: the vertical labels from the bottom (every 10th
// row; the fan graph has a second column in Vertical2) and the two rows of horizontal labels
// from the left (every 20th column).
struct TAxisLabels {
    QStringList Vertical;
    QStringList Vertical2;
    QStringList Row1;
    QStringList Row2;
};
// Load maps: +3.3V/+5V load in W for maximum power p1; A at 12 V and W for +12V maximum p2.
TAxisLabels LoadMapLabels(int p1, int p2);
// PFC / efficiency: 0.10 .. 1.00; load in % and in W of the total maximum power p3.
TAxisLabels EfficiencyLabels(int p3);
// Temperature / fans: RPM (Vertical) and degrees C (Vertical2); load in % and in W.
TAxisLabels FanLabels(int p3);
// +5Vstb: 4.60 .. 5.50 V; current at 5 V in A and power in W of the maximum p7.
TAxisLabels StandbyLabels(int p7);

// y of a value on a curve graph whose scale runs from 0 at the axis to `top` at y = 80.
int CurveY(int axisY, double top, double value);

// The two lines of the title block, from the description of the DUT.
QString TitleLine1();
QString TitleLine2();

// --- window and canvas --------------------------------------------------------------------

// Grows the main window as far as the plot needs (never below its design size), places image
// n at the top-left of its sub-page with the size of the page area, and lets the event loop
// run for GraphSizingWaitMs.
void FitWindowToGraph(int plotRight, int axisY, int imageNumber);

// Gives the bitmap of `image` the image's current size, creating it when there is none; a
// bitmap never keeps an older size. A new bitmap starts in the background colour.
QImage& SizeBitmap(GraphImage& image);
// SizeBitmap, then the main window repainted at once: the first step of every paint.
QImage& PrepareBitmap(GraphImage& image);

// The canvas set-up after the bitmap is sized: "Tahoma" 8 pt regular (the curve graphs also
// set the pen width to 1), the whole window's area filled with the background colour, then pen
// black and brush on the background colour for the text.
void PrepareCanvas(TCanvas& canvas, bool curveGraph);

// --- drawing ------------------------------------------------------------------------------

// Both axes with their arrowheads, a tick per grid row and column (longer every 10th row and
// every 20th column) and "0" at the origin.
void DrawAxisFrame(TCanvas& canvas, int left, int rows, const TGraphGeometry& geometry);

// Places of the scale labels: vertical label i (every 10th row), the vertical unit above the
// axis, horizontal label i (every 20th column) and the two horizontal units.
int VerticalLabelY(int axisY, int i);
int VerticalUnitY(int axisY, int rows);
int HorizontalLabelX(int left, int i);
int HorizontalUnitX(int left);
// The vertical labels of `labels` at x = verticalX and both rows of horizontal labels, 8 pt.
void DrawScaleLabels(TCanvas& canvas, int left, int verticalX, int axisY, const TAxisLabels& labels);
constexpr int HorizontalLabelRow1(int axisY) { return axisY + 5; }
constexpr int HorizontalLabelRow2(int axisY) { return axisY + 20; }

// One dot in the box of dotWidth x dotHeight pixels at (x, y), pen and brush in `color`:
// shape 0 a rectangle, 1 an inscribed ellipse, 2 a rhombus, anything else nothing.
void DrawDot(TCanvas& canvas, int shape, int x, int y, int dotWidth, int dotHeight, uint32_t color);

// Text opaque on the background colour in the given font.
void DrawText(TCanvas& canvas, int x, int y, const QString& text, int points, bool bold);

void DrawDeviationLegend(TCanvas& canvas, int plotRight);
void DrawNoiseLegend(TCanvas& canvas, int plotRight);

// The two title lines at (t, 20) and (t, 40), 10 pt bold; the font stays bold.
void DrawTitleLines(TCanvas& canvas, int t);

// --- the load maps ------------------------------------------------------------------------

// The maximum powers P1 ("MP, +3.3 and +5, W:") and P2 ("MP, +12, W:") of the front panel.
// An empty field counts as 0; text that is not a whole number throws EConvertError.
struct TLoadMapPowers {
    int P1;
    int P2;
};
TLoadMapPowers ReadLoadMapPowers();

// Axis frame with 60 rows, the scale labels and their units "W", "A" and "W".
void DrawLoadMapFrame(TCanvas& canvas, const TGraphGeometry& geometry, const TLoadMapPowers& powers);

// Every grid cell of a load map, row by row from the bottom, each in the colour number that
// `colorOf(row, column)` gives.
template <typename ColorOf>
void DrawMapCells(TCanvas& canvas, const TGraphGeometry& geometry, int shape, ColorOf&& colorOf);

// The map's title block with its caption 50 px right of the second line, then "+3.3V",
// "& +5V" and "+12V" in 8 pt bold; the font goes back to 8 pt regular.
void DrawMapTitle(TCanvas& canvas, const TGraphGeometry& geometry, const QString& caption);

// The colour value of colour number n (1..28) of the configuration.
uint32_t GraphColor(int n);

// The pixels of one dot of `shape` in a box of dotWidth x dotHeight at (0, 0), exactly as
// DrawDot sets them (the rhombus reaches one pixel past the box on the right and at the bottom).
std::vector<TPixelRun> DotRuns(int shape, int dotWidth, int dotHeight);

template <typename ColorOf>
void DrawMapCells(TCanvas& canvas, const TGraphGeometry& geometry, int shape, ColorOf&& colorOf)
{
    const int w = DotWidthPx();
    const int h = DotHeightPx();
    if (shape < 0 || shape > 2)
        return;  // no dots
    // The dot is drawn once and then repeated pixel for pixel, which is many times faster than
    // drawing 12,000 shapes.
    const std::vector<TPixelRun> runs = DotRuns(shape, w, h);
    for (int r = 1; r <= MapRows; ++r) {
        for (int c = 1; c <= PlotColumns; ++c) {
            const QPoint at = CellOrigin(DefaultLeft, geometry.AxisY, w, h, r, c);
            canvas.SetPenColor(GraphColor(colorOf(r, c)));
            canvas.FillRuns(runs, at.x(), at.y());
        }
    }
}
