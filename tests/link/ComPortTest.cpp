// The serial-port class itself on a pseudo-terminal: what it keeps of the line's settings, how
// much it holds for a reader that is busy elsewhere, and what it says when the line goes away.

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <optional>
#include <thread>

#include "ProgramFixture.h"
#include "PtyPeer.h"
#include "TestRegistry.h"
#include "link/ComPort.h"

class ComPortTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void FlowControlStaysAsTheDriverHasIt_data()
    {
        QTest::addColumn<bool>("hardware");
        QTest::addColumn<bool>("software");
        QTest::newRow("none") << false << false;
        QTest::newRow("RTS/CTS") << true << false;
        QTest::newRow("XON/XOFF") << false << true;
        QTest::newRow("both") << true << true;
    }
    void FlowControlStaysAsTheDriverHasIt()
    {
        QFETCH(bool, hardware);
        QFETCH(bool, software);
        TPtyPeer stand(Fixture->Dir(), 1);
        termios settings = stand.LineSettings();
        settings.c_cflag = hardware ? settings.c_cflag | CRTSCTS : settings.c_cflag & ~CRTSCTS;
        settings.c_iflag = software ? settings.c_iflag | (IXON | IXOFF) : settings.c_iflag & ~(IXON | IXOFF);
        stand.SetLineSettings(settings);

        TComPort port;
        port.SetDeviceName("\\\\.\\COM1");
        port.SetBaudRate(57600);
        port.Open();
        const termios open = stand.LineSettings();
        QCOMPARE(bool(open.c_cflag & CRTSCTS), hardware);
        QCOMPARE(bool(open.c_iflag & IXON), software);
        QCOMPARE(bool(open.c_iflag & IXOFF), software);
        // The line parameters are ours all the same: 8 data bits, no parity, one stop bit.
        QCOMPARE(open.c_cflag & CSIZE, tcflag_t(CS8));
        QVERIFY(!(open.c_cflag & (PARENB | CSTOPB)));
        QCOMPARE(cfgetispeed(&open), speed_t(B57600));
        port.Close();
    }

    void ABusyReaderFindsABoundedBufferAndNothingLost()
    {
        // While the program cannot read (a dialog is open), the port holds at most its bound;
        // the rest waits on the line, and everything arrives once reading resumes.
        TPtyPeer stand(Fixture->Dir(), 1);
        TComPort port;
        port.SetDeviceName("\\\\.\\COM1");
        port.Open();
        const QByteArray sent(ComReadBufferLimit + ComReadBufferLimit / 2 + 17, 'x');
        std::atomic<qsizetype> written{0};
        std::thread writer([&] { stand.WriteBlocking(sent, &written); });
        // The port is full once the line stops taking bytes for a whole second while the event
        // loop runs (a slow machine only takes longer to get there).
        QElapsedTimer stalled;
        stalled.start();
        QElapsedTimer waited;
        waited.start();
        for (qsizetype seen = -1; stalled.elapsed() < 1000 && waited.elapsed() < 30000;) {
            QTest::qWait(20);
            if (written != seen) {
                seen = written;
                stalled.restart();
            }
        }
        qsizetype total = port.ReadAll().size();
        const qsizetype first = total;
        QElapsedTimer clock;
        clock.start();
        while (total < sent.size() && clock.elapsed() < 20000) {
            QTest::qWait(5);
            total += port.ReadAll().size();
        }
        stand.HangUp();  // lets the writer go should anything be missing
        writer.join();
        QVERIFY2(first <= ComReadBufferLimit, qPrintable(QString::number(first)));
        QVERIFY2(first >= ComReadBufferLimit / 2, qPrintable(QString::number(first)));
        QCOMPARE(total, sent.size());
        port.Close();
    }

    void AHangUpNamesThePortOnce()
    {
        TPtyPeer stand(Fixture->Dir(), 3);
        TComPort port;
        port.SetDeviceName("\\\\.\\COM3");
        port.Open();
        QSignalSpy errors(&port, &TComPort::ErrorOccurred);
        stand.HangUp();
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 3000);
        QTest::qWait(200);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0][0].toString(), QString("The connection to COM3 was lost (the device was closed or unplugged)."));
        QCOMPARE(errors[0][1].toBool(), false);  // nobody was calling: the link reports it
        port.Close();
    }
};

TARVIK_TEST(ComPortTest)
#include "ComPortTest.moc"
