#include "autotests/RunProgress.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <cmath>

#include "ui/MainForm.h"

void TRunProgress::Start(const QString& run, std::optional<int> expected, int64_t now)
{
    Name = run;
    Expected = expected;
    Count = 0;
    Started = now;
    Running = true;
    SampleNext = 0;
    SampleFilled = 0;
    Samples[SampleNext++] = {now, 0};
    SampleFilled = 1;
}

void TRunProgress::Point(int64_t now)
{
    ++Count;
    const TSample& last = Samples[(SampleNext + SampleCount - 1) % SampleCount];
    if (now - last.Time >= SampleSpacing) {
        Samples[SampleNext] = {now, Count};
        SampleNext = (SampleNext + 1) % SampleCount;
        SampleFilled = std::min(SampleFilled + 1, SampleCount);
    }
}

std::optional<double> TRunProgress::Rate(int64_t now) const
{
    // The oldest sample within the window.
    const TSample* oldest = nullptr;
    for (int i = 0; i < SampleFilled; ++i) {
        const TSample& s = Samples[(SampleNext + SampleCount - SampleFilled + i) % SampleCount];
        if (now - s.Time <= RateWindow) {
            oldest = &s;
            break;
        }
    }
    if (!oldest || now - oldest->Time < 500 || Count <= oldest->Count)
        return std::nullopt;
    return (Count - oldest->Count) * 1000.0 / static_cast<double>(now - oldest->Time);
}

QString TRunProgress::Text(int64_t now) const
{
    QString text = Name + QStringLiteral(": ") + GroupedNumber(Count);
    if (Expected)
        text += QStringLiteral(" of ") + GroupedNumber(*Expected);
    text += (Expected ? *Expected : Count) == 1 ? QStringLiteral(" point") : QStringLiteral(" points");
    const std::optional<double> rate = Rate(now);
    if (Expected && rate && Count < *Expected) {
        const double seconds = std::ceil((*Expected - Count) / *rate);
        text += QStringLiteral(", ") + Duration(static_cast<int64_t>(seconds) * 1000) + QStringLiteral(" left");
    }
    return text;
}

QString TRunProgress::EndText(int64_t now) const
{
    return Name + QStringLiteral(": ") + GroupedNumber(Count) + (Count == 1 ? QStringLiteral(" point in ") : QStringLiteral(" points in ")) +
           Duration(now - Started);
}

QString GroupedNumber(int n)
{
    QString digits = QString::number(std::abs(static_cast<long long>(n)));
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return n < 0 ? u'-' + digits : digits;
}

QString Duration(int64_t milliseconds)
{
    const int64_t total = std::max<int64_t>(0, (milliseconds + 500) / 1000);
    const int64_t h = total / 3600;
    const int64_t m = total / 60 % 60;
    const int64_t s = total % 60;
    const auto two = [](int64_t v) { return QString::number(v).rightJustified(2, u'0'); };
    if (h > 0)
        return QString::number(h) + u':' + two(m) + u':' + two(s);
    return QString::number(m) + u':' + two(s);
}

namespace {

constexpr int64_t ShowSpacing = 250;  // ms: at most four updates a second

TRunProgress Progress;
QHash<QString, std::optional<int>> Requested;  // one entry per run name at most
int64_t LastShown = 0;

int64_t Now()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

void Show(const QString& text)
{
    if (MForm)
        MForm->StatusPanel[0]->setText(text);
}

void Begin(const QString& run, int64_t now)
{
    Progress.Start(run, Requested.take(run), now);
    LastShown = now;
    Show(Progress.Text(now));
}

} // namespace

void RunRequested(const QString& run, std::optional<int> expected) { Requested.insert(run, expected); }

void RunStarted(const QString& run)
{
    // A second acknowledgement of the run under way changes nothing.
    if (!Progress.Active() || Progress.Run() != run)
        Begin(run, Now());
}

void RunPoint(const QString& run)
{
    const int64_t now = Now();
    if (!Progress.Active() || Progress.Run() != run)
        Begin(run, now);
    Progress.Point(now);
    if (now - LastShown >= ShowSpacing) {
        LastShown = now;
        Show(Progress.Text(now));
    }
}

void RunEnded(const QString& run)
{
    if (!Progress.Active() || Progress.Run() != run)
        return;
    Show(Progress.EndText(Now()));
    Progress = TRunProgress{};
}

void ResetRunProgress()
{
    Progress = TRunProgress{};
    Requested.clear();
    LastShown = 0;
}
