#include "StandSimulator.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

using namespace StandModel;

namespace {

// Unfinished input longer than this without a "#" is line noise: it is dropped.
constexpr int MaxPendingInput = 1024;
// A request number field: 1 to 6 decimal digits, nothing else.
constexpr int MaxNumberDigits = 6;

// A number written with "." and a fixed count of decimals; all the stand's readings are magnitudes.
QByteArray Fixed(double value, int decimals)
{
    return QByteArray::number(std::max(0.0, value), 'f', decimals);
}

QByteArray Whole(double value) { return QByteArray::number(std::lround(std::max(0.0, value))); }

QByteArray Frame(const char* name, std::initializer_list<QByteArray> fields = {})
{
    QByteArray frame = "!";
    frame += name;
    frame += ';';
    for (const QByteArray& field : fields) {
        frame += field;
        frame += ';';
    }
    frame += '#';
    return frame;
}

std::optional<int> Number(const QByteArray& field)
{
    if (field.isEmpty() || field.size() > MaxNumberDigits)
        return std::nullopt;
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Reads the first `count` fields as numbers; any other field is left alone.
bool Numbers(const QList<QByteArray>& fields, int count, std::initializer_list<int*> out)
{
    if (fields.size() < count)
        return false;
    int i = 0;
    for (int* target : out) {
        const std::optional<int> value = Number(fields[i++]);
        if (!value)
            return false;
        *target = *value;
    }
    return true;
}

QByteArray NameOf(const QByteArray& frame)
{
    const int semicolon = frame.indexOf(';');
    return semicolon > 1 ? frame.mid(1, semicolon - 1) : QByteArray();
}

// The frames whose decimal numbers can be malformed: the readings and the points.
bool CarriesMeasurements(const QByteArray& name)
{
    return name == "VC" || name == "MT" || name == "MVC" || name == "G" || name == "S" || name == "FAM";
}

}  // namespace

TStandSimulator::TStandSimulator() : TStandSimulator(TOptions()) {}

TStandSimulator::TStandSimulator(const TOptions& options)
    : Options(options), Random(options.Seed), FaultRandom(options.Seed ^ 0x5eedu)
{
    LiveTemperatures = Temperatures(0.0, TGroupLoad());
    LiveFans = {0.0, 0.0};
}

double TStandSimulator::Uniform(double lo, double hi)
{
    return lo + (hi - lo) * (static_cast<double>(Random()) / 4294967296.0);
}

double TStandSimulator::Jitter(double value, double relative, double absolute)
{
    return value * (1.0 + Uniform(-relative, relative)) + Uniform(-absolute, absolute);
}

void TStandSimulator::Receive(const QByteArray& bytes)
{
    Input += bytes;
    for (;;) {
        const int hash = Input.indexOf('#');
        if (hash < 0)
            break;
        const QByteArray piece = Input.left(hash);
        Input.remove(0, hash + 1);
        const int bang = piece.indexOf('!');
        if (bang < 0)
            continue;
        const QByteArray body = piece.mid(bang + 1);
        int p = body.indexOf(';');
        if (p < 0)
            continue;
        const QByteArray name = body.left(p);
        QList<QByteArray> fields;
        for (int q = body.indexOf(';', p + 1); q >= 0; q = body.indexOf(';', p + 1)) {
            fields.append(body.mid(p + 1, q - p - 1));
            p = q;
        }
        HandleFrame(name, fields);
    }
    if (Input.size() > MaxPendingInput) {
        const int bang = Input.lastIndexOf('!');
        Input = (bang >= 0 && Input.size() - bang <= MaxPendingInput / 4) ? Input.mid(bang) : QByteArray();
    }
}

void TStandSimulator::HandleFrame(const QByteArray& name, const QList<QByteArray>& fields)
{
    if (name == "!!") {
        Answers.push_back(Frame("REP", {Manufacturer, BoardId, Firmware, CalibrationInfo, ModelId}));
    } else if (name == "GV") {
        AnswerPoll();
    } else if (name == "PN") {
        PoweredOn = true;
        const int ms = Options.PwrOkOnMs >= 0 ? Options.PwrOkOnMs : static_cast<int>(Uniform(120, 401));
        Answers.push_back(Frame("TN", {QByteArray::number(ms)}));
    } else if (name == "PF") {
        PoweredOn = false;
        const int ms = Options.PwrOkOffMs >= 0 ? Options.PwrOkOffMs : static_cast<int>(Uniform(16, 31));
        Answers.push_back(Frame("TF", {QByteArray::number(ms)}));
    } else if (name == "SC") {
        int channel = 0, amps = 0;
        if (Numbers(fields, 2, {&channel, &amps}) && channel < LoadChannelCount)
            Setpoints[channel] = std::min(amps, 255);
    } else if (name == "SLC") {
        int ratio = 0;
        if (Numbers(fields, 1, {&ratio}))
            LoadRatioHundredths = ratio;
    } else if (name == "STR") {
        int reg = 0, integerPart = 0, fraction = 0;
        if (Numbers(fields, 3, {&reg, &integerPart, &fraction}) && reg <= 99)
            Registers[reg] = {integerPart, fraction};
    } else if (name == "ATS" || name == "NTS") {
        // a; b; c; rails; type. The type code is the program's business: it is not read.
        int lv = 0, hv = 0, total = 0, rails = 0;
        if (fields.size() < 5 || !Numbers(fields, 4, {&lv, &hv, &total, &rails}))
            return;
        TStream stream;
        stream.Kind = name == "ATS" ? TTestKind::CrossLoad : TTestKind::Noise;
        stream.Plane.LvMaxW = lv;
        stream.Plane.HvMaxW = hv;
        stream.Plane.TotalMaxW = total;
        stream.Plane.Rails12V = std::clamp(rails, 1, MaxRails12V);
        stream.Plane.LvRatio = LoadRatioHundredths / 100.0;
        StartTest(stream);
    } else if (name == "FAMC") {
        // steps; total; +12V; +3.3V/+5V; type
        int steps = 0, total = 0, hv = 0, lv = 0;
        if (fields.size() < 5 || !Numbers(fields, 4, {&steps, &total, &hv, &lv}))
            return;
        TStream stream;
        stream.Kind = TTestKind::Efficiency;
        stream.Steps = std::min(steps, MaxSteps);
        stream.TotalW = total;
        StartTest(stream);
    } else if (name == "STS") {
        // +5Vstb maximum power; steps
        int watts = 0, steps = 0;
        if (!Numbers(fields, 2, {&watts, &steps}))
            return;
        TStream stream;
        stream.Kind = TTestKind::Standby;
        stream.Steps = std::min(steps, MaxSteps);
        stream.StandbyMaxA = watts / 5.0;
        StartTest(stream);
    }
    // Anything else is not a request of this stand: no answer.
}

TGroupLoad TStandSimulator::LiveLoad() const
{
    TGroupLoad load;
    if (!PoweredOn)
        return load;
    load.Lv = (3.3 * Setpoints[0] + 5.0 * Setpoints[1]) / LvRatingW;
    double amps12 = 0;
    for (int ch = 3; ch < LoadChannelCount; ++ch)
        amps12 += Setpoints[ch];
    load.Hv = 12.0 * amps12 / HvRatingW;
    return load;
}

void TStandSimulator::AnswerPoll()
{
    const TGroupLoad load = LiveLoad();
    const double standbyAmps = Setpoints[2];
    const double standbyFraction = standbyAmps / StandbyRatingA;
    double outputW = 0;

    for (int ch = 0; ch < LoadChannelCount; ++ch) {
        double volts = 0, amps = 0, noise = 0;
        int kHz = 0;
        if (ch == 2) {  // +5Vstb lives whenever the supply has mains
            amps = standbyAmps;
            volts = StandbyVoltage(standbyFraction);
            noise = NoiseMillivolts(ch, load, standbyFraction);
            kHz = NoiseFrequencyKHz(ch);
        } else if (PoweredOn) {
            amps = Setpoints[ch];
            volts = RailVoltage(ch, amps, load);
            noise = NoiseMillivolts(ch, load, standbyFraction);
            kHz = NoiseFrequencyKHz(ch);
        } else {
            volts = Uniform(0.0, 0.02);  // what is left on a switched-off output
        }
        volts = Jitter(volts, 0.0003, 0.0005);
        if (amps > 0)
            amps = Jitter(amps, 0.002, 0.005);
        if (noise > 0)
            noise = std::clamp(noise + Uniform(-2, 2), 1.0, 250.0);
        outputW += volts * amps;
        Answers.push_back(Frame("VC", {QByteArray::number(ch), Fixed(volts, 3), Fixed(amps, 2), Whole(noise),
                                       QByteArray::number(kHz)}));
    }

    const double minus12 = PoweredOn ? Minus12Magnitude(load) : Uniform(0.0, 0.02);
    Answers.push_back(Frame("VC", {"11", Fixed(Jitter(minus12, 0.0005, 0.0005), 3)}));
    // The stand's own +5Vstb sense line, ahead of the load cables.
    const double standbySense = StandbyVoltage(standbyFraction) + 0.01 * standbyAmps;
    Answers.push_back(Frame("VC", {"12", Fixed(Jitter(standbySense, 0.0003, 0.0005), 3)}));

    // Heat and air follow the load slowly.
    const double x = outputW / TotalRatingW;
    const std::array<double, 4> targetT = PoweredOn ? Temperatures(x, load) : Temperatures(0.0, TGroupLoad());
    const std::array<double, 2> targetFans = PoweredOn ? FanSpeeds(x) : std::array<double, 2>{0.0, 0.0};
    for (int i = 0; i < 4; ++i)
        LiveTemperatures[i] += (targetT[i] - LiveTemperatures[i]) * 0.15;
    for (int i = 0; i < 2; ++i)
        LiveFans[i] += (targetFans[i] - LiveFans[i]) * 0.3;
    Answers.push_back(Frame("MT", {Fixed(Jitter(LiveTemperatures[0], 0, 0.05), 2),
                                   Fixed(Jitter(LiveTemperatures[1], 0, 0.05), 2),
                                   Fixed(Jitter(LiveTemperatures[2], 0, 0.05), 2),
                                   Fixed(Jitter(LiveTemperatures[3], 0, 0.05), 2)}));
    const double fan1 = LiveFans[0] > 1 ? Jitter(LiveFans[0], 0, 8) : 0.0;
    const double fan2 = LiveFans[1] > 1 ? Jitter(LiveFans[1], 0, 8) : 0.0;
    Answers.push_back(Frame("FAN", {Whole(fan1), Whole(fan2)}));

    const double acVolts = Jitter(230.0, 0, 1.5);
    const double inputW = PoweredOn ? outputW / Efficiency(x) + IdleInputW : 0.6 + outputW / 0.75;
    const double pf = PoweredOn ? PowerFactor(x) : 0.35;
    Answers.push_back(Frame("MVC", {Fixed(acVolts, 1), Fixed(inputW / (acVolts * pf), 3),
                                    Fixed(Jitter(50.0, 0, 0.05), 1), Fixed(inputW, 1)}));
    Answers.push_back(Frame("ERR", {QByteArray::number(std::clamp(Faults.ErrorCode, 0, 255))}));
}

void TStandSimulator::StartTest(TStream stream)
{
    const bool acknowledged = stream.Kind != TTestKind::Standby;
    if (Streams.empty()) {
        // The acknowledgement answers the request at once, ahead of later answers.
        if (acknowledged) {
            static const char* const ack[] = {"AT", "NTS", "FAMS"};
            Answers.push_back(Frame(ack[static_cast<int>(stream.Kind)]));
        }
        stream.AckPending = false;
    } else {
        stream.AckPending = acknowledged;  // sent when this run begins
    }
    Streams.push_back(stream);
}

QByteArray TStandSimulator::StreamFrame(TStream& stream)
{
    static const char* const ack[] = {"AT", "NTS", "FAMS", ""};
    static const char* const end[] = {"ATE", "NTE", "FAE", "STE"};
    const int kind = static_cast<int>(stream.Kind);
    if (stream.AckPending) {
        stream.AckPending = false;
        return Frame(ack[kind]);
    }
    const bool plane = stream.Kind == TTestKind::CrossLoad || stream.Kind == TTestKind::Noise;
    const int count = plane ? GridPoints : stream.Steps;
    if (stream.Next < count)
        return PointFrame(stream, stream.Next++);
    stream.Finished = true;
    return Frame(end[kind]);
}

QByteArray TStandSimulator::PointFrame(const TStream& stream, int n)
{
    QByteArray frame;
    switch (stream.Kind) {
    case TTestKind::CrossLoad: {
        const TLoadPoint point = LoadPlanePoint(n, stream.Plane);
        frame = "!G;" + QByteArray::number(n) + ';';
        for (int ch = 0; ch < LoadChannelCount; ++ch) {
            const bool measured = point.Visited && point.Volts[ch] > 0;
            frame += measured ? Fixed(Jitter(point.Volts[ch], 0.0003, 0.0005), 3) : QByteArray("0.000");
            frame += ';';
            frame += measured ? Fixed(Jitter(point.Amps[ch], 0.002, 0.005), 2) : QByteArray("0.00");
            frame += ';';
        }
        return frame + '#';
    }
    case TTestKind::Noise: {
        const TLoadPoint point = LoadPlanePoint(n, stream.Plane);
        frame = "!N;" + QByteArray::number(n) + ';';
        for (int ch = 0; ch < LoadChannelCount; ++ch) {
            double mv = 0;
            if (point.Visited && point.Volts[ch] > 0) {
                mv = NoiseMillivolts(ch, point.Load, StandbyLoadDuringMapsA / StandbyRatingA);
                mv = std::clamp(mv + Uniform(-3, 3), 1.0, 250.0);
            }
            frame += Whole(mv) + ';';
        }
        return frame + '#';
    }
    case TTestKind::Efficiency: {
        const double x = stream.TotalW > 0 && stream.Steps > 0 ? (n + 1.0) / stream.Steps : 0.0;
        const std::array<double, 2> fans = FanSpeeds(x);
        return Frame("FAM", {QByteArray::number(n), Whole(PowerFactor(x) * 100 + Uniform(-0.4, 0.4)),
                             Whole(Efficiency(x) * 100 + Uniform(-0.4, 0.4)),
                             Fixed(SupplyTemperature(x) + Uniform(-0.2, 0.2), 1), Whole(Jitter(fans[0], 0, 12)),
                             Whole(Jitter(fans[1], 0, 12))});
    }
    case TTestKind::Standby: {
        const double fraction = stream.StandbyMaxA > 0 && stream.Steps > 0 ? (n + 1.0) / stream.Steps : 0.0;
        const double amps = stream.StandbyMaxA * fraction;
        return Frame("S", {QByteArray::number(n), Fixed(Jitter(StandbyVoltage(fraction), 0.0003, 0.0005), 3),
                           Fixed(amps > 0 ? Jitter(amps, 0.002, 0.005) : 0.0, 2)});
    }
    }
    return frame;
}

QByteArray TStandSimulator::NextFrame()
{
    if (!Answers.empty()) {
        QByteArray frame = Answers.front();
        Answers.pop_front();
        return frame;
    }
    if (Streams.empty())
        return QByteArray();
    QByteArray frame = StreamFrame(Streams.front());
    if (Streams.front().Finished)
        Streams.pop_front();
    return frame;
}

QByteArray TStandSimulator::ApplyMalformation(const QByteArray& frame)
{
    // The first decimal number after the name: "12.034" becomes "12,034" or "12.03.4", in turn.
    const bool comma = (DecimalFrameCount / Faults.MalformedEvery) % 2 == 1;
    int start = frame.indexOf(';') + 1;
    while (start > 0 && start < frame.size()) {
        const int stop = frame.indexOf(';', start);
        if (stop < 0)
            break;
        const int dot = frame.indexOf('.', start);
        if (dot >= 0 && dot < stop) {
            QByteArray broken = frame;
            if (comma)
                broken[dot] = ',';
            else
                broken.insert(stop - 1, '.');
            return broken;
        }
        start = stop + 1;
    }
    return frame;
}

QByteArray TStandSimulator::NextChunk()
{
    if (!PendingPiece.isEmpty()) {
        QByteArray piece = PendingPiece;
        PendingPiece.clear();
        return piece;
    }
    if (HungUp())
        return QByteArray();
    QByteArray frame = NextFrame();
    if (frame.isEmpty())
        return frame;
    ++FrameCount;
    if (Faults.MalformedEvery > 0 && CarriesMeasurements(NameOf(frame))) {
        ++DecimalFrameCount;
        if (DecimalFrameCount % Faults.MalformedEvery == 0)
            frame = ApplyMalformation(frame);
    }
    const int frameLength = frame.size();
    if (Faults.JunkEvery > 0 && FrameCount % Faults.JunkEvery == 0)
        frame += (JunkCount++ % 2 == 0) ? "\r\n" : "xx";
    if (Faults.SplitEvery > 0 && FrameCount % Faults.SplitEvery == 0) {
        const int cut = 1 + static_cast<int>(FaultRandom() % static_cast<uint32_t>(frameLength - 1));
        PendingPiece = frame.mid(cut);
        frame.truncate(cut);
    }
    return frame;
}

QByteArray TStandSimulator::TakeOutput()
{
    QByteArray all;
    while (HasOutput())
        all += NextChunk();
    return all;
}

bool TStandSimulator::HasOutput() const
{
    if (!PendingPiece.isEmpty())
        return true;
    return !HungUp() && (!Answers.empty() || !Streams.empty());
}

bool TStandSimulator::HungUp() const
{
    return Faults.HangUpAfterFrames > 0 && FrameCount >= Faults.HangUpAfterFrames && PendingPiece.isEmpty();
}

int TStandSimulator::LoadSetpoint(int loadChannel) const
{
    return loadChannel >= 1 && loadChannel <= LoadChannelCount ? Setpoints[loadChannel - 1] : 0;
}

std::optional<TStandSimulator::TCalibrationRegister> TStandSimulator::CalibrationRegister(int reg) const
{
    const auto it = Registers.find(reg);
    if (it == Registers.end())
        return std::nullopt;
    return it->second;
}
