#include <QBitArray>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "StandSimulator.h"
#include "TestRegistry.h"
#include "link/CommandSet.h"

namespace {

struct TFrame {
    QByteArray Text;
    TParsedCommand Parsed;
    QString Name() const { return Parsed.Command; }
    QString Field(int i) const { return Parsed.Params[i]; }
    int FieldCount() const
    {
        int n = 0;
        while (n < ParsedCommandMaxParams && !Parsed.Params[n].isEmpty())
            ++n;
        return n;
    }
};

// Cuts the stand's output into frames; anything outside a frame is a test failure unless allowed.
QList<TFrame> Frames(const QByteArray& bytes, QByteArray* outside = nullptr)
{
    QList<TFrame> frames;
    int pos = 0;
    while (pos < bytes.size()) {
        const int bang = bytes.indexOf('!', pos);
        if (bang < 0) {
            if (outside)
                *outside += bytes.mid(pos);
            break;
        }
        if (outside)
            *outside += bytes.mid(pos, bang - pos);
        const int hash = bytes.indexOf('#', bang);
        if (hash < 0)
            break;
        TFrame frame;
        frame.Text = bytes.mid(bang, hash - bang + 1);
        ParseFrame(QString::fromLatin1(frame.Text), frame.Parsed);
        frames.append(frame);
        pos = hash + 1;
    }
    return frames;
}

QList<TFrame> Ask(TStandSimulator& stand, const QByteArray& request)
{
    stand.Receive(request);
    QByteArray outside;
    const QList<TFrame> frames = Frames(stand.TakeOutput(), &outside);
    if (!outside.isEmpty())
        qWarning("bytes outside frames: %s", outside.constData());
    return frames;
}

QStringList Names(const QList<TFrame>& frames)
{
    QStringList names;
    for (const TFrame& f : frames)
        names << f.Name();
    return names;
}

bool IsInteger(const QString& s) { return QRegularExpression("^[0-9]+$").match(s).hasMatch(); }
bool IsDecimal(const QString& s) { return QRegularExpression("^[0-9]+\\.[0-9]+$").match(s).hasMatch(); }

double Number(const QString& s)
{
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok ? v : qQNaN();
}

// Voltage of load channel 1..11 in a poll answer.
double PolledVolts(const QList<TFrame>& frames, int loadChannel)
{
    for (const TFrame& f : frames)
        if (f.Name() == "VC" && f.Field(0) == QString::number(loadChannel - 1))
            return Number(f.Field(1));
    return qQNaN();
}

double PolledAmps(const QList<TFrame>& frames, int loadChannel)
{
    for (const TFrame& f : frames)
        if (f.Name() == "VC" && f.Field(0) == QString::number(loadChannel - 1))
            return Number(f.Field(2));
    return qQNaN();
}

const TFrame* Find(const QList<TFrame>& frames, const QString& name)
{
    for (const TFrame& f : frames)
        if (f.Name() == name)
            return &f;
    return nullptr;
}

const QStringList PollAnswerNames = {"VC", "VC", "VC", "VC", "VC", "VC", "VC", "VC", "VC", "VC",
                                     "VC", "VC", "VC", "MT", "FAN", "MVC", "ERR"};

// --- the real program on a real pseudo-terminal ---------------------------------------------

struct TSimProcess {
    QProcess Process;
    QString Device;
    int Fd = -1;

    bool Start(const QStringList& args)
    {
        Process.setProgram(QStringLiteral(TARVIK_STAND_SIM));
        Process.setArguments(args);
        Process.start();
        if (!Process.waitForStarted(10000))
            return false;
        while (!Process.canReadLine())
            if (!Process.waitForReadyRead(10000))
                return false;
        Device = QString::fromLocal8Bit(Process.readLine()).trimmed();
        return !Device.isEmpty();
    }

