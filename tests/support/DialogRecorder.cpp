#include "DialogRecorder.h"

namespace {
const char* IconName(TDialogIcon icon)
{
    switch (icon) {
    case TDialogIcon::Information: return " (information)";
    case TDialogIcon::Warning: return " (warning)";
    case TDialogIcon::Error: return " (error)";
    case TDialogIcon::Question: return " (question)";
    case TDialogIcon::None: break;
    }
    return "";
}
} // namespace

QString DescribeDialog(const QString& kind, const QString& caption, const QString& text, TDialogIcon icon)
{
    return kind + QString::fromLatin1(IconName(icon)) + QStringLiteral(" [") + caption + QStringLiteral("] ") + text;
}

QString TDialogCall::Describe() const
{
    return DescribeDialog(Kind, Caption, Text, Icon) + (Unscripted ? QStringLiteral(" <no scripted answer>") : QString());
}

TDialogCall TDialogRecorder::Take()
{
    if (Calls.isEmpty())
        return TDialogCall{QStringLiteral("none"), {}, {}, TDialogIcon::None, false};
    return Calls.takeFirst();
}

QStringList TDialogRecorder::TakeAll()
{
    QStringList out;
    for (const TDialogCall& call : Calls)
        out << call.Describe();
    Calls.clear();
    return out;
}

QString TDialogRecorder::Problems() const
{
    QStringList problems;
    for (const TDialogCall& call : Calls)
        problems << QStringLiteral("unexpected dialog: ") + call.Describe();
    if (!YesNoAnswers.isEmpty())
        problems << QStringLiteral("%1 scripted Yes/No answer(s) never asked for").arg(YesNoAnswers.size());
    if (!FileAnswers.isEmpty())
        problems << QStringLiteral("%1 scripted file answer(s) never asked for").arg(FileAnswers.size());
    if (!ColorAnswers.isEmpty())
        problems << QStringLiteral("%1 scripted colour answer(s) never asked for").arg(ColorAnswers.size());
    return problems.join(u'\n');
}

void TDialogRecorder::Record(const TDialogCall& call)
{
    Calls << call;
    if (WhileShown)
        WhileShown(call);
}

void TDialogRecorder::ShowMessage(const QString& text)
{
    Record(TDialogCall{QStringLiteral("Message"), text, ApplicationTitle(), TDialogIcon::None, false});
}

void TDialogRecorder::ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon)
{
    Record(TDialogCall{QStringLiteral("MessageBox"), text, caption, icon, false});
}

bool TDialogRecorder::AskYesNo(const QString& text, const QString& caption, TDialogIcon icon)
{
    const bool scripted = !YesNoAnswers.isEmpty();
    Record(TDialogCall{QStringLiteral("YesNo"), text, caption, icon, !scripted});
    return scripted ? YesNoAnswers.dequeue() : false;
}

void TDialogRecorder::ShowError(const QString& text, const QString& caption)
{
    Record(TDialogCall{QStringLiteral("Error"), text, caption, TDialogIcon::Error, false});
}

bool TDialogRecorder::ChooseFile(const QString& kind, TFileDialog& dialog)
{
    FileDialogs << dialog;
    const bool scripted = !FileAnswers.isEmpty();
    Record(TDialogCall{kind, dialog.FileName, dialog.Filter, TDialogIcon::None, !scripted});
    const QString answer = scripted ? FileAnswers.dequeue() : QString();
    if (answer.isEmpty())
        return false;
    dialog.FileName = answer;
    return true;
}

bool TDialogRecorder::ChooseOpenFile(TFileDialog& dialog) { return ChooseFile(QStringLiteral("OpenFile"), dialog); }

bool TDialogRecorder::ChooseSaveFile(TFileDialog& dialog) { return ChooseFile(QStringLiteral("SaveFile"), dialog); }

bool TDialogRecorder::ChooseFolder(QString& folder)
{
    const bool scripted = !FileAnswers.isEmpty();
    Calls << TDialogCall{QStringLiteral("Folder"), folder, {}, TDialogIcon::None, !scripted};
    const QString answer = scripted ? FileAnswers.dequeue() : QString();
    if (answer.isEmpty())
        return false;
    folder = answer;
    return true;
}

bool TDialogRecorder::ChooseColor(uint32_t& color)
{
    const bool scripted = !ColorAnswers.isEmpty();
    Record(TDialogCall{QStringLiteral("Color"), QString::number(color), {}, TDialogIcon::None, !scripted});
    if (!scripted)
        return false;
    const auto [chosen, value] = ColorAnswers.dequeue();
    if (chosen)
        color = value;
    return chosen;
}
