// What every graph writes as text and where: each text the painters draw, with the top-left
// corner of its cell, its size in points and its weight, in the order drawn. Default dots of
// 5 x 5 px and the front panel's default fields (200, 1200, 1400 W, 2 rails, 50 W standby).

#include <QFontMetrics>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "config/AppSettings.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphState.h"
#include "ui/Fonts.h"

namespace {

QString Call(int x, int y, int points, bool bold, const QString& text)
{
    return QString("%1,%2 %3pt%4 \"%5\"").arg(x).arg(y).arg(points).arg(bold ? " bold" : "").arg(text);
}

QStringList Describe(const std::vector<TTextCall>& calls)
{
    QStringList out;
    for (const TTextCall& call : calls)
        out << Call(call.X, call.Y, call.Points, call.Bold, call.Text);
    return out;
}

// The x of a map's caption: 50 px right of the end of the second title line (10 pt bold).
int CaptionX(const QString& line2) { return 80 + QFontMetrics(GraphFont(10, true)).horizontalAdvance(line2) + 50; }

// The load-map frame: axis at y = 380, left axis at x = 60, plot right edge 1060.
QStringList MapFrame()
{
    QStringList t{Call(55, 385, 8, false, "0")};
    const char* watts[] = {"33", "67", "100", "133", "167", "200"};  // 200 W over 60 rows
    for (int i = 1; i <= 6; ++i)
        t << Call(30, 380 - 50 * i - 5, 8, false, watts[i - 1]);
    for (int i = 1; i <= 10; ++i) {  // 1200 W over 200 columns: 10 A / 120 W a label
        t << Call(55 + 100 * i, 385, 8, false, QString::number(10 * i));
        t << Call(55 + 100 * i, 400, 8, false, QString::number(120 * i));
    }
    t << Call(40, 55, 8, false, "W") << Call(1085, 385, 8, false, "A") << Call(1085, 400, 8, false, "W");
    return t;
}

QStringList DeviationLegend()
{
    const char* labels[] = {">-5", "-5", "-4", "-3", "-2", "-1", " 0", "+1", "+2", "+3", "+4", "+5", ">+5"};
    QStringList t{Call(855, 30, 7, false, labels[0])};
    for (int k = 2; k <= 13; ++k)
        t << Call(860 + 15 * (k - 1) + 2, 30, 7, false, labels[k - 1]);
    return t << Call(1065, 20, 10, true, "%");
}

QStringList NoiseLegend()
{
    const char* labels[] = {"0", "25", " 50", " 75", "100", "125", "150", "175", "200", "225"};
    QStringList t{Call(860, 30, 7, false, labels[0])};
    for (int k = 2; k <= 10; ++k)
        t << Call(860 + 25 * (k - 1) - 6, 30, 7, false, labels[k - 1]);
    return t << Call(1090, 13, 10, true, "mV");
}

QStringList MapTitle(const QString& line1, const QString& line2, const QString& caption)
{
    return {Call(80, 20, 10, true, line1),       Call(80, 40, 10, true, line2),
            Call(CaptionX(line2), 40, 10, true, caption), Call(10, 20, 8, true, "+3.3V"),
            Call(10, 40, 8, true, "& +5V"),      Call(1050, 420, 8, true, "+12V")};
}

// The curve graphs' frame: axis at y = 580 and `left`; the vertical labels at x = labelX.
QStringList CurveFrame(int left, int labelX, const QStringList& vertical, const QStringList& row1,
                       const QStringList& row2)
{
    QStringList t{Call(left - 5, 585, 8, false, "0")};
    for (int i = 1; i <= 10; ++i)
        t << Call(labelX, 580 - 50 * i - 5, 8, false, vertical[i - 1]);
    for (int i = 1; i <= 10; ++i) {
        t << Call(left - 5 + 100 * i, 585, 8, false, row1[i - 1]);
        t << Call(left - 5 + 100 * i, 600, 8, false, row2[i - 1]);
    }
    return t;
}

QStringList Numbers(int step, int decimals = -1, double scale = 1)
{
    QStringList out;
    for (int i = 1; i <= 10; ++i)
        out << (decimals < 0 ? QString::number(step * i) : QString::number(step * i * scale, 'f', decimals));
    return out;
}

} // namespace

class GraphTextTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;
    std::vector<TTextCall> Calls;

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init()
    {
        Fixture.emplace();
        Calls.clear();
    }
    void cleanup()
    {
        RecordedTextCalls = nullptr;
        TARVIK_FINISH_WINDOW(Fixture);
    }

    void EveryTextAtItsPlace_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("texts");
        const QString line1 = "ACME 650W";
        for (const QString model : {"PX", "PX-1000 Platinum Modular"}) {
            const QString line2 = model + " 650B";
            QTest::newRow(qPrintable("cross-load +3.3V, model " + model))
                << "TabKHX" << 0 << model << MapFrame() + DeviationLegend() + MapTitle(line1, line2, "+3.3V");
        }
        QTest::newRow("cross-load +12V8") << "TabKHX" << 10 << "PX"
                                          << MapFrame() + DeviationLegend() + MapTitle(line1, "PX 650B", "+12V8");
        QTest::newRow("+12V summary") << "TabKHX" << 11 << "PX"
                                      << MapFrame() + DeviationLegend() +
                                             MapTitle(line1, "PX 650B", "+12V Summary");
        QTest::newRow("noise +5Vstb") << "TabNoise" << 2 << "PX"
                                      << MapFrame() + NoiseLegend() + MapTitle(line1, "PX 650B", "+5Vstb Noise");
        QTest::newRow("PFC / efficiency")
            << "TabEfficiency" << 0 << "PX"
            << CurveFrame(60, 30, Numbers(10, 2, 0.01), Numbers(10), Numbers(140)) +
                   QStringList{Call(1085, 585, 8, false, "%"),          Call(1085, 600, 8, false, "W"),
                               Call(1000, 25, 8, true, "Power factor"), Call(1000, 45, 8, true, "Efficiency"),
                               Call(80, 20, 10, true, line1),           Call(80, 40, 10, true, "PX 650B"),
                               Call(230, 20, 10, true, "PFC / Efficiency")};
        QStringList fan = CurveFrame(100, 60, Numbers(600), Numbers(10), Numbers(140));
        for (int i = 1; i <= 10; ++i)
            fan << Call(20, 580 - 50 * i - 5, 8, false, QString::number(10 * i) + ".0");
        fan << Call(70, 55, 8, false, "RPM") << Call(30, 55, 8, false, QString::fromUtf8("°C"))
            << Call(1125, 585, 8, false, "%") << Call(1125, 600, 8, false, "W") << Call(1080, 25, 8, true, "TEMP")
            << Call(1080, 40, 8, true, "FAN 1") << Call(1080, 55, 8, true, "FAN 2") << Call(120, 20, 10, true, line1)
            << Call(120, 40, 10, true, "PX 650B") << Call(270, 20, 10, true, "Temperature / Fans");
        QTest::newRow("temperature / fans") << "TabEfficiency" << 1 << "PX" << fan;
        QStringList volts;
        for (int i = 1; i <= 10; ++i)
            volts << QString::number(4.5 + i * 0.1, 'f', 2);
        QTest::newRow("+5Vstb") << "Tab5VStb" << 0 << "PX"
                                << CurveFrame(60, 30, volts, Numbers(1, 2), Numbers(5)) +
                                       QStringList{Call(40, 55, 8, false, "V"),      Call(1085, 585, 8, false, "A"),
                                                   Call(1085, 600, 8, false, "W"),   Call(80, 20, 10, true, line1),
                                                   Call(80, 40, 10, true, "PX 650B"),
                                                   Call(230, 20, 10, true, "+5Vstb test")};
    }
    void EveryTextAtItsPlace()
    {
        QFETCH(QString, page);
        QFETCH(int, index);
        QFETCH(QString, model);
        QFETCH(QStringList, texts);
        Fixture->WriteFile("settings.ini", "[General]\r\nEFC_PFC_Test=1\r\n");
        TMForm& form = Fixture->Open();
        AppSettings.DutDescription.Vendor = "ACME";
        AppSettings.DutDescription.Power = 650;
        AppSettings.DutDescription.Model = model;
        AppSettings.DutDescription.Code = "650B";
        form.PC->setCurrentWidget(form.findChild<QWidget*>(page));
        auto* pages = page == "TabKHX" ? form.KHX_GPC : page == "TabNoise" ? form.Noise_GPC
                                                      : page == "TabEfficiency" ? form.Eff_GPC : form.STS_GPC;
        pages->setCurrentIndex(index);
        RecordedTextCalls = &Calls;
        form.bRepaintGraphs->click();
        RecordedTextCalls = nullptr;
        QCOMPARE(Describe(Calls), texts);
    }
};

TARVIK_TEST(GraphTextTest)
#include "GraphTextTest.moc"
