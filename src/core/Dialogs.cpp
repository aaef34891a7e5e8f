#include "core/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>
#include <new>

namespace {

QMessageBox::Icon ToQtIcon(TDialogIcon icon)
{
    switch (icon) {
    case TDialogIcon::Information: return QMessageBox::Information;
    case TDialogIcon::Warning: return QMessageBox::Warning;
    case TDialogIcon::Error: return QMessageBox::Critical;
    case TDialogIcon::Question: return QMessageBox::Question;
    case TDialogIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// "Data files (*.dat)|*.dat" -> "Data files (*.dat)" per pair, as Qt wants its filters.
QString ToQtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ');
        filters << (parts[i].contains(u'(') ? parts[i] : parts[i] + QStringLiteral(" (") + patterns + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QWidget* DialogParent() { return QApplication::activeWindow(); }

class TQtDialogs final : public TDialogs {
public:
    void ShowMessage(const QString& text) override
    {
        ShowMessageBox(text, ApplicationTitle(), TDialogIcon::None);
    }

    void ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon) override
    {
        QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Ok, DialogParent());
        box.exec();
    }

    bool AskYesNo(const QString& text, const QString& caption, TDialogIcon icon) override
    {
        QMessageBox box(ToQtIcon(icon), caption, text, QMessageBox::Yes | QMessageBox::No, DialogParent());
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    void ShowError(const QString& text, const QString& caption) override
    {
        ShowMessageBox(text, caption, TDialogIcon::Error);
    }

    bool ChooseOpenFile(TFileDialog& dialog) override { return RunFileDialog(dialog, QFileDialog::AcceptOpen); }
    bool ChooseSaveFile(TFileDialog& dialog) override { return RunFileDialog(dialog, QFileDialog::AcceptSave); }

    bool ChooseFolder(QString& folder) override
    {
        const QString chosen = QFileDialog::getExistingDirectory(DialogParent(), QString(), folder);
        if (chosen.isEmpty())
            return false;
        folder = chosen;
        return true;
    }

    bool ChooseColor(uint32_t& color) override
    {
        const QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
        const QColor chosen = QColorDialog::getColor(initial, DialogParent());
        if (!chosen.isValid())
            return false;
        color = static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
                (static_cast<uint32_t>(chosen.blue()) << 16);
        return true;
    }

private:
    static bool RunFileDialog(TFileDialog& dialog, QFileDialog::AcceptMode mode)
    {
        QFileDialog box(DialogParent());
        box.setAcceptMode(mode);
        box.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        box.setNameFilter(ToQtFilter(dialog.Filter));
        if (!dialog.DefaultExt.isEmpty())
            box.setDefaultSuffix(dialog.DefaultExt);
        if (mode == QFileDialog::AcceptSave && !dialog.OverwritePrompt)
            box.setOption(QFileDialog::DontConfirmOverwrite);
        if (!dialog.FileName.isEmpty())
            box.selectFile(dialog.FileName);
        if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
            return false;
        dialog.FileName = box.selectedFiles().first();
        return true;
    }
};

TQtDialogs QtDialogs;
TDialogs* InstalledDialogs = nullptr;

} // namespace

TDialogs& Dialogs() { return InstalledDialogs ? *InstalledDialogs : QtDialogs; }

void InstallDialogs(TDialogs* dialogs) { InstalledDialogs = dialogs; }

QString ApplicationTitle()
{
    const QString path = QCoreApplication::applicationFilePath();
    return path.isEmpty() ? QStringLiteral("tarvik") : QFileInfo(path).completeBaseName();
}

QString ErrorDialogText(const QString& message)
{
    if (message.isEmpty())
        return message;
    const QChar last = message.back();
    if (last.isPunct() || last.isSpace())
        return message;
    return message + u'.';
}

namespace {
int OpenDialogs = 0;
void (*OpeningHook)() = nullptr;

// Counts a dialog as open while it waits for its answer.
struct TOpenDialog {
    TOpenDialog()
    {
        if (OpeningHook)
            OpeningHook();
        ++OpenDialogs;
    }
    ~TOpenDialog() { --OpenDialogs; }
    TOpenDialog(const TOpenDialog&) = delete;
    TOpenDialog& operator=(const TOpenDialog&) = delete;
};
} // namespace

int OpenDialogCount() { return OpenDialogs; }

void SetDialogOpeningHook(void (*hook)()) { OpeningHook = hook; }

void ShowMessage(const QString& text)
{
    const TOpenDialog open;
    Dialogs().ShowMessage(text);
}

void ShowMessageBox(const QString& text, const QString& caption, TDialogIcon icon)
{
    const TOpenDialog open;
    Dialogs().ShowMessageBox(text, caption, icon);
}

bool AskYesNo(const QString& text, const QString& caption, TDialogIcon icon)
{
    const TOpenDialog open;
    return Dialogs().AskYesNo(text, caption, icon);
}

void ShowErrorDialog(const QString& message)
{
    const TOpenDialog open;
    Dialogs().ShowError(ErrorDialogText(message), ApplicationTitle());
}

bool ChooseOpenFile(TFileDialog& dialog)
{
    const TOpenDialog open;
    return Dialogs().ChooseOpenFile(dialog);
}

bool ChooseSaveFile(TFileDialog& dialog)
{
    const TOpenDialog open;
    return Dialogs().ChooseSaveFile(dialog);
}

bool ChooseColor(uint32_t& color)
{
    const TOpenDialog open;
    return Dialogs().ChooseColor(color);
}

bool ChooseFolder(QString& folder)
{
    const TOpenDialog open;
    return Dialogs().ChooseFolder(folder);
}

void ShowFailure(std::exception_ptr current)
{
    try {
        std::rethrow_exception(current);
    } catch (const Exception& e) {
        ShowErrorDialog(e.Message);
    } catch (const std::bad_alloc&) {
        ShowErrorDialog(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        ShowErrorDialog(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowErrorDialog(QStringLiteral("Unknown failure"));
    }
}
