#include "ui/MainForm.h"

#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "core/ProgramState.h"
#include "ui/Widgets.h"

namespace {
// The maker's web domain heads the caption.
const QString WindowCaption = QStringLiteral("tarvik.example Tarvik ATE Control");
constexpr int PageControlWidth = 918;
constexpr int PageControlHeight = 636;
constexpr int RightPanelWidth = 165;
constexpr int StatusBarHeight = 19;
} // namespace

TMForm::TMForm(QWidget* parent) : QMainWindow(parent)
{
    MForm = this;
    setObjectName(QStringLiteral("MForm"));
    setWindowTitle(WindowCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    // The page control fills the client area left of the right-hand panel; both follow the
    // window when the graph pages grow it (see eventFilter).
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->resize(ClientWidth, PageControlHeight);
    client->installEventFilter(this);
    setCentralWidget(client);

    PC = new QTabWidget(client);
    PC->setObjectName(QStringLiteral("PC"));
    PC->setGeometry(0, 0, PageControlWidth, PageControlHeight);
    RPanel = new QFrame(client);
    RPanel->setObjectName(QStringLiteral("RPanel"));
    RPanel->setGeometry(PageControlWidth, 0, RightPanelWidth, PageControlHeight);

    BuildRightPanel();
    BuildFrontPanelPage();
    BuildManualLoadingPage();
    BuildGraphPages();
    BuildDebugPage();
    BuildStatusBarAndMenu();

    GVTimer = new QTimer(this);
    GVTimer->setObjectName(QStringLiteral("GVTimer"));
    GVTimer->setInterval(100);
    PSUOnTimer = new QTimer(this);
    PSUOnTimer->setObjectName(QStringLiteral("PSUOnTimer"));
    PSUOnTimer->setInterval(1000);

    OD.Filter = QStringLiteral("Data files (*.dat)|*.dat");
    SD.Filter = QStringLiteral("Data files (*.dat)|*.dat");
    SD.OverwritePrompt = true;
    ISD.Filter = QStringLiteral("Bitmap files (*.bmp)|*.bmp");

    // The client area below the menu bar is fixed; only the program resizes the window.
    ResizeWindow(ClientWidth, menuBar()->sizeHint().height() + ClientHeight);
    move(297, 170);

    // Start-up and the handlers live with the modules they call (MainFormHandlers.cpp).
    FormCreate();
    // Connected after creation: selecting the first pages above is not a user's change.
    ConnectHandlers();
}

TMForm::~TMForm()
{
    FormDestroy();
    if (MForm == this)
        MForm = nullptr;
}

void TMForm::InstallDigitFilter(QLineEdit* edit) { edit->installEventFilter(this); }

void TMForm::ResizeWindow(int width, int height)
{
    setFixedSize(std::clamp(width, 1, MaxWindowSize), std::clamp(height, 1, MaxWindowSize));
    // Lay the client area out at once, so a painter that sizes its image from the page sees
    // the new size without waiting for the event loop.
    if (QLayout* layout = this->layout())
        layout->activate();
}

bool TMForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == centralWidget() && event->type() == QEvent::Resize) {
        const QSize client = centralWidget()->size();
        PC->setGeometry(0, 0, client.width() - RightPanelWidth, client.height());
        RPanel->setGeometry(client.width() - RightPanelWidth, 0, RightPanelWidth, client.height());
        return false;
    }
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched))
        return TRCEditKeyPress(static_cast<QKeyEvent*>(event));
    return QMainWindow::eventFilter(watched, event);
}

bool TMForm::TRCEditKeyPress(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;  // cursor keys, Delete and the like type nothing
    // Ctrl+V pastes, Ctrl+C copies: editing commands, not typed text.
    if (event->modifiers() & Qt::ControlModifier)
        return false;
    const QChar typed = text.front();
    if (typed.isDigit() && typed.unicode() < 128)
        return false;
    // Backspace, and the other control characters: Tab moves on, Enter and Escape are the
    // dialog's; none of them types a character.
    if (typed.category() == QChar::Other_Control)
        return false;
    return true;
}

