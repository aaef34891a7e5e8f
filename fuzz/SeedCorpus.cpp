// tarvik-fuzz-seeds FOLDER: writes the seed corpora of the fuzz targets into FOLDER/<target>/,
// from what the simulated stand sends (its own logic, in process, with a fixed seed so the
// corpora come out the same every time) and from files the program itself writes.
//
//   frame       single frames of every kind the stand sends, clean and malformed
//   receive     sessions as the port hands them over, chunk by chunk (0xFF between chunks)
//   settings    settings.ini as the program saves it, and hand-edited variants
//   resultfile  the start of a saved result file, and its end (DUT description, +5Vstb run)

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

#include "StandSimulator.h"
#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "config/SettingsFile.h"
#include "core/Conversions.h"
#include "core/ProgramState.h"
#include "ui/Startup.h"
#include "link/CommandSet.h"

namespace {

QString Folder;

void Save(const QString& target, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(Folder + u'/' + target);
    QFile file(Folder + u'/' + target + u'/' + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "tarvik-fuzz-seeds: cannot write %s\n", qPrintable(file.fileName()));
        std::exit(1);
    }
}

struct TSession {
    const char* Name;
    TStandSimulator::TFaults Faults;
};

// The simulator's command-line fault options at their rates (--split, --junk, --malformed, --error).
TStandSimulator::TFaults Faults(bool split, bool junk, bool malformed, int error)
{
    TStandSimulator::TFaults faults;
    faults.SplitEvery = split ? 3 : 0;
    faults.JunkEvery = junk ? 7 : 0;
    faults.MalformedEvery = malformed ? 40 : 0;
    faults.ErrorCode = error;
    return faults;
}

// The chunks the stand sends for `requests`, at most `limit` of them per request.
QList<QByteArray> Traffic(const TStandSimulator::TFaults& faults, const QList<QByteArray>& requests, int limit)
{
    TStandSimulator::TOptions options;
    options.Seed = 2026;
    TStandSimulator stand(options);
    stand.Faults = faults;
    QList<QByteArray> chunks;
    for (const QByteArray& request : requests) {
        stand.Receive(request);
        for (int n = 0; n < limit && stand.HasOutput(); ++n)
            chunks << stand.NextChunk();
    }
    return chunks;
}

QByteArray Joined(const QList<QByteArray>& chunks, int maxBytes)
{
    QByteArray input;
    for (const QByteArray& chunk : chunks) {
        if (!input.isEmpty() && input.size() + 1 + chunk.size() > maxBytes)
            break;
        if (!input.isEmpty())
            input += char(0xFF);
        input += chunk;
    }
    return input;
}

const QList<QByteArray> Session = {"!!!;#", "!GV;#", "!PN;#", "!GV;#", "!SC;3;05;#", "!GV;#", "!PF;#"};
const QList<QByteArray> Runs = {"!!!;#", "!PN;#", "!ATS;0200;1200;1400;2;0;#", "!NTS;0200;1200;1400;2;0;#",
                                "!FAMC;0010;1400;1200;0200;0;#", "!STS;0050;0010;#"};

void ReceiveAndFrameSeeds()
{
    const TSession sessions[] = {
        {"clean", Faults(false, false, false, 0)},
        {"split", Faults(true, false, false, 0)},
        {"junk", Faults(false, true, false, 0)},
        {"malformed", Faults(false, false, true, 0)},
        {"error", Faults(false, false, false, 30)},
        {"all-faults", Faults(true, true, true, 5)},
    };
    QSet<QByteArray> frames;
    int frameCount = 0;
    for (const TSession& session : sessions) {
        const QString name = QString::fromLatin1(session.Name);
        Save("receive", "poll-" + name, Joined(Traffic(session.Faults, Session, 100), 4000));
        const QList<QByteArray> runs = Traffic(session.Faults, Runs, 12);
        Save("receive", "runs-" + name, Joined(runs, 4000));
        // Single frames: one of each name as it came (a split frame joined again).
        QByteArray all;
        for (const QByteArray& chunk : Traffic(session.Faults, Session, 100) + runs)
            all += chunk;
        QSet<QByteArray> names;
        int kept = 0;
        for (qsizetype at = all.indexOf('!'); at >= 0 && kept < 20; at = all.indexOf('!', at + 1)) {
            const qsizetype end = all.indexOf('#', at);
            if (end < 0)
                break;
            const QByteArray frame = all.mid(at, end - at + 1);
            const QByteArray frameName = frame.mid(1, frame.indexOf(';') - 1);
            if (frames.contains(frame) || (names.contains(frameName) && session.Faults.MalformedEvery == 0))
                continue;
            names << frameName;
            frames << frame;
            ++kept;
            Save("frame", QStringLiteral("%1-%2").arg(name).arg(++frameCount, 3, 10, QChar(u'0')), frame);
        }
    }
}

