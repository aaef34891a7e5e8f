// What leaves the program for a lab's archive: the CSV files of a result file built by hand
// from its documented layout, the PDF report read back with a PDF reader, the menu entries
// through the dialog seam, and the command-line tool's exit codes.

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <cstring>
#include <limits>
#include <optional>

#include "ResultFileBytes.h"
#include "TestRegistry.h"
#include "WindowFixture.h"
#include "autotests/ResultFile.h"
#include "autotests/ResultStore.h"
#include "config/AppSettings.h"
#include "report/CsvExport.h"
#include "report/TestReport.h"
#include "ui/Fonts.h"
#include "ui/MainForm.h"

using namespace ResultBytes;

namespace {

// A result file with a few known values of every kind, every verdict passing.
QByteArray KnownResultFile()
{
    QByteArray file(1323754, '\0');
    PutFloat(file, CrossLoadOffset(1, 201), 3.35f);  // row 2, column 2
    PutFloat(file, CrossLoadOffset(1, 201) + 4, 10.5f);
    PutFloat(file, CrossLoadOffset(4, 201), 11.76f);
    PutFloat(file, CrossLoadOffset(4, 201) + 4, 20.0f);
    PutFloat(file, CrossLoadOffset(4, 11999), 12.1f);  // row 60, column 200, only +12V1
    PutWord(file, NoiseOffset(1, 0), 42);
    PutWord(file, NoiseOffset(11, 0), 118);
    const int steps[4] = {20, 40, 100, 199};
    const int efficiency[4] = {86, 90, 92, 89};
    for (int i = 0; i < 4; ++i) {
        file[1320000 + 2 * steps[i]] = char(95);
        file[1320000 + 2 * steps[i] + 1] = char(efficiency[i]);
    }
    PutFloat(file, 1320400 + 8 * 20, 41.5f);
    PutWord(file, 1320400 + 8 * 20 + 4, 1200);
    PutWord(file, 1320400 + 8 * 20 + 6, 1350);
    file[1322000] = char(7);
    std::memcpy(file.data() + 1322001, "Voltaic", 7);
    PutFloat(file, 1322154 + 8 * 5, 5.01f);
    PutFloat(file, 1322154 + 8 * 5 + 4, 0.75f);
    return file;
}

QString RunText(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
} // namespace

class ReportExportTest : public QObject {
    Q_OBJECT
    std::optional<TWindowFixture> Fixture;

    void Load(const QString& name)
    {
        Fixture->Dialogs.AnswerFile(Fixture->Path(name));
        MForm->bKHXLoad->click();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("OpenFile"));
    }

private slots:
    void initTestCase() { RegisterTahoma(); }
    void init() { Fixture.emplace(); }
    void cleanup() { TARVIK_FINISH_WINDOW(Fixture); }

    void CsvRowsOfAHandBuiltFile()
    {
        Fixture->WriteFile("known.dat", KnownResultFile());
        Fixture->Open();
        Load("known.dat");
        QVERIFY(Fixture->Dialogs.Calls.isEmpty());

        const QStringList crossLoad = CrossLoadCsv(ResultStore).split("\r\n");
        QCOMPARE(crossLoad.size(), 4);  // header, two points, the empty end
        QVERIFY(crossLoad[0].startsWith("row,column,+3.3V V,+3.3V A,+3.3V deviation %,+5V V,"));
        QVERIFY(crossLoad[0].endsWith(",+12V8 V,+12V8 A,+12V8 deviation %"));
        QCOMPARE(crossLoad[1].split(',').mid(0, 5), (QStringList{"2", "2", "3.35", "10.5", "1.515"}));
        QCOMPARE(crossLoad[1].split(',').mid(11, 3), (QStringList{"11.76", "20", "-2.000"}));
        QCOMPARE(crossLoad[1].split(',').mid(5, 3), (QStringList{"0", "0", "-100.000"}));
        QCOMPARE(crossLoad[2].split(',').mid(0, 2), (QStringList{"60", "200"}));
        QCOMPARE(crossLoad[2].split(',').size(), 2 + 33);
        QCOMPARE(crossLoad[3], QString());

        QCOMPARE(NoiseCsv(ResultStore),
                 QString("row,column,+3.3V mV,+5V mV,+5Vstb mV,+12V1 mV,+12V2 mV,+12V3 mV,+12V4 mV,+12V5 mV,+12V6 mV,"
                         "+12V7 mV,+12V8 mV\r\n1,1,42,0,0,0,0,0,0,0,0,0,118\r\n"));
        QCOMPARE(EfficiencyCsv(ResultStore),
                 QString("step,power factor,efficiency %,temperature °C,fan 1 RPM,fan 2 RPM\r\n"
                         "20,0.95,86,41.5,1200,1350\r\n40,0.95,90,0,0,0\r\n100,0.95,92,0,0,0\r\n199,0.95,89,0,0,0\r\n"));
        QCOMPARE(StandbyCsv(ResultStore), QString("step,voltage V,current A\r\n5,5.01,0.75\r\n"));

        // Written as UTF-8 files; a kind without data writes no file.
        ResultStore.StandbyRun[5] = StandbyPoint{0, 0};
        QDir(Fixture->Dir()).mkdir("csv");
        QCOMPARE(WriteCsvFiles(Fixture->Path("csv"), ResultStore),
                 (QStringList{"crossload.csv", "noise.csv", "efficiency.csv"}));
        QVERIFY(Fixture->ReadFile("csv/efficiency.csv").contains("temperature \xc2\xb0" "C"));
        QVERIFY(!QFile::exists(Fixture->Path("csv/standby.csv")));
    }

