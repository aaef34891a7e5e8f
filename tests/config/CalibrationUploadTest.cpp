// "Calibrate" on the Stand page: the 28 register requests on the line of a pseudo-terminal,
// fed on into the stand simulator, which stores them as the stand's firmware does.

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "PtyPeer.h"
#include "SettingsDialogSupport.h"
#include "StandSimulator.h"
#include "TestRegistry.h"
#include "config/AppSettings.h"
#include "config/Calibration.h"
#include "core/ProgramState.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {

const QByteArray Report = "!REP;Tarvik;ATE-12;2.14;2026-11-03;PSU-TS1;#";

// The requests of an upload with the default constants, in the order they leave.
QStringList DefaultUpload()
{
    QStringList frames;
    for (int reg = 0; reg <= 10; ++reg)
        frames << QString("!STR;%1;0015;0916;#").arg(reg, 2, 10, QChar('0'));
    for (int reg = 11; reg <= 21; ++reg)
        frames << QString("!STR;%1;0005;0700;#").arg(reg, 2, 10, QChar('0'));
    frames << "!STR;22;0000;0000;#" << "!STR;23;0000;0000;#" << "!STR;24;0000;0000;#"
           << "!STR;27;0000;0000;#"   // MT4
           << "!STR;25;0000;0000;#"   // MDAC
           << "!STR;26;0003;0300;#";  // AREF
    return frames;
}

QStringList Frames(const QByteArray& bytes)
{
    QStringList frames;
    const auto matches = QRegularExpression("![^#]*#").globalMatch(QString::fromLatin1(bytes));
    for (auto it = matches; it.hasNext();)
        frames << it.next().captured();
    return frames;
}

} // namespace

class CalibrationUploadTest : public QObject {
    Q_OBJECT
    std::optional<TSettingsDialogFixture> Fixture;
    std::optional<TPtyPeer> Stand;

    // A connected stand that polls nothing, so the line carries only the upload.
    void Connect(bool identify)
    {
        Fixture->WriteFile("settings.ini", "[General]\r\nGVTimeout=0\r\n");
        Stand.emplace(Fixture->Dir(), 1);
        TMForm& form = Fixture->Open();
        form.bConnect->click();
        Stand->ReadUntil("!!!;#", 2000);
        if (identify) {
            Stand->Write(Report);
            QTRY_VERIFY_WITH_TIMEOUT(StandIdentified, 2000);
        }
    }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup()
    {
        if (Fixture) {
            Fixture->CloseDialog();
            Fixture->Destroy();
        }
        Stand.reset();
        TARVIK_FINISH_DIALOG(Fixture);
    }

    void TheDefaultConstantsReachTheStandsRegisters()
    {
        Connect(false);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->ShowPage(2);
        dialog.bCalibrate->click();
        const QByteArray wire = Stand->ReadFor(300);
        const QStringList frames = Frames(wire);
        QCOMPARE(frames.size(), 28);
        QCOMPARE(frames.first(), QString("!STR;00;0015;0916;#"));
        QCOMPARE(frames.last(), QString("!STR;26;0003;0300;#"));
        QCOMPARE(frames, DefaultUpload());
        QCOMPARE(QString::fromLatin1(wire), frames.join(""));  // nothing else on the line

        TStandSimulator simulator;
        simulator.Receive(wire);
        QCOMPARE(simulator.CalibrationRegister(0)->IntegerPart, 15);
        QCOMPARE(simulator.CalibrationRegister(0)->Fraction, 916);
        QCOMPARE(simulator.CalibrationRegister(21)->Fraction, 700);
        QCOMPARE(simulator.CalibrationRegister(26)->IntegerPart, 3);
        QCOMPARE(simulator.CalibrationRegister(26)->Fraction, 300);
        QVERIFY(simulator.CalibrationRegister(MT4Register).has_value());
        QVERIFY(!simulator.CalibrationRegister(28).has_value());

        // The dialog stays open and nothing is saved.
        QVERIFY(dialog.isVisible());
        QCOMPARE(Fixture->ReadFile("settings.ini"), QByteArray("[General]\r\nGVTimeout=0\r\n"));
    }

