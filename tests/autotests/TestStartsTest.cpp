// The four stand-run tests from the operator's side: what each start button sends for the
// auto-testing fields as typed, which empty field it refuses, the verdict marks, and the run
// state of the buttons as the stand's frames drive it.

#include <QLabel>
#include <QStatusBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "HandPlayedStand.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "core/ProgramState.h"
#include "link/Connection.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {
QString ErrorBox(const QString& text) { return DescribeDialog("Error", ApplicationTitle(), text, TDialogIcon::Error); }

QStringList Marks()
{
    QStringList marks;
    for (int n = 1; n <= 11; ++n)
        marks << PassLabelTable[n]->text();
    return marks;
}
} // namespace

class TestStartsTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;
    std::optional<TPtyPeer> Stand;

    TMForm& OpenConnected() { return OpenWithHandPlayedStand(*Fixture, Stand); }

    void Receive(const QString& chunk) { GuardEvent([&] { ProcessReceivedText(chunk); }); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup()
    {
        if (Fixture)
            Fixture->Destroy();
        Stand.reset();
        TARVIK_FINISH_WINDOW(Fixture);
    }

    void StartButtonsSendTheirFrames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("fields");  // ATEdit1 .. ATEdit7
        QTest::addColumn<QString>("frame");       // empty: refused with "Incorrect values!"
        QTest::addColumn<bool>("marksReset");
        const QStringList usual{"300", "1200", "1500", "2", "0", "200", "50"};
        const auto with = [&](int field, const QString& text) {
            QStringList fields = usual;
            fields[field - 1] = text;
            return fields;
        };
        QTest::newRow("KHX") << "bATStart" << usual << "!ATS;0300;1200;1500;2;0;#" << true;
        QTest::newRow("KHX zero-fills to four digits")
            << "bATStart" << QStringList{"5", "1200", "600", "2", "0", "", ""} << "!ATS;0005;1200;0600;2;0;#" << true;
        QTest::newRow("KHX sends a longer value whole") << "bATStart" << with(3, "12345")
                                                        << "!ATS;0300;1200;12345;2;0;#" << true;
        QTest::newRow("KHX needs MP +3.3/+5") << "bATStart" << with(1, "") << "" << false;
        QTest::newRow("KHX needs the PSU type") << "bATStart" << with(5, "") << "" << false;
        QTest::newRow("Noise") << "bStartNoise" << usual << "!NTS;0300;1200;1500;2;0;#" << true;
        QTest::newRow("Noise needs the 12V rails") << "bStartNoise" << with(4, "") << "" << false;
        QTest::newRow("Noise needs the total") << "bStartNoise" << with(3, "") << "" << false;
        QTest::newRow("PFC") << "bStartPFC" << usual << "!FAMC;0200;1500;1200;0300;0;#" << false;
        QTest::newRow("PFC with 50 steps") << "bStartPFC" << with(6, "50") << "!FAMC;0050;1500;1200;0300;0;#" << false;
        QTest::newRow("PFC sends an empty power field empty") << "bStartPFC" << with(1, "")
                                                              << "!FAMC;0200;1500;1200;;0;#" << false;
        QTest::newRow("PFC refuses an empty PSU type") << "bStartPFC" << with(5, "") << "" << false;
        QTest::newRow("+5Vstb") << "bSTStart" << usual << "!STS;0050;0200;#" << true;
        QTest::newRow("+5Vstb 5 W in 20 steps") << "bSTStart" << with(7, "5").replaceInStrings("200", "20")
                                                << "!STS;0005;0020;#" << true;
        QTest::newRow("+5Vstb needs its power") << "bSTStart" << with(7, "") << "" << false;
        QTest::newRow("+5Vstb needs the steps") << "bSTStart" << with(6, "") << "" << false;
        QTest::newRow("+5Vstb does not need the KHX fields") << "bSTStart" << QStringList{"", "", "", "", "", "1", "1"}
                                                             << "!STS;0001;0001;#" << true;
    }
    void StartButtonsSendTheirFrames()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, fields);
        QFETCH(QString, frame);
        QFETCH(bool, marksReset);
        TMForm& form = OpenConnected();
        for (int n = 1; n <= 7; ++n)
            form.ATEdit[n]->setText(fields[n - 1]);
        form.findChild<QPushButton*>(button)->click();
        if (frame.isEmpty()) {
            QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", ApplicationTitle(), "Incorrect values!")});
            QCOMPARE(Stand->ReadFor(100), QByteArray());
        } else {
            QVERIFY(Fixture->Dialogs.Calls.isEmpty());
            QCOMPARE(Stand->ReadUntil("#", 1000), frame.toLatin1());
        }
        QCOMPARE(Marks(), QStringList(11, marksReset ? "FAIL" : "PASS"));
        // The buttons wait for the stand.
        QVERIFY(form.findChild<QPushButton*>(button)->isEnabled());
        for (int n = 1; n <= 7; ++n)
            form.ATEdit[n]->setText("1");  // the exit saves the fields
    }

    void AStartHereShowsTheExpectedCount()
    {
        TMForm& form = OpenConnected();
        form.ATEdit[6]->setText("150");
        form.bSTStart->click();  // no acknowledgement: under way at once
        QCOMPARE(form.StatusPanel[0]->text(), QString("+5Vstb: 0 of 150 points"));
        form.bATStart->click();
        QCOMPARE(form.StatusPanel[0]->text(), QString("+5Vstb: 0 of 150 points"));  // until the stand answers
        Receive("!AT;#!G;0;3.3;1;#");
        QCOMPARE(form.StatusPanel[0]->text(), QString("KHX: 0 of 12,000 points"));
        form.bStartPFC->click();
        Receive("!FAMS;#");
        QCOMPARE(form.StatusPanel[0]->text(), QString("PFC: 0 of 150 points"));
        form.bDisconnect->click();
        QCOMPARE(form.StatusPanel[0]->text(), QString());
    }

    void AStartOnAClosedPortHasSetTheMarksAlready()
    {
        TMForm& form = Fixture->Open();
        form.bATStart->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("Can't perform this operation on a closed port.")});
        QCOMPARE(Marks(), QStringList(11, "FAIL"));
    }

    void TheStandsFramesDriveTheButtons_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("started");  // empty: the test has no acknowledgement
        QTest::addColumn<QString>("ended");
        QTest::newRow("KHX") << "bATStart" << "bATStop" << "!AT;#" << "!ATE;#";
        QTest::newRow("Noise") << "bStartNoise" << "bStopNoise" << "!NTS;#" << "!NTE;#";
        QTest::newRow("PFC") << "bStartPFC" << "bStopPFC" << "!FAMS;#" << "!FAE;#";
        QTest::newRow("+5Vstb") << "bSTStart" << "bSTStop" << "" << "!STE;#";
    }
    void TheStandsFramesDriveTheButtons()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, started);
        QFETCH(QString, ended);
        TMForm& form = OpenConnected();
        auto* startButton = form.findChild<QPushButton*>(start);
        auto* stopButton = form.findChild<QPushButton*>(stop);
        // A stand-side start the program knows no frame for leaves the buttons as they are.
        Receive("!STS;#");
        QVERIFY(startButton->isEnabled() && !stopButton->isEnabled());
        if (!started.isEmpty()) {
            Receive(started);
            QVERIFY(!startButton->isEnabled() && stopButton->isEnabled());
            QCOMPARE(CrossLoadRunning, start == "bATStart");
            // Stop has no action: the stand knows no request that stops a run.
            stopButton->click();
            QCOMPARE(Stand->ReadFor(100), QByteArray());
        }
        Receive(ended);
        QVERIFY(startButton->isEnabled() && !stopButton->isEnabled());
        QVERIFY(!CrossLoadRunning);
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }
};

TARVIK_TEST(TestStartsTest)
#include "TestStartsTest.moc"
