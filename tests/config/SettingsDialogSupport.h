#pragma once
// A main window with the settings dialog open on it, the way "File / Settings" opens it, and
// the small hands a test needs to work the dialog as a user: typing, choosing list entries,
// reading what a control shows, reading settings.ini key by key.

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <optional>

#include "WindowFixture.h"
#include "config/ColorList.h"
#include "config/IniFile.h"
#include "config/SettingsFile.h"
#include "config/SettingsForm.h"

class TSettingsDialogFixture : public TWindowFixture {
public:
    ~TSettingsDialogFixture() { CloseDialog(); }

    // Opens the window (start-up reads settings.ini) unless it is open, then a new dialog on it.
    TSettingsForm& OpenDialog()
    {
        if (!Window())
            Open();
        CloseDialog();
        Dialog = std::make_unique<TSettingsForm>(Window());
        Dialog->Pages->setCurrentIndex(0);
        Dialog->show();
        return *Dialog;
    }
    void CloseDialog() { Dialog.reset(); }

    template <typename Control = QWidget>
    Control* Find(const QString& name) const
    {
        Control* control = Dialog->findChild<Control*>(name);
        if (!control)
            qFatal("the settings dialog has no control %s", qPrintable(name));
        return control;
    }

    QLineEdit* Edit(const QString& name) const { return Find<QLineEdit>(name); }
    QComboBox* List(const QString& name) const { return Find<QComboBox>(name); }

    // The user pastes `text` over the whole field with Ctrl+V: no key filter sees it, and a field
    // with a length limit takes what fits.
    void Paste(const QString& name, const QString& text) const
    {
        QLineEdit* edit = Edit(name);
        edit->setFocus();
        edit->selectAll();
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }

    // The user picks the entry with this text.
    void Choose(const QString& name, const QString& entry) const
    {
        QComboBox* list = List(name);
        const int index = list->findText(entry);
        if (index < 0)
            qFatal("%s has no entry %s", qPrintable(name), qPrintable(entry));
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    void ShowPage(int index) const { Dialog->Pages->setCurrentIndex(index); }

    // What a control shows: an edit's text, "ticked"/"clear", a list's entry ("<none>" without
    // a selection), a colour list's colour as a decimal number.
    QString Shown(const QString& name) const { return ShownBy(Find(name)); }
    static QString ShownBy(const QWidget* control)
    {
        if (auto* colors = qobject_cast<const TColorList*>(control))
            return QString::number(colors->Selected());
        if (auto* edit = qobject_cast<const QLineEdit*>(control))
            return edit->text();
        if (auto* check = qobject_cast<const QCheckBox*>(control))
            return check->isChecked() ? QStringLiteral("ticked") : QStringLiteral("clear");
        if (auto* list = qobject_cast<const QComboBox*>(control))
            return list->currentIndex() < 0 ? QStringLiteral("<none>") : list->currentText();
        return QStringLiteral("?");
    }

    // Every named field of the dialog and what it shows.
    QMap<QString, QString> ShownFields() const
    {
        QMap<QString, QString> shown;
        for (QWidget* control : Dialog->findChildren<QWidget*>()) {
            const bool field = qobject_cast<QLineEdit*>(control) || qobject_cast<QCheckBox*>(control) ||
                               qobject_cast<QComboBox*>(control);
            // The edit inside an editable list has no name of its own.
            if (field && !control->objectName().isEmpty() && !control->objectName().startsWith("qt_"))
                shown[control->objectName()] = ShownBy(control);
        }
        return shown;
    }

    // A key of settings.ini as the file holds it; "<absent>" when it is not there.
    QString Key(const QString& section, const QString& key) const
    {
        return TIniFile(Path("settings.ini")).ReadString(section, key, QStringLiteral("<absent>"));
    }

    std::unique_ptr<TSettingsForm> Dialog;
};

#define TARVIK_FINISH_DIALOG(fixture)                                    \
    do {                                                                 \
        if (fixture)                                                     \
            (fixture)->CloseDialog();                                    \
        TARVIK_FINISH_WINDOW(fixture);                                   \
    } while (false)
