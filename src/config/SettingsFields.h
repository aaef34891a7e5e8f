#pragma once
// The settings dialog's pages, groups and fields as tables. Every field row says where its
// control sits, what it looks like, how keys are filtered, which value of the configuration it
// edits and what the Default button puts into it. The rows are in the order in which OK takes
// the fields, so building, showing, taking and restoring the defaults all walk the same table:
// the first field that does not hold a value stops the taking there, and whatever was taken
// before it stays taken.

#include <QRect>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <variant>
#include <vector>

#include "config/AppSettings.h"

class QWidget;

// What kind of control a field is, and how its value is shown and taken.
enum class TFieldKind {
    Check,      // check box, a bool
    Real,       // edit, a single-precision number shown with three decimals
    Whole,      // edit, a whole number; stored into its field's width (low-order bits)
    Text,       // edit, a text of at most DutTextLength characters
    IndexList,  // drop-down list, the entry's index (plus IndexOffset)
    TextList,   // drop-down list, the entry's text (a whole number when the field is one)
    Color,      // colour list, a 0x00BBGGRR colour
};

// Which typed characters an edit lets through. Pasted text is not filtered.
enum class TKeyFilter {
    None,
    Number,  // digits, "." and backspace
    Digit,   // digits and backspace
};

// What the Default button puts into a field on the page being shown.
enum class TDefaultRule {
    Keep,      // nothing
    FromFile,  // the value an absent settings.ini gives, shown as ShowSettings shows it
    Text,      // DefaultText as it stands
};

// The value a field edits, inside the configuration record or a DUT description.
using TFieldRef = std::variant<bool*, float*, uint8_t*, uint16_t*, int32_t*, uint32_t*, QString*>;

struct TSettingsPage {
    QString Name;
    QString Caption;
};

struct TSettingsGroup {
    int Page;
    QString Name;
    QString Caption;
    QRect Box;  // in its page
};

struct TSettingsField {
    int Page = 0;
    QString Group;        // the group box it sits in
    QString Caption;      // the label left of the control (the check box's own text)
    QString Name;         // the control's name
    TFieldKind Kind = TFieldKind::Real;
    QString InitialText;  // before ShowSettings runs: the edit's text or the list's entry
    int MaxLength = 0;    // 0: no limit
    TKeyFilter Filter = TKeyFilter::None;
    QStringList Entries;  // drop-down lists
    int IndexOffset = 0;  // IndexList: value = entry index + IndexOffset
    bool IgnoreCase = false;  // TextList: entries match the value regardless of letter case
    bool Dut = false;     // edits a DUT description (the PSU Info page) instead of the record
    std::function<TFieldRef(TAppSettings&, TDutDescription&)> Value;
    TDefaultRule Default = TDefaultRule::Keep;
    QString DefaultText;
    int CaptionX = 0;     // the label's left edge in the group
    QRect Place;          // the control in the group
    QString Suffix;       // a label right of the control ("pixels")
};

// The six pages, in tab order; the index is the page number the Default button works on.
const std::vector<TSettingsPage>& SettingsPages();
const std::vector<TSettingsGroup>& SettingsGroups();
// Every field, in the order OK takes them.
const std::vector<TSettingsField>& SettingsFields();

// Shows the field's value from `settings` / `dut` in its control.
void ShowField(const TSettingsField& field, QWidget* control, TAppSettings& settings, TDutDescription& dut);
// Takes the control's value into `settings` / `dut`. A text that is not a number throws
// EConvertError with the standard conversion message; a list without a selection throws
// EListIndexError "List index out of bounds (-1)"; a text the single-byte files cannot hold
// throws EConvertError naming the field.
void TakeField(const TSettingsField& field, QWidget* control, TAppSettings& settings, TDutDescription& dut);
// Puts the field's default into its control (nothing when its rule is Keep).
void DefaultField(const TSettingsField& field, QWidget* control);

// True when the key press must be discarded under the filter.
bool FilterDiscardsKey(TKeyFilter filter, const class QKeyEvent* event);
