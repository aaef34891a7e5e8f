#pragma once
// The simulated stand: its firmware's answers to the program's requests, without any I/O.
// Bytes from the line go in with Receive (in any pieces, junk allowed); the bytes to send come
// out with NextChunk, one frame (or one piece of a frame) at a time, so the caller can pace them.
//
//   TStandSimulator stand;
//   stand.Receive("!!!;#!GV;#");
//   while (stand.HasOutput()) write(line, stand.NextChunk());
//
// Answers to requests leave before the rest of a running test's point stream, so polls are
// answered between the points. A test started while another runs waits for it to end.

#include <QByteArray>
#include <QList>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <random>

#include "StandModel.h"

class TStandSimulator {
public:
    struct TOptions {
        int PwrOkOnMs = -1;   // PWR_OK delay reported on switch-on; -1 = a plausible 120..400 ms
        int PwrOkOffMs = -1;  // on switch-off; -1 = 16..30 ms
        uint32_t Seed = 2026; // measuring jitter and random delays
    };
    // Faults the stand can be asked to make. "Every n" means the n-th, 2n-th, ... frame; 0 = never.
    struct TFaults {
        int SplitEvery = 0;      // the frame leaves in two pieces cut inside it
        int JunkEvery = 0;       // "\r\n" or "xx" follows the frame
        int MalformedEvery = 0;  // counted over frames with a decimal number: one number malformed
        int ErrorCode = 0;       // reported in every ERR frame
        int HangUpAfterFrames = 0; // nothing more after this many frames (the line goes away)
    };
    struct TCalibrationRegister {
        int IntegerPart = 0;
        int Fraction = 0;  // thousandths, as sent
    };

    TStandSimulator();
    explicit TStandSimulator(const TOptions& options);

    TFaults Faults;

    // Bytes received from the line.
    void Receive(const QByteArray& bytes);

    bool HasOutput() const;
    // The next chunk to write: a whole frame, possibly with junk behind it, or one piece of a
    // frame when splitting. Empty when nothing is pending or the line has been hung up.
    QByteArray NextChunk();
    // True right after NextChunk returned the first piece of a split frame.
    bool PieceFollows() const { return !PendingPiece.isEmpty(); }
    // Every pending chunk joined (runs a whole test stream to its end).
    QByteArray TakeOutput();
    // The hang-up fault has struck: no more output will come.
    bool HungUp() const;
    int FramesSent() const { return FrameCount; }

    // The stand's state as the requests left it.
    bool DutOn() const { return PoweredOn; }
    int LoadSetpoint(int loadChannel) const;  // 1..11, whole amperes
    int LoadRatio() const { return LoadRatioHundredths; }
    std::optional<TCalibrationRegister> CalibrationRegister(int reg) const;
    bool TestRunning() const { return !Streams.empty(); }

    // Texts of the hardware report.
    static constexpr const char* Manufacturer = "Tarvik";
    static constexpr const char* BoardId = "ATE-12";
    static constexpr const char* Firmware = "2.14";
    static constexpr const char* CalibrationInfo = "2026-11-03";
    static constexpr const char* ModelId = "PSU-TS1";

private:
    enum class TTestKind { CrossLoad, Noise, Efficiency, Standby };
    struct TStream {
        TTestKind Kind = TTestKind::CrossLoad;
        StandModel::TLoadPlaneSetup Plane;
        int Steps = 0;
        double TotalW = 0;       // efficiency run
        double StandbyMaxA = 0;  // +5Vstb run
        bool AckPending = false;
        int Next = 0;
        bool Finished = false;
    };

    void HandleFrame(const QByteArray& name, const QList<QByteArray>& fields);
    void AnswerPoll();
    void StartTest(TStream stream);
    QByteArray NextFrame();
    QByteArray StreamFrame(TStream& stream);
    QByteArray PointFrame(const TStream& stream, int n);
    QByteArray ApplyMalformation(const QByteArray& frame);

    double Uniform(double lo, double hi);
    double Jitter(double value, double relative, double absolute);
    StandModel::TGroupLoad LiveLoad() const;

    TOptions Options;
    std::mt19937 Random;       // measuring jitter and delays
    std::mt19937 FaultRandom;  // where the faults strike, kept apart so faults do not change the readings

    QByteArray Input;
    std::deque<QByteArray> Answers;
    std::deque<TStream> Streams;
    QByteArray PendingPiece;

    bool PoweredOn = false;
    std::array<int, StandModel::LoadChannelCount> Setpoints{};
    int LoadRatioHundredths = 80;
    std::map<int, TCalibrationRegister> Registers;
    std::array<double, 4> LiveTemperatures{};
    std::array<double, 2> LiveFans{};

    int FrameCount = 0;
    int DecimalFrameCount = 0;
    int JunkCount = 0;
};
