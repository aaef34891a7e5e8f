// The load maps painted into the real images of a main window: the colour of each cell, the
// dot shapes, the summary average, the frame and legends, and the failures of the fields.

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "GraphTestSupport.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphState.h"
#include "graphs/LoadMaps.h"
#include "ui/Fonts.h"

using namespace GraphTest;
using Rails = QList<float>;

namespace {
// Centre pixel of cell (row, column) of a load map with 5 x 5 dots.
QPoint CellCentre(int row, int column) { return CellOrigin(60, 380, 5, 5, row, column) + QPoint(2, 2); }
} // namespace

class MapPaintTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    TMForm& Open()
    {
        TMForm& form = Fixture->Open();
        UseTestPalette();
        return form;
    }

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void CrossLoadCellTakesTheBandOfItsDeviation_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<float>("voltage");
        QTest::addColumn<int>("color");
        QTest::newRow("+12V1 far above") << 4 << 30 << 100 << 12.7f << 13;
        QTest::newRow("+12V1 +4.5 %") << 4 << 1 << 1 << 12.54f << 12;
        QTest::newRow("+12V1 +3.5 %") << 4 << 60 << 200 << 12.42f << 11;
        QTest::newRow("+12V1 +2.5 %") << 4 << 60 << 1 << 12.3f << 10;
        QTest::newRow("+12V1 +1.25 %") << 4 << 1 << 200 << 12.15f << 9;
        QTest::newRow("+12V1 +0.42 %") << 4 << 2 << 2 << 12.05f << 8;
        QTest::newRow("+12V1 nominal") << 4 << 3 << 7 << 12.0f << 7;
        QTest::newRow("+12V1 -0.04 %") << 4 << 3 << 8 << 11.995f << 7;
        QTest::newRow("+12V1 -0.42 %") << 4 << 10 << 50 << 11.95f << 6;
        QTest::newRow("+12V1 -1.25 %") << 4 << 10 << 51 << 11.85f << 5;
        QTest::newRow("+12V1 -2.5 %") << 4 << 11 << 51 << 11.7f << 4;
        QTest::newRow("+12V1 -3.5 %") << 4 << 12 << 51 << 11.58f << 3;
        QTest::newRow("+12V1 -4.5 %") << 4 << 13 << 51 << 11.46f << 2;
        QTest::newRow("+12V1 -5 %") << 4 << 14 << 51 << 11.4f << 1;
        QTest::newRow("+3.3V +3.03 %") << 1 << 20 << 20 << 3.4f << 11;
        QTest::newRow("+5Vstb -0.1 %") << 3 << 21 << 20 << 4.995f << 6;
        QTest::newRow("+12V8 negative voltage") << 11 << 22 << 20 << -0.5f << 1;
        QTest::newRow("no measurement") << 4 << 30 << 100 << 0.0f << 14;
    }
    void CrossLoadCellTakesTheBandOfItsDeviation()
    {
        QFETCH(int, channel);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(float, voltage);
        QFETCH(int, color);
        Open();
        ResultStore.CrossLoadGrid[channel][row][column].voltage = voltage;
        PaintCrossLoadMap(channel);
        const QPoint origin = CellOrigin(60, 380, 5, 5, row, column);
        // Rectangles fill the whole cell, corners included.
        QCOMPARE(ColorNumberAt(channel, origin), color);
        QCOMPARE(ColorNumberAt(channel, origin + QPoint(4, 4)), color);
        QCOMPARE(ColorNumberAt(channel, CellCentre(row, column)), color);
        // The neighbours have no measurement.
        if (column < 200)
            QCOMPARE(ColorNumberAt(channel, origin + QPoint(5, 2)), BackgroundColor);
        if (row > 1)
            QCOMPARE(ColorNumberAt(channel, origin + QPoint(2, 5)), BackgroundColor);
        QVERIFY(GraphDrawnFlags[channel]);
    }

    void NoiseCellTakesItsBand_data()
    {
        QTest::addColumn<int>("image");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("color");
        QTest::newRow("0 is no measurement, not the lowest band") << 14 << 0 << 14;
        QTest::newRow("1 mV") << 14 << 1 << 20;
        QTest::newRow("25 mV") << 15 << 25 << 20;
        QTest::newRow("26 mV") << 16 << 26 << 21;
        QTest::newRow("60 mV") << 17 << 60 << 22;
        QTest::newRow("90 mV") << 18 << 90 << 23;
        QTest::newRow("125 mV") << 19 << 125 << 24;
        QTest::newRow("126 mV") << 20 << 126 << 25;
        QTest::newRow("160 mV") << 21 << 160 << 26;
        QTest::newRow("200 mV") << 22 << 200 << 27;
        QTest::newRow("201 mV") << 23 << 201 << 28;
        QTest::newRow("65535 mV") << 24 << 65535 << 28;
    }
    void NoiseCellTakesItsBand()
    {
        QFETCH(int, image);
        QFETCH(int, value);
        QFETCH(int, color);
        Open();
        ResultStore.NoiseGrid[image - 13][40][150] = static_cast<uint16_t>(value);
        PaintNoiseMap(image);
        QCOMPARE(ColorNumberAt(image, CellCentre(40, 150)), color);
        QCOMPARE(ColorNumberAt(image, CellCentre(40, 151)), BackgroundColor);
        // The noise maps keep a geometry record of their own.
        QCOMPARE(GraphGeometry.NoiseMap.AxisY, 380);
        QVERIFY(GraphDrawnFlags[image]);
    }

    void DotShapesCoverTheirPixels_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("dotWidth");
        QTest::addColumn<int>("dotHeight");
        QTest::addColumn<QList<QPoint>>("inside");   // relative to the cell's top-left corner
        QTest::addColumn<QList<QPoint>>("outside");
        QList<QPoint> all5x5;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
                all5x5 << QPoint(x, y);
        QTest::newRow("rectangle 5 x 5") << 0 << 5 << 5 << all5x5 << QList<QPoint>{{5, 0}, {0, 5}, {5, 5}};
        QTest::newRow("ellipse 5 x 5") << 1 << 5 << 5
                                       << QList<QPoint>{{2, 0}, {0, 2}, {4, 2}, {2, 4}, {2, 2}, {1, 1}, {3, 3}}
                                       << QList<QPoint>{{0, 0}, {4, 0}, {0, 4}, {4, 4}, {5, 2}, {2, 5}};
        QTest::newRow("ellipse 9 x 5") << 1 << 9 << 5
                                       << QList<QPoint>{{4, 0}, {0, 2}, {8, 2}, {4, 4}, {4, 2}}
                                       << QList<QPoint>{{0, 0}, {8, 0}, {0, 4}, {8, 4}, {9, 2}};
        // Top and bottom corners 2 px right of the left edge, side corners 4 px below the top.
        QTest::newRow("rhombus 5 x 7") << 2 << 5 << 7
                                       << QList<QPoint>{{2, 0}, {0, 4}, {2, 7}, {2, 3}, {4, 4}, {2, 6}, {2, 1}}
                                       << QList<QPoint>{{0, 0}, {4, 0}, {0, 1}, {0, 6}, {4, 6}, {1, 0}, {3, 0}};
    }
    void DotShapesCoverTheirPixels()
    {
        QFETCH(int, shape);
        QFETCH(int, dotWidth);
        QFETCH(int, dotHeight);
        QFETCH(QList<QPoint>, inside);
        QFETCH(QList<QPoint>, outside);
        Open();
        AppSettings.DotShape = static_cast<uint8_t>(shape);
        AppSettings.DotWidth = static_cast<uint8_t>(dotWidth);
        AppSettings.DotHeight = static_cast<uint8_t>(dotHeight);
        // The top row: no dot above overlaps the rhombus's top corner.
        const int row = 60;
        const int column = 100;
        ResultStore.CrossLoadGrid[4][row][column].voltage = 12.0f;  // colour 7
        PaintCrossLoadMap(4);
        const int axisY = 60 * dotHeight + 80;
        QCOMPARE(GraphGeometry.LoadMap.AxisY, axisY);
        QCOMPARE(GraphGeometry.LoadMap.PlotRight, 200 * dotWidth + 60);
        const QPoint origin = CellOrigin(60, axisY, dotWidth, dotHeight, row, column);
        for (const QPoint& d : inside)
            QVERIFY2(ColorNumberAt(4, origin + d) == 7, qPrintable(QString("(%1, %2) not in the dot").arg(d.x()).arg(d.y())));
        for (const QPoint& d : outside)
            QVERIFY2(ColorNumberAt(4, origin + d) == BackgroundColor,
                     qPrintable(QString("(%1, %2) in the dot").arg(d.x()).arg(d.y())));
    }

    void UnknownDotShapeDrawsFrameLegendAndTitleOnly()
    {
        Open();
        AppSettings.DotShape = 3;
        ResultStore.CrossLoadGrid[1][1][1].voltage = 3.6f;
        PaintCrossLoadMap(1);
        QCOMPARE(ColorNumberAt(1, CellCentre(1, 1)), BackgroundColor);
        QCOMPARE(ColorNumberAt(1, 60, 300), 0);                       // the axis
        QCOMPARE(ColorNumberAt(1, 1060 - 200 + 7, 22), 1);            // the first swatch
        QVERIFY(GraphDrawnFlags[1]);
    }

    void SummaryMapAveragesByTheRailCount_data()
    {
        QTest::addColumn<int>("rails");
        QTest::addColumn<Rails>("voltages");  // +12V1 .. +12V8
        QTest::addColumn<int>("color");
        QTest::newRow("two rails at 12.1 V, K = 2: +0.83 %")
            << 2 << Rails{12.1f, 0, 12.1f, 0, 0, 0, 0, 0} << 8;
        QTest::newRow("eight rails at 12.0 V, K = 2: +300 %")
            << 2 << Rails{12, 12, 12, 12, 12, 12, 12, 12} << 13;
        QTest::newRow("two rails at 12.0 V, K = 4: -50 %") << 4 << Rails{0, 0, 0, 0, 0, 0, 12, 12} << 1;
        QTest::newRow("every rail at or below 2.0 V") << 1 << Rails{2.0f, 1.5f, 0, 2.0f, 0, 0, 0, 0} << 14;
        QTest::newRow("2.0 V adds nothing") << 1 << Rails{12.0f, 2.0f, 0, 0, 0, 0, 0, 0} << 7;
    }
    void SummaryMapAveragesByTheRailCount()
    {
        QFETCH(int, rails);
        QFETCH(Rails, voltages);
        QFETCH(int, color);
        TMForm& form = Open();
        form.ATEdit[4]->setText(QString::number(rails));
        for (int k = 0; k < 8; ++k)
            ResultStore.CrossLoadGrid[4 + k][45][12].voltage = voltages[k];
        PaintSummaryMap();
        QCOMPARE(ColorNumberAt(SummaryImage, CellCentre(45, 12)), color);
        QCOMPARE(ColorNumberAt(SummaryImage, CellCentre(44, 12)), BackgroundColor);
        QVERIFY(GraphDrawnFlags[SummaryImage]);
    }

    void SummaryMapWithoutRailsPaintsNothing()
    {
        TMForm& form = Open();
        const QSize before = form.size();
        form.ATEdit[4]->setText("0");
        PaintSummaryMap();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", "test_graphs", "12V Rails = 0")});
        QVERIFY(GraphImages[SummaryImage]->Bitmap.isNull());
        QCOMPARE(form.size(), before);
        QVERIFY(!GraphDrawnFlags[SummaryImage]);
    }

    void AxisFrameTicksAndLegends()
    {
        Open();
        PaintCrossLoadMap(2);
        const int image = 2;
        const int axisY = 380;
        // Vertical axis up to the arrowhead's tip at y = 60, arrowhead lines down to y = 65.
        for (int y : {61, 200, 379, 380})
            QCOMPARE(ColorNumberAt(image, 60, y), 0);
        QCOMPARE(ColorNumberAt(image, 60, 60), 0);
        QCOMPARE(ColorNumberAt(image, 60, 59), BackgroundColor);
        QVERIFY(ColorNear(image, 59, 62, 0, 0) || ColorNear(image, 59, 63, 0, 0));
        QCOMPARE(ColorNumberAt(image, 62, 66), BackgroundColor);
        // Horizontal axis to PlotRight + 20 and its arrowhead.
        QCOMPARE(ColorNumberAt(image, 1079, axisY), 0);
        QCOMPARE(ColorNumberAt(image, 1080, axisY), 0);
        QCOMPARE(ColorNumberAt(image, 1081, axisY), BackgroundColor);
        QVERIFY(ColorNear(image, 1077, axisY - 1, 0, 1));
        // Ticks: 3 px below the axis, 6 px at every 20th column; 3 px left, 6 px every 10th row.
        QCOMPARE(ColorNumberAt(image, 65, axisY + 2), 0);
        QCOMPARE(ColorNumberAt(image, 65, axisY + 3), BackgroundColor);
        // (The long tick's last pixel lies under the opaque cell of the label "10" at y + 5.)
        QCOMPARE(ColorNumberAt(image, 160, axisY + 4), 0);
        QCOMPARE(ColorNumberAt(image, 160 - 5, axisY + 4), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, 57, axisY - 5), 0);
        QCOMPARE(ColorNumberAt(image, 56, axisY - 5), BackgroundColor);
        QCOMPARE(ColorNumberAt(image, 54, axisY - 50), 0);
        QCOMPARE(ColorNumberAt(image, 53, axisY - 50), BackgroundColor);
        // Thirteen swatches of 15 x 5 px from PlotRight - 200, y 20 .. 24.
        for (int k = 1; k <= 13; ++k) {
            const int x1 = 1060 - 200 + 15 * (k - 1);
            QCOMPARE(ColorNumberAt(image, x1, 20), k);
            QCOMPARE(ColorNumberAt(image, x1 + 14, 24), k);
        }
        QCOMPARE(ColorNumberAt(image, 1060 - 200 + 7, 19), BackgroundColor);
        QVERIFY(ColorNumberAt(image, 1060 - 200 + 7, 25) != 1);

        PaintNoiseMap(14);
        for (int k = 1; k <= 9; ++k) {
            const int x1 = 1060 - 200 + 25 * (k - 1);
            QCOMPARE(ColorNumberAt(14, x1, 20), 19 + k);
            QCOMPARE(ColorNumberAt(14, x1 + 24, 24), 19 + k);
        }
        QVERIFY(ColorNumberAt(14, 1060 + 25, 22) != 28);
    }

    void NonIntegerPowerFieldStopsThePaint()
    {
        TMForm& form = Open();
        form.ATEdit[2]->setText("12x");
        GuardEvent([] { PaintCrossLoadMap(5); });
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", "test_graphs", "'12x' is not a valid integer value.",
                                            TDialogIcon::Error)});
        // Sized for the plot, but nothing drawn and not marked painted.
        QCOMPARE(GraphImages[5]->width(), 1156);
        QVERIFY(GraphImages[5]->height() >= 486);
        QVERIFY(GraphImages[5]->Bitmap.isNull());
        QVERIFY(!GraphDrawnFlags[5]);
        form.ATEdit[2]->setText("1200");  // shutdown stores the fields
    }

    void EmptyPowerFieldsCountAsZero()
    {
        TMForm& form = Open();
        form.ATEdit[1]->clear();
        form.ATEdit[2]->clear();
        ResultStore.CrossLoadGrid[6][1][1].voltage = 12.0f;
        PaintCrossLoadMap(6);
        QVERIFY(GraphDrawnFlags[6]);
        QCOMPARE(ColorNumberAt(6, CellCentre(1, 1)), 7);
    }

    void ZeroDotSizeIsTreatedAsOne()
    {
        Open();
        AppSettings.DotWidth = 0;
        AppSettings.DotHeight = 0;
        ResultStore.CrossLoadGrid[7][60][200].voltage = 12.0f;
        PaintCrossLoadMap(7);
        QCOMPARE(GraphGeometry.LoadMap.AxisY, 140);
        QCOMPARE(GraphGeometry.LoadMap.PlotRight, 260);
        QCOMPARE(ColorNumberAt(7, CellOrigin(60, 140, 1, 1, 60, 200)), 7);
        QVERIFY(GraphDrawnFlags[7]);
    }
};

TARVIK_TEST(MapPaintTest)
#include "MapPaintTest.moc"