void TMForm::BuildRightPanel()
{
    PSUGroup = MakeGroup(RPanel, QStringLiteral("PSUGroup"), QStringLiteral("PSU status / control"), 8, 8, 153, 97);
    PWRONLabel = MakeLabel(PSUGroup, QStringLiteral("PWRONLabel"), QStringLiteral("PWR_OK ON, ms:"), 8, 18);
    PWROFFLabel = MakeLabel(PSUGroup, QStringLiteral("PWROFFLabel"), QStringLiteral("PWR_OK OFF, ms:"), 8, 33);
    PSUStatusLabel = MakeLabel(PSUGroup, QStringLiteral("PSUStatusLabel"), QStringLiteral("Status: OFF"), 8, 48, 0, 0, 0, true);
    bPSUON = MakeButton(PSUGroup, QStringLiteral("bPSUON"), QStringLiteral("Turn ON"), 8, 66, 66, 23);
    bPSUOFF = MakeButton(PSUGroup, QStringLiteral("bPSUOFF"), QStringLiteral("Turn OFF"), 79, 66, 66, 23);

    StandGroup = MakeGroup(RPanel, QStringLiteral("StandGroup"), QStringLiteral("Stand status / control"), 8, 112, 153, 81);
    ConnectInfoLabel = MakeLabel(StandGroup, QStringLiteral("ConnectInfoLabel"), QStringLiteral("Disconnected"), 8, 18, 0, 0, 0, true);
    ErrorLabel = MakeLabel(StandGroup, QStringLiteral("ErrorLabel"), QStringLiteral("No errors"), 8, 33);
    SetTextColor(ErrorLabel, GoodColor);
    bConnect = MakeButton(StandGroup, QStringLiteral("bConnect"), QStringLiteral("Connect"), 8, 50, 66, 23);
    bDisconnect = MakeButton(StandGroup, QStringLiteral("bDisconnect"), QStringLiteral("Disconnect"), 79, 50, 66, 23);
    bDisconnect->setEnabled(false);

    OutputGroup = MakeGroup(RPanel, QStringLiteral("OutputGroup"), QStringLiteral("Output"), 8, 200, 153, 81);
    PSUpower1Label = MakeLabel(OutputGroup, QStringLiteral("PSUpower1Label"), QStringLiteral("Low voltage power:"), 8, 18);
    PSUpower2Label = MakeLabel(OutputGroup, QStringLiteral("PSUpower2Label"), QStringLiteral("High voltage power:"), 8, 33);
    PSUpower3Label = MakeLabel(OutputGroup, QStringLiteral("PSUpower3Label"), QStringLiteral("Total power:"), 8, 48);
    PSUpower4Label = MakeLabel(OutputGroup, QStringLiteral("PSUpower4Label"), QStringLiteral("Efficiency:"), 8, 63);

    BlockAC = MakeGroup(RPanel, QStringLiteral("BlockAC"), QStringLiteral("AC"), 8, 288, 153, 81);
    ACVLabel = MakeLabel(BlockAC, QStringLiteral("ACVLabel"), QStringLiteral("Voltage:"), 8, 18);
    ACCLabel = MakeLabel(BlockAC, QStringLiteral("ACCLabel"), QStringLiteral("Current:"), 8, 33);
    ACFLabel = MakeLabel(BlockAC, QStringLiteral("ACFLabel"), QStringLiteral("Frequency:"), 8, 48);
    ACPLabel = MakeLabel(BlockAC, QStringLiteral("ACPLabel"), QStringLiteral("Power:"), 8, 63);

    ThermalGroup = MakeGroup(RPanel, QStringLiteral("ThermalGroup"), QStringLiteral("Thermal control"), 8, 376, 153, 81);
    for (int n = 1; n <= 4; ++n)
        TSensor[n] = MakeLabel(ThermalGroup, QStringLiteral("T%1Sensor").arg(n), QStringLiteral("T%1, °C:").arg(n),
                               8, 18 + 15 * (n - 1));

    GraphsGroup = MakeGroup(RPanel, QStringLiteral("GraphsGroup"), QStringLiteral("Graphs"), 8, 464, 153, 177);
    const auto graphButton = [this](const QString& name, const QString& text, int row) {
        return MakeButton(GraphsGroup, name, text, 8, 20 + 30 * row, 137, 25);
    };
    bRandomGraph = graphButton(QStringLiteral("bRandomGraph"), QStringLiteral("Random graphs"), 0);
    bRepaintGraphs = graphButton(QStringLiteral("bRepaintGraphs"), QStringLiteral("Repaint graphs"), 1);
    bClearGraphs = graphButton(QStringLiteral("bClearGraphs"), QStringLiteral("Clear graphs"), 2);
    bKHXSave = graphButton(QStringLiteral("bKHXSave"), QStringLiteral("Save Data"), 3);
    bKHXLoad = graphButton(QStringLiteral("bKHXLoad"), QStringLiteral("Load Data"), 4);
}

void TMForm::BuildStatusBarAndMenu()
{
    Status = new QStatusBar(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setFixedHeight(StatusBarHeight);
    Status->setSizeGripEnabled(false);
    const int widths[] = {600, 100, 50};
    for (int i = 0; i <= 2; ++i) {
        auto* panel = new QLabel(Status);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFixedWidth(widths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        Status->addWidget(panel);
        StatusPanel[i] = panel;
    }
    setStatusBar(Status);

    MM = menuBar();
    MM->setObjectName(QStringLiteral("MM"));
    mFile = MM->addMenu(QStringLiteral("File"));
    mFile->setObjectName(QStringLiteral("mFile"));
    mSettings = mFile->addAction(QStringLiteral("Settings"));
    mSettings->setObjectName(QStringLiteral("mSettings"));
    mExportCsv = mFile->addAction(QStringLiteral("Export CSV..."));
    mExportCsv->setObjectName(QStringLiteral("mExportCsv"));
    mExportReport = mFile->addAction(QStringLiteral("Export report..."));
    mExportReport->setObjectName(QStringLiteral("mExportReport"));
    N1 = mFile->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    mExit = mFile->addAction(QStringLiteral("Exit"));
    mExit->setObjectName(QStringLiteral("mExit"));
    mHelp = MM->addMenu(QStringLiteral("Help"));
    mHelp->setObjectName(QStringLiteral("mHelp"));
    mAbout = mHelp->addAction(QStringLiteral("About"));
    mAbout->setObjectName(QStringLiteral("mAbout"));
}
