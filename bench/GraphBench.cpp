// How long each graph painter takes on a full set of demonstration results, without the
// 100 ms the window sizing waits before every paint. Prints the figures; never fails on time.
//   bench_graphs [repetitions]

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchReport.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"
#include "graphs/ColorScales.h"
#include "graphs/CurveGraphs.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphPages.h"
#include "graphs/GraphState.h"
#include "graphs/LoadMaps.h"
#include "ui/ChannelControls.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

namespace {

struct TCase {
    const char* Key;  // of the figure for the bench suite (default dot shape)
    const char* Name;
    QWidget* Page;
    std::function<void()> Paint;
};


} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    RegisterTahoma();

    QTemporaryDir dir;  // a program directory without settings.ini: the default configuration
    SetAppDirForTests(dir.path());
    TMForm form;
    form.show();
    GraphSizingWaitMs = 0;
    FillRandomResults();
    form.PC->setTabVisible(form.PC->indexOf(form.TabEfficiency), true);

    const std::vector<TCase> cases = {
        {"graph_crossload_ms", "cross-load map (12,000 cells)", form.TabKHX, [] { PaintCrossLoadMap(4); }},
        {"graph_summary_ms", "+12V summary map", form.TabKHX, [] { PaintSummaryMap(); }},
        {"graph_noise_ms", "noise map", form.TabNoise, [] { PaintNoiseMap(14); }},
        {"graph_efficiency_ms", "PFC / efficiency graph", form.TabEfficiency, [] { PaintEfficiencyGraph(); }},
        {"graph_fan_ms", "temperature / fan graph", form.TabEfficiency, [] { PaintFanGraph(); }},
        {"graph_standby_ms", "+5Vstb graph", form.Tab5VStb, [] { PaintStandbyGraph(); }},
    };
    std::printf("Graph painters, %d runs each, dot size %d x %d\n", runs, AppSettings.DotWidth, AppSettings.DotHeight);
    for (int shape = 0; shape <= 2; ++shape) {
        AppSettings.DotShape = static_cast<uint8_t>(shape);
        std::printf("-- DotShape %d\n", shape);
        for (const TCase& c : cases) {
            form.PC->setCurrentWidget(c.Page);  // paints once, and the window has its size
            std::vector<double> ms;
            for (int i = 0; i < runs; ++i) {
                QElapsedTimer clock;
                clock.start();
                c.Paint();
                ms.push_back(clock.nsecsElapsed() / 1e6);
            }
            Report(c.Name, ms);
            if (shape == 0)
                Figure(c.Key, Median(ms));
        }
    }
    // Where the time of a map goes: sizing the window and image (no wait), repainting the
    // window before drawing, and the 12,000 dots alone on a bitmap of the map's size.
    form.PC->setCurrentWidget(form.TabKHX);
    const TGraphGeometry geometry = PlotGeometry(MapRows, DefaultLeft);
    std::printf("-- parts of a cross-load map\n");
    {
        std::vector<double> fit, repaint;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            FitWindowToGraph(geometry.PlotRight, geometry.AxisY, 4);
            fit.push_back(clock.nsecsElapsed() / 1e6);
            clock.restart();
            PrepareBitmap(*GraphImages[4]);
            repaint.push_back(clock.nsecsElapsed() / 1e6);
        }
        Report("window and image sizing", fit);
        Report("bitmap sizing + window repaint", repaint);
    }
    QImage bitmap(GraphImages[4]->size(), QImage::Format_RGB32);
    for (int shape = 0; shape <= 2; ++shape) {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            QElapsedTimer clock;
            clock.start();
            {
                TCanvas canvas(bitmap);
                DrawMapCells(canvas, geometry, shape, [](int r, int c) { return 1 + (r + c) % 13; });
            }
            ms.push_back(clock.nsecsElapsed() / 1e6);
        }
        const char* names[] = {"12,000 rectangles", "12,000 ellipses", "12,000 rhombi"};
        Report(names[shape], ms);
    }

    // The same map with the mandated wait, once, for comparison.
    GraphSizingWaitMs = 100;
    AppSettings.DotShape = 0;
    form.PC->setCurrentWidget(form.TabKHX);
    QElapsedTimer clock;
    clock.start();
    PaintCrossLoadMap(4);
    std::printf("cross-load map with the 100 ms wait: %.2f ms\n", clock.nsecsElapsed() / 1e6);
    return 0;
}