void SettingsSeeds(const QString& dir)
{
    SetAppDirForTests(dir);
    ResetProgramState();
    AppDir = ProgramDirectory();
    AppSettings = DefaultAppSettings();
    WriteSettingsFile();
    WriteTransientParams();
    WriteAutoTestSection();
    QFile file(SettingsFilePath());
    file.open(QIODevice::ReadOnly);
    const QByteArray saved = file.readAll();
    Save("settings", "saved-defaults", saved);
    Save("settings", "hand-edited",
         "[General]\r\nDebug=52917\r\nExtended_ADC=24\r\nLVRatio=0,5\r\nGVTimeout=0x40\r\n\r\n"
         "[Connection]\r\nPort=257\r\nSpeed=abc\r\nParity=\"even\"\r\n\r\n"
         "[Graph]\r\nDotWidth=300\r\nColor1=$FF\r\n\r\n"
         "[Tresholds]\r\nVmin1=3.13499999046326\r\nImax4=1e3\r\n\r\n"
         "[ATS]\r\nl_max_power=300\r\nh_max_power=900\r\n\r\n"
         "[TR]\r\nCurrent1=12\r\nEnabled1=1\r\n\r\n"
         "[PSU]\r\nVendor=A vendor name that is longer than thirty characters\r\nPower=65537\r\nMaxCurrent3=7\r\n");
    Save("settings", "profile", "[psu]\nvendor = Tarvik \nModel='TS-1'\nSN=0042\nPower=750\nMaxCurrent11=45\n[Other]\nkey=value");
    Save("settings", "empty", QByteArray());
}

void ResultFileSeeds(const QString& dir)
{
    ClearResults();
    // The +5Vstb run and the DUT description as a session leaves them.
    const QList<QByteArray> chunks = Traffic(Faults(false, false, false, 0), {"!STS;0050;0010;#"}, 20);
    for (const QByteArray& chunk : chunks) {
        TParsedCommand p;
        ParseFrame(QString::fromLatin1(chunk), p);
        int32_t n = 0;
        double v = 0, a = 0;
        if (p.Command == QLatin1String("S") && TryStrToInt(p.Params[0], n) && n >= 0 && n < RunSteps &&
            TryStrToFloat(p.Params[1], v) && TryStrToFloat(p.Params[2], a))
            ResultStore.StandbyRun[n] = {static_cast<float>(v), static_cast<float>(a)};
    }
    AppSettings.DutDescription.Vendor = QStringLiteral("Tarvik");
    AppSettings.DutDescription.Model = QStringLiteral("PSU-750");
    AppSettings.DutDescription.SN = QStringLiteral("0042");
    AppSettings.DutDescription.Power = 750;
    const QString path = dir + QStringLiteral("/run.dat");
    if (!WriteResultFile(path)) {
        std::fprintf(stderr, "tarvik-fuzz-seeds: cannot save %s\n", qPrintable(path));
        std::exit(1);
    }
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray saved = file.readAll();
    Save("resultfile", "start", saved.left(4096));
    // Read after the zeros the target puts in front: from the DUT description to the end.
    Save("resultfile", "end", saved.mid(DutBlockOffset));
    Save("resultfile", "end-and-more", saved.mid(DutBlockOffset) + QByteArray("extra bytes"));
    Save("resultfile", "cut-in-dut", saved.mid(DutBlockOffset, 100));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvik-fuzz-seeds FOLDER\n");
        return 2;
    }
    Folder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir temp;
    ReceiveAndFrameSeeds();
    SettingsSeeds(temp.path());
    ResultFileSeeds(temp.path());
    return 0;
}
