#include "report/TestReport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSignalBlocker>
#include <QTabWidget>
#include <cmath>

#include "autotests/ResultStore.h"
#include "core/Conversions.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/ProgramState.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphPages.h"
#include "graphs/GraphState.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"

namespace {

const QColor PassColor(0, 128, 0);
const QColor FailColor(255, 0, 0);
const QColor NoDataColor(110, 110, 110);

bool CrossLoadHoldsData()
{
    for (int k = 1; k <= LoadChannelCount; ++k)
        for (int r = 1; r <= GridRows; ++r)
            for (int c = 1; c <= GridColumns; ++c)
                if (ResultStore.CrossLoadGrid[k][r][c].voltage != 0)
                    return true;
    return false;
}

bool NoiseHoldsData()
{
    for (int k = 1; k <= LoadChannelCount; ++k)
        for (int r = 1; r <= GridRows; ++r)
            for (int c = 1; c <= GridColumns; ++c)
                if (ResultStore.NoiseGrid[k][r][c] != 0)
                    return true;
    return false;
}

bool EfficiencyHoldsData()
{
    for (int s = 0; s < RunSteps; ++s)
        if (ResultStore.EfficiencyRun.ratios[s].efficiency != 0 || ResultStore.EfficiencyRun.ratios[s].powerFactor != 0 ||
            ResultStore.EfficiencyRun.thermal[s].temperature != 0)
            return true;
    return false;
}

bool StandbyHoldsData()
{
    for (int s = 0; s < RunSteps; ++s)
        if (ResultStore.StandbyRun[s].voltage != 0)
            return true;
    return false;
}

// Shows image n on its page and paints it as the page would.
void PaintOnItsPage(QWidget* page, QTabWidget* pages, int n)
{
    TMForm& form = *MForm;
    {
        const QSignalBlocker quietPages(form.PC);
        const QSignalBlocker quietSheets(pages);
        form.PC->setCurrentWidget(page);
        pages->setCurrentWidget(form.GraphSheet[n]);
    }
    RepaintShownGraph(false);
}

QString Signed(double x) { return (x >= 0 ? QStringLiteral("+") : QString()) + FormatFixed(x, 15, 2); }

QColor VerdictColor(TVerdict v) { return v == TVerdict::Pass ? PassColor : v == TVerdict::Fail ? FailColor : NoDataColor; }

QString MainsTableName(TMainsTable table)
{
    return table == TMainsTable::Internal230VEU ? QStringLiteral("230 V EU internal") : QStringLiteral("115 V internal");
}

// A simple top-to-bottom page writer in points (1/72 inch).
class TPageWriter {
public:
    TPageWriter(QPdfWriter& writer, QPainter& painter) : Writer(writer), Painter(painter)
    {
        Scale = Writer.resolution() / 72.0;
        Width = Writer.width() / Scale;
        Height = Writer.height() / Scale;
    }

    void Text(double x, const QString& text, double size, bool bold = false, const QColor& color = Qt::black)
    {
        QFont font(QStringLiteral("Tahoma"));
        font.setPointSizeF(size);
        font.setBold(bold);
        Painter.setFont(font);
        Painter.setPen(color);
        Painter.drawText(QPointF(x * Scale, (Y + size) * Scale), text);
    }
    void Line(double height) { Y += height; }
    void Rule()
    {
        Painter.setPen(QPen(Qt::black, Scale * 0.5));
        Painter.drawLine(QPointF(0, Y * Scale), QPointF(Width * Scale, Y * Scale));
        Y += 4;
    }
    void NewPage()
    {
        Writer.newPage();
        Y = 0;
    }
    double Room() const { return Height - Y; }
    void Image(const QImage& image, double width)
    {
        const double height = width * image.height() / image.width();
        Painter.drawImage(QRectF(0, Y * Scale, width * Scale, height * Scale), image);
        Y += height;
    }

    double Width = 0;
    double Height = 0;

private:
    QPdfWriter& Writer;
    QPainter& Painter;
    double Scale = 1;
    double Y = 0;
};

void RailTable(TPageWriter& page, const QString& title, const QString& unit, const std::vector<TRailVerdict>& rails,
               bool twoSided)
{
    page.Text(0, title, 11, true);
    page.Line(16);
    page.Text(0, QStringLiteral("Rail"), 8, true);
    page.Text(70, QStringLiteral("Worst"), 8, true);
    page.Text(150, QStringLiteral("Limit"), 8, true);
    page.Text(230, QStringLiteral("Verdict"), 8, true);
    page.Line(12);
    for (const TRailVerdict& rail : rails) {
        page.Text(0, rail.Rail, 8);
        page.Text(70, rail.Worst ? (twoSided ? Signed(*rail.Worst) : FormatFixed(*rail.Worst, 15, 0)) + unit
                                 : QStringLiteral("no data"), 8);
        page.Text(150, (twoSided ? QStringLiteral("±") : QStringLiteral("≤ ")) + FormatFixed(rail.Limit, 15, 0) + unit, 8);
        page.Text(230, VerdictText(rail.Verdict), 8, true, VerdictColor(rail.Verdict));
        page.Line(11);
    }
    page.Line(8);
}

} // namespace

