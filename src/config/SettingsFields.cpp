#include "config/SettingsFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <cmath>
#include <limits>

#include "config/ColorList.h"
#include "config/SettingsFile.h"
#include "core/Conversions.h"
#include "core/Definitions.h"
#include "core/Errors.h"

namespace {

// Page numbers, in tab order.
enum : int { General, Connection, Stand, PsuInfo, Graph, Thresholds };

constexpr int RowHeight = 24;
constexpr int FirstRow = 20;
int Row(int n) { return FirstRow + RowHeight * n; }

// The short channel names of the calibration fields and keys: "M" + name, "C" + name.
const char* const CalibrationNames[LoadChannelCount] = {"3V3",  "5V",   "5Vstb", "12V1", "12V2", "12V3",
                                                        "12V4", "12V5", "12V6",  "12V7", "12V8"};
// The colour labels, colour by colour.
const char* const ColorCaptions[28] = {
    "< 5%",        "< 4.99 - 4%", "< 3.99 - 3%", "< 2.99 - 2%", "< 1.99 - 1%", "< 0.99 - 0.1%", "0%",
    "> 0.1 - 0.99%", "> 1 - 1.99%", "> 2 - 2.99%", "> 3 - 3.99%", "> 4 - 4.99%", "> 5%",      "Background:",
    "PFC:",        "Efficiency:", "Temperature:", "Fan 1:",     "Fan 2:",      "<=25%",       "26% - 50%",
    "51% - 75%",   "76% - 100%",  "101% - 125%",  "126% - 150%", "151% - 175%", "176% - 200%", "> 200%",
};
const char* const ThresholdGroupCaptions[LoadChannelCount] = {
    "3.3V Channel",  "5V Channel",    "5Vstb Channel", "12V1 Channel", "12V2 Channel", "12V3 Channel",
    "12V4 Channel",  "12V5 Channel",  "12V6 Channel",  "12V7 Channel", "12V8 Channel",
};

QString L(const char* text) { return QString::fromLatin1(text); }
QString Numbered(const char* stem, int n) { return L(stem) + QString::number(n); }

std::vector<TSettingsField> BuildFields()
{
    std::vector<TSettingsField> fields;
    using Value = std::function<TFieldRef(TAppSettings&, TDutDescription&)>;
    const auto add = [&fields](int page, const QString& group, const QString& caption, const QString& name,
                               TFieldKind kind, Value value) -> TSettingsField& {
        TSettingsField field;
        field.Page = page;
        field.Group = group;
        field.Caption = caption;
        field.Name = name;
        field.Kind = kind;
        field.Value = std::move(value);
        fields.push_back(std::move(field));
        return fields.back();
    };
    const auto place = [](TSettingsField& field, int captionX, int x, int row, int width,
                          TDefaultRule rule = TDefaultRule::FromFile) -> TSettingsField& {
        field.CaptionX = captionX;
        field.Place = QRect(x, Row(row), width, 21);
        field.Default = rule;
        return field;
    };

    // --- "General": logging, the LV load ratio, the polling interval, the channel colours.
    {
        TSettingsField& f = add(General, "LoggingGroup", "enable log writing", "cbEnableLog", TFieldKind::Check,
                                [](TAppSettings& s, TDutDescription&) { return &s.WriteLog; });
        place(f, 0, 12, 0, 200, TDefaultRule::Keep);
    }
    {
        TSettingsField& f = add(General, "PSULoadingGroup", "LV load ratio (+5V to +3.3V):", "LVRatioEdit",
                                TFieldKind::Real, [](TAppSettings& s, TDutDescription&) { return &s.LVRatio; });
        place(f, 12, 190, 0, 80, TDefaultRule::Text);
        f.InitialText = "0.8";
        f.Filter = TKeyFilter::Number;
        f.DefaultText = "0.80";
    }
    {
        TSettingsField& f = add(General, "MeasurementsGroup", "Polling interval, ms:", "GVTimerEdit", TFieldKind::Whole,
                                [](TAppSettings& s, TDutDescription&) { return &s.GVTimeout; });
        place(f, 12, 190, 0, 80, TDefaultRule::Keep);
        f.InitialText = "100";
        f.Filter = TKeyFilter::Number;
    }
    const char* const guiCaptions[3] = {"+3.3V color:", "+ 5V color:", "+ 12V color:"};
    for (int n = 1; n <= 3; ++n) {
        TSettingsField& f = add(General, "GUIGroup", L(guiCaptions[n - 1]), Numbered("GUIColorBox", n),
                                TFieldKind::Color, [n](TAppSettings& s, TDutDescription&) { return &s.GUIColor[n]; });
        place(f, 12, 190, n - 1, 150);
        f.Place.setHeight(22);
    }

    // --- "Graph": the dots of the curves, the 28 colours.
    {
        TSettingsField& f = add(Graph, "GraphGroup", "Dot shape:", "DotShapeList", TFieldKind::IndexList,
                                [](TAppSettings& s, TDutDescription&) { return &s.DotShape; });
        place(f, 12, 110, 0, 100);
        f.Entries = QStringList{"Rectangle", "Circuit", "Rhombus"};
    }
    {
        TSettingsField& f = add(Graph, "GraphGroup", "Dot dimensions:", "DWEdit", TFieldKind::Whole,
                                [](TAppSettings& s, TDutDescription&) { return &s.DotWidth; });
        place(f, 12, 110, 1, 25, TDefaultRule::Text);
        f.InitialText = "5";
        f.MaxLength = 1;
        f.Filter = TKeyFilter::Number;
        f.DefaultText = "2";
    }
    {
        TSettingsField& f = add(Graph, "GraphGroup", "x", "DHEdit", TFieldKind::Whole,
                                [](TAppSettings& s, TDutDescription&) { return &s.DotHeight; });
        place(f, 142, 155, 1, 25, TDefaultRule::Text);
        f.InitialText = "5";
        f.MaxLength = 1;
        f.Filter = TKeyFilter::Number;
        f.DefaultText = "2";
        f.Suffix = "pixels";
    }
    // 1 to 14 down the left column, 15 to 28 down the right one.
    for (int n = 1; n <= 28; ++n) {
        TSettingsField& f = add(Graph, "ColorsGroup", L(ColorCaptions[n - 1]), Numbered("ColorBox", n),
                                TFieldKind::Color, [n](TAppSettings& s, TDutDescription&) { return &s.Color[n]; });
        const bool left = n <= 14;
        place(f, left ? 12 : 236, left ? 96 : 320, left ? n - 1 : n - 15, 128);
        f.Place.setHeight(22);
    }

    // --- "PSU Info": the description of the power supply under test.
    struct TText {
        const char* Caption;
        const char* Name;
        QString TDutDescription::*Field;
    };
    const TText texts[4] = {
        {"Vendor:", "PSUVendorEdit", &TDutDescription::Vendor},
        {"Model:", "PSUModelEdit", &TDutDescription::Model},
        {"Model code:", "PSUCodeEdit", &TDutDescription::Code},
        {"Serial number:", "PSUSerialEdit", &TDutDescription::SN},
    };
    for (int i = 0; i < 4; ++i) {
        const auto member = texts[i].Field;
        TSettingsField& f = add(PsuInfo, "PSUPropertiesGroup", L(texts[i].Caption), L(texts[i].Name), TFieldKind::Text,
                                [member](TAppSettings&, TDutDescription& d) { return &(d.*member); });
        place(f, 12, 130, i, 250, TDefaultRule::Keep);
        f.Dut = true;
    }
    {
        TSettingsField& f = add(PsuInfo, "PSUPropertiesGroup", "Power, W:", "PSUPowerEdit", TFieldKind::Whole,
                                [](TAppSettings&, TDutDescription& d) { return &d.Power; });
        place(f, 12, 130, 4, 50, TDefaultRule::Keep);
        f.Dut = true;
        f.InitialText = "0";
        f.MaxLength = 4;
        f.Filter = TKeyFilter::Digit;
    }
    for (int n = 1; n <= LoadChannelCount; ++n) {
        TSettingsField& f = add(PsuInfo, "PSUPropertiesGroup", LoadChannelNames[n] + QStringLiteral(" current, A:"),
                                Numbered("PSUC", n) + QStringLiteral("Edit"), TFieldKind::Whole,
                                [n](TAppSettings&, TDutDescription& d) { return &d.MaxCurrent[n]; });
        place(f, 12, 130, 4 + n, 50);
        f.Dut = true;
        f.InitialText = "0";
        f.MaxLength = 2;
        f.Filter = TKeyFilter::Digit;
    }

    // --- "Connection": the serial port.
    {
        TSettingsField& f = add(Connection, "COMGroup", "Port:", "PortList", TFieldKind::IndexList,
                                [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.Port; });
        place(f, 12, 110, 0, 150);
        for (int n = 1; n <= 32; ++n)
            f.Entries << Numbered("COM", n);
        f.IndexOffset = 1;
    }
    struct TList {
        const char* Caption;
        const char* Name;
        QStringList Entries;
        bool IgnoreCase;
        std::function<TFieldRef(TAppSettings&, TDutDescription&)> Value;
    };
    const TList lists[5] = {
        {"Speed, bps:", "PortSpeedList",
         {"600", "1200", "2400", "4800", "9600", "14400", "19200", "28800", "38400", "56000", "57600", "115200"}, false,
         [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.Speed; }},
        {"Data bits:", "PortDataBitsList", {"5", "6", "7", "8"}, false,
         [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.DataBits; }},
        {"Parity:", "PortParityList", {"none", "odd", "even", "mark", "space"}, true,
         [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.Parity; }},
        {"Stop bits:", "PortStopbitsList", {"1", "1.5", "2"}, true,
         [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.StopBits; }},
        {"Handshaking:", "PortHandshakingList", {"none", "RTS/CTS", "XON/XOFF", "RTS/CTS+XON/XOFF", "RTS on TX"}, true,
         [](TAppSettings& s, TDutDescription&) { return &s.COMSettings.Hanshaking; }},
    };
    for (int i = 0; i < 5; ++i) {
        TSettingsField& f = add(Connection, "COMGroup", L(lists[i].Caption), L(lists[i].Name), TFieldKind::TextList,
                                lists[i].Value);
        place(f, 12, 110, 1 + i, 150);
        f.Entries = lists[i].Entries;
        f.IgnoreCase = lists[i].IgnoreCase;
    }

    // --- "Stand": the calibration constants. Default leaves this page alone.
    const auto standField = [&](const QString& caption, const QString& name, TFieldKind kind, bool left, int row,
                                const char* initial, Value value) {
        TSettingsField& f = add(Stand, "CalibratingGroup", caption, name, kind, std::move(value));
        place(f, left ? 12 : 236, left ? 80 : 304, row, 90, TDefaultRule::Keep);
        f.InitialText = L(initial);
        f.Filter = TKeyFilter::Number;
    };
    for (int n = 1; n <= LoadChannelCount; ++n)
        standField(u'M' + L(CalibrationNames[n - 1]) + u':', u'M' + L(CalibrationNames[n - 1]) + QStringLiteral("Edit"),
                   TFieldKind::Real, true, n - 1, "15.916",
                   [n](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.MValue[n]; });
    for (int n = 1; n <= LoadChannelCount; ++n)
        standField(u'C' + L(CalibrationNames[n - 1]) + u':', u'C' + L(CalibrationNames[n - 1]) + QStringLiteral("Edit"),
                   TFieldKind::Real, false, n - 1, "5.7",
                   [n](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.CValue[n]; });
    for (int n = 1; n <= 4; ++n)
        standField(Numbered("MT", n) + u':', Numbered("MT", n) + QStringLiteral("Edit"), TFieldKind::Real, true,
                   10 + n, "0", [n](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.MTValue[n]; });
    standField("AREF:", "AREFEdit", TFieldKind::Real, false, 11, "3.300",
               [](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.AREF; });
    standField("FADC:", "FADCEdit", TFieldKind::Whole, false, 12, "2",
               [](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.FADC; });
    standField("FCPU:", "FCPUEdit", TFieldKind::Whole, false, 13, "18432000",
               [](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.FCPU; });
    standField("FMCK:", "FMCKEdit", TFieldKind::Whole, false, 14, "48000000",
               [](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.FMCK; });
    {
        TSettingsField& f = add(Stand, "CalibratingGroup", "MDAC_SELECT:", "MdacList", TFieldKind::IndexList,
                                [](TAppSettings& s, TDutDescription&) { return &s.CalibrationSet.MDAC; });
        place(f, 12, 90, 15, 60, TDefaultRule::Keep);
        f.Entries = QStringList{"0", "1"};
        f.InitialText = "0";
    }

    // --- "Channel tresholds": four limits per load channel, no key filter.
    struct TLimit {
        const char* Stem;
        const char* Caption;
        TFieldKind Kind;
    };
    const TLimit limits[4] = {{"Vmin", "Vmin, V:", TFieldKind::Real},
                              {"Vmax", "Vmax, V:", TFieldKind::Real},
                              {"Imax", "Imax, A:", TFieldKind::Real},
                              {"Nmax", "Nmax, mV:", TFieldKind::Whole}};
    for (int n = 1; n <= LoadChannelCount; ++n) {
        for (int i = 0; i < 4; ++i) {
            Value value;
            switch (i) {
            case 0: value = [n](TAppSettings& s, TDutDescription&) { return &s.ChannelThresholds[n].Vmin; }; break;
            case 1: value = [n](TAppSettings& s, TDutDescription&) { return &s.ChannelThresholds[n].Vmax; }; break;
            case 2: value = [n](TAppSettings& s, TDutDescription&) { return &s.ChannelThresholds[n].Imax; }; break;
            default: value = [n](TAppSettings& s, TDutDescription&) { return &s.ChannelThresholds[n].Nmax; }; break;
            }
            TSettingsField& f = add(Thresholds, Numbered("Channel", n) + QStringLiteral("Group"), L(limits[i].Caption),
                                    Numbered(limits[i].Stem, n), limits[i].Kind, std::move(value));
            place(f, 8, 72, i, 66);
            f.Place.translate(0, -2);
        }
    }
    return fields;
}

std::vector<TSettingsGroup> BuildGroups()
{
    std::vector<TSettingsGroup> groups = {
        {General, "LoggingGroup", "Logging", QRect(8, 8, 456, 48)},
        {General, "PSULoadingGroup", "PSU loading", QRect(8, 64, 456, 52)},
        {General, "MeasurementsGroup", "Measurements", QRect(8, 124, 456, 52)},
        {General, "GUIGroup", "GUI", QRect(8, 184, 456, 100)},
        {Connection, "COMGroup", "COM port settings", QRect(8, 8, 456, 172)},
        {Stand, "CalibratingGroup", "Calibrating", QRect(8, 8, 456, 412)},
        {PsuInfo, "PSUPropertiesGroup", "PSU properties", QRect(8, 8, 456, 412)},
        {Graph, "GraphGroup", "Graph", QRect(8, 8, 456, 76)},
        {Graph, "ColorsGroup", "Colors", QRect(8, 92, 456, 364)},
    };
    // Eleven channel groups, three to a row.
    for (int n = 1; n <= LoadChannelCount; ++n) {
        const int column = (n - 1) % 3;
        const int row = (n - 1) / 3;
        groups.push_back({Thresholds, Numbered("Channel", n) + QStringLiteral("Group"), L(ThresholdGroupCaptions[n - 1]),
                          QRect(8 + 150 * column, 8 + 120 * row, 146, 114)});
    }
    return groups;
}

// A single-precision field cannot hold what float cannot: such a text is no usable number.
float ToSingle(const QString& text)
{
    const double value = StrToFloat(text);
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return static_cast<float>(value);
}

// Integers of any width, stored into their field's width.
struct TStoreWhole {
    int32_t Value;
    void operator()(uint8_t* p) const { *p = static_cast<uint8_t>(Value); }
    void operator()(uint16_t* p) const { *p = static_cast<uint16_t>(Value); }
    void operator()(int32_t* p) const { *p = Value; }
    void operator()(uint32_t* p) const { *p = static_cast<uint32_t>(Value); }
    template <typename Other>
    void operator()(Other*) const { throw ERangeError(QStringLiteral("a whole number for a field that is none")); }
};

struct TWholeText {
    QString operator()(const uint8_t* p) const { return QString::number(*p); }
    QString operator()(const uint16_t* p) const { return QString::number(*p); }
    QString operator()(const int32_t* p) const { return QString::number(*p); }
    QString operator()(const uint32_t* p) const { return QString::number(*p); }
    QString operator()(const QString* p) const { return *p; }
    QString operator()(const float* p) const { return FormatFixed(*p, 5, 3); }
    QString operator()(const bool* p) const { return *p ? QStringLiteral("1") : QStringLiteral("0"); }
};

QString FieldText(const TFieldRef& ref)
{
    return std::visit([](auto* p) { return TWholeText{}(p); }, ref);
}

int32_t FieldInteger(const TFieldRef& ref)
{
    if (auto p = std::get_if<uint8_t*>(&ref))
        return **p;
    if (auto p = std::get_if<uint16_t*>(&ref))
        return **p;
    if (auto p = std::get_if<int32_t*>(&ref))
        return **p;
    if (auto p = std::get_if<uint32_t*>(&ref))
        return static_cast<int32_t>(**p);
    throw ERangeError(QStringLiteral("an index list on a field that is no whole number"));
}

// The label of a field without its colon, as a message names it.
QString FieldTitle(const TSettingsField& field)
{
    QString title = field.Caption;
    if (title.endsWith(u':'))
        title.chop(1);
    return title;
}

// settings.ini and the profile files hold single-byte Latin-1 text: anything else would be
// written as "?" and lost, so such a text is refused before anything is taken from it.
void RequireLatin1(const TSettingsField& field, const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() <= 0xFF)
            continue;
        char32_t code = text[i].unicode();
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        throw EConvertError(QStringLiteral("The field \"%1\" holds the character \"%2\" (U+%3), which settings and "
                                           "profile files cannot store")
                                .arg(FieldTitle(field), text.mid(i, length),
                                     QString::number(static_cast<uint32_t>(code), 16).toUpper().rightJustified(4, u'0')));
    }
}

