#include "ui/ControlPage.h"

#include "ops/ControlMode.h"
#include "session/DtuSession.h"
#include "ui/HandlerRunner.h"
#include "ui/SignalMeterView.h"
#include "ui/WidgetHelpers.h"
#include "actions/Recorder.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace WidgetHelpers;

ControlPage::ControlPage(DtuSession &session, HandlerRunner &run, SignalMonitor &monitor, Recorder &recorder)
    : WindowPage("TabSheet3", session, run)
{
    auto *dialogueBox = Named(new QGroupBox(tr("对话显示窗口")), "GroupBox4");
    Memo4 = Memo("Memo4", tr("DTU状态显示"), true);
    (new QVBoxLayout(dialogueBox))->addWidget(Memo4);

    auto *statusBox = Named(new QGroupBox(tr("DTU状态访问")), "GroupBox5");
    auto *buttons = new QVBoxLayout(statusBox);
    const auto add = [&](const char *name, const QString &caption, auto command) {
        QPushButton *button = DeviceButton(name, caption, [this, command] { command(session_); });
        buttons->addWidget(button);
        return button;
    };
    Button6 = add("Button6", tr("读取信号强度"), &ControlMode::ReadSignal);
    add("Button9", tr("读DTU状态"), &ControlMode::ReadStatus);
    // The answers name the device in the records' later entries.
    add("Button14", tr("查询DTU版本/IMEI"),
        [&recorder](DtuSession &s) { recorder.LearnVersion(s, ControlMode::ReadVersion(s)); });
    add("Button19", tr("读取设备时钟"), &ControlMode::ReadClock);
    add("Button20", tr("设置设备时钟"), &ControlMode::SetClock);
    buttons->addStretch();

    meter_ = new SignalMeterView(monitor);
    auto *side = new QVBoxLayout;
    side->addWidget(statusBox);
    side->addWidget(meter_, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(dialogueBox, 1);
    layout->addLayout(side);
}

void ControlPage::ShowFacts(const WindowFacts &facts)
{
    Button6->setVisible(!facts.TcpBoxVisible);
    // The meter reads through Button6's command: it goes where the button goes.
    meter_->setVisible(!facts.TcpBoxVisible);
}

void ControlPage::SwitchOffMeter()
{
    meter_->SwitchOff();
}
