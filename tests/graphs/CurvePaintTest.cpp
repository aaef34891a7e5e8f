// The curve graphs painted into the real images of a main window: polylines that skip and
// bridge steps without a measurement, the fan scales, the +5Vstb voltage window, the legends,
// and the graphs' conditions (page shown, maximum power given).

#include <QDir>
#include <QLineEdit>
#include <QRegularExpression>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "GraphTestSupport.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "graphs/CurveGraphs.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphPages.h"
#include "graphs/GraphState.h"
#include "ui/Fonts.h"

using namespace GraphTest;

namespace {
constexpr int AxisY = 580;  // 100 rows of 5 px

// Whether any pixel of column x between the top of the plot and the axis has colour n.
bool ColumnHasColor(int image, int x, int n)
{
    for (int y = PlotTop; y < AxisY; ++y)
        if (ColorNumberAt(image, x, y) == n)
            return true;
    return false;
}
} // namespace

class CurvePaintTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    // A window on the Efficiency page (shown as at a stand with the efficiency test) with the
    // PFC graph painted from an empty store.
    TMForm& OpenOnEfficiencyPage()
    {
        TMForm& form = Fixture->Open();
        UseTestPalette();
        form.PC->setCurrentWidget(form.TabEfficiency);
        return form;
    }

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void PolylinesSkipAndBridgeStepsWithoutMeasurement()
    {
        OpenOnEfficiencyPage();
        auto& ratios = ResultStore.EfficiencyRun.ratios;
        ratios[10] = {50, 20};
        ratios[11] = {60, 20};
        ratios[50] = {80, 20};
        PaintEfficiencyGraph();
        const int image = EfficiencyImage;
        QCOMPARE(GraphGeometry.Efficiency.AxisY, AxisY);
        QCOMPARE(GraphGeometry.Efficiency.PlotRight, 1060);
        // Power factor: (111, 330) - (116, 280) - (311, 180); between the last two a straight line.
        QVERIFY(ColorNear(image, 111, 330, 15));
        QVERIFY(ColorNear(image, 116, 280, 15));
        QVERIFY(ColorNear(image, 311, 180, 15));
        const int midX = (116 + 311) / 2;
        QVERIFY(ColorNear(image, midX, 280 - (midX - 116) * 100 / 195, 15));
        // Efficiency 20 % at the three steps: one level line at y = 480.
        QVERIFY(ColorNear(image, 200, 480, 16, 0));
        QVERIFY(ColorNear(image, 300, 480, 16, 0));
        // Nothing before the first step, after the last, or down at the skipped steps.
        QVERIFY(!ColumnHasColor(image, 100, 15) && !ColumnHasColor(image, 100, 16));
        QVERIFY(!ColumnHasColor(image, 330, 15) && !ColumnHasColor(image, 330, 16));
        QCOMPARE(ColorNumberAt(image, 61 + 30 * 5, AxisY - 2), BackgroundColor);
        QVERIFY(GraphDrawnFlags[image]);
    }

    void OneMeasuredStepLeavesADot()
    {
        OpenOnEfficiencyPage();
        ResultStore.EfficiencyRun.ratios[100] = {40, 0};
        PaintEfficiencyGraph();
        const int x = 61 + 100 * 5;
        const int y = AxisY - 200;
        QVERIFY(ColorNear(EfficiencyImage, x, y, 15));
        QVERIFY(!ColumnHasColor(EfficiencyImage, x - 4, 15));
        QVERIFY(!ColumnHasColor(EfficiencyImage, x + 4, 15));
        QVERIFY(!ColumnHasColor(EfficiencyImage, x, 16));
    }

    void PowerFactorAndEfficiencyShareTheScale()
    {
        OpenOnEfficiencyPage();
        ResultStore.EfficiencyRun.ratios[20] = {95, 0};
        ResultStore.EfficiencyRun.ratios[21] = {95, 0};
        ResultStore.EfficiencyRun.ratios[120] = {0, 95};
        ResultStore.EfficiencyRun.ratios[121] = {0, 95};
        PaintEfficiencyGraph();
        QVERIFY(ColorNear(EfficiencyImage, 61 + 20 * 5 + 2, AxisY - 475, 15, 0));
        QVERIFY(ColorNear(EfficiencyImage, 61 + 120 * 5 + 2, AxisY - 475, 16, 0));
    }

    void EfficiencyLegend()
    {
        OpenOnEfficiencyPage();
        const int image = EfficiencyImage;
        const int right = 1060;
        // Black frame from (right - 120, 20) to (right + 20, 60), right and bottom edge outside.
        QCOMPARE(ColorNumberAt(image, right - 120, 20), 0);
        QCOMPARE(ColorNumberAt(image, right + 19, 59), 0);
        QCOMPARE(ColorNumberAt(image, right + 20, 40), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, right - 119, 21), BackgroundColor);
        QVERIFY(ColorNear(image, right - 90, 30, 15, 0));
        QVERIFY(ColorNear(image, right - 90, 50, 16, 0));
    }

    void FanCurvesOnTheirScales()
    {
        TMForm& form = OpenOnEfficiencyPage();
        auto& thermal = ResultStore.EfficiencyRun.thermal;
        thermal[3] = {45.5f, 3000, 0};
        thermal[4] = {45.5f, 3000, 0};
        thermal[60] = {0, 6000, 0};  // no temperature: only a fan point
        form.Eff_GPC->setCurrentIndex(1);
        const int image = FanImage;
        QCOMPARE(GraphGeometry.Fan.AxisY, AxisY);
        QCOMPARE(GraphGeometry.Fan.PlotRight, 1100);
        // The vertical axis at x = 100, steps from x = 101.
        QCOMPARE(ColorNumberAt(image, 100, 300), 0);
        QCOMPARE(ColorNumberAt(image, 60, 300), BackgroundColor);
        QVERIFY(ColorNear(image, 101 + 3 * 5 + 2, 352, 17, 0));   // 45.5 degrees at 45.5 % of the height
        QVERIFY(ColorNear(image, 101 + 3 * 5 + 2, 330, 18, 0));   // 3000 RPM half way
        QVERIFY(ColorNear(image, 101 + 60 * 5, 80, 18));          // 6000 RPM at the top
        QVERIFY(!ColumnHasColor(image, 101 + 30 * 5, 17));        // the temperature ends at step 4
        QVERIFY(!ColumnHasColor(image, 101 + 30 * 5, 19));        // no second fan
        // Its legend entry is drawn all the same, and the window is 40 px wider than for PFC.
        QVERIFY(ColorNear(image, 1100 - 50, 60, 19, 0));
        QCOMPARE(form.width(), 1100 + 100 + 165);
        QVERIFY(GraphDrawnFlags[image]);
    }

    void StandbyDotsInTheVoltageWindow_data()
    {
        QTest::addColumn<float>("voltage");
        QTest::addColumn<int>("top");  // 0 = no dot
        QTest::newRow("5.5 V at the top of the scale") << 5.5f << 80;
        QTest::newRow("5.0 V half way") << 5.0f << 330;
        QTest::newRow("5.51 V is left out") << 5.51f << 0;
        QTest::newRow("4.49 V is left out") << 4.49f << 0;
        QTest::newRow("4.5 V is left out") << 4.5f << 0;
    }
    void StandbyDotsInTheVoltageWindow()
    {
        QFETCH(float, voltage);
        QFETCH(int, top);
        TMForm& form = Fixture->Open();
        UseTestPalette();
        ResultStore.StandbyRun[20].voltage = voltage;
        form.PC->setCurrentWidget(form.Tab5VStb);
        const int image = StandbyImage;
        QVERIFY(GraphDrawnFlags[image]);
        const int x = 60 + 20 * 5;  // the rectangle covers x + 1 .. x + 5
        if (top == 0) {
            for (int column = x; column <= x + 6; ++column)
                QVERIFY(!ColumnHasColor(image, column, 17));
            return;
        }
        QCOMPARE(ColorNumberAt(image, x + 1, top), 17);
        QCOMPARE(ColorNumberAt(image, x + 5, top + 4), 17);
        QCOMPARE(ColorNumberAt(image, x, top + 2), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, x + 6, top + 2), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, x + 3, top - 1), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, x + 3, top + 5), BackgroundColor);
    }

    void StandbyEllipseBoxStartsOnePixelLeft()
    {
        TMForm& form = Fixture->Open();
        UseTestPalette();
        AppSettings.DotShape = 1;
        ResultStore.StandbyRun[20].voltage = 5.0f;
        form.PC->setCurrentWidget(form.Tab5VStb);
        // The box from (160, 330) to (165, 335): the ellipse's left point at x = 160.
        QCOMPARE(ColorNumberAt(StandbyImage, 160, 332), 17);
        QCOMPARE(ColorNumberAt(StandbyImage, 164, 332), 17);
        QCOMPARE(ColorNumberAt(StandbyImage, 165, 332), BackgroundColor);
        QCOMPARE(ColorNumberAt(StandbyImage, 160, 330), BackgroundColor);
    }

    void StandbyEllipsesAreLogged_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<bool>("logging");
        QTest::addColumn<int>("lines");
        QTest::newRow("ellipses, logging on") << 1 << true << 200;
        QTest::newRow("ellipses, logging off") << 1 << false << 0;
        QTest::newRow("rectangles") << 0 << true << 0;
        QTest::newRow("rhombi") << 2 << true << 0;
        QTest::newRow("no dots") << 3 << true << 0;
    }
    void StandbyEllipsesAreLogged()
    {
        QFETCH(int, shape);
        QFETCH(bool, logging);
        QFETCH(int, lines);
        Fixture->WriteFile("settings.ini", QByteArray("[General]\r\nWriteLog=") + (logging ? "1" : "0") + "\r\n");
        TMForm& form = Fixture->Open();
        AppSettings.DotShape = shape;
        for (int s = 0; s < RunSteps; ++s)
            ResultStore.StandbyRun[s].voltage = 5.0f;
        form.PC->setCurrentWidget(form.Tab5VStb);
        QVERIFY(GraphDrawnFlags[StandbyImage]);
        const QStringList logs = QDir(Fixture->Path("log")).entryList(QDir::Files);
        QCOMPARE(logs.size(), logging ? 1 : 0);
        const QString log = logging ? QString::fromLatin1(Fixture->ReadFile("log/" + logs[0])) : QString();
        const QStringList dots = log.split("\r\n").filter(QRegularExpression(": \\d+;\\d+;\\d+;\\d+$"));
        QCOMPARE(dots.size(), lines);
        if (lines > 0) {
            // Step s at x = 60 + 5 s, its top edge at 330 for 5.0 V, the box 5 x 5.
            QVERIFY2(dots.first().endsWith(": 60;330;65;335"), qPrintable(dots.first()));
            QVERIFY2(dots.last().endsWith(": 1055;330;1060;335"), qPrintable(dots.last()));
        }
    }

    void EmptyMaxPowerLeavesTheSizedImageUndrawn_data()
    {
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("field");
        QTest::newRow("PFC") << EfficiencyImage << 3;
        QTest::newRow("Fan") << FanImage << 3;
        QTest::newRow("+5Vstb") << StandbyImage << 7;
    }
    void EmptyMaxPowerLeavesTheSizedImageUndrawn()
    {
        QFETCH(int, image);
        QFETCH(int, field);
        TMForm& form = Fixture->Open();
        form.ATEdit[field]->clear();
        if (image == StandbyImage) {
            form.PC->setCurrentWidget(form.Tab5VStb);
        } else {
            form.PC->setCurrentWidget(form.TabEfficiency);
            form.Eff_GPC->setCurrentIndex(image - EfficiencyImage);
        }
        QCOMPARE(GraphImages[image]->width(), (image == FanImage ? 1100 : 1060) + 100 - 4);
        QCOMPARE(GraphImages[image]->height(), 580 + 110 - 4);
        QVERIFY(GraphImages[image]->Bitmap.isNull());
        QVERIFY(!GraphDrawnFlags[image]);

        // Text that is not a number: the standard error box, and still nothing drawn.
        form.ATEdit[field]->setText("5x");
        form.bRepaintGraphs->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", "test_graphs", "'5x' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QVERIFY(GraphImages[image]->Bitmap.isNull());
        QVERIFY(!GraphDrawnFlags[image]);
        form.ATEdit[field]->setText("50");  // shutdown stores the fields
    }

    void EfficiencyGraphsOnlyOnTheirPage()
    {
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.TabKHX);
        const QSize mapWindow = form.size();
        PaintEfficiencyGraph();
        PaintFanGraph();
        QVERIFY(GraphImages[EfficiencyImage]->Bitmap.isNull() && GraphImages[FanImage]->Bitmap.isNull());
        QVERIFY(!GraphDrawnFlags[EfficiencyImage] && !GraphDrawnFlags[FanImage]);
        QCOMPARE(form.size(), mapWindow);
        // On their page both paint, one after the other; the window ends as wide as the fan graph asks.
        form.PC->setCurrentWidget(form.TabEfficiency);
        PaintEfficiencyGraph();
        PaintFanGraph();
        QVERIFY(GraphDrawnFlags[EfficiencyImage] && GraphDrawnFlags[FanImage]);
        QCOMPARE(form.width(), 1100 + 100 + 165);
    }
};

TARVIK_TEST(CurvePaintTest)
#include "CurvePaintTest.moc"
