// Manual loading as the operator uses it: the power check of each rail group, the inverted
// load bars and their fields, "Set" and "SET ALL" with the frames they put on the wire, and
// the bars following a new maximum current.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <optional>

#include "HandPlayedStand.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"
#include "monitor/ManualLoading.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

using Settings = QList<int>;  // load channels 1..11 in order; missing ones are 0

namespace {
IndexedArray<uint8_t, 1, LoadChannelCount> MakeSettings(const Settings& amps)
{
    IndexedArray<uint8_t, 1, LoadChannelCount> settings{};
    for (int n = 1; n <= amps.size(); ++n)
        settings[n] = static_cast<uint8_t>(amps[n - 1]);
    return settings;
}

Settings CurrentSettings()
{
    Settings amps;
    for (int n = 1; n <= LoadChannelCount; ++n)
        amps << LoadSettings[n];
    return amps;
}

TTrackBar* Bar(int n) { return qobject_cast<TTrackBar*>(MForm->PSUCBar[n]); }

QString ErrorBox(const QString& text) { return DescribeDialog("Error", ApplicationTitle(), text, TDialogIcon::Error); }
} // namespace

class ManualLoadingTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;
    std::optional<TPtyPeer> Stand;

    // The operator types `text` into channel n's field and presses Enter.
    void Type(int n, const QString& text)
    {
        QLineEdit* edit = MForm->PSUCEdit[n];
        edit->setFocus();
        edit->clear();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    TMForm& OpenConnected() { return OpenWithHandPlayedStand(*Fixture, Stand); }

private slots:
    void init() { Fixture.emplace(); }
    void cleanup()
    {
        if (Fixture)
            Fixture->Destroy();
        Stand.reset();
        TARVIK_FINISH_WINDOW(Fixture);
    }

    void PowerCheckOfEachRailGroup_data()
    {
        QTest::addColumn<Settings>("others");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("channel");
        QTest::addColumn<double>("lowLimit");
        QTest::addColumn<double>("highLimit");
        QTest::addColumn<bool>("within");
        // +3.3V and +5V share the first limit.
        QTest::newRow("+3.3V 15 A beside +5V 10 A: 99.5 W of 100") << Settings{0, 10} << 15 << 1 << 100.0 << 1200.0 << true;
        QTest::newRow("+3.3V 16 A beside +5V 10 A: 102.8 W of 100") << Settings{0, 10} << 16 << 1 << 100.0 << 1200.0 << false;
        QTest::newRow("+5V 10 A beside +3.3V 15 A") << Settings{15, 0} << 10 << 2 << 100.0 << 1200.0 << true;
        QTest::newRow("+5V at exactly the limit") << Settings{0, 0} << 20 << 2 << 100.0 << 1200.0 << true;
        QTest::newRow("+5V one ampere over") << Settings{0, 0} << 21 << 2 << 100.0 << 1200.0 << false;
        QTest::newRow("the +12V rails do not count for +3.3V") << Settings{0, 0, 0, 30, 30, 30, 30, 30, 30, 30, 30}
                                                               << 30 << 1 << 100.0 << 100.0 << true;
        // The +12V rails share the second limit.
        QTest::newRow("+12V8 30 A with the others at 10 A: exactly 1200 W")
            << Settings{0, 0, 0, 10, 10, 10, 10, 10, 10, 10, 10} << 30 << 11 << 300.0 << 1200.0 << true;
        QTest::newRow("+12V8 31 A with the others at 10 A")
            << Settings{0, 0, 0, 10, 10, 10, 10, 10, 10, 10, 10} << 31 << 11 << 300.0 << 1200.0 << false;
        QTest::newRow("a +12V channel's own old setting is replaced, not added")
            << Settings{0, 0, 0, 100} << 100 << 4 << 300.0 << 1200.0 << true;
        QTest::newRow("+3.3V and +5V do not count for +12V") << Settings{200, 200, 200} << 100 << 4 << 0.0 << 1200.0
                                                             << true;
        // The standby rail is never limited.
        QTest::newRow("+5Vstb at 255 A against no power at all") << Settings{255, 255} << 255 << 3 << 0.0 << 0.0 << true;
    }
    void PowerCheckOfEachRailGroup()
    {
        QFETCH(Settings, others);
        QFETCH(int, current);
        QFETCH(int, channel);
        QFETCH(double, lowLimit);
        QFETCH(double, highLimit);
        QFETCH(bool, within);
        QCOMPARE(LoadWithinLimits(MakeSettings(others), current, channel, TLoadPowerLimits{lowLimit, highLimit}), within);
    }

    void TheLimitsComeFromTheFrontPanelAtEachCheck()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[1]->setText(QString());
        form.ATEdit[2]->setText(QString());
        QCOMPARE(FrontPanelLoadLimits().LowVoltage, 300.0);
        QCOMPARE(FrontPanelLoadLimits().HighVoltage, 1200.0);
        form.ATEdit[1]->setText("50");
        QVERIFY(LoadPowerCheck(15, 1));   // 49.5 W
        QVERIFY(!LoadPowerCheck(16, 1));  // 52.8 W
        form.ATEdit[1]->setText("60");
        QVERIFY(LoadPowerCheck(16, 1));
    }

    void TheBarsShowTheMaximumAtTheTop()
    {
        TMForm& form = Fixture->Open();
        // +3.3V: 20 A at most by default. No load: the thumb at the bottom end.
        TTrackBar* bar = Bar(1);
        QVERIFY(bar);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 20);
        QCOMPARE(bar->value(), 20);
        QVERIFY2(bar->ThumbRect().center().y() > bar->height() * 3 / 4,
                 qPrintable(QString::number(bar->ThumbRect().center().y())));
        // Up on the keyboard moves the thumb up: one ampere more.
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_Up);
        QCOMPARE(bar->value(), 19);
        QCOMPARE(LoadSettings[1], uint8_t(1));
        QCOMPARE(form.EstPower[1]->text(), QString("3.30 W"));
        const int oneAmpY = bar->ThumbRect().center().y();
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(LoadSettings[1], uint8_t(0));
        QVERIFY(bar->ThumbRect().center().y() > oneAmpY);
        // The full current: the thumb at the top end.
        Type(1, "20");
        QCOMPARE(bar->value(), 0);
        QVERIFY(bar->ThumbRect().center().y() < bar->height() / 4);
    }

    void AMovedBarIsCheckedAndSpringsBack()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[1]->setText("100");
        Type(2, "10");  // +5V: 50 W
        QCOMPARE(LoadSettings[2], uint8_t(10));
        QCOMPARE(form.EstPower[2]->text(), QString("50.00 W"));
        QSlider* bar = form.PSUCBar[1];
        bar->setValue(20 - 15);  // as a drag does
        QCOMPARE(LoadSettings[1], uint8_t(15));
        QCOMPARE(form.PSUCEdit[1]->text(), QString("15"));
        QCOMPARE(form.EstPower[1]->text(), QString("49.50 W"));
        bar->setValue(20 - 16);
        QCOMPARE(bar->value(), 20 - 15);
        QCOMPARE(LoadSettings[1], uint8_t(15));
        QCOMPARE(form.PSUCEdit[1]->text(), QString("15"));
        QCOMPARE(form.EstPower[1]->text(), QString("49.50 W"));
        // Nothing is sent by moving a bar: there is no port open, and no dialog says so.
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }

    void EnterInASetpointField_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("setting");
        QTest::addColumn<QString>("shown");
        // +12V4: 30 A at most by default.
        QTest::newRow("a value") << 7 << "12" << 12 << "12";
        QTest::newRow("260 wraps to 4") << 7 << "260" << 4 << "4";
        QTest::newRow("above the maximum ends at the maximum") << 7 << "40" << 30 << "30";
        QTest::newRow("refused: the text returns to the setting") << 7 << "101" << 0 << "0";
        QTest::newRow("letters never reach the field") << 7 << "1a2" << 12 << "12";
        QTest::newRow("+5Vstb up to its maximum whatever the limits") << 3 << "10" << 10 << "10";
    }
    void EnterInASetpointField()
    {
        QFETCH(int, channel);
        QFETCH(QString, typed);
        QFETCH(int, setting);
        QFETCH(QString, shown);
        TMForm& form = Fixture->Open();
        form.ATEdit[1]->setText("1");
        form.ATEdit[2]->setText("1200");
        Type(channel, typed);
        QCOMPARE(int(LoadSettings[channel]), setting);
        QCOMPARE(form.PSUCEdit[channel]->text(), shown);
        QCOMPARE(form.PSUCBar[channel]->value(), form.PSUCBar[channel]->maximum() - setting);
        QCOMPARE(form.EstPower[channel]->text(), EstimatedPowerText(channel, setting));
    }

    void AFieldThatIsNotANumberIsReportedAndChangesNothing()
    {
        TMForm& form = Fixture->Open();
        Type(4, "");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("'' is not a valid integer value.")});
        form.ATEdit[2]->setText("12x");  // pasted: the field's filter does not see it
        Type(4, "5");
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{ErrorBox("'12x' is not a valid integer value.")});
        QCOMPARE(CurrentSettings(), Settings(11, 0));
        QCOMPARE(form.PSUCBar[4]->value(), 25);
        form.ATEdit[2]->setText("1200");  // the exit saves the field
    }

    void SetSendsTheStoredSettingOfItsOwnChannel()
    {
        TMForm& form = OpenConnected();
        form.PSUCBar[4]->setValue(25 - 5);
        form.bSet[5]->click();
        QCOMPARE(Stand->ReadUntil("#", 1000), QByteArray("!SC;4;00;#"));
        form.PSUCEdit[4]->setText("9");  // typed, not entered: not the setting
        form.bSet[4]->click();
        QCOMPARE(Stand->ReadUntil("#", 1000), QByteArray("!SC;3;05;#"));
        Type(11, "20");
        form.bSet[11]->click();
        QCOMPARE(Stand->ReadUntil("#", 1000), QByteArray("!SC;10;20;#"));
    }

    void SetAllSetsEveryChannelAndSendsElevenFrames_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("amps");
        QTest::newRow("manual-loading page, 1 A") << "bSetAll1" << 1;
        QTest::newRow("front panel, 1 A") << "AdvGlowButton3" << 1;
        QTest::newRow("manual-loading page, 0 A") << "bSetAll0" << 0;
        QTest::newRow("front panel, 0 A") << "AdvGlowButton5" << 0;
    }
    void SetAllSetsEveryChannelAndSendsElevenFrames()
    {
        QFETCH(QString, button);
        QFETCH(int, amps);
        TMForm& form = OpenConnected();
        Type(4, "7");
        // Limits so low that no check would let 1 A through: SET ALL does not check.
        form.ATEdit[1]->setText("1");
        form.ATEdit[2]->setText("1");
        form.findChild<QPushButton*>(button)->click();
        QCOMPARE(CurrentSettings(), Settings(11, amps));
        QByteArray expected;
        for (int n = 0; n <= 10; ++n)
            expected += QStringLiteral("!SC;%1;%2;#").arg(n).arg(amps, 2, 10, QChar('0')).toLatin1();
        QCOMPARE(Stand->ReadUntil(expected, 3000), expected);
        for (int n = 1; n <= 11; ++n) {
            QCOMPARE(form.PSUCEdit[n]->text(), QString::number(amps));
            QCOMPARE(form.PSUCBar[n]->value(), form.PSUCBar[n]->maximum() - amps);
        }
        if (amps == 1) {
            const QStringList labels{form.EstPower[1]->text(), form.EstPower[2]->text(), form.EstPower[3]->text(),
                                     form.EstPower[4]->text()};
            QCOMPARE(labels, (QStringList{"3.30 W", "5.00 W", "5.00 W", "12.00 W"}));
        }
    }

    void SetAllLeavesItsFramesAtLeast50msApart()
    {
        TMForm& form = OpenConnected();
        form.bSetAll1->click();  // returns when the last frame has gone and its wait is over
        QCOMPARE(Stand->ReadFor(20).count("!SC;"), 11);
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
    }

    void SetAllOnAClosedPortChangesTheSettingsAndSendsNothing()
    {
        TMForm& form = Fixture->Open();
        form.bSetAll1->click();
        QCOMPARE(CurrentSettings(), Settings(11, 1));
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{ErrorBox("Can't perform this operation on a closed port.")});
    }

    void ASmallerMaximumKeepsWhatStillFits()
    {
        TMForm& form = Fixture->Open();
        AppSettings.DutDescription.MaxCurrent[4] = 35;
        AppSettings.DutDescription.MaxCurrent[5] = 35;
        RefreshLoadControls();
        Type(4, "5");
        Type(5, "25");
        QCOMPARE(form.PSUCBar[5]->value(), 10);
        AppSettings.DutDescription.MaxCurrent[4] = 20;
        AppSettings.DutDescription.MaxCurrent[5] = 20;
        RefreshLoadControls();
        QCOMPARE(LoadSettings[4], uint8_t(5));
        QCOMPARE(LoadSettings[5], uint8_t(20));
        QCOMPARE(form.PSUCBar[4]->maximum(), 20);
        QCOMPARE(form.PSUCBar[4]->value(), 15);
        QCOMPARE(form.PSUCBar[5]->value(), 0);
        QCOMPARE(form.PSUCEdit[5]->text(), QString("20"));
        QCOMPARE(form.EstPower[5]->text(), QString("240.00 W"));
        // A larger maximum again moves no setting.
        AppSettings.DutDescription.MaxCurrent[5] = 35;
        RefreshLoadControls();
        QCOMPARE(LoadSettings[5], uint8_t(20));
        QCOMPARE(form.PSUCBar[5]->value(), 15);
    }
};

TARVIK_TEST(ManualLoadingTest)
#include "ManualLoadingTest.moc"
