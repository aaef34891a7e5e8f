#pragma once
// Helpers of the graph tests: a palette whose 28 colours are all different, and reading the
// bitmap of a graph image by colour number.

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QString>

#include "config/AppSettings.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphImage.h"
#include "ui/ChannelControls.h"

namespace GraphTest {

// Colour n of the test palette: every colour differs from the others in its blue byte.
constexpr uint32_t PaletteColor(int n) { return uint32_t((n * 37) % 256) | uint32_t((n * 91) % 256) << 8 | uint32_t(200 - n) << 16; }

// Colours 1..28 of the configuration become the test palette.
inline void UseTestPalette()
{
    for (int n = 1; n <= 28; ++n)
        AppSettings.Color[n] = PaletteColor(n);
}

// The colour number of a pixel of image n's bitmap: 1..28 for a palette colour, 0 for black,
// -1 for anything else (or outside the bitmap).
inline int ColorNumberAt(int image, int x, int y)
{
    const QImage& bitmap = GraphImages[image]->Bitmap;
    if (!bitmap.valid(x, y))
        return -1;
    const QRgb pixel = bitmap.pixel(x, y) & 0xFFFFFF;
    if (pixel == 0)
        return 0;
    for (int n = 1; n <= 28; ++n)
        if ((ColorOf(AppSettings.Color[n]).rgb() & 0xFFFFFF) == pixel)
            return n;
    return -1;
}

inline int ColorNumberAt(int image, QPoint at) { return ColorNumberAt(image, at.x(), at.y()); }

// True when some pixel within `radius` of (x, y) has colour number n.
inline bool ColorNear(int image, int x, int y, int n, int radius = 1)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (ColorNumberAt(image, x + dx, y + dy) == n)
                return true;
    return false;
}

} // namespace GraphTest