    bool Open()
    {
        Fd = ::open(Device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (Fd < 0)
            return false;
        termios tio{};
        if (::tcgetattr(Fd, &tio) != 0)
            return false;
        ::cfmakeraw(&tio);
        return ::tcsetattr(Fd, TCSANOW, &tio) == 0;
    }

    bool Send(const QByteArray& bytes) { return ::write(Fd, bytes.constData(), bytes.size()) == bytes.size(); }

    // Reads until `enough` says so, the line hangs up or the guard time runs out.
    // Returns the bytes; `hungUp` tells whether the line went away.
    QByteArray ReadUntil(const std::function<bool(const QByteArray&)>& enough, bool& hungUp, int guardMs = 20000)
    {
        QByteArray got;
        hungUp = false;
        QElapsedTimer guard;
        guard.start();
        while (!enough(got) && guard.elapsed() < guardMs) {
            pollfd fd{Fd, POLLIN, 0};
            if (::poll(&fd, 1, 200) < 0)
                break;
            if (fd.revents & POLLIN) {
                char buffer[4096];
                const ssize_t n = ::read(Fd, buffer, sizeof buffer);
                if (n > 0) {
                    got.append(buffer, static_cast<int>(n));
                    continue;
                }
                if (n == 0 || errno == EIO) {
                    hungUp = true;
                    break;
                }
            }
            if (fd.revents & (POLLHUP | POLLERR)) {
                hungUp = true;
                break;
            }
        }
        return got;
    }

    ~TSimProcess()
    {
        if (Fd >= 0)
            ::close(Fd);
        if (Process.state() != QProcess::NotRunning) {
            Process.kill();
            Process.waitForFinished(5000);
        }
    }
};

}  // namespace


class StandSimTest : public QObject {
    Q_OBJECT

private slots:
    void GreetingGivesTheHardwareReport()
    {
        TStandSimulator stand;
        const QList<TFrame> frames = Ask(stand, "!!!;#");
        QCOMPARE(Names(frames), QStringList{"REP"});
        QCOMPARE(frames[0].FieldCount(), 5);
        for (int i = 0; i < 5; ++i)
            QVERIFY(!frames[0].Field(i).contains(QRegularExpression("[;!#]")));
        QCOMPARE(frames[0].Field(0), QString("Tarvik"));
    }

    void PollGivesEveryReadingInOrder()
    {
        TStandSimulator stand;
        for (bool on : {false, true}) {
            if (on)
                QCOMPARE(Names(Ask(stand, "!PN;#")), QStringList{"TN"});
            const QList<TFrame> frames = Ask(stand, "!GV;#");
            QCOMPARE(Names(frames), PollAnswerNames);
            for (int i = 0; i < 13; ++i)
                QCOMPARE(frames[i].Field(0), QString::number(i));
            for (int i = 0; i < 11; ++i) {
                QCOMPARE(frames[i].FieldCount(), 5);
                QVERIFY2(IsDecimal(frames[i].Field(1)) && IsDecimal(frames[i].Field(2)), frames[i].Text);
                QVERIFY2(IsInteger(frames[i].Field(3)) && IsInteger(frames[i].Field(4)), frames[i].Text);
            }
            QCOMPARE(frames[11].FieldCount(), 2);
            QCOMPARE(frames[12].FieldCount(), 2);
            QCOMPARE(frames[13].FieldCount(), 4);  // MT
            QCOMPARE(frames[14].FieldCount(), 2);  // FAN
            QCOMPARE(frames[15].FieldCount(), 4);  // MVC
            QCOMPARE(frames[16].Field(0), QString("0"));

            // Switched off only +5Vstb is alive; switched on every rail is near its nominal voltage.
            const double nominal[] = {3.3, 5, 5, 12, 12, 12, 12, 12, 12, 12, 12};
            for (int ch = 1; ch <= 11; ++ch) {
                const double v = PolledVolts(frames, ch);
                if (on || ch == 3)
                    QVERIFY2(qAbs(v - nominal[ch - 1]) < 0.07 * nominal[ch - 1], frames[ch - 1].Text);
                else
                    QVERIFY2(v < 0.1, frames[ch - 1].Text);
            }
            QVERIFY(qAbs(Number(frames[12].Field(1)) - 5.0) < 0.2);
            QCOMPARE(Number(frames[11].Field(1)) > 11.0, on);
        }
    }

