#include "graphs/GraphImage.h"

#include <QMouseEvent>
#include <QPainter>

GraphImage::GraphImage(QWidget* parent) : QWidget(parent)
{
    // Readouts follow the pointer without a button pressed.
    setMouseTracking(true);
}

void GraphImage::paintEvent(QPaintEvent*)
{
    if (Bitmap.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, Bitmap);
}

void GraphImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseMoved(this, at.x(), at.y());
}
