#pragma once
// Drawing onto a graph bitmap the way the graphs are laid out: a current pen (colour, width),
// brush and font, and a current position for lines, as on a Windows canvas.
//   - Rectangle and Ellipse take a box whose right and bottom edges lie outside the shape;
//     the outline is drawn with the pen, the inside filled with the brush.
//   - A line runs from the current position up to, not including, its end point (1 px pens);
//     wider pens have round ends, and a line of zero length leaves a dot of the pen's width.
//   - Text is placed by the top-left corner of its cell and drawn opaque: the cell is first
//     filled with the brush colour, the characters are black.
// Colours are 0x00BBGGRR values, red in the lowest byte.

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

// The colour of a 0x00BBGGRR value.
QColor ColorOf(uint32_t color);

// Pixel height of the characters of a font of `points` on the 96 dpi screen the graphs were
// laid out for (8 pt = 11 px, rounded half away from zero).
int FontPixelSize(int points);

// "Tahoma" at a size in points, regular or bold, sized in pixels so that the bitmap's own
// resolution plays no part.
QFont GraphFont(int points, bool bold);

class QWidget;

// One text drawn on a canvas: its cell's top-left corner, the text and the font.
struct TTextCall {
    int X;
    int Y;
    QString Text;
    int Points;
    bool Bold;
};
// Test seam: while set, every text drawn on any canvas is also appended here.
inline std::vector<TTextCall>* RecordedTextCalls = nullptr;

// The pixels of a shape as runs along its rows, relative to the shape's box.
struct TPixelRun {
    int Dy;
    int X;
    int Length;
};

class TCanvas {
public:
    // Draws on `bitmap` until destroyed; then `shownBy`, the control showing the bitmap, if
    // any, is asked to repaint, so whatever was drawn appears even when drawing stopped early.
    explicit TCanvas(QImage& bitmap, QWidget* shownBy = nullptr);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    void SetPenColor(uint32_t color);
    void SetPenWidth(int width);
    void SetBrushColor(uint32_t color);
    void SetFont(int points, bool bold);

    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    // A closed polygon through `count` points (the last may repeat the first).
    void Polygon(const QPoint* points, int count);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Line(int x1, int y1, int x2, int y2)
    {
        MoveTo(x1, y1);
        LineTo(x2, y2);
    }
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;

    // Sets the pixels of `runs` at (x, y) to the pen colour, clipped to the bitmap: a shape
    // taken once from a drawing (see ShapeRuns) and repeated many times.
    void FillRuns(const std::vector<TPixelRun>& runs, int x, int y);

private:
    void ApplyPen();
    void ApplyBrush();
    void ThinLine(QPoint from, QPoint to);

    // The bitmap's rows, taken before the painter starts so that both write the same memory.
    uchar* Bits;
    qsizetype BytesPerLine;
    int Width;
    int Height;
    bool Direct;  // 32 bits per pixel: runs are written straight into the rows
    QPainter Painter;
    QWidget* ShownBy;
    QColor PenColor{Qt::black};
    int PenWidth = 1;
    QColor BrushColor{Qt::white};
    QFont Font;
    int FontPoints = 8;
    bool FontBold = false;
    QFontMetrics Metrics;
    bool PenDirty = true;
    bool BrushDirty = true;
    QPoint Position;
};

// The pixels that `draw` sets on a canvas of width x height, as runs along the rows.
template <typename Draw>
std::vector<TPixelRun> ShapeRuns(int width, int height, Draw&& draw)
{
    QImage mask(width, height, QImage::Format_RGB32);
    mask.fill(Qt::black);
    {
        TCanvas canvas(mask);
        canvas.SetPenColor(0xFFFFFF);
        canvas.SetBrushColor(0xFFFFFF);
        draw(canvas);
    }
    std::vector<TPixelRun> runs;
    for (int y = 0; y < height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < width;) {
            if ((row[x] & 0xFFFFFF) == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (row[x] & 0xFFFFFF) != 0)
                ++x;
            runs.push_back(TPixelRun{y, start, x - start});
        }
    }
    return runs;
}
