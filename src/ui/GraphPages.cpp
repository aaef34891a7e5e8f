// The four graph pages. Each holds a page control with one sub-page per graph (the sub-page
// and its image carry the graph's number), and below it a panel with the "Save Image" button
// and the readout labels of the point under the mouse.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "graphs/GraphImage.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {

struct TSheet {
    const char* Caption;
    int Number;
};

constexpr int BottomPanelHeight = 80;

} // namespace

namespace {

// A graph page: the sub-page control above a bottom panel 80 high with a "Graph data" group.
QTabWidget* BuildGraphPage(TMForm& form, QTabWidget* pc, QWidget*& page, const char* pageName, const char* caption,
                           const char* subPagesName, std::initializer_list<TSheet> sheets, QFrame*& bottom,
                           const char* bottomName, QPushButton*& saveButton, const char* saveName)
{
    page = new QWidget;
    page->setObjectName(QString::fromLatin1(pageName));
    pc->addTab(page, QString::fromLatin1(caption));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* subPages = new QTabWidget(page);
    subPages->setObjectName(QString::fromLatin1(subPagesName));
    layout->addWidget(subPages, 1);
    for (const TSheet& sheet : sheets) {
        auto* sub = new QWidget;
        sub->setObjectName(QStringLiteral("GraphSheet%1").arg(sheet.Number));
        SetTag(sub, sheet.Number);
        subPages->addTab(sub, QString::fromLatin1(sheet.Caption));
        auto* image = new GraphImage(sub);
        image->setObjectName(QStringLiteral("Image%1").arg(sheet.Number));
        image->setGeometry(0, 0, 592, 252);
        form.GraphSheet[sheet.Number] = sub;
        form.Image[sheet.Number] = image;
    }

    bottom = new QFrame(page);
    bottom->setObjectName(QString::fromLatin1(bottomName));
    bottom->setFixedHeight(BottomPanelHeight);
    layout->addWidget(bottom);
    QGroupBox* data = MakeGroup(bottom, QString::fromLatin1(bottomName) + QStringLiteral("DataGroup"),
                                QStringLiteral("Graph data"), 4, 2, 105, 74);
    saveButton = MakeButton(data, QString::fromLatin1(saveName), QStringLiteral("Save Image"), 8, 28, 89, 25);
    return subPages;
}

// A readout group in a bottom panel with its labels one under the other.
void BuildReadout(QFrame* bottom, const QString& name, const QString& title, int left, int width,
                  std::initializer_list<std::pair<QLabel**, const char*>> labels,
                  std::initializer_list<const char*> texts)
{
    QGroupBox* group = MakeGroup(bottom, name, title, left, 2, width, 74);
    int row = 0;
    auto text = texts.begin();
    for (const auto& [member, labelName] : labels) {
        *member = MakeLabel(group, QString::fromLatin1(labelName), QString::fromUtf8(*text++), 8, 18 + 17 * row);
        ++row;
    }
}

} // namespace

void TMForm::BuildGraphPages()
{
    QFrame* bottom = nullptr;

    KHX_GPC = BuildGraphPage(*this, PC, TabKHX, "TabKHX", "KHX", "KHX_GPC",
                             {{"3.3V", 1}, {"5V", 2}, {"5Vstb", 3}, {"12V1", 4}, {"12V2", 5}, {"12V3", 6},
                              {"12V4", 7}, {"12V5", 8}, {"12V6", 9}, {"12V7", 10}, {"12V8", 11}, {"12V Summary", 25}},
                             BPanel, "BPanel", bSaveImage, "bSaveImage");
    BuildReadout(BPanel, QStringLiteral("KHXPointGroup"), QStringLiteral("KHX graph point"), 115, 250,
                 {{&Graph_KHX_VLabel, "Graph_KHX_VLabel"}, {&Graph_KHX_CLabel, "Graph_KHX_CLabel"},
                  {&Graph_KHX_DLabel, "Graph_KHX_DLabel"}},
                 {"Voltage:", "Current:", "Delta V:"});

    Eff_GPC = BuildGraphPage(*this, PC, TabEfficiency, "TabEfficiency", "Efficiency", "Eff_GPC",
                             {{"PFC", 12}, {"Fan", 13}}, bottom, "EffBPanel", AdvGlowButton4, "AdvGlowButton4");
    BuildReadout(bottom, QStringLiteral("FanPointGroup"), QStringLiteral("Fans / Temp graph point"), 115, 200,
                 {{&Graph_FAN_F1Label, "Graph_FAN_F1Label"}, {&Graph_FAN_F2Label, "Graph_FAN_F2Label"},
                  {&Graph_FAN_TLabel, "Graph_FAN_TLabel"}},
                 {"FAN 1, RPM:", "FAN 2, RPM:", "Temp, °C:"});
    BuildReadout(bottom, QStringLiteral("PFCPointGroup"), QStringLiteral("PFC / Efficiency graph point"), 321, 200,
                 {{&Graph_PFC_PLabel, "Graph_PFC_PLabel"}, {&Graph_PFC_ELabel, "Graph_PFC_ELabel"}},
                 {"PFC:", "Efficiency, %:"});

    Noise_GPC = BuildGraphPage(*this, PC, TabNoise, "TabNoise", "Noise", "Noise_GPC",
                               {{"3.3V", 14}, {"5V", 15}, {"5vstb", 16}, {"12V1", 17}, {"12V2", 18}, {"12V3", 19},
                                {"12V4", 20}, {"12V5", 21}, {"12V6", 22}, {"12V7", 23}, {"12V8", 24}},
                               bottom, "NoiseBPanel", AdvGlowButton7, "AdvGlowButton7");
    BuildReadout(bottom, QStringLiteral("NoisePointGroup"), QStringLiteral("Noise graph point"), 115, 200,
                 {{&Graph_Noise_NLabel, "Graph_Noise_NLabel"}}, {"Noise:"});

    STS_GPC = BuildGraphPage(*this, PC, Tab5VStb, "Tab5VStb", "+5Vstb test", "STS_GPC", {{"+5Vstb test", 26}},
                             bottom, "STSBPanel", AdvGlowButton2, "AdvGlowButton2");
    BuildReadout(bottom, QStringLiteral("STSPointGroup"), QStringLiteral("STS graph point"), 115, 250,
                 {{&STS_VLabel, "STS_VLabel"}, {&STS_CLabel, "STS_CLabel"}, {&STS_DLabel, "STS_DLabel"}},
                 {"Voltage:", "Current:", "Delta V:"});
}
