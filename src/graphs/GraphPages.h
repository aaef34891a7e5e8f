#pragma once
// The graph pages of the main window: which painter serves the page and sub-page on show,
// the window's return to its design size off the graph pages, the "Random graphs", "Repaint
// graphs" and "Clear graphs" buttons, and the export of a graph as a Windows bitmap file.

#include <QString>

class TMForm;

// Paints the graph of the shown sub-page of the shown main page. With onlyIfPainted only a
// graph painted before is painted again; the +12V summary map is painted in either case.
void RepaintShownGraph(bool onlyIfPainted);

// The efficiency run's two graphs; each does nothing unless the Efficiency page is shown.
void PaintEfficiencyGraph();
void PaintFanGraph();

// Blanks all 26 images in the background colour (each whole bitmap, at the image's current
// size) and clears the result store. The painted flags and the geometry stay, so readouts and
// repaints keep working.
void ClearAllGraphs();

// Asks for a file name (the bitmap save dialog) and writes the bitmap of image n there as a
// Windows bitmap. ".bmp" is appended unless the name contains it; an image that has no bitmap
// yet writes nothing. A file that cannot be written throws.
void SaveGraphImage(int imageNumber);

// The name a chosen file name is saved under: unchanged when it contains ".bmp" anywhere
// (case-sensitive), otherwise with ".bmp" appended.
QString BitmapFileName(const QString& chosen);

// Event handlers of the main window.
void PCChange();
void KHX_GPCChange();
void Eff_GPCChange();
void Noise_GPCChange();
void STS_GPCChange();
void bRepaintGraphsClick();
void bRandomGraphClick();
void bClearGraphsClick();
void bSaveImageClick();
void AdvGlowButton4Click();
void AdvGlowButton7Click();
void AdvGlowButton2Click();

// Connects every handler of the graph pages to its control of `form`: the page change of PC,
// the four sub-page controls, the graph buttons, the four "Save Image" buttons and the mouse
// moves of the 26 images. Run once, after the window is created (a new window also starts with
// no graph painted).
void ConnectGraphPages(TMForm& form);
