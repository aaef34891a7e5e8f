#pragma once
// The point readouts under the graphs: a mouse move over a painted graph turns the pointer's
// pixel position back into the grid point or load step under it and shows that point's values
// in the labels of the graph page; outside the plot the labels show their bare prefixes.

#include <optional>

#include "graphs/GraphState.h"

class GraphImage;

// Grid row and column (both from 1) under the pointer at (x, y) on a plot with its vertical
// axis at `left` and `rows` grid rows, or nothing when the pointer is outside the plot.
struct TGridPoint {
    int Row;
    int Column;
};
std::optional<TGridPoint> ReadoutPoint(int x, int y, int left, int rows, const TGraphGeometry& geometry,
                                       int dotWidth, int dotHeight);

// The five handlers; each learns its graph from the image's tag.
void Image1MouseMove(GraphImage* image, int x, int y);   // cross-load maps 1..11, summary map 25
void Image12MouseMove(GraphImage* image, int x, int y);  // PFC / efficiency
void Image13MouseMove(GraphImage* image, int x, int y);  // temperature / fans
void Image14MouseMove(GraphImage* image, int x, int y);  // noise maps 14..24
void Image26MouseMove(GraphImage* image, int x, int y);  // +5Vstb
