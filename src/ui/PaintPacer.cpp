#include "ui/PaintPacer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace {
QElapsedTimer SinceHeld;  // since the first repaint held back (valid while one is)
QElapsedTimer SincePass;  // since the last paced pass
QPointer<QTimer> Release;  // gives the held repaint back to the window when its time comes

// Paints the window now if the line has been quiet long enough or the repaint has waited its
// longest, otherwise looks again when one of the two can be true.
void ReleaseWhenDue(QWidget* window)
{
    const qint64 quiet = SincePass.elapsed();
    const qint64 held = SinceHeld.elapsed();
    if (quiet < PaintQuietMs && held < PaintIntervalMs) {
        Release->start(static_cast<int>(std::min(PaintQuietMs - quiet, PaintIntervalMs - held)));
        return;
    }
    SinceHeld.invalidate();
    // Sent, not posted: a posted request could be taken out again by the next frame's pass.
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window, &request);
}
} // namespace

void PacedEventPass(QWidget* window)
{
    if (window) {
        // Qt asks for a window's repaint with one posted update request and asks no more
        // until it has been handled. Taken out now, it is handed over when its time comes, so
        // whatever changes meanwhile is painted together then.
        QCoreApplication::removePostedEvents(window, QEvent::UpdateRequest);
        SincePass.start();
        if (!SinceHeld.isValid())
            SinceHeld.start();
        if (!Release || Release->parent() != window) {
            delete Release;
            Release = new QTimer(window);
            Release->setSingleShot(true);
            QObject::connect(Release, &QTimer::timeout, window, [window] { ReleaseWhenDue(window); });
        }
        if (!Release->isActive())
            Release->start(PaintQuietMs);
    }
    QCoreApplication::processEvents();
}
