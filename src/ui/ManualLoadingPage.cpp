// The "Manual loading" page: one column per load channel with its readings, verdict, load
// track bar, estimated power, set-point field and "Set" button, and the two "SET ALL" buttons.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "ui/ChannelLayout.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

namespace {
QString Name(const char* pattern, int n) { return QString::fromLatin1(pattern).arg(n); }
} // namespace

void TMForm::BuildManualLoadingPage()
{
    TabTesting = new QWidget;
    TabTesting->setObjectName(QStringLiteral("TabTesting"));
    PC->addTab(TabTesting, QStringLiteral("Manual loading"));

    for (int n = 1; n <= 11; ++n) {
        QGroupBox* group = MakeGroup(TabTesting, Name("CH%1GB", n), QString(), 8 + 64 * (n - 1), 0, 57, 569);
        CHGB[n] = group;
        CHTitle[n] = MakeLabel(group, Name("CHTitle%1", n), QString::fromLatin1(ChannelLayout[n - 1].LoadingTitle),
                               4, 10, 0, 0, 0, true);
        VSensor[n] = MakeLabel(group, Name("V%1Sensor", n), QStringLiteral("0 V"), 4, 23);
        CSensor[n] = MakeLabel(group, Name("C%1Sensor", n), QStringLiteral("0 A"), 4, 35);
        PSensor[n] = MakeLabel(group, Name("P%1Sensor", n), QStringLiteral("0 W"), 4, 47);
        NLSensor[n] = MakeLabel(group, Name("NL%1Sensor", n), QStringLiteral("0 mV"), 4, 59);
        NFSensor[n] = MakeLabel(group, Name("NF%1Sensor", n), QStringLiteral("0 kHz"), 4, 71);
        CPStatus[n] = MakeLabel(group, Name("CP%1Status", n), QStringLiteral("PASS"), 4, 81, 0, 0, 13, true);
        SetTextColor(CPStatus[n], GoodColor);

        auto* bar = new TTrackBar(group);
        bar->setObjectName(Name("PSUC%1Bar", n));
        bar->setGeometry(8, 97, 40, 393);
        bar->setTickPosition(QSlider::TicksBothSides);
        bar->setRange(0, 35);
        bar->setValue(35);  // 0 A at the bottom; start-up gives each bar the DUT's range
        PSUCBar[n] = bar;

        EstPower[n] = MakeLabel(group, Name("EstPower%1", n), QStringLiteral("0 W"), 2, 496);
        PSUCEdit[n] = MakeEdit(group, Name("PSUC%1Edit", n), QStringLiteral("0"), 8, 513, 41, 0);
        InstallDigitFilter(PSUCEdit[n]);
        bSet[n] = MakeButton(group, Name("bSet%1", n), QStringLiteral("Set"), 8, 538, 41, 23);
        SetTag(bSet[n], n);
    }

    bSetAll0 = MakeButton(TabTesting, QStringLiteral("bSetAll0"), QStringLiteral("SET ALL 0A LOAD"), 8, 580, 441, 24, 15);
    bSetAll1 = MakeButton(TabTesting, QStringLiteral("bSetAll1"), QStringLiteral("SET ALL 1A LOAD"), 456, 580, 449, 24, 15);
}
