#pragma once
// The event-loop pass the receive path runs after every frame. A stand streaming as fast as the
// line allows sends thousands of frames a second, and each one changes a few labels: painting
// the window on every pass would cost far more than the frames themselves. So while frames
// stream in, a repaint the window has asked for waits until PaintIntervalMs have passed since
// the last one (about a screen refresh), and is then made; everything else of the pass (input,
// timers, the port) runs as usual. Paints asked for outside the receive path are not touched.

class QWidget;

constexpr int PaintIntervalMs = 16;

// Runs one pass of the event loop for `window` (a top-level window, or nullptr for a bare pass)
// with its repaints paced as above.
void PacedEventPass(QWidget* window);
