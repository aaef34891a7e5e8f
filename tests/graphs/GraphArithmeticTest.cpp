// The arithmetic of the graphs without a window: colour bands, cell and dot geometry, scale
// labels, curve corners, the +5Vstb window, readout rows and columns, the bitmap file name.

#include <QTest>
#include <limits>

#include "TestRegistry.h"
#include "core/ProgramState.h"
#include "graphs/ColorScales.h"
#include "graphs/CurveGraphs.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphPages.h"
#include "graphs/GraphReadouts.h"

using Points = std::vector<QPoint>;
Q_DECLARE_METATYPE(Points)
Q_DECLARE_METATYPE(std::optional<int>)

namespace {
QStringList Numbers(std::initializer_list<int> values)
{
    QStringList out;
    for (int v : values)
        out << QString::number(v);
    return out;
}
} // namespace

class GraphArithmeticTest : public QObject {
    Q_OBJECT

private slots:
    void DeviationBands_data()
    {
        QTest::addColumn<double>("deviation");
        QTest::addColumn<int>("color");
        QTest::newRow("+4.991 % is above 5") << 4.991 << 13;
        QTest::newRow("+4.99 % belongs to its band") << 4.99 << 12;
        QTest::newRow("+300 %") << 300.0 << 13;
        QTest::newRow("+3.991 %") << 3.991 << 12;
        QTest::newRow("+3.99 %") << 3.99 << 11;
        QTest::newRow("+3.03 %") << 3.03 << 11;
        QTest::newRow("+2.99 %") << 2.99 << 10;
        QTest::newRow("+1.99 %") << 1.99 << 9;
        QTest::newRow("+0.991 %") << 0.991 << 9;
        QTest::newRow("+0.99 %") << 0.99 << 8;
        QTest::newRow("+0.83 %") << 0.83 << 8;
        QTest::newRow("+0.1 % belongs to the band above") << 0.1 << 8;
        QTest::newRow("+0.05 %") << 0.05 << 7;
        QTest::newRow("0 %") << 0.0 << 7;
        QTest::newRow("-0.0999 %") << -0.0999 << 7;
        QTest::newRow("-0.1 %") << -0.1 << 6;
        QTest::newRow("-0.99 %") << -0.99 << 6;
        QTest::newRow("-1.5 %") << -1.5 << 5;
        QTest::newRow("-2.5 %") << -2.5 << 4;
        QTest::newRow("-3.5 %") << -3.5 << 3;
        QTest::newRow("-4.99 %") << -4.99 << 2;
        QTest::newRow("-5 %") << -5.0 << 1;
        QTest::newRow("-100 %") << -100.0 << 1;
    }
    void DeviationBands()
    {
        QFETCH(double, deviation);
        QFETCH(int, color);
        QCOMPARE(DeviationColorIndex(deviation), color);
    }

    void DeviationOfMeasuredVoltages_data()
    {
        QTest::addColumn<float>("voltage");
        QTest::addColumn<float>("nominal");
        QTest::addColumn<int>("color");
        QTest::newRow("nominal") << 12.0f << 12.0f << 7;
        QTest::newRow("3.4 V on +3.3V") << 3.4f << 3.3f << 11;
        QTest::newRow("11.4 V on +12V") << 11.4f << 12.0f << 1;
        QTest::newRow("negative voltage") << -1.0f << 5.0f << 1;
    }
    void DeviationOfMeasuredVoltages()
    {
        QFETCH(float, voltage);
        QFETCH(float, nominal);
        QFETCH(int, color);
        QCOMPARE(DeviationColorIndex(VoltageDeviation(voltage, nominal)), color);
    }

    void NoiseBands_data()
    {
        QTest::addColumn<double>("noise");
        QTest::addColumn<int>("color");
        QTest::newRow("1") << 1.0 << 20;
        QTest::newRow("25") << 25.0 << 20;
        QTest::newRow("26") << 26.0 << 21;
        QTest::newRow("50") << 50.0 << 21;
        QTest::newRow("51") << 51.0 << 22;
        QTest::newRow("75") << 75.0 << 22;
        QTest::newRow("100") << 100.0 << 23;
        QTest::newRow("125") << 125.0 << 24;
        QTest::newRow("126") << 126.0 << 25;
        QTest::newRow("175") << 175.0 << 26;
        QTest::newRow("200") << 200.0 << 27;
        QTest::newRow("201") << 201.0 << 28;
        QTest::newRow("65535") << 65535.0 << 28;
    }
    void NoiseBands()
    {
        QFETCH(double, noise);
        QFETCH(int, color);
        QCOMPARE(NoiseColorIndex(noise), color);
    }