    void LoadsPullTheirRailDown_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("amps");
        QTest::newRow("+3.3V 20 A") << 1 << 20;
        QTest::newRow("+5V 15 A") << 2 << 15;
        QTest::newRow("+5Vstb 2 A") << 3 << 2;
        QTest::newRow("+12V1 30 A") << 4 << 30;
        QTest::newRow("+12V8 25 A") << 11 << 25;
    }
    void LoadsPullTheirRailDown()
    {
        QFETCH(int, channel);
        QFETCH(int, amps);
        TStandSimulator stand;
        Ask(stand, "!PN;#");
        const QList<TFrame> idle = Ask(stand, "!GV;#");
        QVERIFY(Ask(stand, "!SC;" + QByteArray::number(channel - 1) + ";" + QByteArray::number(amps) + ";#").isEmpty());
        QCOMPARE(stand.LoadSetpoint(channel), amps);
        const QList<TFrame> loaded = Ask(stand, "!GV;#");
        QVERIFY2(PolledVolts(loaded, channel) < PolledVolts(idle, channel) - 0.005 * PolledVolts(idle, channel),
                 loaded[channel - 1].Text);
        QVERIFY(qAbs(PolledAmps(loaded, channel) - amps) < 0.2);

        // The supply draws more than it delivers, at a believable efficiency.
        double outputW = 0;
        for (int ch = 1; ch <= 11; ++ch)
            outputW += PolledVolts(loaded, ch) * PolledAmps(loaded, ch);
        const double inputW = Number(Find(loaded, "MVC")->Field(3));
        QVERIFY2(outputW / inputW > 0.5 && outputW / inputW < 0.92, Find(loaded, "MVC")->Text);

        Ask(stand, "!SC;" + QByteArray::number(channel - 1) + ";00;#");
        const QList<TFrame> unloaded = Ask(stand, "!GV;#");
        QVERIFY(qAbs(PolledVolts(unloaded, channel) - PolledVolts(idle, channel)) < 0.003 * PolledVolts(idle, channel));
        QVERIFY(PolledAmps(unloaded, channel) < 0.05);
    }

    void SwitchingReportsThePwrOkDelay_data()
    {
        QTest::addColumn<int>("chosenMs");
        QTest::newRow("450, still in time") << 450;
        QTest::newRow("451, too late") << 451;
        QTest::newRow("left to the stand") << -1;
    }
    void SwitchingReportsThePwrOkDelay()
    {
        QFETCH(int, chosenMs);
        TStandSimulator::TOptions options;
        options.PwrOkOnMs = chosenMs;
        TStandSimulator stand(options);
        for (int round = 0; round < 20; ++round) {
            const QList<TFrame> on = Ask(stand, "!PN;#");
            QCOMPARE(Names(on), QStringList{"TN"});
            QVERIFY(stand.DutOn());
            const int ms = on[0].Field(0).toInt();
            if (chosenMs >= 0)
                QCOMPARE(on[0].Field(0), QString::number(chosenMs));
            else
                QVERIFY2(ms >= 120 && ms <= 400, on[0].Text);
            const QList<TFrame> off = Ask(stand, "!PF;#");
            QCOMPARE(Names(off), QStringList{"TF"});
            QVERIFY(IsInteger(off[0].Field(0)));
            QVERIFY(!stand.DutOn());
        }
    }

    void SettingsAreStoredWithoutAnswer()
    {
        TStandSimulator stand;
        QVERIFY(Ask(stand, "!SC;10;09;#!SC;0;12;#").isEmpty());
        QCOMPARE(stand.LoadSetpoint(11), 9);
        QCOMPARE(stand.LoadSetpoint(1), 12);
        QVERIFY(Ask(stand, "!SLC;125;#").isEmpty());
        QCOMPARE(stand.LoadRatio(), 125);
        QVERIFY(Ask(stand, "!STR;00;0015;0916;#!STR;25;0001;0000;#").isEmpty());
        QCOMPARE(stand.CalibrationRegister(0)->IntegerPart, 15);
        QCOMPARE(stand.CalibrationRegister(0)->Fraction, 916);
        QCOMPARE(stand.CalibrationRegister(25)->IntegerPart, 1);
        QVERIFY(!stand.CalibrationRegister(26));
    }

