#pragma once
// The progress of a stand-run test in the first status-bar panel: "KHX: 4,812 of 12,000
// points, 1:42 left" while it streams, "KHX: 12,000 points in 2:41" at its end frame. The
// expected count comes from the start fields when the run was started here; a run the stand
// started by itself shows its count alone. The text changes at most four times a second, and
// the time left appears once a rate over the last few seconds is known.

#include <QString>
#include <cstdint>
#include <optional>

// The estimator, a pure function of the times it is given (milliseconds on any clock).
class TRunProgress {
public:
    void Start(const QString& run, std::optional<int> expected, int64_t now);
    void Point(int64_t now);
    bool Active() const { return Running; }
    const QString& Run() const { return Name; }
    int Points() const { return Count; }
    // Points per second over the last few seconds; nothing until they span half a second.
    std::optional<double> Rate(int64_t now) const;
    QString Text(int64_t now) const;     // while running
    QString EndText(int64_t now) const;  // at the end frame

private:
    struct TSample {
        int64_t Time;
        int Count;
    };
    static constexpr int SampleCount = 24;         // 6 s at one sample every 250 ms
    static constexpr int64_t SampleSpacing = 250;  // ms
    static constexpr int64_t RateWindow = 5000;    // ms

    QString Name;
    std::optional<int> Expected;
    int Count = 0;
    int64_t Started = 0;
    bool Running = false;
    TSample Samples[SampleCount] = {};
    int SampleNext = 0;
    int SampleFilled = 0;
};

// "12,000": whole numbers with thousands separated by commas.
QString GroupedNumber(int n);
// "1:42", "12:05", "1:02:03": minutes and seconds, hours when there are any.
QString Duration(int64_t milliseconds);

// The runs as the window shows them. The start buttons announce what they asked for; the
// dispatcher reports acknowledgements, points and end frames.
void RunRequested(const QString& run, std::optional<int> expected);  // a start frame was sent
void RunStarted(const QString& run);  // the stand acknowledged (or, for +5Vstb, the request)
void RunPoint(const QString& run);
void RunEnded(const QString& run);
// Back to no run at all, as at start-up.
void ResetRunProgress();
