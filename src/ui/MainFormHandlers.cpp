// The main window's wiring: start-up and shutdown of the program with the window, the
// handlers of its controls, menus, timers and port, and the question on closing. This is the
// one file of the window that calls the modules; MainForm.cpp builds the controls only.

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "autotests/CrossLoadTest.h"
#include "autotests/EfficiencyTest.h"
#include "autotests/NoiseTest.h"
#include "autotests/ResultFile.h"
#include "autotests/StandbyTest.h"
#include "config/SettingsForm.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "graphs/GraphPages.h"
#include "link/ComPort.h"
#include "link/Connection.h"
#include "link/DebugFeed.h"
#include "monitor/DebugConsole.h"
#include "monitor/ManualLoading.h"
#include "monitor/PowerControl.h"
#include "monitor/TransientResponse.h"
#include "report/CsvExport.h"
#include "report/TestReport.h"
#include "ui/AboutForm.h"
#include "ui/MainForm.h"
#include "ui/Startup.h"

void TMForm::ConnectHandlers()
{
    // Every handler runs inside GuardEvent: a failure ends the handler and is shown.
    const auto on = [this](auto* sender, auto signal, void (*handler)()) {
        connect(sender, signal, this, [handler] { GuardEvent(handler); });
    };
    on(ChannelList, &QComboBox::activated, ChannelListChange);
    on(bApplyTR, &QPushButton::clicked, bApplyTRClick);
    on(bConnect, &QPushButton::clicked, Connect);
    on(bDisconnect, &QPushButton::clicked, Disconnect);
    on(bPSUON, &QPushButton::clicked, bPSUONClick);
    on(bPSUOFF, &QPushButton::clicked, bPSUOFFClick);
    on(GVTimer, &QTimer::timeout, PollTick);
    on(PSUOnTimer, &QTimer::timeout, OnTimeTick);
    on(bDebugReceive, &QPushButton::clicked, bDebugReceiveClick);
    on(DebugEdit1, &QLineEdit::returnPressed, bDebugReceiveClick);
    on(bDebugSend, &QPushButton::clicked, bDebugSendClick);
    on(DebugEdit2, &QLineEdit::returnPressed, bDebugSendClick);
    on(AdvGlowButton1, &QPushButton::clicked, AdvGlowButton1Click);
    // The stop buttons have no action: the stand knows no request that stops a run.
    on(bATStart, &QPushButton::clicked, bATStartClick);
    on(bStartNoise, &QPushButton::clicked, bStartNoiseClick);
    on(bStartPFC, &QPushButton::clicked, bStartPFCClick);
    on(bSTStart, &QPushButton::clicked, bSTStartClick);
    on(bKHXSave, &QPushButton::clicked, SaveResultFile);
    on(bKHXLoad, &QPushButton::clicked, LoadResultFile);
    ConnectManualLoading();
    connect(COM, &TComPort::DataReceived, this, COMRxChar);
    connect(COM, &TComPort::ErrorOccurred, this, COMError);
    on(mExportCsv, &QAction::triggered, ExportCsvClick);
    on(mExportReport, &QAction::triggered, ExportReportClick);
    connect(mExit, &QAction::triggered, this, [this] { mExitClick(); });
    connect(mSettings, &QAction::triggered, this, [] { GuardEvent([] { ShowSettingsDialog(); }); });
    connect(mAbout, &QAction::triggered, this, [this] { GuardEvent([this] { mAboutClick(); }); });
    ConnectGraphPages(*this);
}

void TMForm::FormCreate()
{
    COM = new TComPort(this);
    COM->setObjectName(QStringLiteral("COM"));
    ClearDebugMemo();
    SetDialogOpeningHook(FlushDebugLines);
    InitializeProgram();
    DesignWidth = width();
    DesignHeight = height();
    ChromeHeight = DesignHeight - PC->height();
    PC->setCurrentIndex(0);
    KHX_GPC->setCurrentIndex(0);
    Eff_GPC->setCurrentIndex(0);
    Noise_GPC->setCurrentIndex(0);
}

void TMForm::FormDestroy()
{
    if (Finalized)
        return;
    Finalized = true;
    FinalizeProgram();
}

void TMForm::closeEvent(QCloseEvent* event)
{
    if (Finalized) {
        event->accept();
        return;
    }
    if (!AskYesNo(QStringLiteral("Do you really want to quit Tarvik?"), QStringLiteral("Confirm"),
                  TDialogIcon::Warning)) {
        event->ignore();
        return;
    }
    // Shut down while every control still exists; the destructor then has nothing left to do.
    FormDestroy();
    event->accept();
}

void TMForm::mExitClick() { close(); }

void TMForm::mAboutClick()
{
    if (!AboutForm)
        AboutForm = new TAboutForm(this);
    AboutForm->exec();
}
