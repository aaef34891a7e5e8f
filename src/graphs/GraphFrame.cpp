#include "graphs/GraphFrame.h"

#include <QCoreApplication>
#include <QFrame>
#include <QImage>
#include <QLineEdit>
#include <algorithm>

#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "core/Definitions.h"
#include "core/ProgramState.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphImage.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {
constexpr int AxisTopY = 60;  // the top end of the vertical axis
constexpr uint32_t Black = 0;
} // namespace

// --- arithmetic ---------------------------------------------------------------------------

TGraphGeometry PlotGeometry(int rows, int left)
{
    return TGraphGeometry{rows * DotHeightPx() + PlotTop, PlotColumns * DotWidthPx() + left};
}

QSize GraphWindowSize(int plotRight, int axisY, int rightPanelWidth, int bottomPanelHeight)
{
    int w = plotRight + 100 + rightPanelWidth;
    if (w < DesignWidth)
        w = DesignWidth;
    int h = axisY + 110 + bottomPanelHeight + ChromeHeight;
    if (h < DesignHeight)
        h = DesignHeight;
    // The window cannot grow further; a larger plot is cut off at the image's edge.
    return QSize(std::min(w, TMForm::MaxWindowSize), std::min(h, TMForm::MaxWindowSize));
}

QPoint CellOrigin(int left, int axisY, int dotWidth, int dotHeight, int row, int column)
{
    return QPoint(left + (column - 1) * dotWidth + 1, axisY - row * dotHeight);
}

std::array<QPoint, 5> RhombusPoints(int x, int y, int width, int height)
{
    const int h = RoundHalfEven(width / 2.0);
    const int v = RoundHalfEven(height / 2.0);
    return {QPoint(x + h, y), QPoint(x + width, y + v), QPoint(x + h, y + height), QPoint(x, y + v),
            QPoint(x + h, y)};
}

int LoadMapPowerLabel(int p1, int i) { return RoundRatioHalfEven(int64_t(p1) * i * 10, 60); }

TTwelveVoltLabel TwelveVoltLabel(int p2, int i)
{
    const uint16_t w = static_cast<uint16_t>(RoundRatioHalfEven(int64_t(p2) * i * 20, 200));
    const int a = w / 12;
    return TTwelveVoltLabel{a, a * 12};
}

int SweepPowerLabel(int maxPower, int i) { return RoundRatioHalfEven(int64_t(maxPower) * i * 20, 200); }

TAxisLabels LoadMapLabels(int p1, int p2)
{
    TAxisLabels labels;
    for (int i = 1; i <= MapRows / 10; ++i)
        labels.Vertical << QString::number(LoadMapPowerLabel(p1, i));
    for (int i = 1; i <= 10; ++i) {
        const TTwelveVoltLabel label = TwelveVoltLabel(p2, i);
        labels.Row1 << QString::number(label.Amperes);
        labels.Row2 << QString::number(label.Watts);
    }
    return labels;
}

namespace {
void AddLoadPercentRows(TAxisLabels& labels, int maxPower)
{
    for (int i = 1; i <= 10; ++i) {
        labels.Row1 << QString::number(i * 10);
        labels.Row2 << QString::number(SweepPowerLabel(maxPower, i));
    }
}
} // namespace

TAxisLabels EfficiencyLabels(int p3)
{
    TAxisLabels labels;
    for (int i = 1; i <= 10; ++i)
        labels.Vertical << FormatFixed(i * 0.1, 7, 2);
    AddLoadPercentRows(labels, p3);
    return labels;
}

TAxisLabels FanLabels(int p3)
{
    TAxisLabels labels;
    for (int i = 1; i <= 10; ++i) {
        labels.Vertical << QString::number(i * 600);
        labels.Vertical2 << FormatFixed(i * 10, 7, 1);
    }
    AddLoadPercentRows(labels, p3);
    return labels;
}

TAxisLabels StandbyLabels(int p7)
{
    TAxisLabels labels;
    for (int i = 1; i <= 10; ++i) {
        labels.Vertical << FormatFixed(4.5 + i * 0.1, 7, 2);
        const uint16_t w = static_cast<uint16_t>(SweepPowerLabel(p7, i));
        labels.Row1 << FormatFixed(w / 5.0, 7, 2);
        labels.Row2 << QString::number(w);
    }
    return labels;
}

int CurveY(int axisY, double top, double value)
{
    // A corrupt temperature (from a bad frame or data file) must not overflow the arithmetic;
    // the point is simply drawn far outside the image.
    const int64_t y = int64_t(axisY) - RoundHalfEven((axisY - PlotTop) / top * value);
    return static_cast<int>(std::clamp<int64_t>(y, -1000000, 1000000));
}

