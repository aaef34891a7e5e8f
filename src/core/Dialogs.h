#pragma once
// The one road from the program to the user's dialogs: message boxes, the quit question, the
// standard error dialog, the file dialogs and the colour chooser. The program installs the Qt
// implementation; the tests install a recorder that answers from a script. Nothing else in the
// code opens a QMessageBox, QFileDialog or QColorDialog.

#include <QString>
#include <cstdint>
#include <exception>

#include "core/Errors.h"

enum class TDialogIcon { None, Information, Warning, Error, Question };

// The state of one file dialog of a window (its filter, the last name chosen), as the window
// keeps it between uses. Filter is written "Description|pattern|Description|pattern".
struct TFileDialog {
    QString Filter;
    QString FileName;
    QString DefaultExt;       // added by the dialog when the name has no extension; empty = none
    bool OverwritePrompt = false;
};

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // A plain message box: the application title, no icon, an OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // A message box with its own title and icon and an OK button.
    virtual void ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon) = 0;
    // A question with the buttons Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption, TDialogIcon icon) = 0;
    // The standard error dialog, with its title and text already composed (ShowErrorDialog below).
    virtual void ShowError(const QString& text, const QString& caption) = 0;
    // File dialogs: false when the user cancels; otherwise dialog.FileName holds the choice.
    virtual bool ChooseOpenFile(TFileDialog& dialog) = 0;
    virtual bool ChooseSaveFile(TFileDialog& dialog) = 0;
    // A folder chooser starting at `folder`; false when the user cancels.
    virtual bool ChooseFolder(QString& folder) = 0;
    // The colour chooser, starting at `color` (0x00BBGGRR); false when the user cancels.
    virtual bool ChooseColor(uint32_t& color) = 0;
};

// The dialogs in use: the Qt implementation unless a test has installed its own.
TDialogs& Dialogs();
// Installs `dialogs` (not owned); nullptr returns to the Qt implementation.
void InstallDialogs(TDialogs* dialogs);

// The application title: the program file's name without its extension.
QString ApplicationTitle();

// The text of the standard error dialog: a full stop is added unless the text already ends
// in punctuation or a space.
QString ErrorDialogText(const QString& message);

void ShowMessage(const QString& text);
void ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon);
bool AskYesNo(const QString& text, const QString& caption, TDialogIcon icon);
// The standard error dialog: application title, error icon, OK, the failure's text.
void ShowErrorDialog(const QString& message);
bool ChooseOpenFile(TFileDialog& dialog);
bool ChooseSaveFile(TFileDialog& dialog);
bool ChooseColor(uint32_t& color);
bool ChooseFolder(QString& folder);

// How many of the dialogs above are open at this moment (each runs the event loop until it is
// answered). The link holds its polls while a dialog raised on its receive path is open.
int OpenDialogCount();

// Runs `hook` (nullptr: nothing) as each of the dialogs above opens, so that what the window
// holds back for the screen (the debug memo's waiting lines) is on show before the program
// waits for the user.
void SetDialogOpeningHook(void (*hook)());

// Shows whatever failure `current` holds in the standard error dialog.
void ShowFailure(std::exception_ptr current);

// Runs the body of a slot or event handler. No failure may cross Qt's event loop: whatever
// the body throws stops the body there and is shown in the standard error dialog.
template <typename Body>
void GuardEvent(Body&& body)
{
    try {
        body();
    } catch (...) {
        ShowFailure(std::current_exception());
    }
}