QList<TReportGraph> PaintReportGraphs()
{
    TMForm& form = *MForm;
    const int shownPage = form.PC->currentIndex();
    const int shown[4] = {form.KHX_GPC->currentIndex(), form.Eff_GPC->currentIndex(), form.Noise_GPC->currentIndex(),
                          form.STS_GPC->currentIndex()};
    QList<TReportGraph> graphs;
    const auto take = [&](QWidget* page, QTabWidget* pages, int n, const QString& caption) {
        PaintOnItsPage(page, pages, n);
        if (GraphDrawnFlags[n] && !GraphImages[n]->Bitmap.isNull())
            graphs.append({caption, GraphImages[n]->Bitmap.copy()});
    };
    if (CrossLoadHoldsData()) {
        take(form.TabKHX, form.KHX_GPC, 1, QStringLiteral("Cross-load map, +3.3V"));
        take(form.TabKHX, form.KHX_GPC, 2, QStringLiteral("Cross-load map, +5V"));
        int rails = 0;
        if (TryStrToInt(form.ATEdit[4]->text(), rails) && rails != 0)
            take(form.TabKHX, form.KHX_GPC, SummaryImage, QStringLiteral("Cross-load map, +12V summary"));
        else
            take(form.TabKHX, form.KHX_GPC, 4, QStringLiteral("Cross-load map, +12V1"));
    }
    if (NoiseHoldsData()) {
        take(form.TabNoise, form.Noise_GPC, FirstNoiseImage, QStringLiteral("Noise map, +3.3V"));
        take(form.TabNoise, form.Noise_GPC, FirstNoiseImage + 1, QStringLiteral("Noise map, +5V"));
        take(form.TabNoise, form.Noise_GPC, FirstNoiseImage + 3, QStringLiteral("Noise map, +12V1"));
    }
    if (EfficiencyHoldsData() && !form.ATEdit[3]->text().isEmpty()) {
        take(form.TabEfficiency, form.Eff_GPC, EfficiencyImage, QStringLiteral("PFC / efficiency"));
        take(form.TabEfficiency, form.Eff_GPC, FanImage, QStringLiteral("Temperature / fans"));
    }
    if (StandbyHoldsData() && !form.ATEdit[7]->text().isEmpty())
        take(form.Tab5VStb, form.STS_GPC, StandbyImage, QStringLiteral("+5Vstb run"));

    {
        const QSignalBlocker quiet(form.PC);
        form.KHX_GPC->setCurrentIndex(shown[0]);
        form.Eff_GPC->setCurrentIndex(shown[1]);
        form.Noise_GPC->setCurrentIndex(shown[2]);
        form.STS_GPC->setCurrentIndex(shown[3]);
        form.PC->setCurrentIndex(shownPage);
    }
    PCChange();
    return graphs;
}

TReportContent CollectReport(bool live)
{
    TReportContent content;
    content.Dut = AppSettings.DutDescription;
    content.Date = QDateTime::currentDateTime();
    std::optional<int> pwrOk;
    std::optional<double> mains;
    if (live) {
        if (StandIdentified) {
            const TMForm& form = *MForm;
            content.Stand = QStringList{form.HwInfoMFG->text(), form.HwInfoModelId->text(), form.HwInfoBoardId->text(),
                                        form.HwInfoFirmware->text(), form.HwInfoCalibrated->text()}
                                .join(QStringLiteral(", "));
        }
        if (ChannelReadings.PwrOkOnReported)
            pwrOk = ChannelReadings.PwrOkOnTime;
        double volts = 0;
        if (TryStrToFloat(ChannelReadings.AcVoltageText, volts) && std::isfinite(volts))
            mains = volts;
    }
    content.Verdicts = ComputeVerdicts(ResultStore, pwrOk, mains);
    content.MainsNote = MainsTableName(content.Verdicts.Efficiency.Table) +
                        (mains ? QStringLiteral(" (the stand measured %1 V AC)").arg(FormatFixed(*mains, 15, 1))
                               : QStringLiteral(" (AC voltage unknown)"));
    return content;
}