    void EachConstantGoesToItsRegister_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("frame");
        QTest::newRow("M5Vstb") << "M5VstbEdit" << "16.5" << 2 << "!STR;02;0016;0500;#";
        QTest::newRow("M12V8") << "M12V8Edit" << "1" << 10 << "!STR;10;0001;0000;#";
        QTest::newRow("fraction rounding up loses the carry") << "M3V3Edit" << "15.9996" << 0 << "!STR;00;0015;0000;#";
        QTest::newRow("C3V3") << "C3V3Edit" << "5.705" << 11 << "!STR;11;0005;0705;#";
        QTest::newRow("C12V8") << "C12V8Edit" << "123.4" << 21 << "!STR;21;0123;0400;#";
        QTest::newRow("MT3") << "MT3Edit" << "0.25" << 24 << "!STR;24;0000;0250;#";
        QTest::newRow("MT4 after MT3") << "MT4Edit" << "1.5" << 25 << "!STR;27;0001;0500;#";
        QTest::newRow("MDAC 1") << "MdacList" << "1" << 26 << "!STR;25;0001;0000;#";
        QTest::newRow("AREF last") << "AREFEdit" << "2.048" << 27 << "!STR;26;0002;0048;#";
    }
    void EachConstantGoesToItsRegister()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(int, position);
        QFETCH(QString, frame);
        Connect(false);
        TSettingsForm& dialog = Fixture->OpenDialog();
        if (field == "MdacList")
            Fixture->Choose(field, value);
        else
            Fixture->Paste(field, value);
        dialog.bCalibrate->click();
        QStringList expected = DefaultUpload();
        expected[position] = frame;
        QCOMPARE(Frames(Stand->ReadFor(300)), expected);
    }

    void FramesFromTheStandAreDispatchedDuringTheUpload()
    {
        Connect(true);
        TMForm& form = *Fixture->Window();
        TSettingsForm& dialog = Fixture->OpenDialog();
        // Waiting in the port when Calibrate is pressed: only the upload's waits can take it in.
        Stand->Write("!VC;0;3.3;1;0;0;#");
        dialog.bCalibrate->click();
        QCOMPARE(FrontVoltageLabelTable[1]->text(), QString("+3.300 VDC"));
        QCOMPARE(Frames(Stand->ReadFor(300)).size(), 28);
        Fixture->CloseDialog();
        form.bDisconnect->click();
    }

    void AClosedPortStopsAtTheFirstRequest()
    {
        TMForm& form = Fixture->Open();
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("M3V3Edit", "16");
        Fixture->Paste("Vmax11", "13");
        dialog.bCalibrate->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "Can't perform this operation on a closed port.",
                                            TDialogIcon::Error)});
        QVERIFY(dialog.isVisible());
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
        // Every field was taken before the upload, and stays taken; nothing is saved.
        QCOMPARE(AppSettings.CalibrationSet.MValue[1], 16.0f);
        QCOMPARE(AppSettings.ChannelThresholds[11].Vmax, 13.0f);
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
        // Cancel keeps them in memory only.
        dialog.bCancel->click();
        QCOMPARE(AppSettings.CalibrationSet.MValue[1], 16.0f);
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
    }

    void AFieldThatIsNoNumberStopsCalibrateBeforeAnythingIsSent()
    {
        Connect(false);
        TSettingsForm& dialog = Fixture->OpenDialog();
        Fixture->Paste("AREFEdit", "3.3.");
        dialog.bCalibrate->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'3.3.' is not a valid floating point value.",
                                            TDialogIcon::Error)});
        QCOMPARE(Stand->ReadFor(300), QByteArray());
        QVERIFY(Connected);
    }
};

TARVIK_TEST(CalibrationUploadTest)
#include "CalibrationUploadTest.moc"
