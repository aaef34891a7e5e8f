// Any bytes as a result data file through ReadResultFile, with a main window (never shown) for
// the load bars that follow a loaded DUT description. Each input is read twice: as the whole
// file, and as the end of a file whose grids and efficiency run are zeros, so that short inputs
// reach the DUT description, the +5Vstb run and the bytes beyond them. What was read is saved
// and read again: the store and the description must come back unchanged.

#include <QByteArray>
#include <QFile>
#include <QSlider>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "FuzzTarget.h"
#include "ProgramFixture.h"
#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "monitor/ManualLoading.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {

struct TResultFileBench {
    TProgramFixture Program;
    std::unique_ptr<TMForm> Form;
    std::unique_ptr<TResultStore> Before = std::make_unique<TResultStore>();
    std::unique_ptr<TResultStore> Loaded = std::make_unique<TResultStore>();
};
// Made on first use and released only by the replay test: at the fuzzer's exit the program's
// own statics may already be gone.
TResultFileBench* Bench = nullptr;

void Prepare()
{
    EnsureFuzzApplication();
    if (!Bench) {
        Bench = new TResultFileBench;
        Bench->Form = std::make_unique<TMForm>();
    }
}

const char* StoreBytes(const TResultStore& store) { return reinterpret_cast<const char*>(&store); }

// The store blocks in file order: where each lies in the file and in the store.
struct TStoreBlock {
    qint64 FileOffset;
    qint64 StoreOffset;
    qint64 Size;
};
const std::vector<TStoreBlock>& StoreBlocks()
{
    static const std::vector<TStoreBlock> blocks = [] {
        std::vector<TStoreBlock> list;
        qint64 at = 0;
        for (int k = 0; k < LoadChannelCount; ++k, at += 96000)
            list.push_back({at, at, 96000});
        for (int k = 0; k < LoadChannelCount; ++k, at += 24000)
            list.push_back({at, at, 24000});
        list.push_back({at, at, 400});
        list.push_back({at + 400, at + 400, 1600});
        list.push_back({StandbyBlockOffset, DutBlockOffset, 1600});
        return list;
    }();
    return blocks;
}

TDutDescription MarkerDut()
{
    TDutDescription dut;
    dut.Vendor = QStringLiteral("kept vendor");
    dut.SN = QStringLiteral("kept SN");
    dut.Power = 4321;
    for (int n = 1; n <= LoadChannelCount; ++n)
        dut.MaxCurrent[n] = static_cast<uint16_t>(n);
    return dut;
}

bool SameDut(const TDutDescription& a, const TDutDescription& b)
{
    return a.Vendor == b.Vendor && a.Model == b.Model && a.Code == b.Code && a.SN == b.SN && a.Power == b.Power &&
           std::memcmp(a.Reserved, b.Reserved, sizeof a.Reserved) == 0 &&
           std::equal(a.MaxCurrent.begin(), a.MaxCurrent.end(), b.MaxCurrent.begin());
}

// The file an input stands for: the input itself, or DutBlockOffset zero bytes and then the
// input. The zeros are written once and kept; only what follows them changes.
struct TInputFile {
    const QByteArray& Bytes;
    bool AfterZeros;

    qint64 Size() const { return (AfterZeros ? DutBlockOffset : 0) + Bytes.size(); }
    // The file's bytes from `offset` on (a block never starts inside the zeros and ends after them).
    const char* At(qint64 offset) const
    {
        static const std::vector<char> zeros(static_cast<size_t>(DutBlockOffset), '\0');
        if (!AfterZeros)
            return Bytes.constData() + offset;
        return offset < DutBlockOffset ? zeros.data() + offset : Bytes.constData() + (offset - DutBlockOffset);
    }
    QString Write() const
    {
        const QString path = Bench->Program.Path(AfterZeros ? QStringLiteral("zeros-and-input.dat") : QStringLiteral("input.dat"));
        QFile file(path);
        if (AfterZeros) {
            const bool fresh = !file.exists();
            FUZZ_CHECK(file.open(QIODevice::ReadWrite), "cannot write " + path);
            if (fresh)
                FUZZ_CHECK(file.write(QByteArray(DutBlockOffset, '\0')) == DutBlockOffset, "cannot write " + path);
            FUZZ_CHECK(file.resize(DutBlockOffset) && file.seek(DutBlockOffset), "cannot cut " + path);
        } else {
            FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write " + path);
        }
        FUZZ_CHECK(file.write(Bytes) == Bytes.size(), "cannot write " + path);
        return path;
    }
};

