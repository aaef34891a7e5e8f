// The result data file as the operator uses it through "Save Data" and "Load Data": the exact
// layout (checked against files built here from the documented offsets, not by our writer),
// the naming, the messages, partial and damaged files, and a failed save.

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <signal.h>
#include <sys/resource.h>

#include "ResultFileBytes.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "graphs/ColorScales.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphReadouts.h"
#include "ui/ChannelControls.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

using namespace ResultBytes;

namespace {
const QString LoadError = DescribeDialog("MessageBox", "Error", "An error occured while loading data!", TDialogIcon::Error);
const QString SaveError = DescribeDialog("MessageBox", "Error", "An error occured while saving data!", TDialogIcon::Error);
QString Saved() { return DescribeDialog("Message", ApplicationTitle(), "Data successfully saved."); }

void PutText(QByteArray& file, qint64 at, int lengthByte, const QByteArray& chars)
{
    file[at] = char(lengthByte);
    for (int i = 0; i < chars.size() && i < 30; ++i)
        file[at + 1 + i] = chars[i];
}

// The pixel in the middle of cell (row, column) of a load map at the default 5 x 5 dots.
QPoint CellCentre(int row, int column) { return CellOrigin(60, 380, 5, 5, row, column) + QPoint(2, 2); }
QRgb PixelAt(int image, QPoint at) { return GraphImages[image]->Bitmap.pixel(at) & 0xFFFFFF; }
QRgb Colour(int n) { return ColorOf(GraphColor(n)).rgb() & 0xFFFFFF; }
} // namespace

class ResultFileTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    void Save(const QString& path)
    {
        Fixture->Dialogs.AnswerFile(path);
        MForm->bKHXSave->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("SaveFile"));
    }
    void Load(const QString& path)
    {
        Fixture->Dialogs.AnswerFile(path);
        MForm->bKHXLoad->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("OpenFile"));
    }
    // The KHX page on show with the map of `channel`.
    void ShowMap(int channel)
    {
        MForm->PC->setCurrentWidget(MForm->TabKHX);
        MForm->KHX_GPC->setCurrentWidget(MForm->GraphSheet[channel]);
    }

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void ASaveAfterStartUpIsZeroButTheDutBlock()
    {
        Fixture->Open();
        Save(Fixture->Path("run1"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Saved()});
        const QByteArray file = Fixture->ReadFile("run1.dat");
        QCOMPARE(file.size(), 1323754);
        QCOMPARE(file.left(1322000), QByteArray(1322000, '\0'));
        QCOMPARE(file.mid(1322154), QByteArray(1600, '\0'));
        QByteArray dut(154, '\0');
        const int maxCurrents[] = {20, 25, 10, 25, 25, 25, 30, 30, 30, 30, 30};
        for (int n = 1; n <= 11; ++n)
            PutWord(dut, 132 + 2 * (n - 1), uint16_t(maxCurrents[n - 1]));
        QCOMPARE(file.mid(1322000, 154), dut);
    }

    void TheNameItIsSavedUnder_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "run1" << "run1.dat";
        QTest::newRow("the extension in other letters") << "run1.DAT" << "run1.DAT.dat";
        QTest::newRow("already .dat") << "run1.dat" << "run1.dat";
        QTest::newRow("a folder whose name holds .dat") << "old.dat/run2" << "old.dat/run2";
        QTest::newRow(".dat inside the name") << "run.data" << "run.data";
    }
    void TheNameItIsSavedUnder()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(DataFileName(chosen), saved);
        TMForm& form = Fixture->Open();
        QDir(Fixture->Dir()).mkpath("old.dat");
        Save(Fixture->Path(chosen));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Saved()});
        QCOMPARE(Fixture->ReadFile(saved).size(), 1323754);
        // The dialog offers the extended name next time.
        QCOMPARE(form.SD.FileName, Fixture->Path(saved));
        QCOMPARE(Fixture->Dialogs.FileDialogs.last().Filter, QString("Data files (*.dat)|*.dat"));
        QVERIFY(Fixture->Dialogs.FileDialogs.last().OverwritePrompt);
    }

    void CancelledDialogsDoNothing()
    {
        Fixture->Open();
        Save(QString());
        Load(QString());
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QCOMPARE(QDir(Fixture->Dir()).entryList({"*.dat"}, QDir::Files), QStringList());
    }

    void SaveThenLoadGivesEveryBitBack()
    {
        TMForm& form = Fixture->Open();
        FillRandomResults();
        TDutDescription& dut = AppSettings.DutDescription;
        dut.Vendor = QString::fromLatin1("K\xf6ln Power");
        dut.Model = "ATX-650";
        dut.Code = "C1";
        dut.SN = QString(30, 'S');
        dut.Power = 650;
        for (int i = 0; i < 6; ++i)
            dut.Reserved[i] = uint8_t(0xA0 + i);
        dut.MaxCurrent[4] = 18;
        const TDutDescription before = dut;
        QByteArray store(reinterpret_cast<const char*>(&ResultStore), sizeof(ResultStore));
        Save(Fixture->Path("all.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Saved()});

        ClearResults();
        dut = TDutDescription{};
        Load(Fixture->Path("all.dat"));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QVERIFY(std::memcmp(store.constData(), &ResultStore, sizeof(ResultStore)) == 0);
        QCOMPARE(dut.Vendor, before.Vendor);
        QCOMPARE(dut.Model, before.Model);
        QCOMPARE(dut.Code, before.Code);
        QCOMPARE(dut.SN, before.SN);
        QCOMPARE(dut.Power, before.Power);
        QVERIFY(std::memcmp(dut.Reserved, before.Reserved, 6) == 0);
        QVERIFY(std::memcmp(&dut.MaxCurrent, &before.MaxCurrent, sizeof(dut.MaxCurrent)) == 0);
        QCOMPARE(form.PSUCBar[4]->maximum(), 18);
        Save(Fixture->Path("again.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Saved()});
        QCOMPARE(Fixture->ReadFile("again.dat"), Fixture->ReadFile("all.dat"));
    }

    void AFileFromAnotherProgramLoads()
    {
        QByteArray file(1323754 + 100, '\0');  // bytes beyond the layout are ignored
        PutFloat(file, CrossLoadOffset(4, 201), 12.06f);  // +12V1, row 2, column 2
        PutFloat(file, CrossLoadOffset(4, 201) + 4, 7.5f);
        PutFloat(file, CrossLoadOffset(11, 11999), 11.9f);  // +12V8, row 60, column 200
        PutWord(file, NoiseOffset(1, 0), 42);
        PutWord(file, NoiseOffset(11, 11999), 65535);
        file[1320000 + 2 * 3] = char(95);  // step 3: power factor 0.95, 87 %
        file[1320000 + 2 * 3 + 1] = char(87);
        PutFloat(file, 1320400 + 8 * 3, 41.5f);
        PutWord(file, 1320400 + 8 * 3 + 4, 1200);
        PutWord(file, 1320400 + 8 * 3 + 6, 1350);
        PutText(file, 1322000, 7, "Voltaic");
        PutText(file, 1322000 + 31, 40, QByteArray(30, 'M'));  // a length byte past its field
        PutText(file, 1322000 + 62, 0, "remains");             // bytes after the length mean nothing
        PutText(file, 1322000 + 93, 3, "123");
        PutWord(file, 1322000 + 124, 650);
        PutWord(file, 1322000 + 132 + 2 * 3, 18);  // +12V1 at most 18 A
        PutFloat(file, 1322154 + 8 * 5, 5.01f);    // +5Vstb step 5, at an unaligned offset
        PutFloat(file, 1322154 + 8 * 5 + 4, 0.75f);
        Fixture->WriteFile("other.dat", file);

        TMForm& form = Fixture->Open();
        ShowMap(4);
        Load(Fixture->Path("other.dat"));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QCOMPARE(ResultStore.CrossLoadGrid[4][2][2].voltage, 12.06f);
        QCOMPARE(ResultStore.CrossLoadGrid[4][2][2].current, 7.5f);
        QCOMPARE(ResultStore.CrossLoadGrid[11][60][200].voltage, 11.9f);
        QCOMPARE(ResultStore.NoiseGrid[1][1][1], uint16_t(42));
        QCOMPARE(ResultStore.NoiseGrid[11][60][200], uint16_t(65535));
        QCOMPARE(ResultStore.EfficiencyRun.ratios[3].powerFactor, uint8_t(95));
        QCOMPARE(ResultStore.EfficiencyRun.ratios[3].efficiency, uint8_t(87));
        QCOMPARE(ResultStore.EfficiencyRun.thermal[3].temperature, 41.5f);
        QCOMPARE(ResultStore.EfficiencyRun.thermal[3].fan2Speed, uint16_t(1350));
        QCOMPARE(ResultStore.StandbyRun[5].voltage, 5.01f);
        QCOMPARE(ResultStore.StandbyRun[5].current, 0.75f);
        const TDutDescription& dut = AppSettings.DutDescription;
        QCOMPARE(dut.Vendor, QString("Voltaic"));
        QCOMPARE(dut.Model, QString(30, 'M'));
        QCOMPARE(dut.Code, QString());
        QCOMPARE(dut.SN, QString("123"));
        QCOMPARE(dut.Power, uint16_t(650));
        QCOMPARE(dut.MaxCurrent[4], uint16_t(18));
        QCOMPARE(dut.MaxCurrent[1], uint16_t(0));
        QCOMPARE(form.PSUCBar[4]->maximum(), 18);

        // The load repainted the map on show, and its readout shows the loaded point.
        QCOMPARE(PixelAt(4, CellCentre(2, 2)), Colour(DeviationColorIndex(VoltageDeviation(12.06f, 12))));
        QCOMPARE(PixelAt(4, CellCentre(1, 1)), Colour(BackgroundColor));
        const QPoint at = CellCentre(2, 2);
        Image1MouseMove(GraphImages[4], at.x(), at.y());
        QCOMPARE(form.Graph_KHX_VLabel->text(), QString("Voltage, V: 12.060"));
        QCOMPARE(form.Graph_KHX_CLabel->text(), QString("Current, A: 7.500"));
        QCOMPARE(form.Graph_KHX_DLabel->text(), QString("Delta V, %: 0.500"));
    }

    void ValuesThatAreNotNumbersAreNoMeasurement()
    {
        QByteArray file(1323754, '\0');
        PutFloat(file, CrossLoadOffset(4, 0), std::numeric_limits<float>::quiet_NaN());
        PutFloat(file, CrossLoadOffset(4, 0) + 4, std::numeric_limits<float>::quiet_NaN());
        PutFloat(file, CrossLoadOffset(4, 1), std::numeric_limits<float>::infinity());
        PutFloat(file, CrossLoadOffset(4, 2), 12.0f);
        PutFloat(file, CrossLoadOffset(5, 2), -std::numeric_limits<float>::infinity());
        Fixture->WriteFile("damaged.dat", file);
        TMForm& form = Fixture->Open();
        form.ATEdit[4]->setText("2");
        ShowMap(4);
        Load(Fixture->Path("damaged.dat"));
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());
        QCOMPARE(PixelAt(4, CellCentre(1, 1)), Colour(BackgroundColor));
        QCOMPARE(PixelAt(4, CellCentre(1, 2)), Colour(BackgroundColor));
        QCOMPARE(PixelAt(4, CellCentre(1, 3)), Colour(DeviationColorIndex(0)));
        const QPoint at = CellCentre(1, 1);
        Image1MouseMove(GraphImages[4], at.x(), at.y());
        QCOMPARE(form.Graph_KHX_VLabel->text(), QString("Voltage, V: "));
        QCOMPARE(form.Graph_KHX_CLabel->text(), QString("Current, A: "));
        QCOMPARE(form.Graph_KHX_DLabel->text(), QString("Delta V, %: "));
        // The summary of two rails leaves out the rail that is not a number.
        ShowMap(SummaryImage);
        QCOMPARE(PixelAt(SummaryImage, CellCentre(1, 3)), Colour(DeviationColorIndex(VoltageDeviation(6, 12))));
        QCOMPARE(PixelAt(SummaryImage, CellCentre(1, 2)), Colour(BackgroundColor));
    }

    void AShortFileKeepsTheCompleteBlocks()
    {
        QByteArray file(1322000, '\0');  // ends before the DUT description
        PutFloat(file, CrossLoadOffset(1, 0), 3.3f);
        PutWord(file, NoiseOffset(2, 0), 17);
        file[1320000] = char(90);
        Fixture->WriteFile("short.dat", file);
        TMForm& form = Fixture->Open();
        ShowMap(1);
        QCOMPARE(PixelAt(1, CellCentre(1, 1)), Colour(BackgroundColor));
        AppSettings.DutDescription.Vendor = "Kept";
        ResultStore.StandbyRun[0] = StandbyPoint{5.0f, 1.0f};
        Load(Fixture->Path("short.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{LoadError});
        QCOMPARE(ResultStore.CrossLoadGrid[1][1][1].voltage, 3.3f);
        QCOMPARE(ResultStore.NoiseGrid[2][1][1], uint16_t(17));
        QCOMPARE(ResultStore.EfficiencyRun.ratios[0].powerFactor, uint8_t(90));
        QCOMPARE(AppSettings.DutDescription.Vendor, QString("Kept"));
        QCOMPARE(ResultStore.StandbyRun[0].voltage, 5.0f);
        QCOMPARE(form.PSUCBar[1]->maximum(), 20);
        // Repainted after the failure too.
        QCOMPARE(PixelAt(1, CellCentre(1, 1)), Colour(DeviationColorIndex(0)));
    }

    void AFileEndingInsideABlockLeavesThatBlock()
    {
        QByteArray file(96000 + 50, '\0');
        PutFloat(file, CrossLoadOffset(1, 0), 3.3f);
        PutFloat(file, CrossLoadOffset(2, 0), 5.0f);  // in the incomplete second block
        Fixture->WriteFile("cut.dat", file);
        Fixture->Open();
        Load(Fixture->Path("cut.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{LoadError});
        QCOMPARE(ResultStore.CrossLoadGrid[1][1][1].voltage, 3.3f);
        QCOMPARE(ResultStore.CrossLoadGrid[2][1][1].voltage, 0.0f);
        Load(Fixture->Path("missing.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{LoadError});
    }

    void AFailedSaveKeepsThePreviousFile()
    {
        Fixture->Open();
        Save(Fixture->Path("keep.dat"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{Saved()});
        const QByteArray previous = Fixture->ReadFile("keep.dat");
        FillRandomResults();

        // A disk that fills up half-way through the file.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 500000;
        setrlimit(RLIMIT_FSIZE, &small);
        Save(Fixture->Path("keep.dat"));
        setrlimit(RLIMIT_FSIZE, &old);
        signal(SIGXFSZ, oldHandler);

        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{SaveError});
        QCOMPARE(Fixture->ReadFile("keep.dat"), previous);
        QCOMPARE(QDir(Fixture->Dir()).entryList(QDir::Files), QStringList{"keep.dat"});

        Save(Fixture->Path("no such folder/run"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{SaveError});
        QVERIFY(!QDir(Fixture->Path("no such folder")).exists());
    }
};

TARVIK_TEST(ResultFileTest)
#include "ResultFileTest.moc"
