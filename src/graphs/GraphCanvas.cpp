#include "graphs/GraphCanvas.h"

#include <QPen>
#include <algorithm>
#include <cstdlib>
#include <QWidget>

QColor ColorOf(uint32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

int FontPixelSize(int points) { return (points * 96 + 36) / 72; }

QFont GraphFont(int points, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(FontPixelSize(points));
    font.setBold(bold);
    return font;
}

TCanvas::TCanvas(QImage& bitmap, QWidget* shownBy)
    : Bits(bitmap.bits()),
      BytesPerLine(bitmap.bytesPerLine()),
      Width(bitmap.width()),
      Height(bitmap.height()),
      Direct(bitmap.depth() == 32),
      Painter(&bitmap),
      ShownBy(shownBy), Font(GraphFont(8, false)), Metrics(Font)
{
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setFont(Font);
}

TCanvas::~TCanvas()
{
    Painter.end();
    if (ShownBy)
        ShownBy->update();
}

void TCanvas::SetPenColor(uint32_t color)
{
    const QColor c = ColorOf(color);
    if (c != PenColor) {
        PenColor = c;
        PenDirty = true;
    }
}

void TCanvas::SetPenWidth(int width)
{
    if (width < 1)
        width = 1;
    if (width != PenWidth) {
        PenWidth = width;
        PenDirty = true;
    }
}

void TCanvas::SetBrushColor(uint32_t color)
{
    const QColor c = ColorOf(color);
    if (c != BrushColor) {
        BrushColor = c;
        BrushDirty = true;
    }
}

void TCanvas::SetFont(int points, bool bold)
{
    FontPoints = points;
    FontBold = bold;
    const QFont font = GraphFont(points, bold);
    if (font == Font)
        return;
    Font = font;
    Metrics = QFontMetrics(Font);
    Painter.setFont(Font);
}

void TCanvas::ApplyPen()
{
    if (!PenDirty)
        return;
    QPen pen(PenColor);
    if (PenWidth <= 1) {
        // One-pixel lines stop short of their end point.
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
    } else {
        pen.setWidth(PenWidth);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    Painter.setPen(pen);
    PenDirty = false;
}

void TCanvas::ApplyBrush()
{
    if (!BrushDirty)
        return;
    Painter.setBrush(BrushColor);
    BrushDirty = false;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const int w = x2 - x1;
    const int h = y2 - y1;
    if (w <= 0 || h <= 0)
        return;
    Painter.fillRect(QRect(x1, y1, w, h), BrushColor);
    if (PenColor == BrushColor && PenWidth <= 1)
        return;  // the outline would not show: a dot
    ApplyPen();
    Painter.setBrush(Qt::NoBrush);
    BrushDirty = true;
    // A rectangle of w - 1 by h - 1 outlines the pixels x1 .. x2 - 1 and y1 .. y2 - 1.
    Painter.drawRect(QRect(x1, y1, w - 1, h - 1));
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    const int w = x2 - x1;
    const int h = y2 - y1;
    if (w <= 0 || h <= 0)
        return;
    if (w <= 2 || h <= 2) {
        // Too small to be round: the box itself.
        const QColor fill = PenColor;
        Painter.fillRect(QRect(x1, y1, w, h), fill);
        return;
    }
    ApplyPen();
    ApplyBrush();
    Painter.drawEllipse(QRect(x1, y1, w - 1, h - 1));
}

void TCanvas::Polygon(const QPoint* points, int count)
{
    ApplyPen();
    ApplyBrush();
    Painter.drawPolygon(points, count);
}

void TCanvas::MoveTo(int x, int y) { Position = QPoint(x, y); }

void TCanvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    if (to == Position) {
        // One-pixel pens draw nothing here; wider ones leave a dot of their width.
        if (PenWidth > 1)
            Painter.fillRect(QRect(x - PenWidth / 2, y - PenWidth / 2, PenWidth, PenWidth), PenColor);
    } else if (PenWidth <= 1) {
        ThinLine(Position, to);
    } else {
        ApplyPen();
        Painter.drawLine(Position, to);
    }
    Position = to;
}

void TCanvas::ThinLine(QPoint from, QPoint to)
{
    // Qt's own thin lines may leave out either end depending on the direction; the graphs need
    // the start drawn and the end left out, whichever way the line runs.
    const int dx = std::abs(to.x() - from.x());
    const int dy = std::abs(to.y() - from.y());
    const int sx = from.x() < to.x() ? 1 : -1;
    const int sy = from.y() < to.y() ? 1 : -1;
    if (dy == 0) {
        const int x = sx > 0 ? from.x() : to.x() + 1;
        Painter.fillRect(QRect(x, from.y(), dx, 1), PenColor);
        return;
    }
    if (dx == 0) {
        const int y = sy > 0 ? from.y() : to.y() + 1;
        Painter.fillRect(QRect(from.x(), y, 1, dy), PenColor);
        return;
    }
    int x = from.x();
    int y = from.y();
    int error = dx - dy;
    while (x != to.x() || y != to.y()) {
        Painter.fillRect(QRect(x, y, 1, 1), PenColor);
        const int e2 = 2 * error;
        if (e2 > -dy) {
            error -= dy;
            x += sx;
        }
        if (e2 < dx) {
            error += dx;
            y += sy;
        }
    }
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (RecordedTextCalls)
        RecordedTextCalls->push_back(TTextCall{x, y, text, FontPoints, FontBold});
    Painter.fillRect(QRect(x, y, Metrics.horizontalAdvance(text), Metrics.height()), BrushColor);
    Painter.setPen(Qt::black);
    Painter.drawText(x, y + Metrics.ascent(), text);
    PenDirty = true;
}

int TCanvas::TextWidth(const QString& text) const { return Metrics.horizontalAdvance(text); }

void TCanvas::FillRuns(const std::vector<TPixelRun>& runs, int x, int y)
{
    // Straight into the bitmap's rows: the painter draws at once, so nothing of it is pending.
    const QRgb color = PenColor.rgb();
    for (const TPixelRun& run : runs) {
        const int row = y + run.Dy;
        if (row < 0 || row >= Height)
            continue;
        const int from = std::max(x + run.X, 0);
        const int to = std::min(x + run.X + run.Length, Width);
        if (from >= to)
            continue;
        if (!Direct) {
            Painter.fillRect(QRect(from, row, to - from, 1), PenColor);
            continue;
        }
        QRgb* line = reinterpret_cast<QRgb*>(Bits + row * BytesPerLine);
        std::fill(line + from, line + to, color);
    }
}
