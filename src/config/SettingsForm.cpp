#include "config/SettingsForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>

#include "config/ApplySettings.h"
#include "config/AutoTestFields.h"
#include "config/Calibration.h"
#include "config/ColorList.h"
#include "config/SettingsFields.h"
#include "config/SettingsFile.h"
#include "core/ProgramState.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {

constexpr int TabWidth = 120;
constexpr int TabHeight = 24;
constexpr int BottomPanelHeight = 38;
const char* const KeyFilterProperty = "KeyFilter";

// Tabs down the left side with their captions written across, as on the pages of a binder.
class TSideTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int) const override { return QSize(TabWidth, TabHeight); }

    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            QFont font = painter.font();
            font.setBold(i == currentIndex());
            painter.setFont(font);
            painter.drawText(option.rect.adjusted(10, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, tabText(i));
        }
    }
};

class TSidePages : public QTabWidget {
public:
    explicit TSidePages(QWidget* parent) : QTabWidget(parent)
    {
        setTabBar(new TSideTabBar(this));
        setTabPosition(QTabWidget::West);
    }
};

} // namespace

TSettingsForm::TSettingsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(ClientWidth, ClientHeight);

    OD.Filter = QStringLiteral("Config files (*.ini)|*.ini");
    SD.Filter = QStringLiteral("Config files (*.ini)|*.ini");
    SD.OverwritePrompt = false;

    BuildPages();
    BuildFields();
    BuildButtons();
    FindControls();
    FormCreate();
    ConnectHandlers();
}

