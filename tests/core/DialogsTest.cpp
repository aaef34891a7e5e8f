#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <optional>

#include "ProgramFixture.h"
#include "TestRegistry.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/ProgramState.h"

class DialogsTest : public QObject {
    Q_OBJECT
    std::optional<TProgramFixture> Fixture;

private slots:
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_FIXTURE(Fixture); }

    void ErrorDialogText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "'x' is not a valid integer value" << "'x' is not a valid integer value.";
        QTest::newRow("full stop") << "Done." << "Done.";
        QTest::newRow("exclamation") << "Incorrect values!" << "Incorrect values!";
        QTest::newRow("question") << "Really?" << "Really?";
        QTest::newRow("closing bracket") << "List index out of bounds (-1)" << "List index out of bounds (-1)";
        QTest::newRow("trailing space") << "Unable to write " << "Unable to write ";
        QTest::newRow("digit") << "Error 5" << "Error 5.";
        QTest::newRow("empty") << "" << "";
    }
    void ErrorDialogText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(::ErrorDialogText(message), shown);
    }

    void GuardEventShowsTheFailureAndStopsTheBody()
    {
        bool reachedEnd = false;
        GuardEvent([&] {
            StrToInt("12a");
            reachedEnd = true;
        });
        QVERIFY(!reachedEnd);
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Error", ApplicationTitle(), "'12a' is not a valid integer value.",
                                            TDialogIcon::Error)});
        QCOMPARE(ApplicationTitle(), QString("test_core"));
    }

    void GuardEventCatchesEveryKindOfFailure()
    {
        GuardEvent([] { throw EComPortError("Port gone"); });
        GuardEvent([] { throw std::runtime_error("plain failure"); });
        GuardEvent([] { throw 42; });
        GuardEvent([] {});
        QStringList texts;
        for (const TDialogCall& call : Fixture->Dialogs.Calls)
            texts << call.Text;
        Fixture->Dialogs.Calls.clear();
        QCOMPARE(texts, (QStringList{"Port gone.", "plain failure.", "Unknown failure."}));
    }

    void RecorderAnswersFromTheScript()
    {
        Fixture->Dialogs.AnswerYesNo(true);
        Fixture->Dialogs.AnswerFile("/tmp/run1.dat");
        QVERIFY(AskYesNo("Do you really want to quit Tarvik?", "Confirm", TDialogIcon::Warning));
        TFileDialog dialog{"Data files (*.dat)|*.dat", {}, {}, true};
        QVERIFY(ChooseSaveFile(dialog));
        QCOMPARE(dialog.FileName, QString("/tmp/run1.dat"));
        // An unscripted question is answered No and reported.
        QVERIFY(!AskYesNo("Again?", "Confirm", TDialogIcon::Warning));
        QCOMPARE(Fixture->Dialogs.Take().Describe(),
                 DescribeDialog("YesNo", "Confirm", "Do you really want to quit Tarvik?", TDialogIcon::Warning));
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("SaveFile"));
        QVERIFY(Fixture->Dialogs.Take().Unscripted);
        QVERIFY(Fixture->Dialogs.Problems().isEmpty());
    }

    void WaitKeepsTheEventLoopRunning()
    {
        int ticks = 0;
        QTimer timer;
        timer.setInterval(5);
        connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start();
        QElapsedTimer clock;
        clock.start();
        WaitProcessingEvents(60);
        QVERIFY(clock.elapsed() >= 60);
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));

        // A zero wait still lets pending events through once.
        bool delivered = false;
        QTimer::singleShot(0, [&] { delivered = true; });
        WaitProcessingEvents(0);
        QVERIFY(delivered);
    }

    void VersionString_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("shown");
        QTest::newRow("four parts") << "1.2.0.15" << "1.2.0.15";
        QTest::newRow("three parts") << "2.1.3" << "2.1.3.0";
        QTest::newRow("none") << "" << "0.0.0.0";
        QTest::newRow("16 bits each") << "65537.1.1.1" << "1.1.1.1";
    }
    void VersionString()
    {
        QFETCH(QString, version);
        QFETCH(QString, shown);
        QCOMPARE(BuildVersionString(version), shown);
    }
};

TARVIK_TEST(DialogsTest)
#include "DialogsTest.moc"