[[noreturn]] void NoSelection() { throw EListIndexError(QStringLiteral("List index out of bounds (-1)")); }

} // namespace

const std::vector<TSettingsPage>& SettingsPages()
{
    static const std::vector<TSettingsPage> pages = {
        {"AdvOfficePage4", "General"}, {"pgConnection", "Connection"}, {"pgStand", "Stand"},
        {"pgPSUInfo", "PSU Info"},     {"AdvOfficePage1", "Graph"},    {"AdvOfficePage2", "Channel tresholds"},
    };
    return pages;
}

const std::vector<TSettingsGroup>& SettingsGroups()
{
    static const std::vector<TSettingsGroup> groups = BuildGroups();
    return groups;
}

const std::vector<TSettingsField>& SettingsFields()
{
    static const std::vector<TSettingsField> fields = BuildFields();
    return fields;
}

void ShowField(const TSettingsField& field, QWidget* control, TAppSettings& settings, TDutDescription& dut)
{
    const TFieldRef ref = field.Value(settings, dut);
    switch (field.Kind) {
    case TFieldKind::Check:
        static_cast<QCheckBox*>(control)->setChecked(*std::get<bool*>(ref));
        break;
    case TFieldKind::Real:
    case TFieldKind::Whole:
    case TFieldKind::Text:
        static_cast<QLineEdit*>(control)->setText(FieldText(ref));
        break;
    case TFieldKind::IndexList: {
        auto* list = static_cast<QComboBox*>(control);
        const int64_t index = static_cast<int64_t>(FieldInteger(ref)) - field.IndexOffset;
        list->setCurrentIndex(index >= 0 && index < list->count() ? static_cast<int>(index) : -1);
        break;
    }
    case TFieldKind::TextList: {
        auto* list = static_cast<QComboBox*>(control);
        const Qt::CaseSensitivity cs = field.IgnoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString value = FieldText(ref);
        int found = -1;
        for (int i = 0; i < list->count() && found < 0; ++i)
            if (list->itemText(i).compare(value, cs) == 0)
                found = i;
        list->setCurrentIndex(found);
        break;
    }
    case TFieldKind::Color:
        static_cast<TColorList*>(control)->SetSelected(*std::get<uint32_t*>(ref));
        break;
    }
}

