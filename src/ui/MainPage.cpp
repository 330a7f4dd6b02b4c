#include "ui/MainPage.h"

#include "channel/SerialSettings.h"
#include "channel/TcpTransport.h"
#include "ops/ChannelOpen.h"
#include "actions/ParamActions.h"
#include "ops/SerialToggle.h"
#include "session/DtuSession.h"
#include "ui/HandlerRunner.h"
#include "ui/WidgetHelpers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace WidgetHelpers;

namespace {
const QColor kOpenColour(180, 220, 240);
const QColor kClosedColour(172, 196, 213);
} // namespace

MainPage::MainPage(DtuSession &session, HandlerRunner &run, Recorder &recorder)
    : WindowPage("TabSheet1", session, run), recorder_(recorder)
{
    BuildSerialBox();
    BuildTcpBox();
    BuildButtons();

    ListView1 = Named(new QTableView, "ListView1", tr("通信参数表"));
    ListView1->setModel(&session_.mainTable);
    SetUpParamTable(ListView1, 210, 180, 300);

    auto *top = new QHBoxLayout;
    top->addWidget(GroupBox2);
    top->addWidget(GroupBox16);
    top->addStretch();
    top->addWidget(Panel16);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(ListView1, 1);
}

void MainPage::BuildSerialBox()
{
    GroupBox2 = Named(new QGroupBox(tr("串口设置")), "GroupBox2", tr("串口设置"));
    Edit1 = PortBox("Edit1", tr("串口号"));
    connect(Edit1, &QComboBox::editTextChanged, this, [this](const QString &text) { session_.facts.PortText = text; });
    ComboBox1 = PickList("ComboBox1", tr("波特率"), SerialSettings::OfferedSpeeds());
    ComboBox6 = PickList("ComboBox6", tr("数据格式"), SerialSettings::OfferedFormats());
    // Only another item runs the toggle: picking the one shown again leaves
    // an open port open.
    const auto pickRunsToggle = [this](QComboBox *box, QString WindowFacts::*setting) {
        connect(box, &QComboBox::activated, this, [this, box, setting] {
            const QString picked = box->currentText();
            if (picked == session_.facts.*setting)
                return;
            session_.facts.*setting = picked;
            ToggleSerial();
        });
    };
    pickRunsToggle(ComboBox1, &WindowFacts::BaudText);
    pickRunsToggle(ComboBox6, &WindowFacts::FormatText);
    Button3 = Button("Button3", tr("打开串口"));
    connect(Button3, &QPushButton::clicked, this, &MainPage::ToggleSerial);
    auto *grid = new QGridLayout(GroupBox2);
    grid->addWidget(BuddyLabel(tr("串口号"), Edit1), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(BuddyLabel(tr("波特率"), ComboBox1), 1, 0);
    grid->addWidget(ComboBox1, 1, 1);
    grid->addWidget(BuddyLabel(tr("数据格式"), ComboBox6), 2, 0);
    grid->addWidget(ComboBox6, 2, 1);
    grid->addWidget(Button3, 0, 2, 3, 1);
    lockable_ << ComboBox1 << ComboBox6 << Button3;
}

void MainPage::BuildTcpBox()
{
    GroupBox16 = Named(new QGroupBox(tr("TCP连接设置")), "GroupBox16", tr("TCP连接设置"));
    Edit8 = Named(new QLineEdit, "Edit8", tr("设备IP"));
    connect(Edit8, &QLineEdit::textEdited, this, [this](const QString &text) { session_.facts.TcpAddress = text; });
    Edit9 = Named(new QLineEdit(TcpTransport::kPasswordDefault), "Edit9", tr("密码"));
    Edit9->setEchoMode(QLineEdit::Password);
    Edit9->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    auto *connectButton = Button("Button15", tr("连接"));
    auto *disconnectButton = Button("Button18", tr("断开"));
    Label10 = Named(new QLabel, "Label10", tr("TCP连接状态"));
    // Like the serial port's button: one device action, which waits for the
    // connection with the window responsive and then selects the main table.
    connect(connectButton, &QPushButton::clicked, this, [this] {
        run_.RunDevice([this] { ChannelOpen::Open(session_, Endpoint::Tcp(Edit8->text().trimmed(), session_.tcp.Port()), Edit9->text()); });
    });
    connect(disconnectButton, &QPushButton::clicked, this,
            [this] { run_.RunDevice([this] { session_.tcp.Disconnect(); }); });
    auto *grid = new QGridLayout(GroupBox16);
    grid->addWidget(BuddyLabel(tr("设备IP   "), Edit8), 0, 0);
    grid->addWidget(Edit8, 0, 1);
    grid->addWidget(connectButton, 0, 2);
    grid->addWidget(BuddyLabel(tr("密码:"), Edit9), 1, 0);
    grid->addWidget(Edit9, 1, 1);
    grid->addWidget(disconnectButton, 1, 2);
    grid->addWidget(Label10, 2, 0, 1, 3);
    GroupBox16->hide();
}

void MainPage::BuildButtons()
{
    Panel16 = Named(new QFrame, "Panel16");
    Panel16->setFrameShape(QFrame::StyledPanel);
    auto *readButton
        = DeviceButton("btRead", tr("读取"), [this] { Actions::Read(session_, recorder_, Actions::Page::Main); });
    auto *writeButton
        = DeviceButton("btWrite", tr("设置"), [this] { Actions::Write(session_, recorder_, Actions::Page::Main, {}); });
    writeButton->setToolTip(tr("设置当前选中参数"));
    writeButton->setAccessibleDescription(tr("设置当前选中参数"));
    auto *layout = new QVBoxLayout(Panel16);
    layout->addWidget(readButton);
    layout->addWidget(writeButton);
    layout->addStretch();
}

void MainPage::ShowFacts(const WindowFacts &facts)
{
    if (Edit1->currentText() != facts.PortText)
        Edit1->setEditText(facts.PortText);
    SetPickText(ComboBox1, facts.BaudText);
    SetPickText(ComboBox6, facts.FormatText);
    GroupBox16->setVisible(facts.TcpBoxVisible);
    if (Edit8->text() != facts.TcpAddress)
        Edit8->setText(facts.TcpAddress);
    Label10->setText(facts.TcpStatusText);
    Button3->setText(facts.SerialButtonCaption);
    Button3->setAccessibleName(facts.SerialButtonCaption);
    const QColor colour = facts.SerialOpenColour ? kOpenColour : kClosedColour;
    SetBackground(GroupBox2, colour);
    SetBackground(Panel16, colour);
}

void MainPage::ToggleSerial()
{
    run_.RunDevice([this] { SerialToggle::Toggle(session_); });
}
