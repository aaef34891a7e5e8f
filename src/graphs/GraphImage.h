#pragma once
// The image control of the graph pages: a widget that owns one bitmap, shows it at its
// top-left corner and reports mouse moves in bitmap coordinates. The painters draw into
// Bitmap and call update().

#include <QImage>
#include <QWidget>

class GraphImage : public QWidget {
    Q_OBJECT
public:
    explicit GraphImage(QWidget* parent = nullptr);

    QImage Bitmap;  // null until the first paint

signals:
    void MouseMoved(GraphImage* image, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
