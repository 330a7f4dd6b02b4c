#include "ui/TransparentPage.h"

#include "channel/ReceivePoller.h"
#include "ops/TransparentTest.h"
#include "session/DtuSession.h"
#include "ui/HandlerRunner.h"
#include "ui/KeyFilters.h"
#include "ui/WidgetHelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace WidgetHelpers;

TransparentPage::TransparentPage(DtuSession &session, HandlerRunner &run) : WindowPage("TabSheet2", session, run)
{
    auto *dialogueBox = Named(new QGroupBox(tr("对话显示窗口")), "GroupBox3");
    Memo2 = Memo("Memo2", tr("对话显示"), true);
    (new QVBoxLayout(dialogueBox))->addWidget(Memo2);

    auto *GroupBox1 = Named(new QGroupBox(TransparentTest::TextModeCaption()), "GroupBox1");
    auto *Memo3 = Memo("Memo3", tr("发送内容输入"), false);
    (new QVBoxLayout(GroupBox1))->addWidget(Memo3);
    auto *CheckBox2 = Named(new QCheckBox(tr(" 显示十六进制值     ")), "CheckBox2", tr("显示十六进制值"));
    TypedKeyFilter::Install(Memo3, [CheckBox2](QChar c) {
        return !CheckBox2->isChecked() || TransparentTest::HexKeyAccepted(c);
    });
    connect(CheckBox2, &QCheckBox::toggled, this, [this, GroupBox1](bool on) {
        GroupBox1->setTitle(on ? TransparentTest::HexModeCaption() : TransparentTest::TextModeCaption());
        session_.state.HexDisplayOn = on;
    });
    auto *ComboBox2 = Named(new QComboBox, "ComboBox2", tr("重复发送次数"));
    ComboBox2->addItems(TransparentTest::kRepeatItems);
    TypedKeyFilter::DiscardAll(ComboBox2);
    auto *crcBox = Named(new QCheckBox(QStringLiteral("MODBUSCRC")), "CheckBox8", QStringLiteral("MODBUSCRC"));
    // Every change of the box's state appends once, however it was made: a
    // click, the keyboard, a screen reader's toggle or desktop automation.
    connect(crcBox, &QCheckBox::toggled, this, [this, Memo3] {
        run_.Guarded([Memo3] { Memo3->setPlainText(TransparentTest::AppendModbusCrc(Memo3->toPlainText())); });
    });
    auto *sendButton = DeviceButton("Button8", tr("发送数据"), [=, this] {
        if (TransparentTest::Send(session_, Memo3->toPlainText(), ComboBox2->currentText(), CheckBox2->isChecked()))
            Memo3->clear();
    });
    auto *clearButton = Button("Button7", tr("统计清零"));
    connect(clearButton, &QPushButton::clicked, this, [this] {
        session_.state.SentByteCount = 0;
        session_.state.ReceivedByteCount = 0;
        session_.poller.RefreshCounters();
    });

    auto *controls = new QHBoxLayout;
    controls->addWidget(CheckBox2);
    controls->addWidget(BuddyLabel(tr("重复发送次数       "), ComboBox2));
    controls->addWidget(ComboBox2);
    controls->addWidget(crcBox);
    controls->addStretch();
    controls->addWidget(sendButton);
    controls->addWidget(clearButton);

    auto *counters = Named(new QStatusBar, "StatusBar2");
    counters->setSizeGripEnabled(false);
    auto *counterPanel = Named(new QLabel(session_.poller.CountersText()), "StatusBar2Panel0", tr("收发字节数"));
    counters->addWidget(counterPanel, 1);
    connect(&session_.poller, &ReceivePoller::countersChanged, counterPanel, &QLabel::setText);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(dialogueBox, 3);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(controls);
    layout->addWidget(counters);
}
