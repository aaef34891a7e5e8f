#include "graphs/GraphState.h"

#include "config/AppSettings.h"

int DotWidthPx() { return AppSettings.DotWidth == 0 ? 1 : AppSettings.DotWidth; }

int DotHeightPx() { return AppSettings.DotHeight == 0 ? 1 : AppSettings.DotHeight; }

void ResetGraphState()
{
    GraphDrawnFlags = {};
    GraphGeometry = {};
}
