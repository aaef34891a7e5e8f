// The graph pages of a real main window: which graph a page change paints, the window's
// growth and return to its design size, "Random graphs", "Clear graphs", the repaint when the
// configuration is applied, and "Save Image".

#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <optional>

#include "GraphTestSupport.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "config/ApplySettings.h"
#include "core/ProgramState.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphPages.h"
#include "graphs/GraphState.h"
#include "link/Connection.h"
#include "ui/Fonts.h"

using namespace GraphTest;

namespace {
// Pixels of image n inside the plot (above the axis, right of it) that are neither the
// background nor black.
int DataPixels(int image, int left, const TGraphGeometry& geometry)
{
    int count = 0;
    for (int y = PlotTop; y < geometry.AxisY; ++y)
        for (int x = left + 1; x <= geometry.PlotRight; ++x) {
            const int n = ColorNumberAt(image, x, y);
            if (n > 0 && n != BackgroundColor)
                ++count;
        }
    return count;
}

QTabWidget* SubPages(TMForm& form, const QString& page)
{
    if (page == "TabKHX")
        return form.KHX_GPC;
    if (page == "TabEfficiency")
        return form.Eff_GPC;
    if (page == "TabNoise")
        return form.Noise_GPC;
    return form.STS_GPC;
}

QPushButton* SaveButton(TMForm& form, const QString& page)
{
    if (page == "TabKHX")
        return form.bSaveImage;
    if (page == "TabEfficiency")
        return form.AdvGlowButton4;
    if (page == "TabNoise")
        return form.AdvGlowButton7;
    return form.AdvGlowButton2;
}

// Shows sub-page `index` of the named graph page, which paints its graph.
void ShowGraph(TMForm& form, const QString& page, int index)
{
    form.PC->setCurrentWidget(form.findChild<QWidget*>(page));
    SubPages(form, page)->setCurrentIndex(index);
}
} // namespace

// Keeps a copy of the bitmap an image shows the first time it paints one.
class TFirstShownBitmap : public QObject {
public:
    QImage Shown;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* image = static_cast<GraphImage*>(watched);
        if (event->type() == QEvent::Paint && Shown.isNull() && !image->Bitmap.isNull())
            Shown = image->Bitmap.copy();
        return false;
    }
};

class GraphPagesTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void NothingIsPaintedAtStartUp()
    {
        Fixture->Open();
        for (int n = 1; n <= GraphCount; ++n) {
            QVERIFY(!GraphDrawnFlags[n]);
            QVERIFY(GraphImages[n]->Bitmap.isNull());
            QCOMPARE(GraphImages[n]->size(), QSize(592, 252));
        }
    }

    void DefaultMapGrowsTheWindowAroundItsImage()
    {
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.TabKHX);
        QVERIFY(GraphDrawnFlags[1]);
        // 1060 + 100 - 4 wide; at least 380 + 110 - 4 high, and as high as the page area when
        // the design height gives more.
        const int pageArea = DesignHeight - form.BPanel->height() - ChromeHeight - 4;
        const QSize image(1156, std::max(486, pageArea));
        QCOMPARE(GraphImages[1]->size(), image);
        QCOMPARE(GraphImages[1]->Bitmap.size(), image);
        QCOMPARE(form.width(), 1060 + 100 + 165);
        QCOMPARE(form.height(), std::max(DesignHeight, 380 + 110 + form.BPanel->height() + ChromeHeight));
        QCOMPARE(form.RPanel->x(), form.width() - 165);

        // A curve graph of 100 rows grows the window in height too.
        form.PC->setCurrentWidget(form.Tab5VStb);
        QCOMPARE(form.height(), 580 + 110 + form.BPanel->height() + ChromeHeight);
        QCOMPARE(GraphImages[26]->size(), QSize(1156, 686));
    }

    void ANewBitmapIsShownInTheBackgroundColour()
    {
        // The window repaints once between sizing the bitmap and drawing on it: what it shows
        // then is the background, not whatever the memory held.
        TMForm& form = Fixture->Open();
        UseTestPalette();
        TFirstShownBitmap first;
        GraphImages[1]->installEventFilter(&first);
        form.PC->setCurrentWidget(form.TabKHX);
        GraphImages[1]->removeEventFilter(&first);
        QVERIFY(GraphDrawnFlags[1]);
        QVERIFY(!first.Shown.isNull());
        const QRgb background = ColorOf(AppSettings.Color[BackgroundColor]).rgb();
        int others = 0;
        for (int y = 0; y < first.Shown.height(); ++y)
            for (int x = 0; x < first.Shown.width(); ++x)
                others += first.Shown.pixel(x, y) != background;
        QCOMPARE(others, 0);
    }

    void NonGraphPagesRestoreTheDesignSize_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("Front Panel") << "TabFrontPanel";
        QTest::newRow("Manual loading") << "TabTesting";
        QTest::newRow("Debug") << "TabDebug";
    }
    void NonGraphPagesRestoreTheDesignSize()
    {
        QFETCH(QString, page);
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.Tab5VStb);
        QVERIFY(form.width() > DesignWidth && form.height() > DesignHeight);
        form.PC->setCurrentWidget(form.findChild<QWidget*>(page));
        QCOMPARE(form.size(), QSize(DesignWidth, DesignHeight));
        QCOMPARE(form.centralWidget()->size(), QSize(1083, 636));
        QCOMPARE(form.height() - form.menuBar()->height(), 655);
        // Back on a graph page its graph is painted again and the window grows again.
        GraphImages[26]->Bitmap = QImage();
        form.PC->setCurrentWidget(form.Tab5VStb);
        QVERIFY(!GraphImages[26]->Bitmap.isNull());
        QCOMPARE(form.size(), QSize(1325, 580 + 110 + form.BPanel->height() + ChromeHeight));
    }

    void SmallDotsKeepTheDesignSize()
    {
        TMForm& form = Fixture->Open();
        AppSettings.DotWidth = 1;
        AppSettings.DotHeight = 1;
        form.PC->setCurrentWidget(form.TabKHX);
        QCOMPARE(form.size(), QSize(DesignWidth, DesignHeight));
        // The image fills the page area all the same.
        QCOMPARE(GraphImages[1]->size(),
                 QSize(DesignWidth - 165 - 4, DesignHeight - form.BPanel->height() - ChromeHeight - 4));
    }

    void RandomGraphsPaintsTheShownGraph_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("image");
        QTest::newRow("KHX 3.3V") << "TabKHX" << 0 << 1;
        QTest::newRow("KHX 12V8") << "TabKHX" << 10 << 11;
        QTest::newRow("KHX 12V Summary") << "TabKHX" << 11 << 25;
        QTest::newRow("PFC") << "TabEfficiency" << 0 << 12;
        QTest::newRow("Fan") << "TabEfficiency" << 1 << 13;
        QTest::newRow("Noise 5vstb") << "TabNoise" << 2 << 16;
        QTest::newRow("+5Vstb test") << "Tab5VStb" << 0 << 26;
    }
    void RandomGraphsPaintsTheShownGraph()
    {
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(int, image);
        TMForm& form = Fixture->Open();
        UseTestPalette();
        ShowGraph(form, page, index);
        QVERIFY(GraphDrawnFlags[image]);
        const int left = image == FanImage ? FanLeft : DefaultLeft;
        const TGraphGeometry geometry = image == FanImage ? GraphGeometry.Fan
                                        : image == EfficiencyImage ? GraphGeometry.Efficiency
                                        : image == StandbyImage ? GraphGeometry.Standby
                                        : image >= FirstNoiseImage && image <= LastNoiseImage ? GraphGeometry.NoiseMap
                                                                                               : GraphGeometry.LoadMap;
        QCOMPARE(DataPixels(image, left, geometry), 0);  // painted from the empty store

        form.bRandomGraph->click();
        const int painted = DataPixels(image, left, geometry);
        const bool map = image <= 11 || image >= 14;
        QVERIFY2(painted > (map && image != StandbyImage ? 250000 : 1000), qPrintable(QString::number(painted)));
    }

    void EndFramesRepaintWhatIsShown_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QList<int>>("painted");
        QTest::addColumn<int>("width");  // 0: the design width
        const QList<int> none;
        QTest::newRow("ATE, its map shown") << "TabKHX" << 0 << "!ATE;#" << QList<int>{1} << 1325;
        QTest::newRow("ATE, the summary shown") << "TabKHX" << 11 << "!ATE;#" << QList<int>{25} << 1325;
        QTest::newRow("ATE, a noise map shown") << "TabNoise" << 0 << "!ATE;#" << QList<int>{14} << 1325;
        QTest::newRow("ATE, the front panel shown") << "TabFrontPanel" << 0 << "!ATE;#" << none << 0;
        QTest::newRow("NTE, its map shown") << "TabNoise" << 3 << "!NTE;#" << QList<int>{17} << 1325;
        QTest::newRow("NTE while KHX is shown repaints the KHX map") << "TabKHX" << 2 << "!NTE;#" << QList<int>{3}
                                                                      << 1325;
        QTest::newRow("NTE, manual loading shown") << "TabTesting" << 0 << "!NTE;#" << none << 0;
        QTest::newRow("STE, its graph shown") << "Tab5VStb" << 0 << "!STE;#" << QList<int>{26} << 1325;
        QTest::newRow("STE, the fan graph shown") << "TabEfficiency" << 1 << "!STE;#" << QList<int>{13} << 1365;
        QTest::newRow("STE, the debug page shown") << "TabDebug" << 0 << "!STE;#" << none << 0;
        QTest::newRow("FAE with the PFC sub-page shown paints both graphs")
            << "TabEfficiency" << 0 << "!FAE;#" << QList<int>{12, 13} << 1365;
        QTest::newRow("FAE, the fan sub-page shown") << "TabEfficiency" << 1 << "!FAE;#" << QList<int>{12, 13} << 1365;
        QTest::newRow("FAE, KHX shown") << "TabKHX" << 0 << "!FAE;#" << none << 1325;
        QTest::newRow("FAE, the front panel shown") << "TabFrontPanel" << 0 << "!FAE;#" << none << 0;
    }
    void EndFramesRepaintWhatIsShown()
    {
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(QString, frame);
        QFETCH(QList<int>, painted);
        QFETCH(int, width);
        Fixture->WriteFile("settings.ini", "[General]\r\nEFC_PFC_Test=1\r\n");
        TMForm& form = Fixture->Open();
        if (page.startsWith("TabKHX") || page == "TabEfficiency" || page == "TabNoise" || page == "Tab5VStb")
            ShowGraph(form, page, index);
        else
            form.PC->setCurrentWidget(form.findChild<QWidget*>(page));
        for (int n = 1; n <= GraphCount; ++n)
            GraphDrawnFlags[n] = false;  // what showing the page painted does not count
        GuardEvent([&] { ProcessReceivedText(frame); });
        QList<int> drawn;
        for (int n = 1; n <= GraphCount; ++n)
            if (GraphDrawnFlags[n])
                drawn << n;
        QCOMPARE(drawn, painted);
        QCOMPARE(form.width(), width == 0 ? DesignWidth : width);
    }

    void ClearGraphsBlanksEveryImageAndKeepsTheBookkeeping()
    {
        TMForm& form = Fixture->Open();
        UseTestPalette();
        form.bRandomGraph->click();
        form.PC->setCurrentWidget(form.TabKHX);
        const TGraphGeometry before = GraphGeometry.LoadMap;
        form.bClearGraphs->click();
        for (int n = 1; n <= GraphCount; ++n) {
            const QImage& bitmap = GraphImages[n]->Bitmap;
            QCOMPARE(bitmap.size(), GraphImages[n]->size());
            for (QPoint at : {QPoint(0, 0), QPoint(60, 200), QPoint(bitmap.width() - 1, bitmap.height() - 1)})
                QCOMPARE(ColorNumberAt(n, at), BackgroundColor);
        }
        QCOMPARE(GraphImages[20]->size(), QSize(592, 252));  // its page was never shown
        QVERIFY(GraphDrawnFlags[1]);
        QCOMPARE(GraphGeometry.LoadMap.AxisY, before.AxisY);
        QCOMPARE(GraphGeometry.LoadMap.PlotRight, before.PlotRight);
        QCOMPARE(ResultStore.CrossLoadGrid[4][60][200].voltage, 0.0f);
        QCOMPARE(ResultStore.NoiseGrid[11][1][1], uint16_t(0));
        QCOMPARE(ResultStore.EfficiencyRun.thermal[5].fan1Speed, uint16_t(0));
        QCOMPARE(ResultStore.StandbyRun[199].current, 0.0f);
        // A graph painted before is painted again when only painted ones are.
        RepaintShownGraph(true);
        QCOMPARE(ColorNumberAt(1, 60, 200), 0);
    }

    void ClearGraphsBlanksAnImageLargerThanTheWindow_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("image");
        QTest::newRow("Fan") << "TabEfficiency" << 1 << 13;
        QTest::newRow("+5Vstb test") << "Tab5VStb" << 0 << 26;
    }
    void ClearGraphsBlanksAnImageLargerThanTheWindow()
    {
        // The graph's bitmap outgrows the front panel's window; clearing from there must
        // still blank all of it, or "Save Image" writes the leftovers.
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(int, image);
        TMForm& form = Fixture->Open();
        UseTestPalette();
        FillRandomResults();
        ShowGraph(form, page, index);
        QVERIFY(GraphDrawnFlags[image]);
        form.PC->setCurrentWidget(form.TabFrontPanel);
        const QImage& bitmap = GraphImages[image]->Bitmap;
        QVERIFY(bitmap.width() > form.width() || bitmap.height() > form.height());
        form.bClearGraphs->click();
        const QRgb background = ColorOf(AppSettings.Color[BackgroundColor]).rgb();
        int others = 0;
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                others += bitmap.pixel(x, y) != background;
        QCOMPARE(others, 0);
    }

    void SummaryWithoutRailsShowsItsMessageOnEveryRepaint()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[4]->setText("0");
        form.PC->setCurrentWidget(form.TabKHX);
        form.KHX_GPC->setCurrentWidget(form.GraphSheet[25]);
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", "test_graphs", "12V Rails = 0")});
        QVERIFY(GraphImages[25]->Bitmap.isNull());
        // Applying the configuration repaints the summary map whether painted or not.
        ApplySettings();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", "test_graphs", "12V Rails = 0")});
        QVERIFY(!GraphDrawnFlags[25]);
    }

    void ApplyingTheConfigurationRepaintsOnlyAPaintedGraph()
    {
        TMForm& form = Fixture->Open();
        UseTestPalette();
        ResultStore.CrossLoadGrid[1][1][1].voltage = 3.3f;
        ResultStore.CrossLoadGrid[2][1][1].voltage = 5.0f;
        form.PC->setCurrentWidget(form.TabKHX);
        const QPoint cell = CellOrigin(60, 380, 5, 5, 1, 1);
        QCOMPARE(ColorNumberAt(1, cell), 7);
        AppSettings.Color[7] = PaletteColor(3);
        ApplySettings();
        QCOMPARE(ColorNumberAt(1, cell), 3);

        // A map whose paint failed is not painted by the configuration.
        form.ATEdit[1]->setText("x");
        form.KHX_GPC->setCurrentIndex(1);
        Fixture->Dialogs.TakeAll();
        form.ATEdit[1]->setText("200");
        ApplySettings();
        QVERIFY(GraphImages[2]->Bitmap.isNull());
        QVERIFY(!GraphDrawnFlags[2]);
    }

    void SaveImageWritesTheShownGraph_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("image");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("KHX, no extension") << "TabKHX" << 3 << 4 << "result" << "result.bmp";
        QTest::newRow("Efficiency, upper-case extension") << "TabEfficiency" << 1 << 13 << "result.BMP"
                                                          << "result.BMP.bmp";
        QTest::newRow("Noise, .bmp inside the name") << "TabNoise" << 5 << 19 << "a.bmp.old" << "a.bmp.old";
        QTest::newRow("+5Vstb") << "Tab5VStb" << 0 << 26 << "stb.bmp" << "stb.bmp";
    }
    void SaveImageWritesTheShownGraph()
    {
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(int, image);
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        TMForm& form = Fixture->Open();
        FillRandomResults();
        ShowGraph(form, page, index);
        Fixture->WriteFile(saved, "an older file of that name");
        Fixture->Dialogs.AnswerFile(Fixture->Path(chosen));
        SaveButton(form, page)->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("SaveFile", "Bitmap files (*.bmp)|*.bmp", QString())});
        QCOMPARE(form.ISD.FileName, Fixture->Path(saved));
        const QByteArray bytes = Fixture->ReadFile(saved);
        QVERIFY(bytes.startsWith("BM"));
        QImage read;
        QVERIFY(read.loadFromData(bytes, "BMP"));
        const QImage& bitmap = GraphImages[image]->Bitmap;
        QCOMPARE(read.size(), bitmap.size());
        QCOMPARE(read.convertToFormat(QImage::Format_RGB32), bitmap.convertToFormat(QImage::Format_RGB32));
    }

    void SaveImageWithNothingToSave()
    {
        TMForm& form = Fixture->Open();
        // Cancelled.
        form.PC->setCurrentWidget(form.TabKHX);
        Fixture->Dialogs.AnswerFile(QString());
        form.bSaveImage->click();
        Fixture->Dialogs.TakeAll();
        // The shown sub-page's image has never been painted or cleared: no file.
        GraphImages[1]->Bitmap = QImage();
        Fixture->Dialogs.AnswerFile(Fixture->Path("empty"));
        form.bSaveImage->click();
        Fixture->Dialogs.TakeAll();
        QVERIFY(!QFile::exists(Fixture->Path("empty.bmp")));
        QCOMPARE(form.ISD.FileName, Fixture->Path("empty.bmp"));
    }

    void SaveImageReportsAFileThatCannotBeWritten()
    {
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.TabKHX);
        const QString path = Fixture->Path("no such folder/result.bmp");
        Fixture->Dialogs.AnswerFile(path);
        form.bSaveImage->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("SaveFile"));
        const TDialogCall error = Fixture->Dialogs.Take();
        QCOMPARE(error.Kind, QString("Error"));
        QVERIFY2(error.Text.startsWith(QString("Cannot create file \"%1\". ").arg(path)), qPrintable(error.Text));
    }
};

TARVIK_TEST(GraphPagesTest)
#include "GraphPagesTest.moc"
