#include "ui/Widgets.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QVariant>
#include <algorithm>

void CentreOnScreen(QWidget* window)
{
    if (QScreen* shown = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

void SetTag(QObject* control, int tag) { control->setProperty("Tag", tag); }

int Tag(const QObject* control) { return control->property("Tag").toInt(); }

QFont ControlFont(const QWidget* parent, int pixelSize, bool bold)
{
    QFont font = parent->font();
    if (pixelSize > 0)
        font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y, int width,
                  int height, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(ControlFont(parent, pixelSize, bold));
    if (width <= 0)
        width = std::max(parent->width() - x - 2, QFontMetrics(label->font()).horizontalAdvance(text) + 2);
    if (height <= 0)
        height = QFontMetrics(label->font()).height() + 1;
    label->setGeometry(x, y, width, height);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, int x, int y, int width,
                        int height, int pixelSize)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    if (pixelSize > 0)
        button->setFont(ControlFont(parent, pixelSize, false));
    button->setGeometry(x, y, width, height);
    return button;
}

QGroupBox* MakeGroup(QWidget* parent, const QString& name, const QString& title, int x, int y, int width,
                     int height)
{
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(name);
    group->setGeometry(x, y, width, height);
    return group;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, const QString& text, int x, int y, int width,
                    int maxLength)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    if (maxLength > 0)
        SetTypingLimit(edit, maxLength);
    edit->setGeometry(x, y, width, 21);
    return edit;
}

namespace {
class TTypingLimit : public QObject {
public:
    TTypingLimit(QLineEdit* edit, int limit) : QObject(edit), Limit(limit) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* edit = static_cast<QLineEdit*>(watched);
        const auto* key = static_cast<const QKeyEvent*>(event);
        // Room left once the selection, which the input replaces, is gone.
        const int room = Limit - (edit->text().size() - edit->selectedText().size());
        if (key->matches(QKeySequence::Paste)) {
            if (edit->isReadOnly())
                return false;
            const QString clip = QGuiApplication::clipboard()->text();
            if (!clip.isEmpty() || edit->hasSelectedText())
                edit->insert(clip.left(std::max(room, 0)));
            return true;
        }
        const QString typed = key->text();
        if (typed.isEmpty() || (key->modifiers() & Qt::ControlModifier) ||
            typed.front().category() == QChar::Other_Control)
            return false;  // editing keys and shortcuts type nothing
        return room < typed.size();
    }

private:
    int Limit;
};
} // namespace

void SetTypingLimit(QLineEdit* edit, int limit)
{
    edit->installEventFilter(new TTypingLimit(edit, limit));
}

void SetBackground(QWidget* widget, unsigned color)
{
    SetBackground(widget, color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void SetBackground(QWidget* widget, int red, int green, int blue)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(red, green, blue));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetTextColor(QWidget* widget, int red, int green, int blue) { SetTextColor(widget, QColor(red, green, blue)); }

void SetTextColor(QWidget* widget, const QColor& color)
{
    // The verdict marks are set with every reading, nearly always to the colour they have:
    // setting a palette costs more than the rest of a reading's display, so a colour this
    // routine set before and the palette still holds is left alone.
    static const char* const Set = "TextColorSet";
    QPalette palette = widget->palette();
    const QVariant before = widget->property(Set);
    if (before.isValid() && before.value<QColor>() == color && widget->testAttribute(Qt::WA_SetPalette) &&
        palette.color(QPalette::Active, QPalette::WindowText) == color &&
        palette.color(QPalette::Inactive, QPalette::WindowText) == color &&
        palette.color(QPalette::Disabled, QPalette::WindowText) == color)
        return;
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
    widget->setProperty(Set, color);
}

void TAutoSizeLabel::setText(const QString& text)
{
    // The same text keeps its size: measuring it again is the expensive part of a reading.
    if (text == this->text())
        return;
    const int right = x() + width();
    QLabel::setText(text);
    const int textWidth = text.isEmpty() ? 0 : QFontMetrics(font()).horizontalAdvance(text) + 1;
    if (alignment() & Qt::AlignRight)
        setGeometry(right - textWidth, y(), textWidth, height());
    else
        resize(textWidth, height());
}

TAutoSizeLabel* MakeAutoSizeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y,
                                  Qt::Alignment alignment, int pixelSize, bool bold)
{
    auto* label = new TAutoSizeLabel(parent);
    label->setObjectName(name);
    label->setFont(ControlFont(parent, pixelSize, bold));
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setGeometry(x, y, 0, QFontMetrics(label->font()).height() + 1);
    label->setText(text);
    // The left edge is where it was placed, whatever the alignment.
    label->move(x, y);
    return label;
}

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Vertical, parent)
{
    setInvertedAppearance(true);
    setInvertedControls(true);
    // The style fills the groove from position 0, which here is the top: a full groove would
    // read as full load at 0 A. The groove stays plain, as a track bar's does.
    QPalette plain = palette();
    plain.setColor(QPalette::Highlight, plain.color(QPalette::Button));
    setPalette(plain);
}

QRect TTrackBar::ThumbRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}
