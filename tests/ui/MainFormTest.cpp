#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QTimer>
#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <optional>

#include "TestRegistry.h"
#include "WindowFixture.h"
#include "config/AppSettings.h"
#include "core/ProgramState.h"
#include "graphs/GraphImage.h"
#include "ui/ChannelControls.h"
#include "ui/Widgets.h"

namespace {

QColor TextColor(const QWidget* widget) { return widget->palette().color(QPalette::WindowText); }

// Every control of the channel tables is the control of its name, with the channel as tag
// where the table says so.
template <typename Control, int First, int Last>
void CheckTable(const IndexedArray<Control*, First, Last>& table, TMForm& form, const QString& pattern, bool tagged)
{
    for (int n = First; n <= Last; ++n) {
        const QString name = pattern.arg(n);
        QVERIFY2(table[n] != nullptr, qPrintable(name));
        QCOMPARE(table[n]->objectName(), name);
        QCOMPARE(table[n], form.findChild<Control*>(name));
        if (tagged)
            QCOMPARE(Tag(table[n]), n);
    }
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    // A text colour is set once and then left alone while it holds, but whatever changed the
    // palette in between (another routine, a palette of the parent's) never keeps it stale.
    void TextColoursFollowEveryRequest()
    {
        QWidget parent;
        auto* label = new QLabel(&parent);
        const auto text = [label] { return label->palette().color(QPalette::WindowText); };
        SetTextColor(label, Qt::red);
        QCOMPARE(text(), QColor(Qt::red));
        SetTextColor(label, Qt::red);
        QCOMPARE(text(), QColor(Qt::red));
        SetTextColor(label, Qt::green);
        QCOMPARE(text(), QColor(Qt::green));
        QPalette blue = label->palette();
        blue.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(blue);
        SetTextColor(label, Qt::green);
        QCOMPARE(text(), QColor(Qt::green));
        label->setPalette(QPalette());  // back to what the parent gives
        SetTextColor(label, Qt::green);
        QCOMPARE(text(), QColor(Qt::green));
        QPalette disabledBlue = label->palette();
        disabledBlue.setColor(QPalette::Disabled, QPalette::WindowText, Qt::blue);
        label->setPalette(disabledBlue);
        SetTextColor(label, Qt::green);
        QCOMPARE(label->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(Qt::green));
    }

    void ChannelTablesPointAtTheirControls()
    {
        TMForm& form = Fixture->Open();
        CheckTable(LoadEditTable, form, "PSUC%1Edit", true);
        CheckTable(LoadBarTable, form, "PSUC%1Bar", true);
        CheckTable(CurrentLabelTable, form, "C%1Sensor", true);
        CheckTable(VoltageLabelTable, form, "V%1Sensor", true);
        CheckTable(PowerLabelTable, form, "P%1Sensor", true);
        CheckTable(EstPowerLabelTable, form, "EstPower%1", true);
        CheckTable(NoiseLevelLabelTable, form, "NL%1Sensor", true);
        CheckTable(NoiseFreqLabelTable, form, "NF%1Sensor", true);
        CheckTable(PassLabelTable, form, "CP%1Status", true);
        CheckTable(FrontVoltageLabelTable, form, "FPV%1Sensor", false);
        CheckTable(FrontCurrentLabelTable, form, "FPC%1Sensor", false);
        CheckTable(FrontNoiseLevelLabelTable, form, "FPNL%1Sensor", false);
        CheckTable(FrontNoiseFreqLabelTable, form, "FPNF%1Sensor", false);
        CheckTable(FrontDeviationLabelTable, form, "FPVD%1Sensor", false);
        CheckTable(FrontPassLabelTable, form, "FPCP%1Status", false);
        CheckTable(GraphImages, form, "Image%1", true);
        CheckTable(TemperatureLabelTable, form, "T%1Sensor", false);
        // The sub-page of each image carries the image's number too.
        for (int n = 1; n <= 26; ++n) {
            QCOMPARE(GraphImages[n]->parentWidget(), form.GraphSheet[n]);
            QCOMPARE(Tag(form.GraphSheet[n]), n);
        }
        for (int n = 1; n <= 11; ++n)
            QCOMPARE(Tag(form.bSet[n]), n);
    }

    void StartUpPreparesTheFrontPanel()
    {
        TMForm& form = Fixture->Open();
        QCOMPARE(form.PC->currentWidget(), form.TabFrontPanel);
        QCOMPARE(form.KHX_GPC->currentIndex(), 0);
        QCOMPARE(form.Eff_GPC->currentIndex(), 0);
        QCOMPARE(form.Noise_GPC->currentIndex(), 0);
        for (int n = 1; n <= 12; ++n) {
            QCOMPARE(FrontDeviationLabelTable[n]->text(), QString());
            QCOMPARE(FrontPassLabelTable[n]->text(), QString());
            QCOMPARE(FrontDeviationLabelTable[n]->x(), 65);
            QVERIFY(!FrontVoltageLabelTable[n]->isHidden());
        }
        // The -12V panel shows only its voltage.
        QVERIFY(FrontPassLabelTable[12]->isHidden());
        QVERIFY(FrontDeviationLabelTable[12]->isHidden());
        QVERIFY(FrontCurrentLabelTable[12]->isHidden());
        QVERIFY(FrontNoiseLevelLabelTable[12]->isHidden());
        QVERIFY(FrontNoiseFreqLabelTable[12]->isHidden());
        QStringList channels;
        for (int i = 0; i < form.ChannelList->count(); ++i)
            channels << form.ChannelList->itemText(i);
        QCOMPARE(channels, (QStringList{"+3.3V", "+5V", "+5Vstb", "+12V1", "+12V2", "+12V3", "+12V4", "+12V5",
                                        "+12V6", "+12V7", "+12V8"}));
        QCOMPARE(form.ChannelList->currentIndex(), 0);
        QCOMPARE(VersionString, ProgramVersionString());
        QCOMPARE(AppDir, Fixture->Dir());
    }

    void WindowLayout()
    {
        TMForm& form = Fixture->Open();
        QCOMPARE(form.windowTitle(), QString("tarvik.example Tarvik ATE Control"));
        QCOMPARE(form.centralWidget()->size(), QSize(1083, 636));
        QCOMPARE(form.height() - form.menuBar()->height(), 655);
        QCOMPARE(form.PC->geometry(), QRect(0, 0, 918, 636));
        QCOMPARE(form.RPanel->geometry(), QRect(918, 0, 165, 636));
        QCOMPARE(DesignWidth, form.width());
        QCOMPARE(DesignHeight, form.height());
        QCOMPARE(ChromeHeight, form.height() - 636);
        QStringList tabs;
        for (int i = 0; i < form.PC->count(); ++i)
            tabs << form.PC->widget(i)->objectName() + "=" + form.PC->tabText(i);
        QCOMPARE(tabs, (QStringList{"TabFrontPanel=Front Panel", "TabTesting=Manual loading", "TabKHX=KHX",
                                    "TabEfficiency=Efficiency", "TabNoise=Noise", "Tab5VStb=+5Vstb test",
                                    "TabDebug=Debug"}));
        QCOMPARE(form.FrontPanel[1]->objectName(), QString("AdvPanel1"));
        QCOMPARE(form.FrontPanel[3]->geometry(), QRect(152, 0, 150, 150));
        QCOMPARE(form.FrontPanel[12]->geometry(), QRect(0, 0, 150, 150));
        QCOMPARE(form.CHGB[11]->geometry(), QRect(8 + 64 * 10, 0, 57, 569));
        // Start-up replaces the design range by the DUT's maximum current; no load = the bottom end.
        QCOMPARE(form.PSUCBar[4]->maximum(), 25);
        QCOMPARE(form.PSUCBar[4]->value(), 25);
        QCOMPARE(form.PSUCBar[4]->geometry(), QRect(8, 97, 40, 393));
        // Stop buttons and Disconnect wait for the stand.
        for (QPushButton* button : {form.bATStop, form.bStopPFC, form.bStopNoise, form.bSTStop, form.bStopTR,
                                    form.bDisconnect})
            QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
        QCOMPARE(form.ConnectInfoLabel->text(), QString("Disconnected"));
        QCOMPARE(TextColor(form.ErrorLabel), QColor(0, 128, 0));
        QCOMPARE(form.FrontPanelErrorPanel->text(), QString("Status: No errors"));
        QCOMPARE(TextColor(form.FrontPanelErrorPanel), QColor(0, 128, 0));
        QCOMPARE(form.StatusPanel[0]->width(), 600);
        QCOMPARE(form.StatusPanel[1]->width(), 100);
        QCOMPARE(form.StatusPanel[2]->width(), 50);
        QCOMPARE(form.GVTimer->interval(), 100);
        QVERIFY(!form.GVTimer->isActive() && !form.PSUOnTimer->isActive());
        QCOMPARE(form.PSUOnTimer->interval(), 1000);
        QCOMPARE(form.Graph_FAN_TLabel->text(), QString("Temp, °C:"));
        QCOMPARE(form.TSensor[2]->text(), QString("T2, °C:"));

        // Grown around a graph, the page control takes the width and the panel stays right.
        form.ResizeWindow(1500, form.height() + 200);
        QCOMPARE(form.PC->geometry(), QRect(0, 0, 1500 - 165, 836));
        QCOMPARE(form.RPanel->geometry(), QRect(1500 - 165, 0, 165, 836));
        form.ResizeWindow(9000, 9000);
        QCOMPARE(form.size(), QSize(5000, 5000));
    }

    void DefaultsWithoutSettingsFile()
    {
        TMForm& form = Fixture->Open();
        QStringList fields;
        for (int n = 1; n <= 7; ++n)
            fields << form.ATEdit[n]->text();
        QCOMPARE(fields, (QStringList{"200", "1200", "1400", "2", "0", "200", "50"}));
        QVERIFY(!form.PC->isTabVisible(form.PC->indexOf(form.TabDebug)));
        QVERIFY(!form.PC->isTabVisible(form.PC->indexOf(form.TabEfficiency)));
        QCOMPARE(form.PC->indexOf(form.Tab5VStb), 5);  // hidden tabs keep their indices
        QVERIFY(form.BlockAC->isHidden());
        for (int n = 1; n <= 11; ++n) {
            QVERIFY(NoiseLevelLabelTable[n]->isHidden() && NoiseFreqLabelTable[n]->isHidden());
            QVERIFY(FrontNoiseLevelLabelTable[n]->isHidden() && FrontNoiseFreqLabelTable[n]->isHidden());
        }
        // The transient-response fields show channel 1's empty record, replacing "5000".
        QCOMPARE(form.TRCEdit->text(), QString("0"));
        QCOMPARE(form.TRIEdit->text(), QString("0"));
        QVERIFY(!form.cbTREnable->isChecked());
        QCOMPARE(form.CHGB[1]->palette().color(QPalette::Window), QColor(255, 242, 230));
        QCOMPARE(form.CHGB[3]->palette().color(QPalette::Window), QColor(255, 230, 230));
        QCOMPARE(form.CHGB[11]->palette().color(QPalette::Window), QColor(255, 255, 227));
    }

    void GeneralKeysSwitchPagesAndReadings_data()
    {
        QTest::addColumn<QByteArray>("general");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("efficiency");
        QTest::addColumn<bool>("noise");
        QTest::newRow("debug") << QByteArray("Debug=52917") << true << false << false;
        QTest::newRow("other debug value") << QByteArray("Debug=1") << false << false << false;
        QTest::newRow("efficiency") << QByteArray("EFC_PFC_Test=1") << false << true << false;
        QTest::newRow("12-bit converter") << QByteArray("Extended_ADC=12") << false << false << true;
        QTest::newRow("24-bit converter") << QByteArray("Extended_ADC=24") << false << false << true;
        QTest::newRow("other converter") << QByteArray("Extended_ADC=16") << false << false << false;
    }
    void GeneralKeysSwitchPagesAndReadings()
    {
        QFETCH(QByteArray, general);
        QFETCH(bool, debug);
        QFETCH(bool, efficiency);
        QFETCH(bool, noise);
        Fixture->WriteFile("settings.ini", "[General]\r\n" + general + "\r\n");
        TMForm& form = Fixture->Open();
        QCOMPARE(form.PC->isTabVisible(form.PC->indexOf(form.TabDebug)), debug);
        QCOMPARE(form.PC->isTabVisible(form.PC->indexOf(form.TabEfficiency)), efficiency);
        QCOMPARE(!form.BlockAC->isHidden(), efficiency);
        for (int n = 1; n <= 11; ++n) {
            QCOMPARE(!NoiseLevelLabelTable[n]->isHidden(), noise);
            QCOMPARE(!FrontNoiseFreqLabelTable[n]->isHidden(), noise);
        }
        QVERIFY(FrontNoiseLevelLabelTable[12]->isHidden());
    }

    void NumberFieldsTakeOnlyDigits()
    {
        TMForm& form = Fixture->Open();
        for (QLineEdit* edit : {form.ATEdit[1], form.ATEdit[6], form.TRCEdit, form.TRIEdit}) {
            edit->clear();
            QTest::keyClicks(edit, "1a-.2");
            QTest::keyClick(edit, Qt::Key_Backspace);
            QTest::keyClicks(edit, "3");
            QCOMPARE(edit->text(), QString("13"));
        }
        form.ATEdit[1]->clear();
        QTest::keyClicks(form.ATEdit[1], "12a3");
        QCOMPARE(form.ATEdit[1]->text(), QString("123"));
        // Pasting is not typing: the text goes in as it is.
        QApplication::clipboard()->setText("4x");
        form.ATEdit[1]->clear();
        QTest::keyClick(form.ATEdit[1], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.ATEdit[1]->text(), QString("4x"));
        form.ATEdit[1]->setText("200");
    }

    void FieldLengthsLimitTypingAndPasting_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("limit");
        for (int n : {1, 2, 3, 7})
            QTest::newRow(qPrintable(QString("ATEdit%1").arg(n))) << QString("ATEdit%1").arg(n) << 4;
        QTest::newRow("ATEdit4") << "ATEdit4" << 1;
        QTest::newRow("ATEdit5") << "ATEdit5" << 1;
        QTest::newRow("ATEdit6") << "ATEdit6" << 3;
        QTest::newRow("TRCEdit") << "TRCEdit" << 2;
        QTest::newRow("TRIEdit") << "TRIEdit" << 4;
    }
    void FieldLengthsLimitTypingAndPasting()
    {
        QFETCH(QString, field);
        QFETCH(int, limit);
        TMForm& form = Fixture->Open();
        auto* edit = form.findChild<QLineEdit*>(field);
        edit->clear();
        QTest::keyClicks(edit, "123456789");
        QCOMPARE(edit->text(), QString("123456789").left(limit));
        // Typing over a selection replaces it.
        edit->selectAll();
        QTest::keyClicks(edit, "98");
        QCOMPARE(edit->text(), QString("98").left(limit));
        // A paste takes what fits.
        QApplication::clipboard()->setText("5x7654321");
        edit->clear();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QString("5x7654321").left(limit));
        edit->setText("0");
    }

    void StoredValuesWiderThanTheirFieldsStayWhole()
    {
        // A length limit stops typing; what the program writes into a field stays whole, and
        // the exit saves it back unchanged.
        Fixture->WriteFile("settings.ini", "[ATS]\r\nsteps=1000\r\nl_max_power=12345\r\nrails_12V=12\r\n"
                                           "[TR]\r\nCurrent1=200\r\nInterval1=12345\r\n");
        TMForm& form = Fixture->Open();
        QCOMPARE(form.ATEdit[6]->text(), QString("1000"));
        QCOMPARE(form.ATEdit[1]->text(), QString("12345"));
        QCOMPARE(form.ATEdit[4]->text(), QString("12"));
        QCOMPARE(form.TRCEdit->text(), QString("200"));
        QCOMPARE(form.TRIEdit->text(), QString("12345"));
        // Such a field takes no more typing, but can be shortened.
        form.ATEdit[6]->setFocus();
        form.ATEdit[6]->end(false);
        QTest::keyClicks(form.ATEdit[6], "5");
        QCOMPARE(form.ATEdit[6]->text(), QString("1000"));
        form.TRCEdit->end(false);
        QTest::keyClick(form.TRCEdit, Qt::Key_Backspace);
        QTest::keyClicks(form.TRCEdit, "7");
        QCOMPARE(form.TRCEdit->text(), QString("20"));
        // Apply keeps the whole interval.
        form.bApplyTR->click();
        QCOMPARE(AppSettings.TransientParams[1].interval, uint16_t(12345));
        Fixture->Dialogs.AnswerYesNo(true);
        form.mExit->trigger();
        Fixture->Dialogs.Take();
        const QString text = QString::fromLatin1(Fixture->ReadFile("settings.ini"));
        QVERIFY2(text.contains("Current1=20\r\nInterval1=12345\r\n"), qPrintable(text));
        QVERIFY2(text.contains("l_max_power=12345\r\n"), qPrintable(text));
        QVERIFY2(text.contains("rails_12V=12\r\n"), qPrintable(text));
        QVERIFY2(text.contains("steps=1000\r\n"), qPrintable(text));
    }

    void ExitAskedNoKeepsTheWindow()
    {
        TMForm& form = Fixture->Open();
        Fixture->Dialogs.AnswerYesNo(false);
        form.mExit->trigger();
        QVERIFY(form.isVisible());
        QVERIFY(!form.FinalizeDone());
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("YesNo", "Confirm",
                                                                        "Do you really want to quit Tarvik?",
                                                                        TDialogIcon::Warning)});
        QVERIFY(!QFile::exists(Fixture->Path("settings.ini")));
    }

    void ExitAskedYesSavesTheFrontPanelOnce()
    {
        Fixture->WriteFile("settings.ini", "; stand 3\r\n[General]\r\nDebug=52917\r\nOwner=line 2\r\n");
        TMForm& form = Fixture->Open();
        form.ATEdit[1]->setText("300");
        form.ATEdit[6]->setText("150");
        form.ChannelList->setCurrentIndex(3);
        form.TRCEdit->setText("20");
        form.TRIEdit->setText("1000");
        form.cbTREnable->setChecked(true);
        form.bApplyTR->click();

        Fixture->Dialogs.AnswerYesNo(true);
        form.mExit->trigger();
        QVERIFY(!form.isVisible());
        QVERIFY(form.FinalizeDone());
        Fixture->Dialogs.Take();
        const QByteArray afterClose = Fixture->ReadFile("settings.ini");
        Fixture->Destroy();  // the destruction must not save a second time
        QCOMPARE(Fixture->ReadFile("settings.ini"), afterClose);

        const QString text = QString::fromLatin1(afterClose);
        QVERIFY(text.startsWith("; stand 3\r\n[General]\r\nDebug=52917\r\nOwner=line 2\r\n"));
        QVERIFY(text.contains("l_max_power=300\r\n"));
        QVERIFY(text.contains("steps=150\r\n"));
        QVERIFY(text.contains("Current4=20\r\nInterval4=1000\r\nEnabled4=1\r\n"));
        QVERIFY(text.contains("[TR]") && text.contains("[ATS]"));
    }

    void ShutdownCompletesAfterAFailure()
    {
        TMForm& form = Fixture->Open();
        form.ATEdit[2]->setText("12x");  // pasted past the digit filter
        form.ATEdit[1]->setText("333");
        Fixture->Destroy();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'12x' is not a valid integer value.",
                                            TDialogIcon::Error)});
        // [TR] was saved before the failing step, and nothing of [ATS] was written.
        const QString text = QString::fromLatin1(Fixture->ReadFile("settings.ini"));
        QVERIFY(text.contains("[TR]"));
        QVERIFY(!text.contains("[ATS]"));
    }

    void TransientResponseSurvivesARestart()
    {
        TMForm* form = &Fixture->Open();
        form->ChannelList->setCurrentIndex(3);  // "+12V1"
        emit form->ChannelList->activated(3);
        form->TRCEdit->setText("20");
        form->TRIEdit->setText("1000");
        form->cbTREnable->setChecked(true);
        form->bApplyTR->click();
        // Another channel, then back: the stored values come back.
        form->ChannelList->setCurrentIndex(0);
        emit form->ChannelList->activated(0);
        QCOMPARE(form->TRCEdit->text(), QString("0"));
        form->TRIEdit->setText("777");  // edited without Apply: lost on the next change
        form->ChannelList->setCurrentIndex(3);
        emit form->ChannelList->activated(3);
        QCOMPARE(form->TRCEdit->text(), QString("20"));
        QCOMPARE(form->TRIEdit->text(), QString("1000"));
        QVERIFY(form->cbTREnable->isChecked());

        form = &Fixture->Restart();
        QCOMPARE(form->ChannelList->currentIndex(), 0);
        form->ChannelList->setCurrentIndex(3);
        emit form->ChannelList->activated(3);
        QCOMPARE(form->TRCEdit->text(), QString("20"));
        QCOMPARE(form->TRIEdit->text(), QString("1000"));
        QVERIFY(form->cbTREnable->isChecked());
        QCOMPARE(AppSettings.TransientParams[1].interval, uint16_t(0));
    }

    void ApplyKeepsWhatAnEmptyOrBadFieldCannotGive()
    {
        TMForm& form = Fixture->Open();
        AppSettings.TransientParams[1] = {7, 300, false};
        form.TRCEdit->clear();
        form.TRIEdit->setText("450");
        form.cbTREnable->setChecked(true);
        form.bApplyTR->click();
        QCOMPARE(AppSettings.TransientParams[1].current, uint8_t(7));
        QCOMPARE(AppSettings.TransientParams[1].interval, uint16_t(450));
        QVERIFY(AppSettings.TransientParams[1].enabled);

        form.TRCEdit->setText("9");
        form.TRIEdit->setText("4 5");  // pasted
        form.cbTREnable->setChecked(false);
        form.bApplyTR->click();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'4 5' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QCOMPARE(AppSettings.TransientParams[1].current, uint8_t(9));
        QCOMPARE(AppSettings.TransientParams[1].interval, uint16_t(450));
        QVERIFY(AppSettings.TransientParams[1].enabled);
        form.TRIEdit->setText("0");
    }
};

TARVIK_TEST(MainFormTest)
#include "MainFormTest.moc"
