#pragma once
// The main window: the stand and DUT controls on the right-hand panel, seven pages (front
// panel, manual loading, the four result graphs, debug console), the status bar and the menu.
// Every named control is a public member whose objectName is its name; per-channel families
// are arrays indexed by channel number. Behaviour lives in the modules that own it; they
// reach the controls through MForm.

#include <QMainWindow>
#include <QPointer>

#include "core/Dialogs.h"
#include "core/IndexedArray.h"

class GraphImage;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QStatusBar;
class QTabWidget;
class QTimer;
class TAboutForm;
class TAutoSizeLabel;
class TComPort;

class TMForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMForm(QWidget* parent = nullptr);
    ~TMForm() override;

    // The client area below the menu bar, as designed.
    static constexpr int ClientWidth = 1083;
    static constexpr int ClientHeight = 655;
    // The program grows the window around a graph, never beyond this.
    static constexpr int MaxWindowSize = 5000;

    // Gives the window (menu bar, client area and status bar) this outer size; the page control
    // and the right-hand panel follow. The user cannot resize the window; the program does.
    void ResizeWindow(int width, int height);

    // --- right-hand panel ---------------------------------------------------------------
    QFrame* RPanel = nullptr;
    QGroupBox* PSUGroup = nullptr;
    QLabel* PWRONLabel = nullptr;
    QLabel* PWROFFLabel = nullptr;
    QLabel* PSUStatusLabel = nullptr;
    QPushButton* bPSUON = nullptr;
    QPushButton* bPSUOFF = nullptr;
    QGroupBox* StandGroup = nullptr;
    QLabel* ConnectInfoLabel = nullptr;
    QLabel* ErrorLabel = nullptr;
    QPushButton* bConnect = nullptr;
    QPushButton* bDisconnect = nullptr;
    QGroupBox* OutputGroup = nullptr;
    QLabel* PSUpower1Label = nullptr;
    QLabel* PSUpower2Label = nullptr;
    QLabel* PSUpower3Label = nullptr;
    QLabel* PSUpower4Label = nullptr;
    QGroupBox* BlockAC = nullptr;
    QLabel* ACVLabel = nullptr;
    QLabel* ACCLabel = nullptr;
    QLabel* ACFLabel = nullptr;
    QLabel* ACPLabel = nullptr;
    QGroupBox* ThermalGroup = nullptr;
    IndexedArray<QLabel*, 1, 4> TSensor{};  // T1Sensor .. T4Sensor
    QGroupBox* GraphsGroup = nullptr;
    QPushButton* bRandomGraph = nullptr;
    QPushButton* bRepaintGraphs = nullptr;
    QPushButton* bClearGraphs = nullptr;
    QPushButton* bKHXSave = nullptr;
    QPushButton* bKHXLoad = nullptr;

    // --- page control -------------------------------------------------------------------
    QTabWidget* PC = nullptr;
    QWidget* TabFrontPanel = nullptr;
    QWidget* TabTesting = nullptr;
    QWidget* TabKHX = nullptr;
    QWidget* TabEfficiency = nullptr;
    QWidget* TabNoise = nullptr;
    QWidget* Tab5VStb = nullptr;
    QWidget* TabDebug = nullptr;

    // --- front panel --------------------------------------------------------------------
    IndexedArray<QFrame*, 1, 12> FrontPanel{};      // AdvPanel1, FP2 .. FP12
    IndexedArray<QLabel*, 1, 12> FPTitle{};         // the channel's title
    IndexedArray<TAutoSizeLabel*, 1, 12> FPVDSensor{};
    IndexedArray<QLabel*, 1, 12> FPCPStatus{};
    IndexedArray<QLabel*, 1, 12> FPVSensor{};
    IndexedArray<QLabel*, 1, 12> FPCSensor{};
    IndexedArray<QLabel*, 1, 12> FPNLSensor{};
    IndexedArray<QLabel*, 1, 12> FPNFSensor{};
    QPushButton* bATStart = nullptr;
    QPushButton* bATStop = nullptr;
    QPushButton* bStartPFC = nullptr;
    QPushButton* bStopPFC = nullptr;
    QPushButton* bStartNoise = nullptr;
    QPushButton* bStopNoise = nullptr;
    QPushButton* bSTStart = nullptr;
    QPushButton* bSTStop = nullptr;
    QGroupBox* TRGroup = nullptr;
    QComboBox* ChannelList = nullptr;
    QLineEdit* TRCEdit = nullptr;
    QLineEdit* TRIEdit = nullptr;
    QCheckBox* cbTREnable = nullptr;
    QPushButton* bApplyTR = nullptr;
    QPushButton* bStartTR = nullptr;
    QPushButton* bStopTR = nullptr;
    QGroupBox* ATGroup = nullptr;
    IndexedArray<QLineEdit*, 1, 7> ATEdit{};  // ATEdit1 .. ATEdit7
    QPushButton* AdvGlowButton3 = nullptr;  // "SET ALL 1A LOAD"
    QPushButton* AdvGlowButton5 = nullptr;  // "SET ALL 0A LOAD"
    QLabel* FrontPanelErrorPanel = nullptr;
    QGroupBox* HwInfoGroup = nullptr;
    QLabel* HwInfoMFG = nullptr;
    QLabel* HwInfoBoardId = nullptr;
    QLabel* HwInfoFirmware = nullptr;
    QLabel* HwInfoCalibrated = nullptr;
    QLabel* HwInfoModelId = nullptr;
    QGroupBox* AuxGroup = nullptr;
    QLabel* AuxSensor1 = nullptr;
    QLabel* AuxSensor2 = nullptr;
    QGroupBox* FanGroup = nullptr;
    QLabel* FANLabel1 = nullptr;
    QLabel* FANLabel2 = nullptr;
    QGroupBox* TimerGroup = nullptr;
    QLabel* TimerLabel = nullptr;

    // --- manual loading -----------------------------------------------------------------
    IndexedArray<QGroupBox*, 1, 11> CHGB{};  // CH1GB .. CH11GB
    IndexedArray<QLabel*, 1, 11> CHTitle{};
    IndexedArray<QLabel*, 1, 11> VSensor{};
    IndexedArray<QLabel*, 1, 11> CSensor{};
    IndexedArray<QLabel*, 1, 11> PSensor{};
    IndexedArray<QLabel*, 1, 11> NLSensor{};
    IndexedArray<QLabel*, 1, 11> NFSensor{};
    IndexedArray<QLabel*, 1, 11> CPStatus{};
    IndexedArray<QSlider*, 1, 11> PSUCBar{};
    IndexedArray<QLabel*, 1, 11> EstPower{};
    IndexedArray<QLineEdit*, 1, 11> PSUCEdit{};
    IndexedArray<QPushButton*, 1, 11> bSet{};
    QPushButton* bSetAll0 = nullptr;
    QPushButton* bSetAll1 = nullptr;

    // --- graph pages --------------------------------------------------------------------
    QTabWidget* KHX_GPC = nullptr;
    QTabWidget* Eff_GPC = nullptr;
    QTabWidget* Noise_GPC = nullptr;
    QTabWidget* STS_GPC = nullptr;
    IndexedArray<QWidget*, 1, 26> GraphSheet{};   // the sub-page holding Image n (tag n)
    IndexedArray<GraphImage*, 1, 26> Image{};     // Image1 .. Image26
    QFrame* BPanel = nullptr;                     // the KHX page's bottom panel
    QPushButton* bSaveImage = nullptr;
    QLabel* Graph_KHX_VLabel = nullptr;
    QLabel* Graph_KHX_CLabel = nullptr;
    QLabel* Graph_KHX_DLabel = nullptr;
    QPushButton* AdvGlowButton4 = nullptr;
    QLabel* Graph_FAN_F1Label = nullptr;
    QLabel* Graph_FAN_F2Label = nullptr;
    QLabel* Graph_FAN_TLabel = nullptr;
    QLabel* Graph_PFC_PLabel = nullptr;
    QLabel* Graph_PFC_ELabel = nullptr;
    QPushButton* AdvGlowButton7 = nullptr;
    QLabel* Graph_Noise_NLabel = nullptr;
    QPushButton* AdvGlowButton2 = nullptr;
    QLabel* STS_VLabel = nullptr;
    QLabel* STS_CLabel = nullptr;
    QLabel* STS_DLabel = nullptr;

    // --- debug page ---------------------------------------------------------------------
    QPlainTextEdit* DebugMemo = nullptr;
    QLineEdit* DebugEdit1 = nullptr;
    QPushButton* bDebugReceive = nullptr;
    QLineEdit* DebugEdit2 = nullptr;
    QPushButton* bDebugSend = nullptr;
    QPushButton* AdvGlowButton1 = nullptr;  // "<- Clear"

    // --- status bar, menu, timers, dialogs ------------------------------------------------
    QStatusBar* Status = nullptr;
    IndexedArray<QLabel*, 0, 2> StatusPanel{};  // 600, 100 and 50 wide
    QMenuBar* MM = nullptr;
    QMenu* mFile = nullptr;
    QAction* mSettings = nullptr;
    QAction* mExportCsv = nullptr;
    QAction* mExportReport = nullptr;
    QAction* N1 = nullptr;
    QAction* mExit = nullptr;
    QMenu* mHelp = nullptr;
    QAction* mAbout = nullptr;
    QTimer* GVTimer = nullptr;
    QTimer* PSUOnTimer = nullptr;
    TComPort* COM = nullptr;  // the stand's serial port, closed at start, device "COM1"
    TFileDialog OD;   // result data, open
    TFileDialog SD;   // result data, save
    TFileDialog ISD;  // graph image, save
    QPointer<TAboutForm> AboutForm;  // created on first use, then kept

    // --- the window's own handlers ----------------------------------------------------
    void mAboutClick();
    void mExitClick();
    // The digit filter of the number fields: a typed character passes only when it is a digit
    // or backspace. Pasted text does not pass through it.
    void InstallDigitFilter(QLineEdit* edit);
    // True when the key press must be discarded.
    static bool TRCEditKeyPress(const QKeyEvent* event);
    bool FinalizeDone() const { return Finalized; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildRightPanel();
    void BuildFrontPanelPage();
    void BuildManualLoadingPage();
    void BuildGraphPages();
    void BuildDebugPage();
    void BuildStatusBarAndMenu();
    void ConnectHandlers();
    void FormCreate();
    void FormDestroy();

    bool Finalized = false;
};

// The one main window of the program, from its construction to its destruction.
inline TMForm* MForm = nullptr;
