#include "graphs/GraphPages.h"

#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPushButton>
#include <QTabWidget>

#include "autotests/ResultStore.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/ProgramState.h"
#include "graphs/ColorScales.h"
#include "graphs/CurveGraphs.h"
#include "graphs/GraphCanvas.h"
#include "graphs/GraphFrame.h"
#include "graphs/GraphImage.h"
#include "graphs/GraphReadouts.h"
#include "graphs/GraphState.h"
#include "graphs/LoadMaps.h"
#include "ui/ChannelControls.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {

// A file that could not be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// The page indices of PC off the graph pages.
constexpr int FrontPanelPage = 0;
constexpr int TestingPage = 1;
constexpr int DebugPage = 6;

// The tag of the shown sub-page of a sub-page control (0 when it shows none).
int ShownTag(const QTabWidget* pages)
{
    const QWidget* shown = pages->currentWidget();
    return shown ? Tag(shown) : 0;
}

void WriteBitmapFile(const QImage& bitmap, const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    QImageWriter writer(&file, "bmp");
    if (!writer.write(bitmap) || !file.flush())
        throw EFCreateError(QStringLiteral("Cannot write file \"%1\". %2")
                                .arg(QDir::toNativeSeparators(path), writer.errorString()));
}

} // namespace

void RepaintShownGraph(bool onlyIfPainted)
{
    if (!MForm)
        return;
    TMForm& form = *MForm;
    const QWidget* page = form.PC->currentWidget();
    const auto wanted = [onlyIfPainted](int t) { return !onlyIfPainted || GraphDrawnFlags[t]; };

    if (page == form.TabKHX) {
        const int t = ShownTag(form.KHX_GPC);
        if (t >= 1 && t <= LoadChannelCount) {
            if (wanted(t))
                PaintCrossLoadMap(t);
        } else if (t == SummaryImage) {
            PaintSummaryMap();  // in either mode
        }
    } else if (page == form.TabEfficiency) {
        const int t = ShownTag(form.Eff_GPC);
        if (t == EfficiencyImage && wanted(t))
            PaintEfficiencyGraph();
        else if (t == FanImage && wanted(t))
            PaintFanGraph();
    } else if (page == form.TabNoise) {
        const int t = ShownTag(form.Noise_GPC);
        if (t >= FirstNoiseImage && t <= LastNoiseImage && wanted(t))
            PaintNoiseMap(t);
    } else if (page == form.Tab5VStb) {
        const int t = ShownTag(form.STS_GPC);
        if (t == StandbyImage && wanted(t))
            PaintStandbyGraph();
    }
}

void ClearAllGraphs()
{
    const uint32_t background = GraphColor(BackgroundColor);
    for (int n = 1; n <= GraphCount; ++n) {
        GraphImage& image = *GraphImages[n];
        QImage& bitmap = SizeBitmap(image);
        TCanvas canvas(bitmap, &image);
        canvas.SetPenColor(background);
        canvas.SetBrushColor(background);
        // The bitmap's own size: a graph painted on a grown window keeps a bitmap larger than
        // the window shown now, and all of it is cleared.
        canvas.Rectangle(0, 0, bitmap.width(), bitmap.height());
    }
    ClearResults();
}

QString BitmapFileName(const QString& chosen)
{
    return chosen.contains(QLatin1String(".bmp"), Qt::CaseSensitive) ? chosen : chosen + QStringLiteral(".bmp");
}

void SaveGraphImage(int imageNumber)
{
    TFileDialog& dialog = MForm->ISD;
    if (!ChooseSaveFile(dialog))
        return;
    if (dialog.FileName.isEmpty())
        return;
    // The dialog keeps the extended name for its next use.
    dialog.FileName = BitmapFileName(dialog.FileName);
    const QImage& bitmap = GraphImages[imageNumber]->Bitmap;
    if (bitmap.isNull())
        return;
    WriteBitmapFile(bitmap, dialog.FileName);
}

void PCChange()
{
    const int index = MForm->PC->currentIndex();
    if (index == FrontPanelPage || index == TestingPage || index == DebugPage)
        MForm->ResizeWindow(DesignWidth, DesignHeight);
    else if (index >= 0)
        RepaintShownGraph(false);
}

void KHX_GPCChange() { RepaintShownGraph(false); }
void Eff_GPCChange() { RepaintShownGraph(false); }
void Noise_GPCChange() { RepaintShownGraph(false); }
void STS_GPCChange() { RepaintShownGraph(false); }

void bRepaintGraphsClick() { RepaintShownGraph(false); }

void bRandomGraphClick()
{
    FillRandomResults();
    bRepaintGraphsClick();
}

void bClearGraphsClick() { ClearAllGraphs(); }

void bSaveImageClick() { SaveGraphImage(ShownTag(MForm->KHX_GPC)); }
void AdvGlowButton4Click() { SaveGraphImage(ShownTag(MForm->Eff_GPC)); }
void AdvGlowButton7Click() { SaveGraphImage(ShownTag(MForm->Noise_GPC)); }
void AdvGlowButton2Click() { SaveGraphImage(ShownTag(MForm->STS_GPC)); }

void ConnectGraphPages(TMForm& form)
{
    const auto onChange = [&form](QTabWidget* pages, void (*handler)()) {
        QObject::connect(pages, &QTabWidget::currentChanged, &form, [handler] { GuardEvent(handler); });
    };
    onChange(form.PC, PCChange);
    onChange(form.KHX_GPC, KHX_GPCChange);
    onChange(form.Eff_GPC, Eff_GPCChange);
    onChange(form.Noise_GPC, Noise_GPCChange);
    onChange(form.STS_GPC, STS_GPCChange);

    const auto onClick = [&form](QPushButton* button, void (*handler)()) {
        QObject::connect(button, &QPushButton::clicked, &form, [handler] { GuardEvent(handler); });
    };
    onClick(form.bRandomGraph, bRandomGraphClick);
    onClick(form.bRepaintGraphs, bRepaintGraphsClick);
    onClick(form.bClearGraphs, bClearGraphsClick);
    onClick(form.bSaveImage, bSaveImageClick);
    onClick(form.AdvGlowButton4, AdvGlowButton4Click);
    onClick(form.AdvGlowButton7, AdvGlowButton7Click);
    onClick(form.AdvGlowButton2, AdvGlowButton2Click);

    for (int n = 1; n <= GraphCount; ++n) {
        void (*handler)(GraphImage*, int, int) = Image1MouseMove;
        if (n == EfficiencyImage)
            handler = Image12MouseMove;
        else if (n == FanImage)
            handler = Image13MouseMove;
        else if (n >= FirstNoiseImage && n <= LastNoiseImage)
            handler = Image14MouseMove;
        else if (n == StandbyImage)
            handler = Image26MouseMove;
        QObject::connect(form.Image[n], &GraphImage::MouseMoved, &form, [handler](GraphImage* image, int x, int y) {
            GuardEvent([&] { handler(image, x, y); });
        });
    }
}
