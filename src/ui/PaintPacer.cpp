#include "ui/PaintPacer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {
QElapsedTimer SincePaint;     // since the last pass that let the window's repaint through
QPointer<QTimer> Resume;      // gives a held repaint back to the window when its time comes
} // namespace

void PacedEventPass(QWidget* window)
{
    if (window) {
        if (!SincePaint.isValid() || SincePaint.elapsed() >= PaintIntervalMs) {
            SincePaint.start();
        } else {
            // Qt asks for a window's repaint with one posted update request and asks no more
            // until it has been handled. Taken out now, it is posted again when the interval
            // is over, so whatever changed meanwhile is painted together then.
            QCoreApplication::removePostedEvents(window, QEvent::UpdateRequest);
            if (!Resume || Resume->parent() != window) {
                Resume = new QTimer(window);
                Resume->setSingleShot(true);
                QObject::connect(Resume, &QTimer::timeout, window, [window] {
                    QCoreApplication::postEvent(window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
                });
            }
            if (!Resume->isActive())
                Resume->start(static_cast<int>(PaintIntervalMs - SincePaint.elapsed()));
        }
    }
    QCoreApplication::processEvents();
}