    void CellsTileThePlot_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("axisY");
        QTest::addColumn<int>("dotWidth");
        QTest::addColumn<int>("dotHeight");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QPoint>("origin");
        QTest::newRow("first cell beside the axis") << 60 << 380 << 5 << 5 << 1 << 1 << QPoint(61, 375);
        QTest::newRow("last cell at the top right") << 60 << 380 << 5 << 5 << 60 << 200 << QPoint(1056, 80);
        QTest::newRow("5 x 7") << 60 << 500 << 5 << 7 << 2 << 3 << QPoint(71, 486);
        QTest::newRow("fan graph axis") << 100 << 580 << 5 << 5 << 100 << 1 << QPoint(101, 80);
        QTest::newRow("1 x 1") << 60 << 140 << 1 << 1 << 60 << 200 << QPoint(260, 80);
    }
    void CellsTileThePlot()
    {
        QFETCH(int, left);
        QFETCH(int, axisY);
        QFETCH(int, dotWidth);
        QFETCH(int, dotHeight);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QPoint, origin);
        QCOMPARE(CellOrigin(left, axisY, dotWidth, dotHeight, row, column), origin);
    }

    void RhombusHalvesRoundToEven_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<Points>("corners");
        QTest::newRow("5 x 7") << 5 << 7
                               << Points{{12, 20}, {15, 24}, {12, 27}, {10, 24}, {12, 20}};
        QTest::newRow("5 x 5") << 5 << 5
                               << Points{{12, 20}, {15, 22}, {12, 25}, {10, 22}, {12, 20}};
        QTest::newRow("3 x 9") << 3 << 9
                               << Points{{12, 20}, {13, 24}, {12, 29}, {10, 24}, {12, 20}};
    }
    void RhombusHalvesRoundToEven()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(Points, corners);
        const auto got = RhombusPoints(10, 20, width, height);
        QCOMPARE(Points(got.begin(), got.end()), corners);
    }

    void RepeatedDotsMatchTheDrawnShape_data()
    {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (int shape = 0; shape <= 2; ++shape)
            for (QSize size : {QSize(1, 1), QSize(2, 2), QSize(3, 3), QSize(5, 5), QSize(5, 7), QSize(9, 4)})
                QTest::addRow("shape %d, %d x %d", shape, size.width(), size.height())
                    << shape << size.width() << size.height();
    }
    void RepeatedDotsMatchTheDrawnShape()
    {
        QFETCH(int, shape);
        QFETCH(int, width);
        QFETCH(int, height);
        QImage drawn(16, 16, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QImage stamped = drawn.copy();
        {
            TCanvas canvas(drawn);
            DrawDot(canvas, shape, 3, 4, width, height, 0x0000FF);
        }
        {
            TCanvas canvas(stamped);
            canvas.SetPenColor(0x0000FF);
            canvas.FillRuns(DotRuns(shape, width, height), 3, 4);
        }
        QCOMPARE(stamped, drawn);
        QVERIFY(drawn.pixel(3 + width / 2, 4 + height / 2) == qRgb(255, 0, 0));
    }

    void ScaleLabels()
    {
        const TAxisLabels map = LoadMapLabels(200, 1000);
        QCOMPARE(map.Vertical, Numbers({33, 67, 100, 133, 167, 200}));
        // 100 W per 20 columns: 8 whole amperes at 12 V, shown again as 96 W.
        QCOMPARE(map.Row1, Numbers({8, 16, 25, 33, 41, 50, 58, 66, 75, 83}));
        QCOMPARE(map.Row2, Numbers({96, 192, 300, 396, 492, 600, 696, 792, 900, 996}));

        const TAxisLabels unset = LoadMapLabels(0, 0);
        QCOMPARE(unset.Vertical, Numbers({0, 0, 0, 0, 0, 0}));
        QCOMPARE(unset.Row2, Numbers({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

        const TAxisLabels efficiency = EfficiencyLabels(650);
        QCOMPARE(efficiency.Vertical, (QStringList{"0.10", "0.20", "0.30", "0.40", "0.50", "0.60", "0.70", "0.80",
                                                   "0.90", "1.00"}));
        QCOMPARE(efficiency.Row1, Numbers({10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
        QCOMPARE(efficiency.Row2, Numbers({65, 130, 195, 260, 325, 390, 455, 520, 585, 650}));

        const TAxisLabels fan = FanLabels(650);
        QCOMPARE(fan.Vertical, Numbers({600, 1200, 1800, 2400, 3000, 3600, 4200, 4800, 5400, 6000}));
        QCOMPARE(fan.Vertical2, (QStringList{"10.0", "20.0", "30.0", "40.0", "50.0", "60.0", "70.0", "80.0", "90.0",
                                             "100.0"}));
        QCOMPARE(fan.Row2, efficiency.Row2);

        const TAxisLabels standby = StandbyLabels(50);
        QCOMPARE(standby.Vertical, (QStringList{"4.60", "4.70", "4.80", "4.90", "5.00", "5.10", "5.20", "5.30",
                                                "5.40", "5.50"}));
        QCOMPARE(standby.Row1, (QStringList{"1.00", "2.00", "3.00", "4.00", "5.00", "6.00", "7.00", "8.00", "9.00",
                                            "10.00"}));
        QCOMPARE(standby.Row2, Numbers({5, 10, 15, 20, 25, 30, 35, 40, 45, 50}));
        // 5 W over 200 steps puts 0.5 W under the 20th column: halves round to even.
        QCOMPARE(StandbyLabels(5).Row2.first(), QString("0"));
        QCOMPARE(StandbyLabels(15).Row2.first(), QString("2"));
        // Exact halves, which floating-point arithmetic lands on either side of.
        QCOMPARE(StandbyLabels(15).Row2[8], QString("14"));    // 13.5
        QCOMPARE(StandbyLabels(15).Row1[8], QString("2.80"));
        QCOMPARE(EfficiencyLabels(55).Row2[6], QString("38"));  // 38.5
        QCOMPARE(LoadMapLabels(99, 0).Vertical[2], QString("50"));  // 49.5
        QCOMPARE(LoadMapLabels(0, 1045).Row1[6], QString("61"));     // 731.5 W -> 732 W
        QCOMPARE(LoadMapLabels(0, 1045).Row2[6], QString("732"));
    }

    void CurvesSkipStepsWithoutMeasurement()
    {
        std::array<double, RunSteps> values{};
        values[10] = 50;
        values[11] = 60;
        values[50] = 95;
        QCOMPARE(CurvePoints(61, 5, 580, 100, values), (Points{{111, 330}, {116, 280}, {311, 105}}));
        // 6000 RPM at the top of a fan scale, 3000 half way.
        std::array<double, RunSteps> fan{};
        fan[0] = 6000;
        fan[199] = 3000;
        QCOMPARE(CurvePoints(101, 5, 580, 6000, fan), (Points{{101, 80}, {1096, 330}}));
        // A temperature of 45.5 degrees: 227.5 px rounds to even.
        std::array<double, RunSteps> temperature{};
        temperature[3] = 45.5;
        QCOMPARE(CurvePoints(101, 5, 580, 100, temperature), (Points{{116, 352}}));
        QCOMPARE(CurvePoints(61, 5, 580, 100, {}), Points{});
        // A damaged result file can hold values that are not numbers: no corner for them.
        temperature[4] = std::numeric_limits<double>::quiet_NaN();
        temperature[5] = std::numeric_limits<double>::infinity();
        temperature[6] = -std::numeric_limits<double>::infinity();
        QCOMPARE(CurvePoints(101, 5, 580, 100, temperature), (Points{{116, 352}}));
    }

    void StandbyVoltageWindow_data()
    {
        QTest::addColumn<float>("voltage");
        QTest::addColumn<std::optional<int>>("top");
        QTest::newRow("5.5 V at the top of the scale") << 5.5f << std::optional<int>(80);
        QTest::newRow("5.0 V half way") << 5.0f << std::optional<int>(330);
        QTest::newRow("4.6 V") << 4.6f << std::optional<int>(530);
        QTest::newRow("5.51 V is above the window") << 5.51f << std::optional<int>();
        QTest::newRow("4.49 V is below the window") << 4.49f << std::optional<int>();
        QTest::newRow("4.5 V exactly") << 4.5f << std::optional<int>();
        QTest::newRow("no measurement") << 0.0f << std::optional<int>();
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << std::optional<int>();
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << std::optional<int>();
    }
    void StandbyVoltageWindow()
    {
        QFETCH(float, voltage);
        QFETCH(std::optional<int>, top);
        QCOMPARE(StandbyDotTop(580, voltage), top);
    }

    void StandbyLogLine() { QCOMPARE(StandbyDotLogLine(160, 330, 5, 7), QString("160;330;165;337")); }

    void ReadoutRowAndColumn_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("axisY");
        QTest::addColumn<int>("row");  // 0 = outside
        QTest::addColumn<int>("column");
        QTest::newRow("on the axis row") << 100 << 380 << 60 << 380 << 0 << 0;
        QTest::newRow("one above the axis") << 100 << 379 << 60 << 380 << 1 << 8;
        QTest::newRow("five above the axis") << 100 << 375 << 60 << 380 << 1 << 8;
        QTest::newRow("six above the axis") << 100 << 374 << 60 << 380 << 2 << 8;
        QTest::newRow("top of a map") << 61 << 80 << 60 << 380 << 60 << 1;
        QTest::newRow("above the plot") << 61 << 79 << 60 << 380 << 0 << 0;
        QTest::newRow("below the axis") << 61 << 381 << 60 << 380 << 0 << 0;
        QTest::newRow("on the vertical axis") << 60 << 200 << 60 << 380 << 0 << 0;
        QTest::newRow("left of the axis") << 59 << 200 << 60 << 380 << 0 << 0;
        QTest::newRow("first column ends at 65") << 65 << 200 << 60 << 380 << 36 << 1;
        QTest::newRow("second column starts at 66") << 66 << 200 << 60 << 380 << 36 << 2;
        QTest::newRow("last column") << 1060 << 200 << 60 << 380 << 36 << 200;
        QTest::newRow("right of the plot") << 1061 << 200 << 60 << 380 << 0 << 0;
        QTest::newRow("top of a curve graph") << 61 << 80 << 100 << 580 << 100 << 1;
    }
    void ReadoutRowAndColumn()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, rows);
        QFETCH(int, axisY);
        QFETCH(int, row);
        QFETCH(int, column);
        const std::optional<TGridPoint> point = ReadoutPoint(x, y, 60, rows, TGraphGeometry{axisY, 1060}, 5, 5);
        QCOMPARE(point.has_value(), row != 0);
        if (point) {
            QCOMPARE(point->Row, row);
            QCOMPARE(point->Column, column);
        }
    }

    void BitmapFileNames_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "result" << "result.bmp";
        QTest::newRow("upper-case extension") << "result.BMP" << "result.BMP.bmp";
        QTest::newRow(".bmp inside the name") << "a.bmp.old" << "a.bmp.old";
        QTest::newRow(".bmp already") << "/tmp/x.bmp" << "/tmp/x.bmp";
    }
    void BitmapFileNames()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(BitmapFileName(chosen), saved);
    }

    void WindowSizeForAPlot()
    {
        DesignWidth = 1083;
        DesignHeight = 700;
        ChromeHeight = 64;
        // 5 x 5 load map: 1060 + 100 + 165 wide, 380 + 110 + 80 + 64 high.
        QCOMPARE(GraphWindowSize(1060, 380, 165, 80), QSize(1325, 700));
        QCOMPARE(GraphWindowSize(1060, 580, 165, 80), QSize(1325, 834));
        // Small plots keep the design size; huge ones stop at the largest window.
        QCOMPARE(GraphWindowSize(260, 140, 165, 80), QSize(1083, 700));
        QCOMPARE(GraphWindowSize(51060, 25580, 165, 80), QSize(5000, 5000));
        DesignWidth = DesignHeight = ChromeHeight = 0;
    }

    void FontSizesInPixels()
    {
        QCOMPARE(FontPixelSize(7), 9);
        QCOMPARE(FontPixelSize(8), 11);
        QCOMPARE(FontPixelSize(10), 13);
    }
};

TARVIK_TEST(GraphArithmeticTest)
#include "GraphArithmeticTest.moc"