    void ExportCsvFromTheMenu()
    {
        TMForm& form = Fixture->Open();
        QDir(Fixture->Dir()).mkdir("out");
        Fixture->Dialogs.AnswerFile(QString());  // cancelled: nothing
        form.mExportCsv->trigger();
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Folder", QString(), QString())});
        Fixture->Dialogs.AnswerFile(Fixture->Path("out"));
        form.mExportCsv->trigger();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("Folder"));
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Message", ApplicationTitle(), "There are no results to export.")});
        FillRandomResults();
        Fixture->Dialogs.AnswerFile(Fixture->Path("out"));
        form.mExportCsv->trigger();
        Fixture->Dialogs.Take();
        QCOMPARE(Fixture->Dialogs.TakeAll(),
                 QStringList{DescribeDialog("Message", ApplicationTitle(),
                                            "Exported to " + QDir::toNativeSeparators(Fixture->Path("out")) +
                                                ": crossload.csv, noise.csv, efficiency.csv, standby.csv")});
        QCOMPARE(QDir(Fixture->Path("out")).entryList(QDir::Files).size(), 4);
        // The store on show is untouched, and so is the page.
        QCOMPARE(form.PC->currentIndex(), 0);
    }

    void TheReportReadsBack()
    {
        TMForm& form = Fixture->Open();
        FillRandomResults();
        AppSettings.DutDescription.Vendor = "Voltaic";
        AppSettings.DutDescription.Model = "ATX-650";
        form.PC->setCurrentWidget(form.TabTesting);
        Fixture->Dialogs.AnswerFile(Fixture->Path("unit7"));
        form.mExportReport->trigger();
        QCOMPARE(Fixture->Dialogs.Take().Kind, QString("SaveFile"));
        QCOMPARE(Fixture->Dialogs.TakeAll(), QStringList{DescribeDialog("Message", ApplicationTitle(),
                                                                        "Report written to " + Fixture->Path("unit7.pdf"))});
        // The operator's page is on show again at its size.
        QCOMPARE(form.PC->currentWidget(), form.TabTesting);

        const QString info = RunText("pdfinfo", {Fixture->Path("unit7.pdf")});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+[4-9]")), qPrintable(info));
        const QString text = RunText("pdftotext", {"-layout", Fixture->Path("unit7.pdf"), "-"});
        for (const char* expected : {"Tarvik ATE Control", "Voltaic", "ATX-650", "Voltage deviation over the cross-load map",
                                     "Ripple over the noise map", "PWR_OK", "(80 PLUS, 115 V internal (AC voltage unknown))", "not connected",
                                     "Cross-load map, +3.3V", "Noise map, +12V1", "PFC / e", "Temperature / fans", "+5Vstb run"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(text.contains(QRegularExpression("\\+12V8\\s+\\S+ %\\s+±5 %\\s+(PASS|FAIL)")));
        QVERIFY(text.contains(QRegularExpression("-12V\\s+no data\\s+±10 %\\s+no data")));
    }

    void TheCommandLineTool()
    {
        Fixture->WriteFile("known.dat", KnownResultFile());
        QProcess tool;
        tool.start(TARVIK_REPORT, {Fixture->Path("known.dat"), "--pdf", Fixture->Path("known.pdf"), "--csv",
                                   Fixture->Path("csv")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        QVERIFY(QString::fromUtf8(tool.readAllStandardOutput()).contains("Efficiency level    Platinum PASS"));
        QVERIFY(RunText("pdftotext", {Fixture->Path("known.pdf"), "-"}).contains("Voltaic"));
        QCOMPARE(QDir(Fixture->Path("csv")).entryList(QDir::Files).size(), 4);

        // One rail past its limit fails the unit.
        QByteArray failing = KnownResultFile();
        PutWord(failing, NoiseOffset(2, 5), 51);
        Fixture->WriteFile("failing.dat", failing);
        tool.start(TARVIK_REPORT, {Fixture->Path("failing.dat")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);

        // A short file is read as far as its blocks are complete, with a warning.
        Fixture->WriteFile("short.dat", failing.left(1322000));
        tool.start(TARVIK_REPORT, {Fixture->Path("short.dat")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 1);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains("shorter than a result file"));

        tool.start(TARVIK_REPORT, {Fixture->Path("missing.dat")});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains("cannot open " + Fixture->Path("missing.dat")));

        tool.start(TARVIK_REPORT, {});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 2);
        QVERIFY(QString::fromUtf8(tool.readAllStandardError()).contains("usage: tarvik-report"));
    }
};

TARVIK_TEST(ReportExportTest)
#include "ReportExportTest.moc"