void TSettingsForm::BuildPages()
{
    Pages = new TSidePages(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    Pages->setGeometry(0, 0, ClientWidth, ClientHeight - BottomPanelHeight);
    for (const TSettingsPage& page : SettingsPages()) {
        auto* widget = new QWidget;
        widget->setObjectName(page.Name);
        Pages->addTab(widget, page.Caption);
    }
    AdvOfficePage4 = Pages->widget(0);
    pgConnection = Pages->widget(1);
    pgStand = Pages->widget(2);
    pgPSUInfo = Pages->widget(3);
    AdvOfficePage1 = Pages->widget(4);
    AdvOfficePage2 = Pages->widget(5);
    // The pages have their size before their controls are placed, so labels can run to the
    // right edge of their groups.
    Pages->resize(Pages->size());
}

void TSettingsForm::BuildFields()
{
    QMap<QString, QGroupBox*> groups;
    for (const TSettingsGroup& group : SettingsGroups()) {
        const QRect& box = group.Box;
        groups[group.Name] =
            MakeGroup(Pages->widget(group.Page), group.Name, group.Caption, box.x(), box.y(), box.width(), box.height());
    }

    for (const TSettingsField& field : SettingsFields()) {
        QGroupBox* group = groups.value(field.Group);
        const QRect& place = field.Place;
        if (field.Kind != TFieldKind::Check && !field.Caption.isEmpty())
            MakeLabel(group, field.Name + QStringLiteral("Label"), field.Caption, field.CaptionX, place.y() + 3,
                      place.x() - field.CaptionX - 4);
        QWidget* control = nullptr;
        switch (field.Kind) {
        case TFieldKind::Check: {
            auto* check = new QCheckBox(field.Caption, group);
            check->setGeometry(place.x(), place.y(), place.width(), 17);
            control = check;
            break;
        }
        case TFieldKind::Real:
        case TFieldKind::Whole:
        case TFieldKind::Text: {
            QLineEdit* edit =
                MakeEdit(group, field.Name, field.InitialText, place.x(), place.y(), place.width(), field.MaxLength);
            if (field.Filter != TKeyFilter::None) {
                edit->setProperty(KeyFilterProperty, static_cast<int>(field.Filter));
                edit->installEventFilter(this);
            }
            control = edit;
            break;
        }
        case TFieldKind::IndexList:
        case TFieldKind::TextList: {
            auto* list = new QComboBox(group);
            list->setEditable(false);
            list->addItems(field.Entries);
            list->setCurrentIndex(field.Entries.indexOf(field.InitialText));
            list->setGeometry(place);
            control = list;
            break;
        }
        case TFieldKind::Color: {
            auto* list = new TColorList(group);
            list->setGeometry(place);
            control = list;
            break;
        }
        }
        control->setObjectName(field.Name);
        if (!field.Suffix.isEmpty())
            MakeLabel(group, field.Name + QStringLiteral("Suffix"), field.Suffix, place.right() + 6, place.y() + 3);
        FieldControls.push_back(control);
    }
}

void TSettingsForm::BuildButtons()
{
    bCalibrate = MakeButton(pgStand, QStringLiteral("bCalibrate"), QStringLiteral("Calibrate"), 8, 428, 90, 25);
    bLoadPSU = MakeButton(pgPSUInfo, QStringLiteral("bLoadPSU"), QStringLiteral("Load"), 8, 428, 75, 25);
    bSavePSU = MakeButton(pgPSUInfo, QStringLiteral("bSavePSU"), QStringLiteral("Save"), 91, 428, 75, 25);

    BottomPanel = new QFrame(this);
    BottomPanel->setObjectName(QStringLiteral("BottomPanel"));
    BottomPanel->setGeometry(0, ClientHeight - BottomPanelHeight, ClientWidth, BottomPanelHeight);
    bDefault = MakeButton(BottomPanel, QStringLiteral("bDefault"), QStringLiteral("Default"), 8, 7, 75, 25);
    bOk = MakeButton(BottomPanel, QStringLiteral("bOk"), QStringLiteral("OK"), 152, 7, 60, 25);
    bCancel = MakeButton(BottomPanel, QStringLiteral("bCancel"), QStringLiteral("Cancel"), 216, 7, 60, 25);
    // Enter in a field does not press a button: only a click closes the dialog.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void TSettingsForm::FindControls()
{
    const auto find = [this](auto*& member, const QString& name) {
        using Control = std::remove_pointer_t<std::remove_reference_t<decltype(member)>>;
        member = findChild<Control*>(name);
        if (!member)
            throw ERangeError(QStringLiteral("the settings dialog has no control ") + name);
    };
    find(cbEnableLog, QStringLiteral("cbEnableLog"));
    find(LVRatioEdit, QStringLiteral("LVRatioEdit"));
    find(GVTimerEdit, QStringLiteral("GVTimerEdit"));
    for (int n = 1; n <= 3; ++n)
        find(GUIColorBox[n], QStringLiteral("GUIColorBox%1").arg(n));
    find(PortList, QStringLiteral("PortList"));
    find(PortSpeedList, QStringLiteral("PortSpeedList"));
    find(PortDataBitsList, QStringLiteral("PortDataBitsList"));
    find(PortParityList, QStringLiteral("PortParityList"));
    find(PortStopbitsList, QStringLiteral("PortStopbitsList"));
    find(PortHandshakingList, QStringLiteral("PortHandshakingList"));
    const char* const names[LoadChannelCount] = {"3V3", "5V", "5Vstb", "12V1", "12V2", "12V3",
                                                 "12V4", "12V5", "12V6", "12V7", "12V8"};
    for (int n = 1; n <= LoadChannelCount; ++n) {
        find(MEdit[n], QStringLiteral("M%1Edit").arg(QLatin1String(names[n - 1])));
        find(CEdit[n], QStringLiteral("C%1Edit").arg(QLatin1String(names[n - 1])));
        find(VminEdit[n], QStringLiteral("Vmin%1").arg(n));
        find(VmaxEdit[n], QStringLiteral("Vmax%1").arg(n));
        find(ImaxEdit[n], QStringLiteral("Imax%1").arg(n));
        find(NmaxEdit[n], QStringLiteral("Nmax%1").arg(n));
    }
    for (int n = 1; n <= 4; ++n)
        find(MTEdit[n], QStringLiteral("MT%1Edit").arg(n));
    find(AREFEdit, QStringLiteral("AREFEdit"));
    find(FADCEdit, QStringLiteral("FADCEdit"));
    find(FCPUEdit, QStringLiteral("FCPUEdit"));
    find(FMCKEdit, QStringLiteral("FMCKEdit"));
    find(MdacList, QStringLiteral("MdacList"));
    find(PSUVendorEdit, QStringLiteral("PSUVendorEdit"));
    find(PSUModelEdit, QStringLiteral("PSUModelEdit"));
    find(PSUCodeEdit, QStringLiteral("PSUCodeEdit"));
    find(PSUSerialEdit, QStringLiteral("PSUSerialEdit"));
    find(PSUPowerEdit, QStringLiteral("PSUPowerEdit"));
    find(DotShapeList, QStringLiteral("DotShapeList"));
    find(DWEdit, QStringLiteral("DWEdit"));
    find(DHEdit, QStringLiteral("DHEdit"));
}

void TSettingsForm::FormCreate()
{
    // The 32 port entries are made with the list (SettingsFields); the first is selected.
    PortList->setCurrentIndex(0);
    // The lookup tables of the current fields and the colour lists.
    for (int n = 1; n <= LoadChannelCount; ++n)
        PSUCEdit[n] = findChild<QLineEdit*>(QStringLiteral("PSUC%1Edit").arg(n));
    for (int n = 1; n <= 28; ++n)
        ColorBox[n] = findChild<TColorList*>(QStringLiteral("ColorBox%1").arg(n));
    ShowSettings();
    ShowDutFields(AppSettings.DutDescription);
}

void TSettingsForm::ConnectHandlers()
{
    const auto on = [this](QPushButton* button, void (TSettingsForm::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { GuardEvent([this, handler] { (this->*handler)(); }); });
    };
    on(bOk, &TSettingsForm::bOkClick);
    on(bCancel, &TSettingsForm::bCancelClick);
    on(bDefault, &TSettingsForm::bDefaultClick);
    on(bCalibrate, &TSettingsForm::bCalibrateClick);
    on(bLoadPSU, &TSettingsForm::bLoadPSUClick);
    on(bSavePSU, &TSettingsForm::bSavePSUClick);
}

void TSettingsForm::ShowSettings()
{
    const auto& fields = SettingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        ShowField(fields[i], FieldControls[i], AppSettings, AppSettings.DutDescription);
}

void TSettingsForm::TakeSettings()
{
    const auto& fields = SettingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        TakeField(fields[i], FieldControls[i], AppSettings, AppSettings.DutDescription);
}

void TSettingsForm::ShowDutFields(const TDutDescription& record)
{
    TDutDescription shown = record;
    const auto& fields = SettingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].Dut)
            ShowField(fields[i], FieldControls[i], AppSettings, shown);
}

