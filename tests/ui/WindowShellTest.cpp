// The main window as designed: its frame, its controls' captions, places and fonts, the
// channel panels' colours, the main menu and the About dialog, and what start-up and
// shutdown do with settings.ini's [TR] and [ATS].

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "ui/AboutForm.h"

namespace {
const QString Unchecked = "*";

QString TextOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return QString();
}
} // namespace

class WindowShellTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void TheWindowsFrame()
    {
        TMForm& form = Fixture->Open();
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowSystemMenuHint);
        QCOMPARE(form.minimumSize(), form.maximumSize());  // the user cannot resize it
        QCOMPARE(form.pos(), QPoint(297, 170));
        QCOMPARE(form.font().family(), QString("Tahoma"));
        QCOMPARE(form.font().pointSize(), 8);
    }

    // Each control of the window: caption or text ("*" = set at start-up, not checked),
    // geometry (null: not given; width -1: only the top-left corner; height -1: corner and
    // width), pixel size of its font (0: the window's Tahoma 8 pt), bold, enabled.
    void ControlsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("enabled");
        const auto row = [](const char* name, const QString& text, QRect geometry = QRect(), int pixels = 0,
                            bool bold = false, bool enabled = true) {
            QTest::newRow(name) << QString(name) << text << geometry << pixels << bold << enabled;
        };
        // The right-hand panel's groups and what they hold.
        row("PSUGroup", "PSU status / control", QRect(8, 8, 153, 97));
        row("PWRONLabel", "PWR_OK ON, ms:");
        row("PWROFFLabel", "PWR_OK OFF, ms:");
        row("PSUStatusLabel", "Status: OFF", QRect(), 0, true);
        row("bPSUON", "Turn ON");
        row("bPSUOFF", "Turn OFF");
        row("StandGroup", "Stand status / control", QRect(8, 112, 153, 81));
        row("ConnectInfoLabel", "Disconnected", QRect(), 0, true);
        row("ErrorLabel", "No errors");
        row("bConnect", "Connect");
        row("bDisconnect", "Disconnect", QRect(), 0, false, false);
        row("OutputGroup", "Output", QRect(8, 200, 153, 81));
        row("PSUpower1Label", "Low voltage power:");
        row("PSUpower2Label", "High voltage power:");
        row("PSUpower3Label", "Total power:");
        row("PSUpower4Label", "Efficiency:");
        row("BlockAC", "AC", QRect(8, 288, 153, 81));
        row("ACVLabel", "Voltage:");
        row("ACCLabel", "Current:");
        row("ACFLabel", "Frequency:");
        row("ACPLabel", "Power:");
        row("ThermalGroup", "Thermal control", QRect(8, 376, 153, 81));
        row("T1Sensor", QString::fromUtf8("T1, °C:"));
        row("T4Sensor", QString::fromUtf8("T4, °C:"));
        row("GraphsGroup", "Graphs", QRect(8, 464, 153, 177));
        row("bRandomGraph", "Random graphs");
        row("bRepaintGraphs", "Repaint graphs");
        row("bClearGraphs", "Clear graphs");
        row("bKHXSave", "Save Data");
        row("bKHXLoad", "Load Data");
        // The front panel's channel labels (channel 4 stands for all).
        row("FPTitle4", "CH4 +12V1", QRect(8, 8, -1, 0));
        row("FPVD4Sensor", "", QRect(65, 32, -1, 0), 15, true);
        row("FPCP4Status", "", QRect(97, 32, -1, 0), 15, true);
        row("FPV4Sensor", "0 VDC", QRect(3, 67, 134, 25), 16, true);
        row("FPC4Sensor", "0 ADC", QRect(3, 91, 134, 25), 16, true);
        row("FPNL4Sensor", "0 mV", QRect(16, 128, -1, 0), 12);
        row("FPNF4Sensor", "0 kHz", QRect(103, 128, -1, 0), 12);
        // The test buttons.
        row("bATStart", "Start KHX", QRect(0, 304, 145, 33), 16);
        row("bATStop", "Stop KHX", QRect(0, 340, 145, 25), 16, false, false);
        row("bStartPFC", "Start PFC", QRect(152, 304, 145, 33), 16);
        row("bStopPFC", "Stop PFC", QRect(152, 340, 145, 25), 16, false, false);
        row("bStartNoise", "Start Noise", QRect(304, 304, 145, 33), 16);
        row("bStopNoise", "Stop Noise", QRect(304, 340, 145, 25), 16, false, false);
        row("bSTStart", "Start +5Vstb", QRect(456, 304, 145, 33), 16);
        row("bSTStop", "Stop +5Vstb", QRect(456, 340, 145, 25), 16, false, false);
        // The groups below them.
        row("TRGroup", "Transient response", QRect(0, 368, 169, 145));
        row("cbTREnable", "enable load");
        row("bApplyTR", "Apply");
        row("bStartTR", "Start");
        row("bStopTR", "Stop", QRect(), 0, false, false);
        row("ATGroup", "Auto-testing settings", QRect(176, 368, 177, 185));
        row("AdvGlowButton3", "SET ALL 1A LOAD", QRect(0, 520, 169, 24), 13);
        row("AdvGlowButton5", "SET ALL 0A LOAD", QRect(0, 548, 169, 24), 13);
        row("FrontPanelErrorPanel", "Status: No errors", QRect(0, 576, 705, 32), 16, true);
        row("HwInfoGroup", "Hardware info", QRect(728, 360, 177, -1));
        row("HwInfoMFG", "MFG:");
        row("HwInfoBoardId", "Board ID:");
        row("HwInfoFirmware", "Firmware:");
        row("HwInfoCalibrated", "Calibrated:");
        row("HwInfoModelId", "Model ID:");
        row("AuxGroup", "Aux. voltages", QRect(728, 466, 177, -1));
        row("AuxSensor1", "-12V voltage:");
        row("AuxSensor2", "5Vstb voltage:");
        row("FanGroup", "Fan control", QRect(728, 516, 177, -1));
        row("FANLabel1", "FAN1 speed, RPM:");
        row("FANLabel2", "FAN2 speed, RPM:");
        row("TimerGroup", "Timer", QRect(728, 566, 177, -1));
        row("TimerLabel", "00:00:00", QRect(), 16, true);
    }
    void ControlsAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QRect, geometry);
        QFETCH(int, pixels);
        QFETCH(bool, bold);
        QFETCH(bool, enabled);
        TMForm& form = Fixture->Open();
        auto* control = form.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(name));
        if (text != Unchecked)
            QCOMPARE(TextOf(control), text);
        if (name.startsWith("bRandomGraph") || name.startsWith("bRepaint") || name.startsWith("bClear") ||
            name.startsWith("bKHX"))
            QCOMPARE(control->width(), 137);
        else if (geometry.width() == -1)
            QCOMPARE(control->pos(), geometry.topLeft());
        else if (geometry.height() == -1)
            QCOMPARE(QRect(control->pos(), QSize(control->width(), -1)), geometry);
        else if (!geometry.isNull())
            QCOMPARE(control->geometry(), geometry);
        const QFont font = control->font();
        QCOMPARE(font.family(), QString("Tahoma"));
        if (pixels > 0)
            QCOMPARE(font.pixelSize(), pixels);
        else
            QCOMPARE(font.pointSize(), 8);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(control->isEnabled(), enabled);
    }

    void TheAutoTestingFieldsTopToBottom()
    {
        TMForm& form = Fixture->Open();
        QList<QPair<int, QString>> rows;
        for (int n = 1; n <= 7; ++n) {
            auto* label = form.findChild<QLabel*>(QString("ATLabel%1").arg(n));
            QVERIFY(label);
            QCOMPARE(label->parentWidget(), form.ATEdit[n]->parentWidget());
            QVERIFY(std::abs(label->y() - form.ATEdit[n]->y()) < form.ATEdit[n]->height());  // side by side
            rows << qMakePair(form.ATEdit[n]->y(), label->text() + " " + form.ATEdit[n]->objectName());
        }
        std::sort(rows.begin(), rows.end());
        QStringList order;
        for (const auto& row : rows)
            order << row.second;
        QCOMPARE(order, (QStringList{"MP, +3.3 and +5, W: ATEdit1", "MP, +12, W: ATEdit2",
                                     "Total max. power, W: ATEdit3", "+5Vstb max. power, W: ATEdit7",
                                     "12V rails: ATEdit4", "PSU type: ATEdit5", "Steps: ATEdit6"}));
    }

    void ChannelPanelsPlacesAndColours_data()
    {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QPoint>("place");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("CH1") << "AdvPanel1" << QPoint(303, 0) << QColor(243, 192, 193);
        QTest::newRow("CH2") << "FP2" << QPoint(454, 0) << QColor(243, 192, 231);
        QTest::newRow("CH3") << "FP3" << QPoint(152, 0) << QColor(180, 180, 180);
        QTest::newRow("CH4") << "FP4" << QPoint(606, 0) << QColor(225, 192, 243);
        QTest::newRow("CH5") << "FP5" << QPoint(758, 0) << QColor(197, 192, 243);
        QTest::newRow("CH6") << "FP6" << QPoint(0, 152) << QColor(243, 222, 192);
        QTest::newRow("CH7") << "FP7" << QPoint(152, 152) << QColor(243, 239, 192);
        QTest::newRow("CH8") << "FP8" << QPoint(303, 152) << QColor(219, 243, 192);
        QTest::newRow("CH9") << "FP9" << QPoint(454, 152) << QColor(193, 242, 197);
        QTest::newRow("CH10") << "FP10" << QPoint(606, 152) << QColor(192, 243, 229);
        QTest::newRow("CH11") << "FP11" << QPoint(758, 152) << QColor(192, 220, 243);
        QTest::newRow("CH12") << "FP12" << QPoint(0, 0) << QColor(255, 255, 255);
    }
    void ChannelPanelsPlacesAndColours()
    {
        QFETCH(QString, panel);
        QFETCH(QPoint, place);
        QFETCH(QColor, colour);
        TMForm& form = Fixture->Open();
        auto* widget = form.findChild<QWidget*>(panel);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), QRect(place, QSize(150, 150)));
        QCOMPARE(widget->palette().color(widget->backgroundRole()), colour);
        QVERIFY(widget->autoFillBackground());
    }

    void TheMainMenu()
    {
        TMForm& form = Fixture->Open();
        QStringList menus;
        for (QAction* menu : form.MM->actions()) {
            QStringList items;
            for (QAction* item : menu->menu()->actions())
                items << (item->isSeparator() ? "-" : item->text()) + "=" + item->objectName();
            menus << menu->text() + "=" + menu->menu()->objectName() + ": " + items.join(", ");
        }
        // The two exports follow Settings, before the separator.
        QCOMPARE(menus, (QStringList{"File=mFile: Settings=mSettings, Export CSV...=mExportCsv, "
                                     "Export report...=mExportReport, -=N1, Exit=mExit",
                                     "Help=mHelp: About=mAbout"}));
    }

    void TheAboutDialogIsMadeOnceAndShownAgain()
    {
        TMForm& form = Fixture->Open();
        QList<TAboutForm*> shown;
        for (int round = 0; round < 2; ++round) {
            QTimer::singleShot(50, [&] {
                auto* dialog = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
                shown << dialog;
                if (dialog)
                    dialog->accept();
            });
            form.mAbout->trigger();
        }
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0] != nullptr);
        QCOMPARE(shown[1], shown[0]);
        QCOMPARE(form.findChildren<TAboutForm*>().size(), 1);
    }

    void ShutdownWritesTransientThenAutoTesting()
    {
        // From no settings.ini, quitting writes exactly [TR] and then [ATS].
        TMForm& form = Fixture->Open();
        Fixture->Dialogs.AnswerYesNo(true);
        form.mExit->trigger();
        Fixture->Dialogs.Take();
        const QString text = QString::fromLatin1(Fixture->ReadFile("settings.ini"));
        QStringList sections;
        for (const QString& line : text.split("\r\n"))
            if (line.startsWith('['))
                sections << line;
        QCOMPARE(sections, (QStringList{"[TR]", "[ATS]"}));
    }

    void StartUpShowsChannelOnesTransientSettings()
    {
        // [TR] is read before the configuration is applied, so the fields show channel 1's
        // stored values without the channel being chosen again.
        Fixture->WriteFile("settings.ini", "[TR]\r\nCurrent1=5\r\nInterval1=300\r\nEnabled1=1\r\n"
                                           "Current2=7\r\nInterval2=900\r\nEnabled2=0\r\n");
        TMForm& form = Fixture->Open();
        QCOMPARE(form.ChannelList->currentIndex(), 0);
        QCOMPARE(form.TRCEdit->text(), QString("5"));
        QCOMPARE(form.TRIEdit->text(), QString("300"));
        QVERIFY(form.cbTREnable->isChecked());
    }
};

TARVIK_TEST(WindowShellTest)
#include "WindowShellTest.moc"