void CheckRead(const TInputFile& file)
{
    // Every byte of the store and the description starts out known.
    std::memset(static_cast<void*>(&ResultStore), 0xA5, sizeof ResultStore);
    std::memcpy(static_cast<void*>(Bench->Before.get()), &ResultStore, sizeof ResultStore);
    AppSettings.DutDescription = MarkerDut();
    ResetManualLoading();

    const TResultFileReadResult read = ReadResultFile(file.Write());
    const qint64 size = file.Size();
    FUZZ_CHECK(read.Outcome == (size >= ResultFileSize ? TResultFileRead::Complete : TResultFileRead::Short),
               QStringLiteral("outcome %1 for %2 bytes").arg(int(read.Outcome)).arg(size));

    // A block complete in the file is in the store byte for byte; any other is untouched.
    for (const TStoreBlock& block : StoreBlocks()) {
        const char* now = StoreBytes(ResultStore) + block.StoreOffset;
        const bool complete = block.FileOffset + block.Size <= size;
        const char* expected = complete ? file.At(block.FileOffset) : StoreBytes(*Bench->Before) + block.StoreOffset;
        FUZZ_CHECK(std::memcmp(now, expected, static_cast<size_t>(block.Size)) == 0,
                   QStringLiteral("block at %1 %2").arg(block.FileOffset).arg(complete ? "not loaded" : "changed"));
    }
    const TDutDescription& dut = AppSettings.DutDescription;
    if (DutBlockOffset + DutBlockSize <= size) {
        const QByteArray inFile(file.At(DutBlockOffset), DutBlockSize);
        const QByteArray encoded = EncodeDutBlock(dut);
        // Numbers and reserved bytes as in the file; texts at most 30 characters of their field.
        FUZZ_CHECK(encoded.mid(124) == inFile.mid(124), "DUT numbers differ from the file");
        for (int t = 0; t < 4; ++t) {
            const int length = std::min<int>(static_cast<uint8_t>(inFile[t * 31]), DutTextLength);
            FUZZ_CHECK(encoded.mid(t * 31, 1 + length) == char(length) + inFile.mid(t * 31 + 1, length),
                      QStringLiteral("DUT text %1 differs from the file").arg(t));
        }
        for (int n = 1; n <= LoadChannelCount; ++n)
            FUZZ_CHECK(LoadBarTable[n]->maximum() == dut.MaxCurrent[n], "a load bar kept its old range");
    } else {
        FUZZ_CHECK(SameDut(dut, MarkerDut()), "the DUT description changed without its block");
    }

    // Saved and read again, everything comes back.
    std::memcpy(static_cast<void*>(Bench->Loaded.get()), &ResultStore, sizeof ResultStore);
    const TDutDescription loadedDut = dut;
    const QString saved = Bench->Program.Path(QStringLiteral("saved.dat"));
    FUZZ_CHECK(WriteResultFile(saved), "the save failed");
    FUZZ_CHECK(QFile(saved).size() == ResultFileSize, "a saved file of the wrong size");
    std::memset(static_cast<void*>(&ResultStore), 0x5A, sizeof ResultStore);
    AppSettings.DutDescription = MarkerDut();
    FUZZ_CHECK(ReadResultFile(saved).Outcome == TResultFileRead::Complete, "a saved file does not read back");
    FUZZ_CHECK(std::memcmp(&ResultStore, Bench->Loaded.get(), sizeof ResultStore) == 0, "the store changed on its way through a file");
    FUZZ_CHECK(SameDut(AppSettings.DutDescription, loadedDut), "the DUT description changed on its way through a file");
}

} // namespace

TARVIK_FUZZ_TARGET(resultfile)
{
    Prepare();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRead({bytes, false});
    CheckRead({bytes, true});
}

TARVIK_FUZZ_RELEASE(resultfile)
{
    if (Bench) {
        Bench->Form.reset();
        delete Bench;
        Bench = nullptr;
    }
}
