// The "Front Panel" page: twelve channel panels, the test buttons, the transient-response and
// auto-testing groups, the stand's status line and the hardware, auxiliary, fan and timer groups.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/ChannelLayout.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
QString Name(const char* pattern, int n) { return QString::fromLatin1(pattern).arg(n); }
} // namespace

void TMForm::BuildFrontPanelPage()
{
    TabFrontPanel = new QWidget;
    TabFrontPanel->setObjectName(QStringLiteral("TabFrontPanel"));
    PC->addTab(TabFrontPanel, QStringLiteral("Front Panel"));
    QWidget* page = TabFrontPanel;

    for (int n = 1; n <= 12; ++n) {
        const TChannelLayout& layout = ChannelLayout[n - 1];
        auto* panel = new QFrame(page);
        panel->setObjectName(QString::fromLatin1(layout.PanelName));
        panel->setGeometry(layout.Left, layout.Top, 150, 150);
        panel->setFrameShape(QFrame::StyledPanel);
        SetBackground(panel, layout.Red, layout.Green, layout.Blue);
        FrontPanel[n] = panel;

        FPTitle[n] = MakeLabel(panel, Name("FPTitle%1", n), QString::fromLatin1(layout.FrontTitle), 8, 8);
        FPVDSensor[n] = MakeAutoSizeLabel(panel, Name("FPVD%1Sensor", n), QStringLiteral("0%"), 50, 32,
                                          Qt::AlignRight, 15, true);
        FPCPStatus[n] = MakeLabel(panel, Name("FPCP%1Status", n), QStringLiteral("PASS"), 97, 32, 0, 0, 15, true);
        FPVSensor[n] = MakeLabel(panel, Name("FPV%1Sensor", n), QStringLiteral("0 VDC"), 3, 67, 134, 25, 16, true);
        FPCSensor[n] = MakeLabel(panel, Name("FPC%1Sensor", n), QStringLiteral("0 ADC"), 3, 91, 134, 25, 16, true);
        FPVSensor[n]->setAlignment(Qt::AlignCenter);
        FPCSensor[n]->setAlignment(Qt::AlignCenter);
        FPNLSensor[n] = MakeLabel(panel, Name("FPNL%1Sensor", n), QStringLiteral("0 mV"), 16, 128, 80, 0, 12);
        FPNFSensor[n] = MakeLabel(panel, Name("FPNF%1Sensor", n), QStringLiteral("0 kHz"), 103, 128, 0, 0, 12);
    }

    // The four stand-run tests: start buttons, and below them stop buttons the stand's
    // acknowledgements enable.
    const auto testButtons = [this, page](int left, QPushButton*& start, const char* startName, const char* startText,
                                          QPushButton*& stop, const char* stopName, const char* stopText) {
        start = MakeButton(page, QString::fromLatin1(startName), QString::fromLatin1(startText), left, 304, 145, 33, 16);
        stop = MakeButton(page, QString::fromLatin1(stopName), QString::fromLatin1(stopText), left, 340, 145, 25, 16);
        stop->setEnabled(false);
    };
    testButtons(0, bATStart, "bATStart", "Start KHX", bATStop, "bATStop", "Stop KHX");
    testButtons(152, bStartPFC, "bStartPFC", "Start PFC", bStopPFC, "bStopPFC", "Stop PFC");
    testButtons(304, bStartNoise, "bStartNoise", "Start Noise", bStopNoise, "bStopNoise", "Stop Noise");
    testButtons(456, bSTStart, "bSTStart", "Start +5Vstb", bSTStop, "bSTStop", "Stop +5Vstb");

    TRGroup = MakeGroup(page, QStringLiteral("TRGroup"), QStringLiteral("Transient response"), 0, 368, 169, 145);
    MakeLabel(TRGroup, QStringLiteral("TRChannelLabel"), QStringLiteral("Channel:"), 8, 21, 70);
    ChannelList = new QComboBox(TRGroup);
    ChannelList->setObjectName(QStringLiteral("ChannelList"));
    ChannelList->setEditable(false);
    ChannelList->setGeometry(80, 17, 81, 21);
    MakeLabel(TRGroup, QStringLiteral("TRCurrentLabel"), QStringLiteral("Current, A:"), 8, 46, 70);
    TRCEdit = MakeEdit(TRGroup, QStringLiteral("TRCEdit"), QString(), 80, 42, 81, 2);
    MakeLabel(TRGroup, QStringLiteral("TRIntervalLabel"), QStringLiteral("Interval, ms:"), 8, 71, 70);
    TRIEdit = MakeEdit(TRGroup, QStringLiteral("TRIEdit"), QStringLiteral("5000"), 80, 67, 81, 4);
    cbTREnable = new QCheckBox(QStringLiteral("enable load"), TRGroup);
    cbTREnable->setObjectName(QStringLiteral("cbTREnable"));
    cbTREnable->setGeometry(8, 92, 150, 17);
    bApplyTR = MakeButton(TRGroup, QStringLiteral("bApplyTR"), QStringLiteral("Apply"), 8, 114, 49, 23);
    bStartTR = MakeButton(TRGroup, QStringLiteral("bStartTR"), QStringLiteral("Start"), 60, 114, 49, 23);
    bStopTR = MakeButton(TRGroup, QStringLiteral("bStopTR"), QStringLiteral("Stop"), 112, 114, 49, 23);
    bStopTR->setEnabled(false);
    InstallDigitFilter(TRCEdit);
    InstallDigitFilter(TRIEdit);

    // The auto-testing fields, in the order they are shown (ATEdit7 sits fourth).
    ATGroup = MakeGroup(page, QStringLiteral("ATGroup"), QStringLiteral("Auto-testing settings"), 176, 368, 177, 185);
    struct Field {
        int Edit;
        const char* Caption;
        int MaxLength;
        const char* Text;
    };
    const Field fields[] = {
        {1, "MP, +3.3 and +5, W:", 4, "0"}, {2, "MP, +12, W:", 4, "0"}, {3, "Total max. power, W:", 4, "0"},
        {7, "+5Vstb max. power, W:", 4, "0"}, {4, "12V rails:", 1, "2"}, {5, "PSU type:", 1, "0"},
        {6, "Steps:", 3, "200"},
    };
    for (int row = 0; row < 7; ++row) {
        const Field& field = fields[row];
        const int top = 20 + 23 * row;
        MakeLabel(ATGroup, Name("ATLabel%1", field.Edit), QString::fromLatin1(field.Caption), 8, top + 3, 115);
        ATEdit[field.Edit] = MakeEdit(ATGroup, Name("ATEdit%1", field.Edit), QString::fromLatin1(field.Text), 124, top,
                                      45, field.MaxLength);
        InstallDigitFilter(ATEdit[field.Edit]);
    }

    AdvGlowButton3 = MakeButton(page, QStringLiteral("AdvGlowButton3"), QStringLiteral("SET ALL 1A LOAD"), 0, 520, 169, 24, 13);
    AdvGlowButton5 = MakeButton(page, QStringLiteral("AdvGlowButton5"), QStringLiteral("SET ALL 0A LOAD"), 0, 548, 169, 24, 13);

    FrontPanelErrorPanel = MakeLabel(page, QStringLiteral("FrontPanelErrorPanel"), QStringLiteral("Status: No errors"),
                                     0, 576, 705, 32, 16, true);
    FrontPanelErrorPanel->setFrameShape(QFrame::StyledPanel);
    FrontPanelErrorPanel->setIndent(8);
    SetTextColor(FrontPanelErrorPanel, GoodColor);

    HwInfoGroup = MakeGroup(page, QStringLiteral("HwInfoGroup"), QStringLiteral("Hardware info"), 728, 360, 177, 100);
    HwInfoMFG = MakeLabel(HwInfoGroup, QStringLiteral("HwInfoMFG"), QStringLiteral("MFG:"), 8, 18);
    HwInfoBoardId = MakeLabel(HwInfoGroup, QStringLiteral("HwInfoBoardId"), QStringLiteral("Board ID:"), 8, 33);
    HwInfoFirmware = MakeLabel(HwInfoGroup, QStringLiteral("HwInfoFirmware"), QStringLiteral("Firmware:"), 8, 48);
    HwInfoCalibrated = MakeLabel(HwInfoGroup, QStringLiteral("HwInfoCalibrated"), QStringLiteral("Calibrated:"), 8, 63);
    HwInfoModelId = MakeLabel(HwInfoGroup, QStringLiteral("HwInfoModelId"), QStringLiteral("Model ID:"), 8, 78);

    AuxGroup = MakeGroup(page, QStringLiteral("AuxGroup"), QStringLiteral("Aux. voltages"), 728, 466, 177, 46);
    AuxSensor1 = MakeLabel(AuxGroup, QStringLiteral("AuxSensor1"), QStringLiteral("-12V voltage:"), 8, 16);
    AuxSensor2 = MakeLabel(AuxGroup, QStringLiteral("AuxSensor2"), QStringLiteral("5Vstb voltage:"), 8, 30);

    FanGroup = MakeGroup(page, QStringLiteral("FanGroup"), QStringLiteral("Fan control"), 728, 516, 177, 46);
    FANLabel1 = MakeLabel(FanGroup, QStringLiteral("FANLabel1"), QStringLiteral("FAN1 speed, RPM:"), 8, 16);
    FANLabel2 = MakeLabel(FanGroup, QStringLiteral("FANLabel2"), QStringLiteral("FAN2 speed, RPM:"), 8, 30);

    TimerGroup = MakeGroup(page, QStringLiteral("TimerGroup"), QStringLiteral("Timer"), 728, 566, 177, 42);
    TimerLabel = MakeLabel(TimerGroup, QStringLiteral("TimerLabel"), QStringLiteral("00:00:00"), 8, 16, 0, 0, 16, true);
}
