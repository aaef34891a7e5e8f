#pragma once
// The tests' stand-in for the user's dialogs: records every dialog the program opens and
// answers questions and file dialogs from a script. A dialog the test did not take with
// Take()/TakeAll(), or a scripted answer nobody asked for, fails the test (ProgramFixture).

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

#include "core/Dialogs.h"

struct TDialogCall {
    QString Kind;  // "Message", "MessageBox", "YesNo", "Error", "OpenFile", "SaveFile", "Folder", "Color"
    QString Text;
    QString Caption;
    TDialogIcon Icon = TDialogIcon::None;
    bool Unscripted = false;  // a question or file dialog that found no scripted answer

    // "Kind [Caption] Text" with the icon, for comparisons and failure messages.
    QString Describe() const;
};

class TDialogRecorder final : public TDialogs {
public:
    QList<TDialogCall> Calls;  // in the order the program opened them, not yet taken

    // Scripts the answer of the next question / file dialog / colour chooser.
    void AnswerYesNo(bool yes) { YesNoAnswers.enqueue(yes); }
    void AnswerFile(const QString& path) { FileAnswers.enqueue(path); }  // empty = cancel
    void AnswerColor(bool chosen, uint32_t color = 0) { ColorAnswers.enqueue({chosen, color}); }

    // Removes and returns the oldest call (Kind "none" when there is none).
    TDialogCall Take();
    // Removes every call and returns their descriptions.
    QStringList TakeAll();
    // What is left over: calls not taken and answers never used; empty when all is well.
    QString Problems() const;

    // Runs while each dialog is open, after it has been recorded: the operator reading it.
    // A test can run the event loop here (QTest::qWait) or play the stand meanwhile.
    std::function<void(const TDialogCall&)> WhileShown;

    // The file dialogs the program opened, with their state at the time.
    QList<TFileDialog> FileDialogs;

    void ShowMessage(const QString& text) override;
    void ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon) override;
    bool AskYesNo(const QString& text, const QString& caption, TDialogIcon icon) override;
    void ShowError(const QString& text, const QString& caption) override;
    bool ChooseOpenFile(TFileDialog& dialog) override;
    bool ChooseSaveFile(TFileDialog& dialog) override;
    bool ChooseColor(uint32_t& color) override;
    // Answered from the file answers (empty = cancel).
    bool ChooseFolder(QString& folder) override;

private:
    void Record(const TDialogCall& call);
    bool ChooseFile(const QString& kind, TFileDialog& dialog);

    QQueue<bool> YesNoAnswers;
    QQueue<QString> FileAnswers;
    QQueue<QPair<bool, uint32_t>> ColorAnswers;
};

// Compact description used by tests: Describe() of a call made up from its parts.
QString DescribeDialog(const QString& kind, const QString& caption, const QString& text,
                       TDialogIcon icon = TDialogIcon::None);
