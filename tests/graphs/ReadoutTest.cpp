// The point readouts: mouse moves over painted graphs of a real main window and the label
// texts they leave.

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphState.h"
#include "ui/ChannelControls.h"
#include "ui/Fonts.h"

namespace {
// A mouse move over image n as the window system delivers it.
void MoveMouse(int n, int x, int y)
{
    GraphImage* image = GraphImages[n];
    const QPointF at(x, y);
    QMouseEvent move(QEvent::MouseMove, at, image->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(image, &move);
}

QStringList Texts(std::initializer_list<const QLabel*> labels)
{
    QStringList out;
    for (const QLabel* label : labels)
        out << label->text();
    return out;
}
} // namespace

class ReadoutTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    QStringList MapLabels() const
    {
        const TMForm& form = *Fixture->Window();
        return Texts({form.Graph_KHX_VLabel, form.Graph_KHX_CLabel, form.Graph_KHX_DLabel});
    }

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void MapReadoutAtTheEdgesOfThePlot_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QStringList>("labels");
        const QStringList prefixes{"Voltage, V: ", "Current, A: ", "Delta V, %: "};
        const QStringList firstCell{"Voltage, V: 3.300", "Current, A: 1.500", "Delta V, %: 0.000"};
        const QStringList lastCell{"Voltage, V: 3.400", "Current, A: 20.000", "Delta V, %: 3.030"};
        QTest::newRow("on the axis: row 0") << 61 << 380 << prefixes;
        QTest::newRow("one above the axis: row 1") << 61 << 379 << firstCell;
        QTest::newRow("five above the axis: row 1") << 65 << 375 << firstCell;
        QTest::newRow("on the vertical axis: column 0") << 60 << 379 << prefixes;
        QTest::newRow("top right cell") << 1060 << 80 << lastCell;
        QTest::newRow("right of the plot") << 1061 << 80 << prefixes;
        QTest::newRow("above the plot") << 1060 << 79 << prefixes;
        QTest::newRow("an empty cell") << 500 << 200
                                       << QStringList{"Voltage, V: 0.000", "Current, A: 0.000", "Delta V, %: -100.000"};
    }
    void MapReadoutAtTheEdgesOfThePlot()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QStringList, labels);
        TMForm& form = Fixture->Open();
        QCOMPARE(MapLabels(), (QStringList{"Voltage:", "Current:", "Delta V:"}));
        ResultStore.CrossLoadGrid[1][1][1] = {3.3f, 1.5f};
        ResultStore.CrossLoadGrid[1][60][200] = {3.4f, 20.0f};
        form.PC->setCurrentWidget(form.TabKHX);  // paints the "3.3V" map
        MoveMouse(1, x, y);
        QCOMPARE(MapLabels(), labels);
    }

    void ClearedStoreReadsZerosOnAPaintedMap()
    {
        TMForm& form = Fixture->Open();
        form.bRandomGraph->click();
        form.PC->setCurrentWidget(form.TabKHX);
        form.bClearGraphs->click();
        MoveMouse(1, 300, 300);
        QCOMPARE(MapLabels(), (QStringList{"Voltage, V: 0.000", "Current, A: 0.000", "Delta V, %: -100.000"}));
        // The unpainted neighbour resets the labels to their prefixes.
        MoveMouse(2, 300, 300);
        QCOMPARE(MapLabels(), (QStringList{"Voltage, V: ", "Current, A: ", "Delta V, %: "}));
    }

    void SummaryReadoutSumsTheFirstRails()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[4]->setText("3");
        for (int k = 4; k <= 11; ++k)
            ResultStore.CrossLoadGrid[k][10][20] = {12.0f + 0.1f * (k - 4), float(k)};
        form.PC->setCurrentWidget(form.TabKHX);
        form.KHX_GPC->setCurrentWidget(form.GraphSheet[25]);
        QVERIFY(GraphDrawnFlags[25]);
        // Row 10 covers y = 330 .. 334, column 20 x = 156 .. 160.
        MoveMouse(25, 158, 333);
        // 98.8 V over 3 rails; 4 + 5 + 6 A.
        QCOMPARE(MapLabels(), (QStringList{"Voltage, V: 32.933", "Current, A: 15.000", "Delta V, %: 174.444"}));
    }

    void SummaryReadoutWithoutAUsableRailCount()
    {
        TMForm& form = Fixture->Open();
        form.PC->setCurrentWidget(form.TabKHX);
        form.KHX_GPC->setCurrentWidget(form.GraphSheet[25]);
        MoveMouse(25, 158, 333);
        const QStringList shown = MapLabels();

        form.ATEdit[4]->setText("0");
        MoveMouse(25, 158, 333);
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", "test_graphs", "12V Rails = 0")});
        QCOMPARE(MapLabels(), shown);

        form.ATEdit[4]->setText("-");
        MoveMouse(25, 158, 333);
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", "test_graphs", "i:=10 j=20")});
        QCOMPARE(MapLabels(), shown);
        form.ATEdit[4]->setText("2");  // shutdown stores the fields
    }

    void NoiseReadout()
    {
        TMForm& form = Fixture->Open();
        ResultStore.NoiseGrid[3][2][3] = 123;
        form.PC->setCurrentWidget(form.TabNoise);
        form.Noise_GPC->setCurrentWidget(form.GraphSheet[16]);
        MoveMouse(16, 72, 372);
        QCOMPARE(form.Graph_Noise_NLabel->text(), QString("Noise, mV: 123"));
        MoveMouse(16, 72, 390);
        QCOMPARE(form.Graph_Noise_NLabel->text(), QString("Noise, mV: "));
    }

    void CurveReadoutsFollowTheColumnOnly()
    {
        TMForm& form = Fixture->Open();
        ResultStore.EfficiencyRun.ratios[0] = {95, 87};
        ResultStore.EfficiencyRun.thermal[199] = {45.5f, 1234, 5678};
        ResultStore.StandbyRun[7] = {5.05f, 3.0f};
        form.PC->setCurrentWidget(form.TabEfficiency);
        MoveMouse(12, 61, 90);  // far above the drawn point, same column
        QCOMPARE(Texts({form.Graph_PFC_PLabel, form.Graph_PFC_ELabel}),
                 (QStringList{"PFC: 0.95", "Efficiency, %: 87"}));

        form.Eff_GPC->setCurrentIndex(1);
        MoveMouse(13, 1100, 579);
        QCOMPARE(Texts({form.Graph_FAN_F1Label, form.Graph_FAN_F2Label, form.Graph_FAN_TLabel}),
                 (QStringList{"FAN 1, RPM: 1234", "FAN 2, RPM: 5678", "Temp, °C: 45.50"}));
        MoveMouse(13, 100, 300);  // on the fan graph's axis
        QCOMPARE(Texts({form.Graph_FAN_F1Label, form.Graph_FAN_F2Label, form.Graph_FAN_TLabel}),
                 (QStringList{"FAN 1, RPM: ", "FAN 2, RPM: ", "Temp, °C: "}));

        form.PC->setCurrentWidget(form.Tab5VStb);
        MoveMouse(26, 96, 500);
        QCOMPARE(Texts({form.STS_VLabel, form.STS_CLabel, form.STS_DLabel}),
                 (QStringList{"Voltage, V: 5.050", "Current, A: 3.000", "Delta V, %: 1.000"}));
        MoveMouse(26, 96, 581);
        QCOMPARE(Texts({form.STS_VLabel, form.STS_CLabel, form.STS_DLabel}),
                 (QStringList{"Voltage, V: ", "Current, A: ", "Delta V, %: "}));
    }

    void ZeroDotSizeReadsAsOne()
    {
        TMForm& form = Fixture->Open();
        AppSettings.DotWidth = 0;
        AppSettings.DotHeight = 0;
        ResultStore.CrossLoadGrid[1][1][1] = {3.3f, 2.0f};
        form.PC->setCurrentWidget(form.TabKHX);
        MoveMouse(1, 61, 139);
        QCOMPARE(MapLabels(), (QStringList{"Voltage, V: 3.300", "Current, A: 2.000", "Delta V, %: 0.000"}));
    }
};

TARVIK_TEST(ReadoutTest)
#include "ReadoutTest.moc"
