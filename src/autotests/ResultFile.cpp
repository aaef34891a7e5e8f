#include "autotests/ResultFile.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "core/Dialogs.h"
#include "graphs/GraphPages.h"
#include "monitor/ManualLoading.h"
#include "ui/MainForm.h"

namespace {

constexpr int TextFieldSize = 31;  // length byte + 30 characters
constexpr int PowerOffset = 124;
constexpr int ReservedOffset = 126;
constexpr int MaxCurrentOffset = 132;
static_assert(MaxCurrentOffset + 2 * LoadChannelCount == DutBlockSize);

// One block of the file: where its bytes live in memory. The DUT description has no memory
// image of its own, so it is encoded and decoded on its way.
struct TBlock {
    void* Data;
    qint64 Size;
};

// The store's blocks before the DUT description, in file order.
std::vector<TBlock> StoreBlocksBeforeDut()
{
    std::vector<TBlock> blocks;
    for (int k = 1; k <= LoadChannelCount; ++k)
        blocks.push_back({&ResultStore.CrossLoadGrid[k], sizeof(ResultStore.CrossLoadGrid[k])});
    for (int k = 1; k <= LoadChannelCount; ++k)
        blocks.push_back({&ResultStore.NoiseGrid[k], sizeof(ResultStore.NoiseGrid[k])});
    blocks.push_back({&ResultStore.EfficiencyRun.ratios, sizeof(ResultStore.EfficiencyRun.ratios)});
    blocks.push_back({&ResultStore.EfficiencyRun.thermal, sizeof(ResultStore.EfficiencyRun.thermal)});
    return blocks;
}

TBlock StandbyBlock() { return {&ResultStore.StandbyRun, sizeof(ResultStore.StandbyRun)}; }

void PutText(char* field, const QString& text)
{
    const QByteArray bytes = text.left(DutTextLength).toLatin1();
    field[0] = static_cast<char>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString GetText(const char* field)
{
    const int length = std::min<int>(static_cast<uint8_t>(field[0]), DutTextLength);
    return QString::fromLatin1(field + 1, length);
}

void PutWord(char* at, uint16_t value)
{
    at[0] = static_cast<char>(value & 0xFF);
    at[1] = static_cast<char>(value >> 8);
}

uint16_t GetWord(const char* at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(at[0]) | static_cast<uint8_t>(at[1]) << 8);
}

// Reads exactly `size` bytes into `data`; false (and `data` untouched) when the file ends first.
bool ReadBlock(QFile& file, void* data, qint64 size)
{
    const QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        return false;
    std::memcpy(data, bytes.constData(), static_cast<size_t>(size));
    return true;
}

bool WriteBlock(QSaveFile& file, const void* data, qint64 size)
{
    return file.write(static_cast<const char*>(data), size) == size;
}

} // namespace

QByteArray EncodeDutBlock(const TDutDescription& dut)
{
    QByteArray block(DutBlockSize, '\0');
    char* b = block.data();
    PutText(b + 0 * TextFieldSize, dut.Vendor);
    PutText(b + 1 * TextFieldSize, dut.Model);
    PutText(b + 2 * TextFieldSize, dut.Code);
    PutText(b + 3 * TextFieldSize, dut.SN);
    PutWord(b + PowerOffset, dut.Power);
    std::memcpy(b + ReservedOffset, dut.Reserved, sizeof(dut.Reserved));
    for (int n = 1; n <= LoadChannelCount; ++n)
        PutWord(b + MaxCurrentOffset + 2 * (n - 1), dut.MaxCurrent[n]);
    return block;
}

void DecodeDutBlock(const QByteArray& block, TDutDescription& dut)
{
    Q_ASSERT(block.size() == DutBlockSize);
    const char* b = block.constData();
    dut.Vendor = GetText(b + 0 * TextFieldSize);
    dut.Model = GetText(b + 1 * TextFieldSize);
    dut.Code = GetText(b + 2 * TextFieldSize);
    dut.SN = GetText(b + 3 * TextFieldSize);
    dut.Power = GetWord(b + PowerOffset);
    std::memcpy(dut.Reserved, b + ReservedOffset, sizeof(dut.Reserved));
    for (int n = 1; n <= LoadChannelCount; ++n)
        dut.MaxCurrent[n] = GetWord(b + MaxCurrentOffset + 2 * (n - 1));
}

QString DataFileName(const QString& chosen)
{
    return chosen.contains(QLatin1String(".dat"), Qt::CaseSensitive) ? chosen : chosen + QStringLiteral(".dat");
}

bool WriteResultFile(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    bool written = true;
    for (const TBlock& block : StoreBlocksBeforeDut())
        written = written && WriteBlock(file, block.Data, block.Size);
    const QByteArray dut = EncodeDutBlock(AppSettings.DutDescription);
    written = written && WriteBlock(file, dut.constData(), dut.size());
    const TBlock standby = StandbyBlock();
    written = written && WriteBlock(file, standby.Data, standby.Size);
    if (!written) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool ReadResultFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const TBlock& block : StoreBlocksBeforeDut())
        if (!ReadBlock(file, block.Data, block.Size))
            return false;
    QByteArray dut(DutBlockSize, '\0');
    if (!ReadBlock(file, dut.data(), dut.size()))
        return false;
    DecodeDutBlock(dut, AppSettings.DutDescription);
    // The load bars take the loaded maximum currents as their ranges at once.
    RefreshLoadControls();
    const TBlock standby = StandbyBlock();
    return ReadBlock(file, standby.Data, standby.Size);
}

void SaveResultFile()
{
    TFileDialog& dialog = MForm->SD;
    if (!ChooseSaveFile(dialog) || dialog.FileName.isEmpty())
        return;
    // The dialog keeps the extended name for its next use.
    dialog.FileName = DataFileName(dialog.FileName);
    if (WriteResultFile(dialog.FileName))
        ShowMessage(QStringLiteral("Data successfully saved."));
    else
        ShowMessageBox(QStringLiteral("An error occured while saving data!"), QStringLiteral("Error"),
                       TDialogIcon::Error);
}

void LoadResultFile()
{
    TFileDialog& dialog = MForm->OD;
    if (!ChooseOpenFile(dialog) || dialog.FileName.isEmpty())
        return;
    if (!ReadResultFile(dialog.FileName))
        ShowMessageBox(QStringLiteral("An error occured while loading data!"), QStringLiteral("Error"),
                       TDialogIcon::Error);
    bRepaintGraphsClick();
}
