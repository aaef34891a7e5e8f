// The "Debug" page: the console memo and the fields to inject received text or send a frame.

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include "monitor/DebugConsole.h"
#include "ui/MainForm.h"
#include "ui/Widgets.h"

void TMForm::BuildDebugPage()
{
    TabDebug = new QWidget;
    TabDebug->setObjectName(QStringLiteral("TabDebug"));
    PC->addTab(TabDebug, QStringLiteral("Debug"));
    auto* pageLayout = new QHBoxLayout(TabDebug);
    pageLayout->setContentsMargins(4, 4, 4, 4);

    auto* group = new QGroupBox(QStringLiteral("Debug"), TabDebug);
    group->setObjectName(QStringLiteral("DebugGroup"));
    pageLayout->addWidget(group);
    auto* layout = new QHBoxLayout(group);

    DebugMemo = new QPlainTextEdit(group);
    DebugMemo->setObjectName(QStringLiteral("DebugMemo"));
    DebugMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    DebugMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DebugMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The memo keeps DebugMemoLineLimit lines: its feed takes out the oldest after every batch
    // (Qt's own block limit lays out every line it removes, which made a full memo twenty times
    // slower to feed). No undo history either: it would keep every line ever shown.
    DebugMemo->setUndoRedoEnabled(false);
    layout->addWidget(DebugMemo, 1);

    auto* column = new QWidget(group);
    column->setObjectName(QStringLiteral("DebugColumn"));
    column->setFixedWidth(185);
    layout->addWidget(column);
    MakeLabel(column, QStringLiteral("DebugDataLabel1"), QStringLiteral("Data:"), 0, 0, 185);
    DebugEdit1 = MakeEdit(column, QStringLiteral("DebugEdit1"), QString(), 0, 16, 185, 0);
    bDebugReceive = MakeButton(column, QStringLiteral("bDebugReceive"), QStringLiteral("Receive"), 0, 41, 75, 25);
    MakeLabel(column, QStringLiteral("DebugDataLabel2"), QStringLiteral("Data:"), 0, 80, 185);
    DebugEdit2 = MakeEdit(column, QStringLiteral("DebugEdit2"), QString(), 0, 96, 185, 0);
    bDebugSend = MakeButton(column, QStringLiteral("bDebugSend"), QStringLiteral("Send"), 0, 121, 75, 25);
    AdvGlowButton1 = MakeButton(column, QStringLiteral("AdvGlowButton1"), QStringLiteral("<- Clear"), 0, 170, 75, 25);
}
