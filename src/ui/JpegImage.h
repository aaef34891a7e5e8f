#pragma once
// Decoding of JPEG pictures (the about dialog's logo) with libjpeg, straight from memory.

#include <QByteArray>
#include <QImage>

// The picture in `data` as an RGB888 image (grayscale pictures are widened to RGB). Anything
// that is not a complete, readable baseline or progressive JPEG in grayscale, YCbCr or RGB
// gives a null image: the decoder never writes to the console and never ends the process.
QImage DecodeJpeg(const QByteArray& data);
