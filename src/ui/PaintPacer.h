#pragma once
// The event-loop pass the receive path runs after every frame. A stand streaming as fast as the
// line allows sends thousands of frames a second, and a poll answer is seventeen frames spread
// over some 20 ms of the line; each frame changes a few labels, and painting the window costs
// far more than the frames themselves. So a repaint the window asks for while frames come in
// is held back until the line has been quiet for PaintQuietMs (a poll answer is painted once,
// after its last frame) or PaintIntervalMs have passed since it was first held (a stream that
// does not stop is painted 25 times a second); everything else of the pass (input, timers, the
// port) runs as usual. Paints asked for outside the receive path are not touched.

class QWidget;

constexpr int PaintQuietMs = 8;
constexpr int PaintIntervalMs = 40;

// Runs one pass of the event loop for `window` (a top-level window, or nullptr for a bare pass)
// with its repaints paced as above.
void PacedEventPass(QWidget* window);