    void BadRequestsAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("letter in channel") << QByteArray("!SC;x;05;#");
        QTest::newRow("channel 11 does not exist") << QByteArray("!SC;11;05;#");
        QTest::newRow("missing current") << QByteArray("!SC;3;#");
        QTest::newRow("ratio with a point") << QByteArray("!SLC;0.8;#");
        QTest::newRow("register with a sign") << QByteArray("!STR;-1;0001;0000;#");
        QTest::newRow("cross-load power not a number") << QByteArray("!ATS;03a0;1200;1500;2;0;#");
        QTest::newRow("cross-load without type field") << QByteArray("!ATS;0300;1200;1500;2;#");
        QTest::newRow("noise with empty total") << QByteArray("!NTS;0300;1200;;2;0;#");
        QTest::newRow("efficiency with empty steps") << QByteArray("!FAMC;;1500;1200;0300;0;#");
        QTest::newRow("standby without steps") << QByteArray("!STS;0050;#");
        QTest::newRow("lower-case name") << QByteArray("!gv;#");
        QTest::newRow("unknown name") << QByteArray("!XYZ;1;2;#");
        QTest::newRow("no semicolon") << QByteArray("!GV#");
        QTest::newRow("stand's own frame sent back") << QByteArray("!REP;a;b;c;d;e;#");
    }
    void BadRequestsAreIgnored()
    {
        QFETCH(QByteArray, request);
        TStandSimulator stand;
        QVERIFY(Ask(stand, request).isEmpty());
        QVERIFY(!stand.TestRunning());
        for (int ch = 1; ch <= 11; ++ch)
            QCOMPARE(stand.LoadSetpoint(ch), 0);
        QCOMPARE(stand.LoadRatio(), 80);
        // ... and the stand still listens.
        QCOMPARE(Names(Ask(stand, "!!!;#")), QStringList{"REP"});
    }

    void CrossLoadRunCoversTheLoadPlane()
    {
        TStandSimulator stand;
        Ask(stand, "!SLC;080;#");
        const QList<TFrame> frames = Ask(stand, "!ATS;0300;1200;1500;2;0;#");
        QCOMPARE(frames.size(), 12002);
        QCOMPARE(frames.first().Name(), QString("AT"));
        QCOMPARE(frames.last().Name(), QString("ATE"));
        QBitArray seen(12000);
        double minDev33 = 1, maxDev33 = -1, minDev12 = 1, maxDev12 = -1;
        for (int i = 1; i <= 12000; ++i) {
            const TFrame& f = frames[i];
            QCOMPARE(f.Name(), QString("G"));
            QCOMPARE(f.FieldCount(), 23);
            const int n = f.Field(0).toInt();
            QVERIFY(n >= 0 && n < 12000 && !seen.testBit(n));
            seen.setBit(n);
            for (int k = 1; k <= 22; ++k)
                QVERIFY2(IsDecimal(f.Field(k)), f.Text);
            const int row = n / 200, column = n % 200;
            // The load of the point, split over +3.3V/+5V by the ratio and over the two +12V rails.
            const double lvW = 3.3 * Number(f.Field(2)) + 5.0 * Number(f.Field(4));
            const double hvW = 12.0 * (Number(f.Field(8)) + Number(f.Field(10)));
            QVERIFY2(qAbs(lvW - 300.0 * (row + 1) / 60) < 0.02 * 300 * (row + 1) / 60 + 0.1, f.Text);
            QVERIFY2(qAbs(hvW - 1200.0 * (column + 1) / 200) < 0.02 * 1200 * (column + 1) / 200 + 0.2, f.Text);
            QVERIFY(qAbs(Number(f.Field(4)) - 0.8 * Number(f.Field(2))) < 0.03 * Number(f.Field(2)) + 0.02);
            QVERIFY(qAbs(Number(f.Field(8)) - Number(f.Field(10))) < 0.02 * Number(f.Field(8)) + 0.02);
            for (int k = 6; k <= 11; ++k)  // rails 3..8 are not there
                QCOMPARE(Number(f.Field(2 * k - 1)), 0.0);
            const double dev33 = (Number(f.Field(1)) - 3.3) / 3.3;
            const double dev12 = (Number(f.Field(7)) - 12.0) / 12.0;
            minDev33 = qMin(minDev33, dev33);
            maxDev33 = qMax(maxDev33, dev33);
            minDev12 = qMin(minDev12, dev12);
            maxDev12 = qMax(maxDev12, dev12);
        }
        QCOMPARE(seen.count(true), 12000);
        // Several colour bands on the maps: from below -4 % to above +4 %, but no wild values.
        QVERIFY2(minDev33 < -0.04 && maxDev33 > 0.04 && minDev33 > -0.08 && maxDev33 < 0.08,
                 qPrintable(QString("%1 %2").arg(minDev33).arg(maxDev33)));
        QVERIFY2(minDev12 < -0.04 && maxDev12 > 0.04 && minDev12 > -0.08 && maxDev12 < 0.08,
                 qPrintable(QString("%1 %2").arg(minDev12).arg(maxDev12)));
        // A rail droops as its own group's load grows and rises with the other group's load.
        auto volts = [&](int n, int field) { return Number(frames[n + 1].Field(field)); };
        QVERIFY(volts(59 * 200, 1) < volts(0, 1) - 0.1);    // +3.3V, bottom-left to top-left
        QVERIFY(volts(199, 1) > volts(0, 1) + 0.05);        // +3.3V, bottom-left to bottom-right
        QVERIFY(volts(199, 7) < volts(0, 7) - 0.4);         // +12V1
        QVERIFY(volts(59 * 200, 7) > volts(0, 7) + 0.2);
    }

    void CrossLoadSkipsPointsAboveTheTotalPower()
    {
        TStandSimulator stand;
        const QList<TFrame> frames = Ask(stand, "!ATS;0300;1200;0900;1;0;#");
        QCOMPARE(frames.size(), 12002);
        const TFrame& corner = frames[1 + 11999];
        const TFrame& origin = frames[1];
        for (int k = 1; k <= 22; ++k)
            QCOMPARE(Number(corner.Field(k)), 0.0);
        QVERIFY(Number(origin.Field(1)) > 3.0);
        QVERIFY(Number(origin.Field(7)) > 11.0);   // the one +12V rail
        QCOMPARE(Number(origin.Field(9)), 0.0);    // +12V2 is not there
    }

    void NoiseRunCoversTheLoadPlane()
    {
        TStandSimulator stand;
        const QList<TFrame> frames = Ask(stand, "!NTS;0300;1200;1500;4;0;#");
        QCOMPARE(frames.size(), 12002);
        QCOMPARE(frames.first().Name(), QString("NTS"));
        QCOMPARE(frames.last().Name(), QString("NTE"));
        QBitArray seen(12000);
        for (int i = 1; i <= 12000; ++i) {
            const TFrame& f = frames[i];
            QCOMPARE(f.Name(), QString("N"));
            QCOMPARE(f.FieldCount(), 12);
            const int n = f.Field(0).toInt();
            QVERIFY(n >= 0 && n < 12000 && !seen.testBit(n));
            seen.setBit(n);
            for (int k = 1; k <= 11; ++k) {
                QVERIFY2(IsInteger(f.Field(k)), f.Text);
                const int mv = f.Field(k).toInt();
                if (k <= 7)
                    QVERIFY2(mv >= 1 && mv <= 250, f.Text);
                else
                    QCOMPARE(mv, 0);  // rails 5..8 are not there
            }
        }
        QCOMPARE(seen.count(true), 12000);
        // Noise grows with the load.
        for (int k : {1, 2, 4})
            QVERIFY(frames[1 + 11999].Field(k).toInt() > frames[1].Field(k).toInt() + 50);
    }

    void EfficiencyRunHasOneFramePerStep_data()
    {
        QTest::addColumn<QByteArray>("stepsField");
        QTest::addColumn<int>("steps");
        QTest::newRow("50 steps") << QByteArray("0050") << 50;
        QTest::newRow("200 steps") << QByteArray("0200") << 200;
        QTest::newRow("500 capped to 200") << QByteArray("0500") << 200;
        QTest::newRow("1 step") << QByteArray("0001") << 1;
        QTest::newRow("no steps") << QByteArray("0000") << 0;
    }
    void EfficiencyRunHasOneFramePerStep()
    {
        QFETCH(QByteArray, stepsField);
        QFETCH(int, steps);
        TStandSimulator stand;
        const QList<TFrame> frames = Ask(stand, "!FAMC;" + stepsField + ";1500;1200;0300;0;#");
        QCOMPARE(frames.size(), steps + 2);
        QCOMPARE(frames.first().Name(), QString("FAMS"));
        QCOMPARE(frames.last().Name(), QString("FAE"));
        for (int s = 0; s < steps; ++s) {
            const TFrame& f = frames[s + 1];
            QCOMPARE(f.Name(), QString("FAM"));
            QCOMPARE(f.FieldCount(), 6);
            QCOMPARE(f.Field(0), QString::number(s));
            QVERIFY2(IsInteger(f.Field(1)) && IsInteger(f.Field(2)) && IsInteger(f.Field(4)) && IsInteger(f.Field(5)),
                     f.Text);
            QVERIFY2(QRegularExpression("^[0-9]+\\.[0-9]$").match(f.Field(3)).hasMatch(), f.Text);
            QVERIFY(f.Field(1).toInt() >= 50 && f.Field(1).toInt() <= 99);
            QVERIFY(f.Field(2).toInt() >= 55 && f.Field(2).toInt() <= 91);
        }
        if (steps >= 50) {
            const TFrame& light = frames[1];
            const TFrame& full = frames[steps];
            QVERIFY(light.Field(2).toInt() <= 68 && full.Field(2).toInt() >= 85);  // efficiency
            QVERIFY(light.Field(1).toInt() <= 65 && full.Field(1).toInt() >= 97);  // power factor
            QVERIFY(Number(full.Field(3)) > Number(light.Field(3)) + 10);         // temperature
            QVERIFY(full.Field(4).toInt() > light.Field(4).toInt() + 500);        // fan 1
        }
    }

    void StandbyRunHasNoAcknowledgement_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("maxAmps");
        QTest::newRow("50 W in 20 steps") << QByteArray("!STS;0050;0020;#") << 20 << 10.0;
        QTest::newRow("25 W in 200 steps") << QByteArray("!STS;0025;0200;#") << 200 << 5.0;
        QTest::newRow("999 steps capped") << QByteArray("!STS;0015;0999;#") << 200 << 3.0;
    }
    void StandbyRunHasNoAcknowledgement()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, steps);
        QFETCH(double, maxAmps);
        TStandSimulator stand;
        const QList<TFrame> frames = Ask(stand, request);
        QCOMPARE(frames.size(), steps + 1);
        QCOMPARE(frames.last().Name(), QString("STE"));
        double previous = 6;
        for (int s = 0; s < steps; ++s) {
            const TFrame& f = frames[s];
            QCOMPARE(f.Name(), QString("S"));
            QCOMPARE(f.FieldCount(), 3);
            QCOMPARE(f.Field(0), QString::number(s));
            QVERIFY2(IsDecimal(f.Field(1)) && IsDecimal(f.Field(2)), f.Text);
            const double v = Number(f.Field(1));
            QVERIFY2(v < previous + 0.006, f.Text);  // falls, give or take the measuring jitter
            previous = v;
        }
        QVERIFY(Number(frames[0].Field(1)) > 5.05);
        QVERIFY(qAbs(Number(frames[steps - 1].Field(1)) - 4.85) < 0.02);
        QVERIFY(qAbs(Number(frames[steps - 1].Field(2)) - maxAmps) < 0.05 * maxAmps);
    }

    void PollsAreAnsweredDuringARun()
    {
        TStandSimulator stand;
        stand.Receive("!NTS;0300;1200;1500;2;0;#");
        QList<TFrame> frames;
        for (int i = 0; i < 100; ++i)  // the acknowledgement and some points
            frames += Frames(stand.NextChunk());
        QCOMPARE(frames.first().Name(), QString("NTS"));
        stand.Receive("!GV;#");
        QList<TFrame> next;
        for (int i = 0; i < PollAnswerNames.size(); ++i)
            next += Frames(stand.NextChunk());
        QCOMPARE(Names(next), PollAnswerNames);
        // A second start waits for the first run to end.
        stand.Receive("!STS;0050;0010;#!FAMC;0005;1500;1200;0300;0;#");
        const QStringList rest = Names(Frames(stand.TakeOutput()));
        QCOMPARE(rest.count("N"), 12000 - 99);
        const int nte = rest.indexOf("NTE");
        QCOMPARE(rest.mid(nte), QStringList({"NTE", "S", "S", "S", "S", "S", "S", "S", "S", "S", "S", "STE", "FAMS",
                                             "FAM", "FAM", "FAM", "FAM", "FAM", "FAE"}));
    }

    void RequestsSplitAnywhereAreUnderstood()
    {
        const QByteArray requests = "xx!!!;#\r\n!GV;#junk!PN;#!SC;3;20;#!GV;#";
        TStandSimulator whole;
        const QStringList expected = Names(Ask(whole, requests));
        QCOMPARE(expected, QStringList{"REP"} + PollAnswerNames + QStringList{"TN"} + PollAnswerNames);
        for (int size : {1, 2, 3, 7}) {
            TStandSimulator stand;
            QList<TFrame> frames;
            for (int pos = 0; pos < requests.size(); pos += size) {
                stand.Receive(requests.mid(pos, size));
                frames += Frames(stand.TakeOutput());
            }
            QCOMPARE(Names(frames), expected);
            QCOMPARE(stand.LoadSetpoint(4), 20);
        }
    }

    void GarbageNeverBreaksTheStand()
    {
        QRandomGenerator random(20261103);
        const QByteArray alphabet = "!!!###;;;;0123456789GVPNFSCLTRAMEXx.,\r\n \xff";
        TStandSimulator stand;
        for (int round = 0; round < 3000; ++round) {
            QByteArray chunk;
            const int size = random.bounded(1, 80);
            for (int i = 0; i < size; ++i)
                chunk += random.bounded(4) == 0 ? static_cast<char>(random.bounded(256))
                                                : alphabet[random.bounded(alphabet.size())];
            stand.Receive(chunk);
            QByteArray outside;
            const QList<TFrame> frames = Frames(stand.TakeOutput(), &outside);
            QVERIFY(outside.isEmpty());
            for (const TFrame& f : frames)
                QVERIFY2(!f.Name().isEmpty(), f.Text);
        }
        // After all that, a clean line end and a greeting are answered as ever.
        QCOMPARE(Names(Ask(stand, "#!!!;#")), QStringList{"REP"});
    }

    void SplitFaultCutsFramesButKeepsTheBytes()
    {
        TStandSimulator clean, faulty;
        faulty.Faults.SplitEvery = 1;
        clean.Receive("!!!;#!GV;#");
        const QByteArray cleanBytes = clean.TakeOutput();
        faulty.Receive("!!!;#!GV;#");
        QByteArray joined;
        int chunks = 0;
        while (faulty.HasOutput()) {
            const QByteArray chunk = faulty.NextChunk();
            const bool first = faulty.PieceFollows();
            QVERIFY(!chunk.isEmpty());
            // Neither piece is a whole frame.
            QVERIFY2(!(chunk.startsWith('!') && chunk.endsWith('#')), chunk);
            QCOMPARE(first, chunks % 2 == 0);
            joined += chunk;
            ++chunks;
        }
        QCOMPARE(chunks, 2 * (1 + PollAnswerNames.size()));
        QCOMPARE(joined, cleanBytes);
    }

    void JunkFaultPutsBytesBetweenFrames()
    {
        TStandSimulator clean, faulty;
        faulty.Faults.JunkEvery = 2;
        clean.Receive("!GV;#!GV;#");
        faulty.Receive("!GV;#!GV;#");
        QByteArray outside;
        const QList<TFrame> frames = Frames(faulty.TakeOutput(), &outside);
        QByteArray cleanJoined;
        for (const TFrame& f : Frames(clean.TakeOutput()))
            cleanJoined += f.Text;
        QByteArray faultyJoined;
        for (const TFrame& f : frames)
            faultyJoined += f.Text;
        QCOMPARE(faultyJoined, cleanJoined);
        QCOMPARE(outside, QByteArray("\r\nxx").repeated(8) + "\r\n");
    }

    void MalformedFaultBreaksANumberNowAndThen()
    {
        TStandSimulator stand;
        stand.Faults.MalformedEvery = 5;
        QStringList broken;
        for (const TFrame& f : Ask(stand, "!GV;#!GV;#!GV;#!STS;0050;0010;#")) {
            for (int k = 0; k < f.FieldCount(); ++k)
                if (!IsInteger(f.Field(k)) && !IsDecimal(f.Field(k))) {
                    broken << f.Field(k);
                    bool ok = true;
                    f.Field(k).toDouble(&ok);
                    QVERIFY2(!ok, f.Text);  // the program cannot read it
                }
        }
        // Out of 3 x 15 reading frames and 10 points with decimals, every fifth has one bad number.
        QCOMPARE(broken.size(), (3 * 15 + 10) / 5);
        QVERIFY(broken.filter(",").size() > 0);
        QVERIFY(broken.filter(QRegularExpression("\\..*\\.")).size() > 0);
    }

    void ErrorFaultIsReported()
    {
        TStandSimulator stand;
        stand.Faults.ErrorCode = 30;
        const QList<TFrame> frames = Ask(stand, "!GV;#");
        QCOMPARE(frames.last().Name(), QString("ERR"));
        QCOMPARE(frames.last().Field(0), QString("30"));
    }

    void HangUpFaultStopsTheOutput()
    {
        TStandSimulator stand;
        stand.Faults.HangUpAfterFrames = 5;
        stand.Faults.SplitEvery = 5;  // the last frame still leaves whole, in its two pieces
        stand.Receive("!!!;#!GV;#");
        const QList<TFrame> frames = Frames(stand.TakeOutput());
        QCOMPARE(frames.size(), 5);
        QVERIFY(stand.HungUp());
        stand.Receive("!!!;#");
        QVERIFY(!stand.HasOutput());
        QVERIFY(stand.NextChunk().isEmpty());
    }

    void ProgramAnswersOverAPseudoTerminal()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("dev/COM1");
        TSimProcess sim;
        QVERIFY(sim.Start({"--unpaced", "--link", link}));
        QVERIFY2(sim.Device.startsWith("/dev/"), qPrintable(sim.Device));
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.Device);
        QVERIFY(sim.Open());
        QVERIFY(sim.Send("!!!;#"));
        QVERIFY(sim.Send("!GV;#"));
        bool hungUp = false;
        const QByteArray got = sim.ReadUntil([](const QByteArray& b) { return b.endsWith("#") && b.contains("!ERR;"); },
                                             hungUp);
        QVERIFY(!hungUp);
        QByteArray outside;
        QCOMPARE(Names(Frames(got, &outside)), QStringList{"REP"} + PollAnswerNames);
        QVERIFY(outside.isEmpty());

        // The line survives the program letting go of it and coming back.
        ::close(sim.Fd);
        QVERIFY(sim.Open());
        QVERIFY(sim.Send("!PN;#"));
        const QByteArray again = sim.ReadUntil([](const QByteArray& b) { return b.endsWith("#"); }, hungUp);
        QVERIFY(!hungUp);
        QCOMPARE(Names(Frames(again)), QStringList{"TN"});

        sim.Process.terminate();
        QVERIFY(sim.Process.waitForFinished(10000));
        QCOMPARE(sim.Process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.Process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void ProgramHangsUpTheLine()
    {
        TSimProcess sim;
        QVERIFY(sim.Start({"--unpaced", "--hangup-after-frames", "5"}));
        QVERIFY(sim.Open());
        QVERIFY(sim.Send("!!!;#!GV;#"));
        bool hungUp = false;
        const QByteArray got = sim.ReadUntil([](const QByteArray&) { return false; }, hungUp);
        QVERIFY(hungUp);
        QCOMPARE(Names(Frames(got)), (QStringList{"REP", "VC", "VC", "VC", "VC"}));
        QVERIFY(sim.Process.waitForFinished(10000));
        QCOMPARE(sim.Process.exitCode(), 0);
    }
};

TARVIK_TEST(StandSimTest)
#include "StandSimTest.moc"
