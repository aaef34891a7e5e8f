// The settings dialog driven as a user drives it: fields typed or pasted, entries chosen,
// buttons pressed, dialogs answered through the recorder; checked on screen, in settings.ini,
// in the configuration and in the window the configuration is applied to.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>
#include <map>

#include "PtyPeer.h"
#include "SettingsDialogSupport.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "core/Conversions.h"
#include "core/LogFile.h"
#include "core/ProgramState.h"
#include "ui/MainForm.h"

namespace {

const QByteArray Report = "!REP;Tarvik;ATE-12;2.14;2026-11-03;PSU-TS1;#";

enum Page { General, Connection, Stand, PsuInfo, Graph, Thresholds };

// A settings.ini in which every value the dialog shows differs from its default.
const QByteArray UnusualFile =
    "[General]\r\nWriteLog=1\r\nLVRatio=1.5\r\nGVTimeout=250\r\nGUIColor1=1\r\nGUIColor2=2\r\nGUIColor3=3\r\n"
    "[Connection]\r\nPort=7\r\nSpeed=9600\r\nDataBits=7\r\nParity=odd\r\nStopBits=2\r\nHanshaking=XON/XOFF\r\n"
    "[Stand]\r\nM3V3=1\r\nM5V=2\r\nM5Vstb=3\r\nM12V1=4\r\nM12V2=5\r\nM12V3=6\r\nM12V4=7\r\nM12V5=8\r\nM12V6=9\r\n"
    "M12V7=10\r\nM12V8=11\r\nC3V3=1.5\r\nC5V=2.5\r\nC5Vstb=3.5\r\nC12V1=4.5\r\nC12V2=5.5\r\nC12V3=6.5\r\n"
    "C12V4=7.5\r\nC12V5=8.5\r\nC12V6=9.5\r\nC12V7=10.5\r\nC12V8=11.5\r\nMT1=1\r\nMT2=2\r\nMT3=3\r\nMT4=4\r\n"
    "AREF=2.5\r\nFADC=3\r\nFCPU=1000\r\nFMCK=2000\r\nMDAC=1\r\n"
    "[Graph]\r\nDotShape=2\r\nDotWidth=7\r\nDotHeight=8\r\n"
    "Color1=1\r\nColor2=2\r\nColor3=3\r\nColor4=4\r\nColor5=5\r\nColor6=6\r\nColor7=7\r\nColor8=8\r\nColor9=9\r\n"
    "Color10=10\r\nColor11=11\r\nColor12=12\r\nColor13=13\r\nColor14=14\r\nColor15=15\r\nColor16=16\r\n"
    "Color17=17\r\nColor18=18\r\nColor19=19\r\nColor20=20\r\nColor21=21\r\nColor22=22\r\nColor23=23\r\n"
    "Color24=24\r\nColor25=25\r\nColor26=26\r\nColor27=27\r\nColor28=28\r\n"
    "[Tresholds]\r\nVmin1=1\r\nVmax1=2\r\nImax1=3\r\nNmax1=4\r\nVmin2=1\r\nVmax2=2\r\nImax2=3\r\nNmax2=4\r\n"
    "Vmin3=1\r\nVmax3=2\r\nImax3=3\r\nNmax3=4\r\nVmin4=1\r\nVmax4=2\r\nImax4=3\r\nNmax4=4\r\n"
    "Vmin5=1\r\nVmax5=2\r\nImax5=3\r\nNmax5=4\r\nVmin6=1\r\nVmax6=2\r\nImax6=3\r\nNmax6=4\r\n"
    "Vmin7=1\r\nVmax7=2\r\nImax7=3\r\nNmax7=4\r\nVmin8=1\r\nVmax8=2\r\nImax8=3\r\nNmax8=4\r\n"
    "Vmin9=1\r\nVmax9=2\r\nImax9=3\r\nNmax9=4\r\nVmin10=1\r\nVmax10=2\r\nImax10=3\r\nNmax10=4\r\n"
    "Vmin11=1\r\nVmax11=2\r\nImax11=3\r\nNmax11=4\r\n"
    "[PSU]\r\nVendor=V\r\nModel=M\r\nCode=C\r\nSN=S\r\nPower=500\r\nMaxCurrent1=1\r\nMaxCurrent2=2\r\n"
    "MaxCurrent3=3\r\nMaxCurrent4=4\r\nMaxCurrent5=5\r\nMaxCurrent6=6\r\nMaxCurrent7=7\r\nMaxCurrent8=8\r\n"
    "MaxCurrent9=9\r\nMaxCurrent10=10\r\nMaxCurrent11=11\r\n";

using TShown = QMap<QString, QString>;

TShown DefaultColours()
{
    const TColor defaults[28] = {255,   16747008, 16764672, 13555456, 7586560, 7069440, 65280,
                                 55155, 48788,    55246,    47838,    28143,   16715023, 16777215,
                                 8388608, 128,    255,      32768,    16711680, 65280,  55155,
                                 48788, 32896,    32768,    55246,    47838,   28143,   255};
    TShown shown;
    for (int n = 1; n <= 28; ++n)
        shown[QString("ColorBox%1").arg(n)] = QString::number(defaults[n - 1]);
    return shown;
}

TShown DefaultThresholds()
{
    TShown shown;
    for (int n = 1; n <= 11; ++n) {
        const bool low = n == 1;
        const bool five = n == 2 || n == 3;
        shown[QString("Vmin%1").arg(n)] = low ? "3.135" : five ? "4.750" : "11.400";
        shown[QString("Vmax%1").arg(n)] = low ? "3.465" : five ? "5.250" : "12.600";
        shown[QString("Imax%1").arg(n)] = "30.000";
        shown[QString("Nmax%1").arg(n)] = n <= 3 ? "50" : "120";
    }
    return shown;
}

TShown DefaultCurrents()
{
    const char* currents[11] = {"20", "25", "10", "25", "25", "25", "30", "30", "30", "30", "30"};
    TShown shown;
    for (int n = 1; n <= 11; ++n)
        shown[QString("PSUC%1Edit").arg(n)] = currents[n - 1];
    return shown;
}

TShown Joined(TShown a, const TShown& b)
{
    for (auto it = b.begin(); it != b.end(); ++it)
        a[it.key()] = it.value();
    return a;
}

// The configuration values the failure cases look at, by the name of the field that edits them.
QString Stored(const QString& name)
{
    const TAppSettings& s = AppSettings;
    const std::map<QString, std::function<QString()>> values = {
        {"cbEnableLog", [&] { return QString(s.WriteLog ? "ticked" : "clear"); }},
        {"LVRatioEdit", [&] { return QString::number(s.LVRatio); }},
        {"GVTimerEdit", [&] { return QString::number(s.GVTimeout); }},
        {"DotShapeList", [&] { return QString::number(s.DotShape); }},
        {"PSUVendorEdit", [&] { return s.DutDescription.Vendor; }},
        {"PSUC11Edit", [&] { return QString::number(s.DutDescription.MaxCurrent[11]); }},
        {"PortList", [&] { return QString::number(s.COMSettings.Port); }},
        {"M12V8Edit", [&] { return QString::number(s.CalibrationSet.MValue[11]); }},
        {"AREFEdit", [&] { return QString::number(s.CalibrationSet.AREF); }},
        {"MdacList", [&] { return QString::number(s.CalibrationSet.MDAC); }},
        {"Imax11", [&] { return QString::number(s.ChannelThresholds[11].Imax); }},
        {"Vmax11", [&] { return QString::number(s.ChannelThresholds[11].Vmax); }},
        {"Nmax11", [&] { return QString::number(s.ChannelThresholds[11].Nmax); }},
    };
    const auto it = values.find(name);
    return it == values.end() ? QString("<not listed>") : it->second();
}

// Puts a value into a field: an entry of a list, a tick, or pasted text.
void Enter(TSettingsDialogFixture& fixture, const QString& name, const QString& value)
{
    QWidget* control = fixture.Find(name);
    if (auto* check = qobject_cast<QCheckBox*>(control))
        check->setChecked(value == "ticked");
    else if (qobject_cast<QComboBox*>(control))
        fixture.Choose(name, value);
    else
        fixture.Paste(name, value);
}

} // namespace

