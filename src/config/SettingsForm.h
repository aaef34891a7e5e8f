#pragma once
// The settings dialog: edits the whole configuration except the auto-testing and transient
// parameters, which live on the main window. Created for each use from "File / Settings",
// filled from AppSettings, freed when it closes. Six pages with the tabs on the left; the
// Default button restores the page on show, OK takes, saves and applies everything. The PSU
// Info page loads and saves DUT profiles (DutProfile.cpp); the Stand page uploads the
// calibration constants (Calibration.h).
//
// Every control is a public member named as its objectName; the fields are built from the
// table of SettingsFields.h.

#include <QDialog>
#include <vector>

#include "config/AppSettings.h"
#include "core/Dialogs.h"
#include "core/IndexedArray.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TColorList;
struct TSettingsField;

class TSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TSettingsForm(QWidget* parent = nullptr);

    static constexpr int ClientWidth = 600;
    static constexpr int ClientHeight = 667;

    QTabWidget* Pages = nullptr;  // tabs on the left, 120 wide
    QWidget* AdvOfficePage4 = nullptr;  // "General"
    QWidget* pgConnection = nullptr;
    QWidget* pgStand = nullptr;
    QWidget* pgPSUInfo = nullptr;
    QWidget* AdvOfficePage1 = nullptr;  // "Graph"
    QWidget* AdvOfficePage2 = nullptr;  // "Channel tresholds"

    // General
    QCheckBox* cbEnableLog = nullptr;
    QLineEdit* LVRatioEdit = nullptr;
    QLineEdit* GVTimerEdit = nullptr;
    IndexedArray<TColorList*, 1, 3> GUIColorBox{};
    // Connection
    QComboBox* PortList = nullptr;
    QComboBox* PortSpeedList = nullptr;
    QComboBox* PortDataBitsList = nullptr;
    QComboBox* PortParityList = nullptr;
    QComboBox* PortStopbitsList = nullptr;
    QComboBox* PortHandshakingList = nullptr;
    // Stand
    IndexedArray<QLineEdit*, 1, LoadChannelCount> MEdit{};  // M3V3Edit .. M12V8Edit
    IndexedArray<QLineEdit*, 1, LoadChannelCount> CEdit{};  // C3V3Edit .. C12V8Edit
    IndexedArray<QLineEdit*, 1, 4> MTEdit{};                // MT1Edit .. MT4Edit
    QLineEdit* AREFEdit = nullptr;
    QLineEdit* FADCEdit = nullptr;
    QLineEdit* FCPUEdit = nullptr;
    QLineEdit* FMCKEdit = nullptr;
    QComboBox* MdacList = nullptr;
    QPushButton* bCalibrate = nullptr;
    // PSU Info
    QLineEdit* PSUVendorEdit = nullptr;
    QLineEdit* PSUModelEdit = nullptr;
    QLineEdit* PSUCodeEdit = nullptr;
    QLineEdit* PSUSerialEdit = nullptr;
    QLineEdit* PSUPowerEdit = nullptr;
    IndexedArray<QLineEdit*, 1, LoadChannelCount> PSUCEdit{};  // the current fields in channel order
    QPushButton* bLoadPSU = nullptr;
    QPushButton* bSavePSU = nullptr;
    TFileDialog OD;  // DUT profile, open
    TFileDialog SD;  // DUT profile, save; replaces a file without asking
    // Graph
    QComboBox* DotShapeList = nullptr;
    QLineEdit* DWEdit = nullptr;
    QLineEdit* DHEdit = nullptr;
    IndexedArray<TColorList*, 1, 28> ColorBox{};  // the colour lists in colour order
    // Channel tresholds: Vmin<n>, Vmax<n>, Imax<n>, Nmax<n>
    IndexedArray<QLineEdit*, 1, LoadChannelCount> VminEdit{};
    IndexedArray<QLineEdit*, 1, LoadChannelCount> VmaxEdit{};
    IndexedArray<QLineEdit*, 1, LoadChannelCount> ImaxEdit{};
    IndexedArray<QLineEdit*, 1, LoadChannelCount> NmaxEdit{};
    // The bottom panel
    QFrame* BottomPanel = nullptr;
    QPushButton* bDefault = nullptr;
    QPushButton* bOk = nullptr;
    QPushButton* bCancel = nullptr;

    // The DUT description the Load and Save buttons work on; apart from the one in use.
    TDutDescription ProfileBuffer;

    // AppSettings into the controls.
    void ShowSettings();
    // The controls into AppSettings, field by field in table order; the first field that fails
    // stops it, and what was taken before stays taken.
    void TakeSettings();
    // A DUT description into the PSU Info fields, and back (texts cut to 30 characters).
    void ShowDutFields(const TDutDescription& record);
    void TakeDutFields(TDutDescription& record);

    // Handlers.
    void bOkClick();
    void bCancelClick();
    void bDefaultClick();
    void bCalibrateClick();
    void bLoadPSUClick();
    void bSavePSUClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildPages();
    void BuildFields();
    void BuildButtons();
    void FindControls();
    void ConnectHandlers();
    void FormCreate();

    std::vector<QWidget*> FieldControls;  // the control of each row of SettingsFields()
};

// Runs "File / Settings": creates the dialog, shows the "General" page first, runs it modally
// and frees it. Returns the dialog's result (QDialog::Accepted for OK).
int ShowSettingsDialog();