void TakeField(const TSettingsField& field, QWidget* control, TAppSettings& settings, TDutDescription& dut)
{
    const TFieldRef ref = field.Value(settings, dut);
    switch (field.Kind) {
    case TFieldKind::Check:
        *std::get<bool*>(ref) = static_cast<QCheckBox*>(control)->isChecked();
        break;
    case TFieldKind::Real:
        *std::get<float*>(ref) = ToSingle(static_cast<QLineEdit*>(control)->text());
        break;
    case TFieldKind::Whole:
        std::visit(TStoreWhole{StrToInt(static_cast<QLineEdit*>(control)->text())}, ref);
        break;
    case TFieldKind::Text: {
        const QString text = static_cast<QLineEdit*>(control)->text().left(DutTextLength);
        RequireLatin1(field, text);
        *std::get<QString*>(ref) = text;
        break;
    }
    case TFieldKind::IndexList: {
        // A list left without a selection (its value matched no entry) gives no value: storing
        // the index -1 would make a port 0 or an MDAC of 255.
        const int index = static_cast<QComboBox*>(control)->currentIndex();
        if (index < 0)
            NoSelection();
        std::visit(TStoreWhole{index + field.IndexOffset}, ref);
        break;
    }
    case TFieldKind::TextList: {
        auto* list = static_cast<QComboBox*>(control);
        if (list->currentIndex() < 0)
            NoSelection();
        const QString text = list->currentText();
        if (auto p = std::get_if<QString*>(&ref))
            **p = text;
        else
            std::visit(TStoreWhole{StrToInt(text)}, ref);
        break;
    }
    case TFieldKind::Color:
        *std::get<uint32_t*>(ref) = static_cast<TColorList*>(control)->Selected();
        break;
    }
}

void DefaultField(const TSettingsField& field, QWidget* control)
{
    switch (field.Default) {
    case TDefaultRule::Keep:
        return;
    case TDefaultRule::Text:
        static_cast<QLineEdit*>(control)->setText(field.DefaultText);
        return;
    case TDefaultRule::FromFile: {
        TAppSettings defaults = DefaultAppSettings();
        ShowField(field, control, defaults, defaults.DutDescription);
        return;
    }
    }
}

bool FilterDiscardsKey(TKeyFilter filter, const QKeyEvent* event)
{
    if (filter == TKeyFilter::None)
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false;  // cursor keys, Delete and the like type nothing
    // Ctrl+V pastes, Ctrl+C copies: editing commands, not typed text.
    if (event->modifiers() & Qt::ControlModifier)
        return false;
    const QChar typed = text.front();
    if (typed >= u'0' && typed <= u'9')
        return false;
    if (typed == u'.' && filter == TKeyFilter::Number)
        return false;
    // Backspace, and the other control characters: Tab moves on, Enter and Escape belong to the
    // dialog; none of them types a character.
    return typed.category() != QChar::Other_Control;
}
