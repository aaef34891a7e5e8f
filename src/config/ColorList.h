#pragma once
// A drop-down list of colours: the sixteen standard colours, the four extended ones and one
// custom colour that the user picks with the colour chooser (Dialogs.h). Values are 0x00BBGGRR,
// red in the lowest byte, as the configuration keeps them.
//
// The custom entry comes first, shown as "Custom..." with its colour's swatch. A colour that is
// not one of the named ones is shown there. Choosing the custom entry opens the chooser at the
// colour shown; cancelling it returns to the entry that was selected before.

#include <QComboBox>
#include <cstdint>

class TColorList : public QComboBox {
    Q_OBJECT
public:
    explicit TColorList(QWidget* parent = nullptr);

    // The named entries (without the custom one), in list order.
    struct TNamedColor {
        const char* Name;
        uint32_t Value;
    };
    static const TNamedColor NamedColors[20];

    // The colour of the selected entry.
    uint32_t Selected() const;
    // Selects the named entry of this colour, or shows it as the custom colour.
    void SetSelected(uint32_t color);
    // The colour the custom entry holds now.
    uint32_t CustomColor() const;

private:
    void SetCustomColor(uint32_t color);
    void EntryActivated(int index);

    // The entry on show before the user's present choice; the chooser's Cancel returns to it.
    int Settled = 0;
};