class SettingsFormTest : public QObject {
    Q_OBJECT
    std::optional<TSettingsDialogFixture> Fixture;

    QString Error(const QString& text) { return DescribeDialog("Error", ApplicationTitle(), text, TDialogIcon::Error); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_DIALOG(Fixture); }

    void TheMenuOpensAFreshDialogOnTheGeneralPage()
    {
        TMForm& form = Fixture->Open();
        QStringList seen;
        // Runs inside the modal dialog once it is up.
        const auto whenOpen = [&seen](std::function<void(TSettingsForm&)> steps) {
            QTimer::singleShot(0, [&seen, steps] {
                auto* dialog = qobject_cast<TSettingsForm*>(QApplication::activeModalWidget());
                if (!dialog) {
                    seen << "no dialog";
                    return;
                }
                steps(*dialog);
                if (dialog->isVisible())
                    dialog->reject();
            });
        };
        whenOpen([&seen](TSettingsForm& d) {
            QStringList tabs;
            for (int i = 0; i < d.Pages->count(); ++i)
                tabs << d.Pages->widget(i)->objectName() + "=" + d.Pages->tabText(i);
            seen << d.windowTitle() << QString("%1x%2").arg(d.width()).arg(d.height()) << tabs.join(", ")
                 << QString::number(d.Pages->currentIndex()) << d.LVRatioEdit->text();
            QStringList ports;
            for (int i = 0; i < d.PortList->count(); ++i)
                ports << d.PortList->itemText(i);
            seen << QString::number(ports.size()) + " " + ports.first() + ".." + ports.last();
            // Edits, then another page, then Cancel.
            d.LVRatioEdit->setText("1.5");
            d.Pages->setCurrentIndex(Thresholds);
            d.bCancel->click();
        });
        form.mSettings->trigger();
        QCOMPARE(seen, (QStringList{"Settings", "600x667",
                                    "AdvOfficePage4=General, pgConnection=Connection, pgStand=Stand, pgPSUInfo=PSU Info, "
                                    "AdvOfficePage1=Graph, AdvOfficePage2=Channel tresholds",
                                    "0", "0.800", "32 COM1..COM32"}));
        QCOMPARE(AppSettings.LVRatio, 0.8f);
        QVERIFY(form.findChildren<TSettingsForm*>().isEmpty());  // freed when it closed

        // The next opening starts from the configuration again, on the first page.
        seen.clear();
        whenOpen([&seen](TSettingsForm& d) {
            seen << QString::number(d.Pages->currentIndex()) << d.LVRatioEdit->text();
            d.bOk->click();
            seen << (d.result() == QDialog::Accepted ? "accepted" : "not accepted");
        });
        form.mSettings->trigger();
        QCOMPARE(seen, (QStringList{"0", "0.800", "accepted"}));
        QCOMPARE(Fixture->Key("General", "LVRatio"), QString("0.800"));
        QVERIFY(form.findChildren<TSettingsForm*>().isEmpty());
    }

