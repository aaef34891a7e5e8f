// The serial-port class itself on a pseudo-terminal: what it keeps of the line's settings.

#include <QTest>
#include <optional>

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
};

TARVIK_TEST(ComPortTest)
#include "ComPortTest.moc"