QString TitleLine1()
{
    const TDutDescription& dut = AppSettings.DutDescription;
    return dut.Vendor + u' ' + QString::number(dut.Power) + u'W';
}

QString TitleLine2()
{
    const TDutDescription& dut = AppSettings.DutDescription;
    return dut.Model + u' ' + dut.Code;
}

// --- window and canvas --------------------------------------------------------------------

void FitWindowToGraph(int plotRight, int axisY, int imageNumber)
{
    TMForm& form = *MForm;
    const QSize size = GraphWindowSize(plotRight, axisY, form.RPanel->width(), form.BPanel->height());
    if (size.height() != form.height() || size.width() != form.width()) {
        form.ResizeWindow(size.width(), size.height());
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    GraphImages[imageNumber]->setGeometry(0, 0, size.width() - form.RPanel->width() - 4,
                                          size.height() - form.BPanel->height() - ChromeHeight - 4);
    if (GraphSizingWaitMs > 0)
        WaitProcessingEvents(GraphSizingWaitMs);
    QCoreApplication::processEvents();
}

QImage& SizeBitmap(GraphImage& image)
{
    if (image.Bitmap.isNull() || image.Bitmap.size() != image.size()) {
        // A new bitmap holds whatever the memory held; the window may show it before the
        // painter gets to it, so it starts in the background colour.
        image.Bitmap = QImage(image.size(), QImage::Format_RGB32);
        image.Bitmap.fill(ColorOf(GraphColor(BackgroundColor)));
    }
    return image.Bitmap;
}

QImage& PrepareBitmap(GraphImage& image)
{
    QImage& bitmap = SizeBitmap(image);
    if (MForm)
        MForm->repaint();
    return bitmap;
}

void PrepareCanvas(TCanvas& canvas, bool curveGraph)
{
    canvas.SetFont(8, false);
    if (curveGraph)
        canvas.SetPenWidth(1);
    canvas.SetPenColor(GraphColor(BackgroundColor));
    canvas.SetBrushColor(GraphColor(BackgroundColor));
    canvas.Rectangle(0, 0, MForm->width(), MForm->height());
    canvas.SetPenColor(Black);
}

// --- drawing ------------------------------------------------------------------------------

uint32_t GraphColor(int n) { return AppSettings.Color[n]; }

void DrawText(TCanvas& canvas, int x, int y, const QString& text, int points, bool bold)
{
    canvas.SetFont(points, bold);
    canvas.SetBrushColor(GraphColor(BackgroundColor));
    canvas.TextOut(x, y, text);
}

void DrawAxisFrame(TCanvas& canvas, int left, int rows, const TGraphGeometry& geometry)
{
    const int axisY = geometry.AxisY;
    const int end = geometry.PlotRight + 20;
    const int dw = DotWidthPx();
    const int dh = DotHeightPx();
    canvas.SetPenColor(Black);

    canvas.Line(left, axisY, left, AxisTopY);
    canvas.Line(left, AxisTopY, left - 2, AxisTopY + 5);
    canvas.Line(left, AxisTopY, left + 2, AxisTopY + 5);
    for (int i = 1; i <= rows; ++i) {
        const int y = axisY - i * dh;
        canvas.Line(left - (i % 10 == 0 ? 6 : 3), y, left, y);
    }

    canvas.Line(left, axisY, end, axisY);
    canvas.Line(end, axisY, end - 5, axisY - 2);
    canvas.Line(end, axisY, end - 5, axisY + 2);
    for (int i = 1; i <= PlotColumns; ++i) {
        const int x = left + i * dw;
        canvas.Line(x, axisY, x, axisY + (i % 20 == 0 ? 6 : 3));
    }

    DrawText(canvas, left - 5, axisY + 5, QStringLiteral("0"), 8, false);
}

void DrawScaleLabels(TCanvas& canvas, int left, int verticalX, int axisY, const TAxisLabels& labels)
{
    for (int i = 1; i <= labels.Vertical.size(); ++i)
        DrawText(canvas, verticalX, VerticalLabelY(axisY, i), labels.Vertical[i - 1], 8, false);
    for (int i = 1; i <= labels.Row1.size(); ++i) {
        const int x = HorizontalLabelX(left, i);
        DrawText(canvas, x, HorizontalLabelRow1(axisY), labels.Row1[i - 1], 8, false);
        DrawText(canvas, x, HorizontalLabelRow2(axisY), labels.Row2[i - 1], 8, false);
    }
}

int VerticalLabelY(int axisY, int i) { return axisY - 10 * i * DotHeightPx() - 5; }
int VerticalUnitY(int axisY, int rows) { return axisY - rows * DotHeightPx() - 25; }
int HorizontalLabelX(int left, int i) { return left - 5 + 20 * i * DotWidthPx(); }
int HorizontalUnitX(int left) { return left + 25 + PlotColumns * DotWidthPx(); }

void DrawDot(TCanvas& canvas, int shape, int x, int y, int dotWidth, int dotHeight, uint32_t color)
{
    canvas.SetPenColor(color);
    canvas.SetBrushColor(color);
    switch (shape) {
    case 0:
        canvas.Rectangle(x, y, x + dotWidth, y + dotHeight);
        break;
    case 1:
        canvas.Ellipse(x, y, x + dotWidth, y + dotHeight);
        break;
    case 2: {
        const std::array<QPoint, 5> corners = RhombusPoints(x, y, dotWidth, dotHeight);
        canvas.Polygon(corners.data(), static_cast<int>(corners.size()));
        break;
    }
    default:
        break;  // no dots
    }
}

std::vector<TPixelRun> DotRuns(int shape, int dotWidth, int dotHeight)
{
    return ShapeRuns(dotWidth + 1, dotHeight + 1, [&](TCanvas& canvas) {
        DrawDot(canvas, shape, 0, 0, dotWidth, dotHeight, 0xFFFFFF);
    });
}

void DrawDeviationLegend(TCanvas& canvas, int plotRight)
{
    const int x0 = plotRight - 200;
    for (int k = 1; k <= 13; ++k) {
        canvas.SetPenColor(GraphColor(k));
        canvas.SetBrushColor(GraphColor(k));
        canvas.Rectangle(x0 + 15 * (k - 1), 20, x0 + 15 * k, 25);
    }
    canvas.SetPenColor(Black);
    for (int k = 1; k <= 13; ++k)
        DrawText(canvas, k == 1 ? plotRight - 205 : x0 + 15 * (k - 1) + 2, 30, DeviationLegendLabels[k], 7, false);
    DrawText(canvas, plotRight + 5, 20, QStringLiteral("%"), 10, true);
}

void DrawNoiseLegend(TCanvas& canvas, int plotRight)
{
    const int x0 = plotRight - 200;
    for (int k = 1; k <= 9; ++k) {
        canvas.SetPenColor(GraphColor(19 + k));
        canvas.SetBrushColor(GraphColor(19 + k));
        canvas.Rectangle(x0 + 25 * (k - 1), 20, x0 + 25 * k, 25);
    }
    canvas.SetPenColor(Black);
    for (int k = 1; k <= 10; ++k)
        DrawText(canvas, k == 1 ? x0 : x0 + 25 * (k - 1) - 6, 30, NoiseLegendLabels[k], 7, false);
    DrawText(canvas, plotRight + 30, 13, QStringLiteral("mV"), 10, true);
}

void DrawTitleLines(TCanvas& canvas, int t)
{
    canvas.SetPenColor(Black);
    DrawText(canvas, t, 20, TitleLine1(), 10, true);
    DrawText(canvas, t, 40, TitleLine2(), 10, true);
}

// --- the load maps ------------------------------------------------------------------------

namespace {
int ReadPower(const QLineEdit* edit)
{
    const QString text = edit->text();
    return text.isEmpty() ? 0 : StrToInt(text);
}
} // namespace

TLoadMapPowers ReadLoadMapPowers()
{
    const int p1 = ReadPower(MForm->ATEdit[1]);
    const int p2 = ReadPower(MForm->ATEdit[2]);
    return TLoadMapPowers{p1, p2};
}

void DrawLoadMapFrame(TCanvas& canvas, const TGraphGeometry& geometry, const TLoadMapPowers& powers)
{
    const int left = DefaultLeft;
    const int axisY = geometry.AxisY;
    DrawAxisFrame(canvas, left, MapRows, geometry);
    DrawScaleLabels(canvas, left, left - 30, axisY, LoadMapLabels(powers.P1, powers.P2));
    DrawText(canvas, left - 20, VerticalUnitY(axisY, MapRows), QStringLiteral("W"), 8, false);
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow1(axisY), QStringLiteral("A"), 8, false);
    DrawText(canvas, HorizontalUnitX(left), HorizontalLabelRow2(axisY), QStringLiteral("W"), 8, false);
}

void DrawMapTitle(TCanvas& canvas, const TGraphGeometry& geometry, const QString& caption)
{
    constexpr int t = 80;
    DrawTitleLines(canvas, t);
    DrawText(canvas, t + canvas.TextWidth(TitleLine2()) + 50, 40, caption, 10, true);
    DrawText(canvas, 10, 20, QStringLiteral("+3.3V"), 8, true);
    DrawText(canvas, 10, 40, QStringLiteral("& +5V"), 8, true);
    DrawText(canvas, PlotColumns * DotWidthPx() + 50, geometry.AxisY + 40, QStringLiteral("+12V"), 8, true);
    canvas.SetFont(8, false);
}