bool WriteReportPdf(const QString& path, const TReportContent& content)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Test report"));
    writer.setCreator(QStringLiteral("Tarvik ATE Control"));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    TPageWriter page(writer, painter);

    page.Text(0, QStringLiteral("Tarvik ATE Control — test report"), 16, true);
    page.Line(26);
    const TDutDescription& dut = content.Dut;
    const QString none = QStringLiteral("—");
    const auto field = [&](const QString& caption, const QString& value) {
        page.Text(0, caption, 9, true);
        page.Text(90, value.isEmpty() ? none : value, 9);
        page.Line(13);
    };
    field(QStringLiteral("Vendor"), dut.Vendor);
    field(QStringLiteral("Model"), dut.Model);
    field(QStringLiteral("Code"), dut.Code);
    field(QStringLiteral("Serial number"), dut.SN);
    field(QStringLiteral("Rated power"), dut.Power ? QString::number(dut.Power) + QStringLiteral(" W") : QString());
    field(QStringLiteral("Date"), QLocale::c().toString(content.Date, QStringLiteral("yyyy-MM-dd HH:mm")));
    field(QStringLiteral("Stand"), content.Stand.isEmpty() ? QStringLiteral("not connected") : content.Stand);
    page.Rule();
    page.Line(4);

    const TReportVerdicts& v = content.Verdicts;
    RailTable(page, QStringLiteral("Voltage deviation over the cross-load map"), QStringLiteral(" %"), v.Deviation, true);
    RailTable(page, QStringLiteral("Ripple over the noise map"), QStringLiteral(" mV"), v.Ripple, false);

    page.Text(0, QStringLiteral("PWR_OK"), 11, true);
    page.Line(16);
    page.Text(0, QStringLiteral("On delay"), 8);
    page.Text(70, v.PwrOkMs ? QString::number(*v.PwrOkMs) + QStringLiteral(" ms") : QStringLiteral("no data"), 8);
    page.Text(150, QStringLiteral("100 – 500 ms"), 8);
    page.Text(230, VerdictText(v.PwrOk), 8, true, VerdictColor(v.PwrOk));
    page.Line(19);

    page.Text(0, QStringLiteral("Efficiency (80 PLUS, %1)").arg(content.MainsNote), 11, true);
    page.Line(16);
    const char* loads[4] = {"10 %", "20 %", "50 %", "100 %"};
    for (int i = 0; i < 4; ++i) {
        page.Text(0, QStringLiteral("At %1 load").arg(QLatin1String(loads[i])), 8);
        const auto& e = v.Efficiency.Efficiency[i];
        page.Text(70, e ? FormatFixed(*e, 15, 2) + QStringLiteral(" %") : QStringLiteral("no data"), 8);
        page.Line(11);
    }
    page.Text(0, QStringLiteral("Level"), 8);
    page.Text(70, v.Efficiency.Verdict == TVerdict::NoData ? QStringLiteral("no data")
                  : v.Efficiency.Level.isEmpty()          ? QStringLiteral("none")
                                                          : v.Efficiency.Level,
              8);
    page.Text(230, VerdictText(v.Efficiency.Verdict), 8, true, VerdictColor(v.Efficiency.Verdict));
    page.Line(11);

    // The graphs, as large as the page width allows, as many per page as fit.
    bool first = true;
    for (const TReportGraph& graph : content.Graphs) {
        const double height = page.Width * graph.Bitmap.height() / graph.Bitmap.width() + 20;
        if (first || page.Room() < height) {
            page.NewPage();
            first = false;
        }
        page.Text(0, graph.Caption, 10, true);
        page.Line(16);
        page.Image(graph.Bitmap, page.Width);
        page.Line(10);
    }
    return painter.end();
}

QString ReportFileName(const QString& chosen)
{
    return chosen.contains(QLatin1String(".pdf"), Qt::CaseSensitive) ? chosen : chosen + QStringLiteral(".pdf");
}

void ExportReportClick()
{
    static TFileDialog dialog{QStringLiteral("PDF files (*.pdf)|*.pdf"), QString(), QString(), true};
    if (!ChooseSaveFile(dialog) || dialog.FileName.isEmpty())
        return;
    dialog.FileName = ReportFileName(dialog.FileName);
    TReportContent content = CollectReport(true);
    content.Graphs = PaintReportGraphs();
    if (!WriteReportPdf(dialog.FileName, content))
        throw Exception(QStringLiteral("Cannot write file \"%1\"").arg(dialog.FileName));
    ShowMessage(QStringLiteral("Report written to %1").arg(dialog.FileName));
}