    void TheCloseBoxIsCancel()
    {
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("LVRatioEdit", "2");
        dialog.close();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(AppSettings.LVRatio, 0.8f);
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
    }

    void ShowSettingsFormats_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown");
        const QByteArray none;
        QTest::newRow("ratio 0.8") << none << "LVRatioEdit" << "0.800";
        QTest::newRow("ratio rounded to five digits") << QByteArray("[General]\r\nLVRatio=1.23456\r\n") << "LVRatioEdit"
                                                      << "1.235";
        QTest::newRow("polling") << none << "GVTimerEdit" << "100";
        QTest::newRow("logging off") << none << "cbEnableLog" << "clear";
        QTest::newRow("logging on") << QByteArray("[General]\r\nWriteLog=1\r\n") << "cbEnableLog" << "ticked";
        QTest::newRow("M 15.916") << none << "M3V3Edit" << "15.916";
        QTest::newRow("M five digits") << QByteArray("[Stand]\r\nM12V8=123.456789\r\n") << "M12V8Edit" << "123.460";
        QTest::newRow("C 5.7") << none << "C5VEdit" << "5.700";
        QTest::newRow("MT 0") << none << "MT4Edit" << "0.000";
        QTest::newRow("AREF 3.3") << none << "AREFEdit" << "3.300";
        QTest::newRow("FCPU") << none << "FCPUEdit" << "18432000";
        QTest::newRow("MDAC 0") << none << "MdacList" << "0";
        QTest::newRow("MDAC 1") << QByteArray("[Stand]\r\nMDAC=1\r\n") << "MdacList" << "1";
        QTest::newRow("Vmin 3.135") << none << "Vmin1" << "3.135";
        QTest::newRow("Vmax 12.6") << none << "Vmax11" << "12.600";
        QTest::newRow("Imax 30") << none << "Imax5" << "30.000";
        QTest::newRow("Nmax 50") << none << "Nmax3" << "50";
        QTest::newRow("Nmax 120") << none << "Nmax4" << "120";
        QTest::newRow("port 1") << none << "PortList" << "COM1";
        QTest::newRow("port 32") << QByteArray("[Connection]\r\nPort=32\r\n") << "PortList" << "COM32";
        QTest::newRow("port 33 matches nothing") << QByteArray("[Connection]\r\nPort=33\r\n") << "PortList" << "<none>";
        QTest::newRow("speed") << none << "PortSpeedList" << "115200";
        QTest::newRow("speed not offered") << QByteArray("[Connection]\r\nSpeed=250000\r\n") << "PortSpeedList"
                                           << "<none>";
        QTest::newRow("data bits") << none << "PortDataBitsList" << "8";
        QTest::newRow("data bits not offered") << QByteArray("[Connection]\r\nDataBits=9\r\n") << "PortDataBitsList"
                                               << "<none>";
        QTest::newRow("parity in capitals") << QByteArray("[Connection]\r\nParity=EVEN\r\n") << "PortParityList"
                                            << "even";
        QTest::newRow("stop bits 1.5") << QByteArray("[Connection]\r\nStopBits=1.5\r\n") << "PortStopbitsList"
                                       << "1.5";
        QTest::newRow("handshaking, other case") << QByteArray("[Connection]\r\nHanshaking=rts/cts+xon/xoff\r\n")
                                                 << "PortHandshakingList" << "RTS/CTS+XON/XOFF";
        QTest::newRow("handshaking not offered") << QByteArray("[Connection]\r\nHanshaking=DTR\r\n")
                                                 << "PortHandshakingList" << "<none>";
        QTest::newRow("dot shape") << QByteArray("[Graph]\r\nDotShape=2\r\n") << "DotShapeList" << "Rhombus";
        QTest::newRow("dot width") << none << "DWEdit" << "5";
        QTest::newRow("colour") << QByteArray("[Graph]\r\nColor7=1193046\r\n") << "ColorBox7" << "1193046";
        QTest::newRow("GUI colour") << none << "GUIColorBox3" << "14942207";
        QTest::newRow("vendor") << QByteArray("[PSU]\r\nVendor=Acme Power\r\n") << "PSUVendorEdit" << "Acme Power";
        QTest::newRow("power") << none << "PSUPowerEdit" << "0";
        QTest::newRow("+5Vstb current") << none << "PSUC3Edit" << "10";
    }
    void ShowSettingsFormats()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        if (!file.isEmpty())
            Fixture->WriteFile("settings.ini", file);
        Fixture->OpenDialog();
        QCOMPARE(Fixture->Shown(control), shown);
    }

    void DefaultRestoresOnlyThePageShown_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<TShown>("changed");
        QTest::newRow("General") << int(General)
                                 << TShown{{"LVRatioEdit", "0.80"},
                                           {"GUIColorBox1", "15135487"},
                                           {"GUIColorBox2", "15132415"},
                                           {"GUIColorBox3", "14942207"}};
        QTest::newRow("Connection") << int(Connection)
                                    << TShown{{"PortList", "COM1"},       {"PortSpeedList", "115200"},
                                              {"PortDataBitsList", "8"},  {"PortParityList", "none"},
                                              {"PortStopbitsList", "1"},  {"PortHandshakingList", "none"}};
        QTest::newRow("Stand changes nothing") << int(Stand) << TShown{};
        QTest::newRow("PSU Info: the currents") << int(PsuInfo) << DefaultCurrents();
        QTest::newRow("Graph: 2 x 2 dots") << int(Graph)
                                           << Joined(TShown{{"DotShapeList", "Rectangle"}, {"DWEdit", "2"}, {"DHEdit", "2"}},
                                                     DefaultColours());
        QTest::newRow("Channel tresholds") << int(Thresholds) << DefaultThresholds();
    }
    void DefaultRestoresOnlyThePageShown()
    {
        QFETCH(int, page);
        QFETCH(TShown, changed);
        Fixture->WriteFile("settings.ini", UnusualFile);
        TSettingsForm& dialog = Fixture->OpenDialog();
        const TShown before = Fixture->ShownFields();
        QCOMPARE(before.value("Vmin1"), QString("1.000"));  // the file was read
        Fixture->ShowPage(page);
        dialog.bDefault->click();
        const TShown after = Fixture->ShownFields();
        QCOMPARE(after.keys(), before.keys());
        TShown differences;
        for (auto it = after.begin(); it != after.end(); ++it)
            if (before.value(it.key()) != it.value())
                differences[it.key()] = it.value();
        QCOMPARE(differences, changed);
        // Nothing is taken until OK.
        QCOMPARE(AppSettings.ChannelThresholds[1].Vmin, 1.0f);
        QCOMPARE(AppSettings.DotWidth, uint8_t(7));
    }

    void DefaultThresholdsThenOkSaveTheirExactValues()
    {
        Fixture->WriteFile("settings.ini", UnusualFile);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->ShowPage(Thresholds);
        dialog.bDefault->click();
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Fixture->Key("Tresholds", "Vmin1"), QString("3.13499999046326"));
        QCOMPARE(Fixture->Key("Tresholds", "Vmax1"), QString("3.46499991416931"));
        QCOMPARE(Fixture->Key("Tresholds", "Imax1"), QString("30"));
        QCOMPARE(Fixture->Key("Tresholds", "Nmax1"), QString("50"));
        QCOMPARE(Fixture->Key("Tresholds", "Vmin2"), QString("4.75"));
        QCOMPARE(Fixture->Key("Tresholds", "Nmax11"), QString("120"));
        QCOMPARE(AppSettings.ChannelThresholds[1].Vmin, 3.135f);
        QCOMPARE(AppSettings.ChannelThresholds[11].Vmax, 12.6f);
        // The other pages kept what the file held.
        QCOMPARE(Fixture->Key("Graph", "DotWidth"), QString("7"));
        QCOMPARE(Fixture->Key("Stand", "M12V8"), QString("11.000"));
    }

    void OkSavesEveryPageFromItsFields()
    {
        Fixture->WriteFile("settings.ini", UnusualFile);
        TSettingsForm& dialog = Fixture->OpenDialog();
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        // Each field went to its own key, in the file's forms.
        const QList<std::array<QString, 3>> keys = {
            {"General", "WriteLog", "1"},      {"General", "LVRatio", "1.500"},    {"General", "GVTimeout", "250"},
            {"General", "GUIColor3", "3"},     {"Connection", "Port", "7"},        {"Connection", "Speed", "9600"},
            {"Connection", "DataBits", "7"},   {"Connection", "Parity", "odd"},    {"Connection", "StopBits", "2"},
            {"Connection", "Hanshaking", "XON/XOFF"}, {"Stand", "M3V3", "1.000"},  {"Stand", "C12V8", "11.500"},
            {"Stand", "MT4", "4.000"},         {"Stand", "AREF", "2.500"},         {"Stand", "FADC", "3"},
            {"Stand", "FCPU", "1000"},         {"Stand", "FMCK", "2000"},          {"Stand", "MDAC", "1"},
            {"Graph", "DotShape", "2"},        {"Graph", "DotWidth", "7"},         {"Graph", "DotHeight", "8"},
            {"Graph", "Color1", "1"},          {"Graph", "Color28", "28"},         {"Tresholds", "Vmin11", "1"},
            {"Tresholds", "Imax6", "3"},       {"Tresholds", "Nmax9", "4"},        {"PSU", "Vendor", "V"},
            {"PSU", "SN", "S"},                {"PSU", "Power", "500"},            {"PSU", "MaxCurrent11", "11"},
        };
        for (const auto& [section, key, value] : keys)
            QVERIFY2(Fixture->Key(section, key) == value, qPrintable(section + "/" + key + "=" + Fixture->Key(section, key)));
    }

    void TheFirstFieldThatFailsStopsOk_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("before");       // a field taken before the failing one
        QTest::addColumn<QString>("beforeValue");
        QTest::addColumn<QString>("beforeStored");
        const QString real = "'%1' is not a valid floating point value.";
        const QString whole = "'%1' is not a valid integer value.";
        QTest::newRow("only a full stop") << "LVRatioEdit" << "." << real.arg(".") << "cbEnableLog" << "ticked"
                                          << "ticked";
        QTest::newRow("empty interval") << "GVTimerEdit" << "" << whole.arg("") << "LVRatioEdit" << "1.5" << "1.5";
        QTest::newRow("dot width with a point") << "DWEdit" << "." << whole.arg(".") << "DotShapeList" << "Rhombus"
                                                << "2";
        QTest::newRow("empty current") << "PSUC11Edit" << "" << whole.arg("") << "PSUVendorEdit" << "Acme"
                                       << "Acme";
        QTest::newRow("two points") << "M12V8Edit" << "1.2.3" << real.arg("1.2.3") << "PortList" << "COM5" << "5";
        QTest::newRow("whole number with exponent") << "FMCKEdit" << "4.8e7" << whole.arg("4.8e7") << "AREFEdit"
                                                    << "2.5" << "2.5";
        QTest::newRow("a comma in a limit") << "Vmin1" << "3,3" << real.arg("3,3") << "MdacList" << "1" << "1";
        QTest::newRow("too large for single precision") << "Imax11" << "1e39" << real.arg("1e39") << "M12V8Edit"
                                                        << "16" << "16";
        QTest::newRow("last field") << "Nmax11" << "1.5" << whole.arg("1.5") << "Imax11" << "25" << "25";
    }
    void TheFirstFieldThatFailsStopsOk()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, before);
        QFETCH(QString, beforeValue);
        QFETCH(QString, beforeStored);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Enter(*Fixture, before, beforeValue);
        Fixture->Paste(field, text);
        if (field != "Nmax11")
            Fixture->Paste("Nmax11", "99");  // after every other field: never reached
        dialog.bOk->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Error(message)});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QCOMPARE(Stored(before), beforeStored);
        QCOMPARE(Stored("Nmax11"), QString("120"));
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));

        // Put right, the same dialog saves.
        Fixture->Paste(field, field == "LVRatioEdit" ? "0.5" : "7");
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(QFile::exists(Fixture->Path("settings.ini")));
    }

    void AListWithoutSelectionStopsOkUntilAnEntryIsChosen_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("saved");
        QTest::newRow("speed 250000") << QByteArray("[Connection]\r\nSpeed=250000\r\n") << "PortSpeedList" << "57600"
                                      << "Connection" << "Speed" << "57600";
        QTest::newRow("data bits 9") << QByteArray("[Connection]\r\nDataBits=9\r\n") << "PortDataBitsList" << "7"
                                     << "Connection" << "DataBits" << "7";
        QTest::newRow("parity") << QByteArray("[Connection]\r\nParity=?\r\n") << "PortParityList" << "mark"
                                << "Connection" << "Parity" << "mark";
        QTest::newRow("stop bits") << QByteArray("[Connection]\r\nStopBits=3\r\n") << "PortStopbitsList" << "1.5"
                                   << "Connection" << "StopBits" << "1.5";
        QTest::newRow("handshaking") << QByteArray("[Connection]\r\nHanshaking=DTR\r\n") << "PortHandshakingList"
                                     << "RTS on TX" << "Connection" << "Hanshaking" << "RTS on TX";
        // The index lists too: an unmatched port, dot shape or MDAC would otherwise be saved as
        // port 0, shape 255 or MDAC 255.
        QTest::newRow("port 40") << QByteArray("[Connection]\r\nPort=40\r\n") << "PortList" << "COM4"
                                 << "Connection" << "Port" << "4";
        QTest::newRow("dot shape 5") << QByteArray("[Graph]\r\nDotShape=5\r\n") << "DotShapeList" << "Circuit"
                                     << "Graph" << "DotShape" << "1";
        QTest::newRow("MDAC 2") << QByteArray("[Stand]\r\nMDAC=2\r\n") << "MdacList" << "1" << "Stand" << "MDAC"
                                << "1";
    }
    void AListWithoutSelectionStopsOkUntilAnEntryIsChosen()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, list);
        QFETCH(QString, entry);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, saved);
        Fixture->WriteFile("settings.ini", file);
        TSettingsForm& dialog = Fixture->OpenDialog();
        QCOMPARE(Fixture->Shown(list), QString("<none>"));
        dialog.bOk->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Error("List index out of bounds (-1)")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(Fixture->ReadFile("settings.ini"), file);
        Fixture->Choose(list, entry);
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(Fixture->Key(section, key), saved);
    }

    void TheLoadRatioGoesToTheStandOnlyWhileItIsIdentified_data()
    {
        QTest::addColumn<bool>("identified");
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("identified, 1.25") << true << "1.25" << QByteArray("!SLC;125;#");
        QTest::newRow("identified, 12: four digits") << true << "12" << QByteArray("!SLC;1200;#");
        QTest::newRow("identified, 0.8") << true << "0.8" << QByteArray("!SLC;080;#");
        QTest::newRow("connected, not identified") << false << "1.25" << QByteArray();
    }
    void TheLoadRatioGoesToTheStandOnlyWhileItIsIdentified()
    {
        QFETCH(bool, identified);
        QFETCH(QString, ratio);
        QFETCH(QByteArray, sent);
        // No polling, so the line carries only what OK sends.
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=0\r\n");
        TPtyPeer stand(Fixture->Dir(), 1);
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        QCOMPARE(stand.ReadUntil("!!!;#", 2000), QByteArray("!!!;#"));
        if (identified) {
            stand.Write(Report);
            QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 2000);
        }
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("LVRatioEdit", ratio);
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(stand.ReadFor(300), sent);
        QCOMPARE(Fixture->Key("General", "LVRatio"), FormatFixed(ratio.toDouble(), 7, 3));
        Fixture->CloseDialog();
        form.bDisconnect->click();
    }

    void OkAppliesTheConfigurationToTheWindow()
    {
        TMForm& form = Fixture->Open();
        QVERIFY(!LogOpen);
        // Front-panel fields edited before: saved by OK, so re-reading [ATS] brings them back.
        form.ATEdit[1]->setText("300");
        form.ATEdit[6]->setText("150");
        TSettingsForm& dialog = Fixture->OpenDialog();
        dialog.cbEnableLog->setChecked(true);
        Fixture->Choose("GUIColorBox1", "Red");
        Fixture->Choose("GUIColorBox2", "Navy");
        Fixture->Choose("GUIColorBox3", "Teal");
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(LogOpen);
        QCOMPARE(QDir(Fixture->Path("log")).entryList(QDir::Files).size(), 1);
        const auto background = [&form](int n) { return form.CHGB[n]->palette().color(QPalette::Window); };
        QCOMPARE(background(1), QColor(255, 0, 0));
        QCOMPARE(background(2), QColor(0, 0, 128));
        QCOMPARE(background(3), QColor(0, 0, 128));
        QCOMPARE(background(4), QColor(0, 128, 128));
        QCOMPARE(background(11), QColor(0, 128, 128));
        QCOMPARE(Fixture->Key("ATS", "l_max_power"), QString("300"));
        QCOMPARE(Fixture->Key("ATS", "steps"), QString("150"));
        QCOMPARE(form.ATEdit[1]->text(), QString("300"));
        QCOMPARE(form.ATEdit[6]->text(), QString("150"));
        QCOMPARE(Fixture->Key("General", "GUIColor1"), QString("255"));
    }

    void AChangeOfMaxCurrentGivesTheTrackBarItsNewRangeAtOnce_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void AChangeOfMaxCurrentGivesTheTrackBarItsNewRangeAtOnce()
    {
        QFETCH(bool, ok);
        TMForm& form = Fixture->Open();
        QCOMPARE(form.PSUCBar[4]->maximum(), 25);
        QCOMPARE(form.PSUCBar[7]->maximum(), 30);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->ShowPage(PsuInfo);
        Fixture->Paste("PSUC4Edit", "12");
        Fixture->Paste("PSUC7Edit", "40");
        (ok ? dialog.bOk : dialog.bCancel)->click();
        QCOMPARE(form.PSUCBar[4]->maximum(), ok ? 12 : 25);
        QCOMPARE(form.PSUCBar[7]->maximum(), ok ? 40 : 30);
        QCOMPARE(form.PSUCBar[1]->maximum(), 20);
        // No load set: the bars stand at 0 A, which is their bottom end.
        QCOMPARE(form.PSUCBar[4]->value(), form.PSUCBar[4]->maximum());
        QCOMPARE(form.PSUCEdit[4]->text(), QString("0"));
    }

    void AFrontPanelFieldThatIsNoNumberStopsOkBeforeTheSave()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[3]->setText("1x");  // pasted: the digit filter does not see it
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("LVRatioEdit", "1.1");
        dialog.bOk->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Error("'1x' is not a valid integer value.")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(AppSettings.LVRatio, 1.1f);  // taken before the front panel failed
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
        form.ATEdit[3]->setText("1");  // so that the shutdown can save the front panel
    }

    void ARefusedWriteKeepsTheDialogOpen()
    {
        QVERIFY(QDir(Fixture->Dir()).mkdir("settings.ini"));
        TSettingsForm& dialog = Fixture->OpenDialog();
        dialog.bOk->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Error("Unable to write to " + Fixture->Path("settings.ini") + ".")});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(QDir(Fixture->Dir()).rmdir("settings.ini"));  // so that the shutdown can save
    }

    void KeyFiltersAndLengths_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ratio: digits and point") << "LVRatioEdit" << "1a.2-5 " << "1.25";
        QTest::newRow("polling: the number filter") << "GVTimerEdit" << "2x.5" << "2.5";
        QTest::newRow("calibration") << "M12V8Edit" << "+15,9.16" << "159.16";
        QTest::newRow("FCPU") << "FCPUEdit" << "18e6" << "186";
        QTest::newRow("dot width: one character") << "DWEdit" << "a79" << "7";
        QTest::newRow("dot height") << "DHEdit" << ".3" << ".";
        QTest::newRow("power: digits, four at most") << "PSUPowerEdit" << "12.3x456" << "1234";
        QTest::newRow("current: digits, two at most") << "PSUC7Edit" << "3.5A7" << "35";
        QTest::newRow("limits take anything") << "Vmin1" << "1a.2-" << "1a.2-";
        QTest::newRow("vendor takes anything") << "PSUVendorEdit" << "Ab-1.x" << "Ab-1.x";
    }
    void KeyFiltersAndLengths()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Fixture->OpenDialog();
        QLineEdit* edit = Fixture->Edit(field);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), shown.chopped(1));
        // Pasted text is not filtered.
        edit->clear();
        edit->insert("x1");
        QCOMPARE(edit->text(), edit->maxLength() == 1 ? QString("x") : QString("x1"));
    }

    void FieldLengthLimits()
    {
        Fixture->OpenDialog();
        // What typing can put into each field.
        const auto typed = [this](const QString& name, const QString& keys) {
            QLineEdit* edit = Fixture->Edit(name);
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, keys);
            return edit->text();
        };
        QCOMPARE(typed("PSUPowerEdit", "123456"), QString("1234"));
        QCOMPARE(typed("PSUC11Edit", "123"), QString("12"));
        QCOMPARE(typed("DWEdit", "12"), QString("1"));
        QCOMPARE(typed("DHEdit", "12"), QString("1"));
        QCOMPARE(typed("PSUVendorEdit", QString(40, 'v')), QString(40, 'v'));
        QCOMPARE(typed("Vmin1", "3.1349999904632568"), QString("3.1349999904632568"));
    }

    void ColourListsOfferNamedAndCustomColours()
    {
        TSettingsForm& dialog = Fixture->OpenDialog();
        TColorList* list = dialog.ColorBox[7];
        QCOMPARE(list->currentText(), QString("Lime"));
        QCOMPARE(list->Selected(), 65280u);
        // The standard colours, the extended ones, and the custom entry first.
        QCOMPARE(list->count(), 21);
        QCOMPARE(list->itemText(0), QString("Custom..."));
        QCOMPARE(list->itemText(1), QString("Black"));
        QCOMPARE(list->itemText(20), QString("Medium Gray"));

        // The custom entry opens the chooser at the colour on show.
        Fixture->Dialogs.AnswerColor(true, 0x123456);
        Fixture->Choose("ColorBox7", "Custom...");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Color", "", "65280")});
        QCOMPARE(list->Selected(), 0x123456u);
        QCOMPARE(list->currentText(), QString("Custom..."));
        // Cancelling the chooser keeps what was shown.
        Fixture->Dialogs.AnswerColor(false);
        Fixture->Choose("ColorBox7", "Custom...");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Color", "", QString::number(0x123456))});
        QCOMPARE(list->Selected(), 0x123456u);
        Fixture->Choose("ColorBox7", "Maroon");
        Fixture->Dialogs.AnswerColor(false);
        Fixture->Choose("ColorBox7", "Custom...");
        Fixture->Dialogs.TakeAll();
        QCOMPARE(list->currentText(), QString("Maroon"));
        QCOMPARE(list->Selected(), 128u);
        // A colour of the file that has no name is the custom one.
        QCOMPARE(dialog.ColorBox[2]->currentText(), QString("Custom..."));
        QCOMPARE(dialog.ColorBox[2]->Selected(), 16747008u);

        Fixture->Dialogs.AnswerColor(true, 0xABCDEF);
        Fixture->Choose("GUIColorBox2", "Custom...");
        Fixture->Dialogs.TakeAll();
        dialog.bOk->click();
        QCOMPARE(Fixture->Key("Graph", "Color7"), QString("128"));
        QCOMPARE(Fixture->Key("Graph", "Color2"), QString("16747008"));
        QCOMPARE(Fixture->Key("General", "GUIColor2"), QString::number(0xABCDEF));
    }

    void TextsTheFilesCannotHoldAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("Cyrillic vendor") << "PSUVendorEdit" << QString::fromUtf8("Жора")
                                         << QString::fromUtf8("The field \"Vendor\" holds the character \"Ж\" (U+0416), "
                                                              "which settings and profile files cannot store.");
        QTest::newRow("euro sign in the model") << "PSUModelEdit" << QString::fromUtf8("X 100€")
                                                << QString::fromUtf8("The field \"Model\" holds the character \"€\" "
                                                                     "(U+20AC), which settings and profile files "
                                                                     "cannot store.");
        QTest::newRow("emoji in the serial number") << "PSUSerialEdit" << QString::fromUtf8("SN 😀")
                                                    << QString::fromUtf8("The field \"Serial number\" holds the "
                                                                         "character \"😀\" (U+1F600), which settings "
                                                                         "and profile files cannot store.");
    }
    void TextsTheFilesCannotHoldAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste(field, text);
        dialog.bOk->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Error(message)});
        QVERIFY(dialog.isVisible());
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
        QCOMPARE(AppSettings.DutDescription.Vendor, QString());
    }

    void Latin1TextsAreSavedByteForByte()
    {
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("PSUVendorEdit", QString::fromUtf8("Müller © ÿ"));
        dialog.bOk->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(Fixture->ReadFile("settings.ini").contains("Vendor=M\xfcller \xa9 \xff\r\n"));
        QCOMPARE(AppSettings.DutDescription.Vendor, QString::fromUtf8("Müller © ÿ"));
    }
};

TARVIK_TEST(SettingsFormTest)
#include "SettingsFormTest.moc"
