#pragma once
// Small builders for the windows' controls at fixed geometry, in the window font unless a
// pixel size or bold is asked for. Every control gets its name as objectName, so the
// channel tables and the tests find it by name.

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QSlider>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;
class QWidget;

// Moves a window to the centre of the screen it is on.
void CentreOnScreen(QWidget* window);

// The "Tag" of a control: a number carried by the control (the channel of a per-channel
// control, the graph number of an image or sub-page).
void SetTag(QObject* control, int tag);
int Tag(const QObject* control);

// The parent's font with a pixel size (0 = keep) and weight.
QFont ControlFont(const QWidget* parent, int pixelSize, bool bold);

// A label at x, y. Width 0 runs it to the parent's right edge, so longer texts written later
// stay visible; height 0 fits the font.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                  int width = 0, int height = 0, int pixelSize = 0, bool bold = false);
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int x, int y,
                        int width, int height, int pixelSize = 0);
QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title, int x, int y,
                     int width, int height);
// An edit whose typing stops at maxLength characters (0 = no limit); see SetTypingLimit.
QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, int x, int y,
                    int width, int maxLength);

// Stops typing and pasting (Ctrl+V) in `edit` at `limit` characters: a typed character that
// would make the text longer is discarded, a paste takes what fits. What the program writes
// into the field is kept whole, however long (QLineEdit's own maximum length would cut it),
// and such a text can still be shortened.
void SetTypingLimit(QLineEdit* edit, int limit);

// The background colour of a panel or group (0x00BBGGRR or an R, G, B triple).
void SetBackground(QWidget* widget, unsigned color);
void SetBackground(QWidget* widget, int red, int green, int blue);
// The text colour of a label.
void SetTextColor(QWidget* widget, int red, int green, int blue);
void SetTextColor(QWidget* widget, const QColor& color);

// The status colours of the whole program: green for good states ("Connected", "PASS",
// "Status: ON"), red for "FAIL" and error identifiers, black for neutral ones.
inline const QColor GoodColor(0, 128, 0);
inline const QColor BadColor(255, 0, 0);
inline const QColor NeutralColor(0, 0, 0);

// A label that takes the width of its text whenever the text is set through it, the way the
// front panel's labels behave: a left-aligned one keeps its left edge, a right-aligned one
// keeps its right edge and grows to the left.
class TAutoSizeLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    void setText(const QString& text);
};

TAutoSizeLabel* MakeAutoSizeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                                  Qt::Alignment alignment, int pixelSize = 0, bool bold = false);

// A vertical track bar the way the stand's pages read it: position 0 at the top, the maximum
// at the bottom (Qt's own vertical slider has its maximum at the top). The keys follow what is
// drawn: Up moves the thumb up, to a smaller position.
class TTrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TTrackBar(QWidget* parent = nullptr);
    // Where the style draws the thumb, in the bar's own coordinates.
    QRect ThumbRect() const;
};