void TSettingsForm::TakeDutFields(TDutDescription& record)
{
    const auto& fields = SettingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].Dut)
            TakeField(fields[i], FieldControls[i], AppSettings, record);
}

void TSettingsForm::bOkClick()
{
    TakeSettings();
    WriteAutoTestParams();
    WriteSettingsFile();
    if (StandIdentified)
        SendLoadRatio();
    ApplySettings();
    accept();
}

void TSettingsForm::bCancelClick() { reject(); }

void TSettingsForm::bDefaultClick()
{
    const int page = Pages->currentIndex();
    const auto& fields = SettingsFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].Page == page)
            DefaultField(fields[i], FieldControls[i]);
}

void TSettingsForm::bCalibrateClick()
{
    TakeSettings();
    UploadCalibration();
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const QVariant filter = watched->property(KeyFilterProperty);
        if (filter.isValid())
            return FilterDiscardsKey(static_cast<TKeyFilter>(filter.toInt()), static_cast<QKeyEvent*>(event));
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    // Centred on the screen, not on the main window.
    if (!event->spontaneous())
        CentreOnScreen(this);
    QDialog::showEvent(event);
}

int ShowSettingsDialog()
{
    TSettingsForm form(MForm);
    form.Pages->setCurrentIndex(0);
    return form.exec();
}
