#include "config/ColorList.h"

#include <QPainter>
#include <QPixmap>

#include "core/Dialogs.h"

namespace {

constexpr int CustomIndex = 0;
constexpr int SwatchWidth = 24;
constexpr int SwatchHeight = 12;

QColor ToQColor(uint32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

QIcon Swatch(uint32_t color)
{
    QPixmap pixmap(SwatchWidth, SwatchHeight);
    pixmap.fill(ToQColor(color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, SwatchWidth - 1, SwatchHeight - 1);
    return QIcon(pixmap);
}

} // namespace

const TColorList::TNamedColor TColorList::NamedColors[20] = {
    // The standard colours.
    {"Black", 0x000000},
    {"Maroon", 0x000080},
    {"Green", 0x008000},
    {"Olive", 0x008080},
    {"Navy", 0x800000},
    {"Purple", 0x800080},
    {"Teal", 0x808000},
    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},
    {"Red", 0x0000FF},
    {"Lime", 0x00FF00},
    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},
    {"Fuchsia", 0xFF00FF},
    {"Aqua", 0xFFFF00},
    {"White", 0xFFFFFF},
    // The extended colours.
    {"Money Green", 0xC0DCC0},
    {"Sky Blue", 0xF0CAA6},
    {"Cream", 0xF0FBFF},
    {"Medium Gray", 0xA4A0A0},
};

TColorList::TColorList(QWidget* parent) : QComboBox(parent)
{
    setEditable(false);
    setIconSize(QSize(SwatchWidth, SwatchHeight));
    addItem(Swatch(0), QStringLiteral("Custom..."), 0u);
    for (const TNamedColor& named : NamedColors)
        addItem(Swatch(named.Value), QString::fromLatin1(named.Name), named.Value);
    setCurrentIndex(CustomIndex);
    // Only the user's choices open the chooser: a selection made by the program does not.
    connect(this, &QComboBox::activated, this, &TColorList::EntryActivated);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index > CustomIndex)
            Settled = index;
    });
}

uint32_t TColorList::Selected() const
{
    const int index = currentIndex() < 0 ? CustomIndex : currentIndex();
    return itemData(index).toUInt();
}

uint32_t TColorList::CustomColor() const { return itemData(CustomIndex).toUInt(); }

void TColorList::SetSelected(uint32_t color)
{
    color &= 0xFFFFFF;
    for (int i = 1; i < count(); ++i) {
        if (itemData(i).toUInt() == color) {
            setCurrentIndex(i);
            return;
        }
    }
    SetCustomColor(color);
    setCurrentIndex(CustomIndex);
    Settled = CustomIndex;
}

void TColorList::SetCustomColor(uint32_t color)
{
    setItemData(CustomIndex, color);
    setItemIcon(CustomIndex, Swatch(color));
}

void TColorList::EntryActivated(int index)
{
    if (index != CustomIndex)
        return;
    GuardEvent([this] {
        // The chooser starts at the colour that was on show before this choice.
        uint32_t color = itemData(Settled).toUInt();
        if (ChooseColor(color)) {
            SetCustomColor(color & 0xFFFFFF);
            Settled = CustomIndex;
        }
        setCurrentIndex(Settled);
    });
}
