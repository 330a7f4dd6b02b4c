#include "ui/MainWindow.h"

#include "ui/FleetWindow.h"

#include "core/DtuError.h"
#include "core/WorkPaths.h"
#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "ops/PageEntry.h"
#include "channel/ReceivePoller.h"
#include "channel/SerialSettings.h"
#include "ops/SerialToggle.h"
#include "channel/TcpTransport.h"
#include "ops/ChannelOpen.h"
#include "ops/Login.h"
#include "ops/ParamFile.h"
#include "ops/ParamReader.h"
#include "ops/ParamWriter.h"
#include "ops/ProfileLoader.h"
#include "ops/ControlMode.h"
#include "ops/TransparentTest.h"
#include "ops/PortWatcher.h"
#include "ops/SignalMonitor.h"
#include "ops/TrafficLog.h"
#include "ui/SignalMeterView.h"
#include "ui/WriteProgress.h"
#include "ui/Dialogs.h"
#include "ui/KeyFilters.h"
#include "ui/ParamEditors.h"
#include "ui/QtFrontend.h"
#include "ui/WindowLanguage.h"
#include "ui/WindowSettings.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kRestoreDelayMs = 100;
constexpr int kMemoLineLimit = 10000; // a long repeated send or a chatty device must not eat the memory
const QColor kOpenColour(180, 220, 240);
const QColor kClosedColour(172, 196, 213);
const QString kFastModeKey = QStringLiteral("exchange/fastCompletion");
const QString kStampKey = QStringLiteral("memo/stampLines");
const QString kAutoReopenKey = QStringLiteral("serial/autoReopen");

// 宋体 where it exists; otherwise the first installed CJK face.
QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")});
    font.setPointSize(9);
    return font;
}

template <typename W>
W *Named(W *widget, const char *objectName, const QString &accessibleName = QString())
{
    widget->setObjectName(QLatin1String(objectName));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton *Button(const char *objectName, const QString &caption)
{
    return Named(new QPushButton(caption), objectName, caption.trimmed());
}

// Output memos keep their last lines; the input memo keeps all it is given.
QPlainTextEdit *Memo(const char *objectName, const QString &accessibleName, bool readOnly)
{
    auto *memo = Named(new QPlainTextEdit, objectName, accessibleName);
    memo->setReadOnly(readOnly);
    memo->setTabChangesFocus(true);
    memo->setFocusPolicy(Qt::StrongFocus);
    if (readOnly) {
        memo->setMaximumBlockCount(kMemoLineLimit);
        memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    return memo;
}

QLabel *BuddyLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

// Opens a pick list's drop-down when its read-only text is clicked.
class PopupOnClick : public QObject {
public:
    explicit PopupOnClick(QComboBox *box) : QObject(box), box_(box) { box->lineEdit()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && box_->isEnabled()) {
            box_->showPopup();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox *box_;
};

// The port box: any typed name, and the system's ports as they are when
// the list opens (an adapter plugged in after start shows up).
class PortBox : public QComboBox {
public:
    void showPopup() override
    {
        const QString text = currentText();
        const QSignalBlocker quiet(this);
        clear();
        addItems(SerialSettings::SystemPorts());
        setEditText(text);
        QComboBox::showPopup();
    }
};

// A pick list that may also show a text from a profile that is not among its
// items ("76800"): an editable box whose text the user cannot type into.
QComboBox *PickList(const char *objectName, const QString &accessibleName, const QStringList &items)
{
    auto *box = Named(new QComboBox, objectName, accessibleName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setReadOnly(true);
    box->addItems(items);
    TypedKeyFilter::DiscardAll(box);
    new PopupOnClick(box);
    return box;
}

void SetPickText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

int RunMainWindow(QApplication &app)
{
    QtDialogs dialogs;
    TForm1 window(dialogs);
    dialogs.SetParent(&window);
    window.show();
    return app.exec();
}

template <typename F>
void TForm1::Guarded(F &&fn)
{
    try {
        fn();
    } catch (const DtuError &error) {
        frontend_->ShowError(error.text());
    } catch (const std::exception &error) {
        frontend_->ShowError(QString::fromLocal8Bit(error.what()));
    }
}

template <typename F>
void TForm1::RunDevice(F &&fn)
{
    if (monitor_->Polling()) {
        // Pressed during a signal poll: runs right after it, never inside it.
        pressesAfterPoll_.append([this, fn = std::decay_t<F>(std::forward<F>(fn))]() mutable { RunDevice(fn); });
        return;
    }
    QPointer<QWidget> focus = QApplication::focusWidget();
    const ParamTableModel *active = session_->ActiveTable();
    // Refused while another action runs; the controls lock and unlock from
    // the session's actionRunningChanged.
    if (!RunAction(*session_, [&] { Guarded(fn); }))
        return;
    // The action chose another parameter channel: the editors move to the
    // table that is active now.
    if (session_->ActiveTable() != active)
        editors_->SetUpActive();
    if (focus && focus->isEnabled() && focus->isVisible())
        focus->setFocus();
}

TForm1::TForm1(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      frontend_(std::make_unique<QtFrontend>(dialogs)),
      session_(std::make_unique<DtuSession>(*frontend_)),
      monitor_(std::make_unique<SignalMonitor>(*session_)),
      portWatcher_(std::make_unique<PortWatcher>(*session_))
{
    setObjectName(QStringLiteral("TForm1"));
    setFont(WindowFont());
    editors_ = new ParamEditors(*session_, this);

    PageControl1 = Named(new QTabWidget, "PageControl1", tr("参数页"));
    PageControl1->setTabPosition(QTabWidget::South);
    PageControl1->addTab(BuildMainPage(), tr("   通信参数设置   "));
    PageControl1->addTab(BuildTransparentPage(), tr("  透明传输测试  "));
    PageControl1->addTab(BuildControlPage(), tr("控制模式测试"));
    // A tab only while the profile names an interface file; kept under the
    // tab widget meanwhile, so it goes with it.
    TabSheet5 = BuildExtendedPage();
    TabSheet5->setParent(PageControl1);
    TabSheet5->hide();
    PageControl1->setCurrentIndex(int(Page::Main));

    auto *splitter = Named(new QSplitter(Qt::Vertical), "Splitter1");
    splitter->setHandleWidth(4);
    splitter->setStyleSheet(QStringLiteral("QSplitter#Splitter1::handle { background-color: navy; }"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(PageControl1);
    splitter->addWidget(BuildMemoPanel());
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({560, 130});
    setCentralWidget(splitter);

    BuildMenu();
    BuildStatusBar();
    {
        const QSignalBlocker restoring(N7);
        N7->setChecked(
            QSettings(WindowSettings::kOrganisation, WindowSettings::kApplication).value(kFastModeKey, false).toBool());
    }
    ShowFastMode();

    frontend_->Bind({Memo1, Memo2, Memo4, StatusPanels[3], editors_, writeProgress_});
    editors_->AddTable(ListView1, &session_->mainTable);
    editors_->AddTable(ListView2, &session_->extTable);

    connect(session_.get(), &DtuSession::factsChanged, this, &TForm1::ShowFacts);
    connect(session_.get(), &DtuSession::actionRunningChanged, this, &TForm1::UpdateLock);
    connect(&session_->poller, &ReceivePoller::countersChanged, StatusBar2Panel, &QLabel::setText);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::OnTabChanged);
    connect(portWatcher_.get(), &PortWatcher::returned, this, &TForm1::OnPortReturned);
    ShowFacts();
    portWatcher_->Start();

    LoadScript();

    // The last profile is restored once the message loop runs.
    auto *restore = new QTimer(this);
    restore->setObjectName(QStringLiteral("RestoreTimer"));
    restore->setSingleShot(true);
    restore->setInterval(kRestoreDelayMs);
    connect(restore, &QTimer::timeout, this,
            [this] { RunDevice([this] { ProfileLoader::RestoreLastProfile(*session_); }); });
    restore->start();

    resize(756, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

TForm1::~TForm1()
{
    monitor_->Stop();
    portWatcher_->Stop();
    // The widgets show the session's tables: they go before the session.
    delete editors_;
    editors_ = nullptr;
    frontend_->Bind({});
    session_->disconnect(this);
    delete takeCentralWidget();
}

void TForm1::LoadScript()
{
    // A window started from the desktop menu runs in the home folder: the
    // script is then looked for beside the last profile and in the
    // configuration folder too.
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(WorkPaths::StartProfile(QString()));
    const QString path = script.found;
    if (path.isEmpty()) {
        dialogs_.Message(WorkPaths::ScriptNotFoundText(script.tried), QtFrontend::AppTitle());
        return;
    }
    QString error;
    ScriptFault fault;
    if (!session_->script.LoadFile(path, &error, &fault))
        dialogs_.Message(error, QtFrontend::AppTitle());
    else if (!fault.IsEmpty())
        dialogs_.Error(tr("脚本文件有错误，") + fault.Text(), QtFrontend::AppTitle());
}

QWidget *TForm1::BuildMainPage()
{
    auto *page = Named(new QWidget, "TabSheet1");

    GroupBox2 = Named(new QGroupBox(tr("串口设置")), "GroupBox2", tr("串口设置"));
    Edit1 = Named(new PortBox, "Edit1", tr("串口号"));
    Edit1->setEditable(true);
    Edit1->setInsertPolicy(QComboBox::NoInsert);
    Edit1->addItems(SerialSettings::SystemPorts());
    Edit1->setMinimumContentsLength(8);
    connect(Edit1, &QComboBox::editTextChanged, this, [this](const QString &text) { session_->facts.PortText = text; });
    ComboBox1 = PickList("ComboBox1", tr("波特率"), SerialSettings::OfferedSpeeds());
    ComboBox6 = PickList("ComboBox6", tr("数据格式"), SerialSettings::OfferedFormats());
    // Only another item runs the toggle: picking the one shown again leaves
    // an open port open.
    const auto pickRunsToggle = [this](QComboBox *box, QString WindowFacts::*setting) {
        connect(box, &QComboBox::activated, this, [this, box, setting] {
            const QString picked = box->currentText();
            if (picked == session_->facts.*setting)
                return;
            session_->facts.*setting = picked;
            Button3Click();
        });
    };
    pickRunsToggle(ComboBox1, &WindowFacts::BaudText);
    pickRunsToggle(ComboBox6, &WindowFacts::FormatText);
    Button3 = Button("Button3", tr("打开串口"));
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    auto *serialGrid = new QGridLayout(GroupBox2);
    serialGrid->addWidget(BuddyLabel(tr("串口号"), Edit1), 0, 0);
    serialGrid->addWidget(Edit1, 0, 1);
    serialGrid->addWidget(BuddyLabel(tr("波特率"), ComboBox1), 1, 0);
    serialGrid->addWidget(ComboBox1, 1, 1);
    serialGrid->addWidget(BuddyLabel(tr("数据格式"), ComboBox6), 2, 0);
    serialGrid->addWidget(ComboBox6, 2, 1);
    serialGrid->addWidget(Button3, 0, 2, 3, 1);

    GroupBox16 = Named(new QGroupBox(tr("TCP连接设置")), "GroupBox16", tr("TCP连接设置"));
    Edit8 = Named(new QLineEdit, "Edit8", tr("设备IP"));
    connect(Edit8, &QLineEdit::textEdited, this, [this](const QString &text) { session_->facts.TcpAddress = text; });
    Edit9 = Named(new QLineEdit(TcpTransport::kPasswordDefault), "Edit9", tr("密码"));
    Edit9->setEchoMode(QLineEdit::Password);
    Edit9->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    auto *connectButton = Button("Button15", tr("连接"));
    auto *disconnectButton = Button("Button18", tr("断开"));
    Label10 = Named(new QLabel, "Label10", tr("TCP连接状态"));
    // Like the serial port's button: one device action, which waits for the
    // connection with the window responsive and then selects the main table.
    connect(connectButton, &QPushButton::clicked, this, [this] {
        RunDevice([this] {
            ChannelOpen::ConnectTcp(*session_, Edit8->text(), session_->tcp.Port(), Edit9->text());
        });
    });
    connect(disconnectButton, &QPushButton::clicked, this,
            [this] { RunDevice([this] { ChannelOpen::DisconnectTcp(*session_); }); });
    auto *tcpGrid = new QGridLayout(GroupBox16);
    tcpGrid->addWidget(BuddyLabel(tr("设备IP   "), Edit8), 0, 0);
    tcpGrid->addWidget(Edit8, 0, 1);
    tcpGrid->addWidget(connectButton, 0, 2);
    tcpGrid->addWidget(BuddyLabel(tr("密码:"), Edit9), 1, 0);
    tcpGrid->addWidget(Edit9, 1, 1);
    tcpGrid->addWidget(disconnectButton, 1, 2);
    tcpGrid->addWidget(Label10, 2, 0, 1, 3);
    GroupBox16->hide();

    Panel16 = Named(new QFrame, "Panel16");
    Panel16->setFrameShape(QFrame::StyledPanel);
    auto *readButton = Button("btRead", tr("读取"));
    auto *writeButton = Button("btWrite", tr("设置"));
    writeButton->setToolTip(tr("设置当前选中参数"));
    writeButton->setAccessibleDescription(tr("设置当前选中参数"));
    connect(readButton, &QPushButton::clicked, this,
            [this] { RunDevice([this] { ParamReader::ReadMainPage(*session_); }); });
    connect(writeButton, &QPushButton::clicked, this,
            [this] { RunDevice([this] { ParamWriter::WriteMainPage(*session_); }); });
    auto *panelLayout = new QVBoxLayout(Panel16);
    panelLayout->addWidget(readButton);
    panelLayout->addWidget(writeButton);
    panelLayout->addStretch();

    ListView1 = Named(new QTableView, "ListView1", tr("通信参数表"));
    ListView1->setModel(&session_->mainTable);
    SetUpTable(ListView1, 210, 180, 300);

    auto *top = new QHBoxLayout;
    top->addWidget(GroupBox2);
    top->addWidget(GroupBox16);
    top->addStretch();
    top->addWidget(Panel16);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(ListView1, 1);

    lockedWidgets_ << ComboBox1 << ComboBox6 << Button3 << readButton << writeButton;
    return page;
}

void TForm1::SetUpTable(QTableView *view, int nameWidth, int valueWidth, int noteWidth)
{
    for (int column : {int(ColNumber), int(ColHex), int(ColOnList), int(ColOnGet), int(ColOnSet)})
        view->setColumnHidden(column, true);
    view->setColumnWidth(ColName, nameWidth);
    view->setColumnWidth(ColValue, valueWidth);
    view->setColumnWidth(ColNote, noteWidth);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 10);
    view->horizontalHeader()->setHighlightSections(false);
    view->setTabKeyNavigation(false);
}

QWidget *TForm1::BuildTransparentPage()
{
    auto *page = Named(new QWidget, "TabSheet2");

    auto *dialogueBox = Named(new QGroupBox(tr("对话显示窗口")), "GroupBox3");
    Memo2 = Memo("Memo2", tr("对话显示"), true);
    (new QVBoxLayout(dialogueBox))->addWidget(Memo2);

    GroupBox1 = Named(new QGroupBox(TransparentTest::TextModeCaption()), "GroupBox1");
    Memo3 = Memo("Memo3", tr("发送内容输入"), false);
    (new QVBoxLayout(GroupBox1))->addWidget(Memo3);
    TypedKeyFilter::Install(Memo3, [this](QChar c) {
        return !CheckBox2->isChecked() || TransparentTest::HexKeyAccepted(c);
    });

    CheckBox2 = Named(new QCheckBox(tr(" 显示十六进制值     ")), "CheckBox2", tr("显示十六进制值"));
    connect(CheckBox2, &QCheckBox::toggled, this, [this](bool on) {
        GroupBox1->setTitle(on ? TransparentTest::HexModeCaption() : TransparentTest::TextModeCaption());
        session_->state.HexDisplayOn = on;
    });
    ComboBox2 = Named(new QComboBox, "ComboBox2", tr("重复发送次数"));
    ComboBox2->addItems(TransparentTest::kRepeatItems);
    TypedKeyFilter::DiscardAll(ComboBox2);
    auto *crcBox = Named(new QCheckBox(QStringLiteral("MODBUSCRC")), "CheckBox8", QStringLiteral("MODBUSCRC"));
    // Every change of the box's state appends once, however it was made: a
    // click, the keyboard, a screen reader's toggle or desktop automation.
    connect(crcBox, &QCheckBox::toggled, this,
            [this] { Guarded([this] { Memo3->setPlainText(TransparentTest::AppendModbusCrc(Memo3->toPlainText())); }); });
    auto *sendButton = Button("Button8", tr("发送数据"));
    connect(sendButton, &QPushButton::clicked, this, [this] {
        RunDevice([this] {
            if (TransparentTest::Send(*session_, Memo3->toPlainText(), ComboBox2->currentText(), CheckBox2->isChecked()))
                Memo3->clear();
        });
    });
    auto *clearButton = Button("Button7", tr("统计清零"));
    connect(clearButton, &QPushButton::clicked, this, [this] {
        session_->state.SentByteCount = 0;
        session_->state.ReceivedByteCount = 0;
        session_->poller.RefreshCounters();
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
    StatusBar2Panel = Named(new QLabel(session_->poller.CountersText()), "StatusBar2Panel0", tr("收发字节数"));
    counters->addWidget(StatusBar2Panel, 1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(dialogueBox, 3);
    layout->addWidget(GroupBox1, 1);
    layout->addLayout(controls);
    layout->addWidget(counters);

    lockedWidgets_ << sendButton;
    return page;
}

QWidget *TForm1::BuildControlPage()
{
    auto *page = Named(new QWidget, "TabSheet3");

    auto *dialogueBox = Named(new QGroupBox(tr("对话显示窗口")), "GroupBox4");
    Memo4 = Memo("Memo4", tr("DTU状态显示"), true);
    (new QVBoxLayout(dialogueBox))->addWidget(Memo4);

    auto *statusBox = Named(new QGroupBox(tr("DTU状态访问")), "GroupBox5");
    auto *buttons = new QVBoxLayout(statusBox);
    const auto add = [&](const char *name, const QString &caption, auto command) {
        QPushButton *button = Button(name, caption);
        connect(button, &QPushButton::clicked, this, [this, command] { RunDevice([this, command] { command(*session_); }); });
        buttons->addWidget(button);
        lockedWidgets_ << button;
        return button;
    };
    Button6 = add("Button6", tr("读取信号强度"), &ControlMode::ReadSignal);
    add("Button9", tr("读DTU状态"), &ControlMode::ReadStatus);
    add("Button14", tr("查询DTU版本/IMEI"), &ControlMode::ReadVersion);
    add("Button19", tr("读取设备时钟"), &ControlMode::ReadClock);
    add("Button20", tr("设置设备时钟"), &ControlMode::SetClock);
    buttons->addStretch();

    meter_ = new SignalMeterView(*monitor_);
    auto *side = new QVBoxLayout;
    side->addWidget(statusBox);
    side->addWidget(meter_, 1);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(dialogueBox, 1);
    layout->addLayout(side);
    return page;
}

QWidget *TForm1::BuildExtendedPage()
{
    auto *page = Named(new QWidget, "TabSheet5");
    ListView2 = Named(new QTableView, "ListView2", tr("接口参数表"));
    ListView2->setModel(&session_->extTable);
    SetUpTable(ListView2, 200, 180, 325);

    auto *box = Named(new QGroupBox(tr("扩展参数设置")), "GroupBox6");
    auto *readButton = Button("Button16", tr("读取"));
    auto *writeButton = Button("Button17", tr("设置"));
    connect(readButton, &QPushButton::clicked, this,
            [this] { RunDevice([this] { ParamReader::ReadExtendedPage(*session_); }); });
    connect(writeButton, &QPushButton::clicked, this,
            [this] { RunDevice([this] { ParamWriter::WriteExtendedPage(*session_); }); });
    auto *boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(readButton);
    boxLayout->addWidget(writeButton);
    boxLayout->addStretch();

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ListView2, 1);
    layout->addWidget(box);
    lockedWidgets_ << readButton << writeButton;
    return page;
}

QWidget *TForm1::BuildMemoPanel()
{
    auto *panel = Named(new QWidget, "panel3");
    Memo1 = Memo("Memo1", tr("通信记录"), true);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);

    // The hidden login box lies over the memo's top left corner.
    MaskEdit3 = Named(new QLineEdit(panel), "MaskEdit3", tr("管理口令"));
    MaskEdit3->setEchoMode(QLineEdit::Password);
    MaskEdit3->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    MaskEdit3->setFrame(false);
    MaskEdit3->setGeometry(4, 4, 160, MaskEdit3->sizeHint().height());
    MaskEdit3->hide();
    connect(MaskEdit3, &QLineEdit::returnPressed, this, &TForm1::MaskEdit3Submit);

    // Ctrl+A (character 1) in the memo reveals the box; the memo still
    // handles the key as usual.
    new KeyWatcher(Memo1, false, [this](QKeyEvent *key) {
        const bool ctrlA = key->text() == QString(QChar(1))
                           || (key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier));
        if (!ctrlA)
            return;
        MaskEdit3->show();
        MaskEdit3->raise();
        MaskEdit3->setFocus(Qt::OtherFocusReason);
    });
    return panel;
}

void TForm1::BuildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto action = [this](const char *name, const QString &caption, const QKeySequence &keys, auto handler) {
        auto *act = new QAction(caption, this);
        act->setObjectName(QLatin1String(name));
        act->setShortcut(keys);
        connect(act, &QAction::triggered, this, handler);
        lockedActions_ << act;
        return act;
    };
    bar->addAction(action("N1", tr("恢复出厂默认设置"), QKeySequence(QStringLiteral("Ctrl+Shift+D")),
                          [this] { RunDevice([this] { ParamFile::RestoreDefaultsMenu(*session_); }); }));
    bar->addAction(action("N6", tr("复位设备"), QKeySequence(QStringLiteral("Ctrl+Shift+R")),
                          [this] { RunDevice([this] { ParamFile::ResetMenu(*session_); }); }));
    QMenu *files = bar->addMenu(tr("文件操作"));
    files->setObjectName(QStringLiteral("N2"));
    files->menuAction()->setObjectName(QStringLiteral("N2Action"));
    files->addAction(action("N5", tr("调入参数文件"), QKeySequence::Open, [this] { N5Click(); }));
    files->addAction(action("ba1", tr("保存参数文件"), QKeySequence::Save,
                            [this] { RunDevice([this] { ParamFile::SaveParamFile(*session_); }); }));
    files->addAction(action("N4", tr("批量写参数"), QKeySequence(QStringLiteral("Ctrl+Shift+W")),
                            [this] { RunDevice([this] { ParamFile::BatchWrite(*session_); }); }));
    // Not an action on this window's channel: the fleet has its own workers.
    auto *fleet = new QAction(tr("多台设备配置..."), this);
    fleet->setObjectName(QStringLiteral("N8"));
    connect(fleet, &QAction::triggered, this, &TForm1::ShowFleetWindow);
    files->addAction(fleet);
    files->addSeparator();
    // Not a device action: it only tells the exchange how to end replies.
    N7 = new QAction(tr("快速应答模式"), this);
    N7->setObjectName(QStringLiteral("N7"));
    N7->setCheckable(true);
    connect(N7, &QAction::toggled, this, &TForm1::N7Click);
    files->addAction(N7);
    files->addSeparator();
    auto *saveLog = new QAction(tr("保存通信记录..."), this);
    saveLog->setObjectName(QStringLiteral("SaveTrafficLog"));
    connect(saveLog, &QAction::triggered, this, [this] { Guarded([this] { SaveTrafficLog(); }); });
    files->addAction(saveLog);
    stampAction_ = RememberedSwitch("StampMemoLines", tr("记录时间"), kStampKey);
    frontend_->SetStampMemoLines(stampAction_->isChecked());
    connect(stampAction_, &QAction::toggled, this, [this](bool on) { frontend_->SetStampMemoLines(on); });
    files->addAction(stampAction_);
    autoReopenAction_ = RememberedSwitch("AutoReopen", tr("自动重新打开"), kAutoReopenKey);
    files->addAction(autoReopenAction_);
    BuildLanguageMenu(files);
    lockedActions_ << files->menuAction();
}

QAction *TForm1::RememberedSwitch(const char *name, const QString &caption, const QString &key)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(true);
    action->setChecked(QSettings(WindowSettings::kOrganisation, WindowSettings::kApplication).value(key, false).toBool());
    connect(action, &QAction::toggled, this,
            [key](bool on) { QSettings(WindowSettings::kOrganisation, WindowSettings::kApplication).setValue(key, on); });
    return action;
}

void TForm1::BuildLanguageMenu(QMenu *parent)
{
    // Each language under its own name, so a reader of either finds it.
    QMenu *menu = parent->addMenu(tr("语言 / Language"));
    menu->setObjectName(QStringLiteral("LanguageMenu"));
    auto *group = new QActionGroup(this);
    const WindowLanguage::Choice saved = WindowLanguage::SavedChoice();
    const auto add = [&](const char *name, const QString &caption, WindowLanguage::Choice choice) {
        QAction *act = menu->addAction(caption);
        act->setObjectName(QLatin1String(name));
        act->setCheckable(true);
        act->setChecked(choice == saved);
        group->addAction(act);
        connect(act, &QAction::triggered, this, [this, choice] { LanguagePicked(choice); });
    };
    add("LanguageSystem", tr("跟随系统"), WindowLanguage::Choice::System);
    add("LanguageChinese", QStringLiteral("中文"), WindowLanguage::Choice::Chinese);
    add("LanguageEnglish", QStringLiteral("English"), WindowLanguage::Choice::English);
}

void TForm1::LanguagePicked(WindowLanguage::Choice choice)
{
    WindowLanguage::SaveChoice(choice);
    const Language next = WindowLanguage::Resolve(choice, QLocale::system());
    if (next == Translation::Current())
        return;
    // Said in the language picked: that is the one its reader reads.
    static const char *const kNotice = QT_TRANSLATE_NOOP("TForm1", "界面语言将在下次启动程序时切换。");
    dialogs_.Message(Translation::InLanguage(next, "TForm1", kNotice), QtFrontend::AppTitle());
}

void TForm1::ShowFleetWindow()
{
    if (!fleetWindow_)
        fleetWindow_ = new FleetWindow(dialogs_, session_->profile ? session_->profile->Path() : QString(), this);
    fleetWindow_->show();
    fleetWindow_->raise();
    fleetWindow_->activateWindow();
}

void TForm1::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const QString texts[4] = {tr("串口状态"), session_->facts.SerialStateText,
                              tr("操作结果"), QString()};
    const int widths[4] = {80, 300, 100, 0};
    const QString names[4] = {tr("串口状态"), tr("串口状态内容"),
                              tr("操作结果"), tr("操作结果内容")};
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QLabel(texts[i]);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setAccessibleName(names[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, widths[i] > 0 ? 0 : 1);
        StatusPanels[i] = panel;
    }
    FastModePanel = new QLabel(tr("快速应答"));
    FastModePanel->setObjectName(QStringLiteral("FastModePanel"));
    FastModePanel->setAccessibleName(tr("快速应答模式"));
    FastModePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    writeProgress_ = new WriteProgress(session_->state);
    bar->addPermanentWidget(writeProgress_);
    bar->addPermanentWidget(FastModePanel);
}

void TForm1::ShowFastMode()
{
    const bool on = N7->isChecked();
    session_->exchange.SetFastCompletion(on);
    FastModePanel->setVisible(on);
}

void TForm1::ShowFacts()
{
    const WindowFacts &facts = session_->facts;
    setWindowTitle(facts.Caption);
    if (Edit1->currentText() != facts.PortText)
        Edit1->setEditText(facts.PortText);
    SetPickText(ComboBox1, facts.BaudText);
    SetPickText(ComboBox6, facts.FormatText);
    GroupBox16->setVisible(facts.TcpBoxVisible);
    Button6->setVisible(!facts.TcpBoxVisible);
    // The meter reads through Button6's command: it goes where the button goes.
    meter_->setVisible(!facts.TcpBoxVisible);
    if (Edit8->text() != facts.TcpAddress)
        Edit8->setText(facts.TcpAddress);
    Label10->setText(facts.TcpStatusText);
    Button3->setText(facts.SerialButtonCaption);
    Button3->setAccessibleName(facts.SerialButtonCaption);
    StatusPanels[1]->setText(facts.SerialStateText);
    const QColor colour = facts.SerialOpenColour ? kOpenColour : kClosedColour;
    SetBackground(GroupBox2, colour);
    SetBackground(Panel16, colour);
    ShowExtendedTab(session_->state.ExtPageVisible);
    // Nothing to poll once the channel has closed.
    if (!session_->channel.ChannelIsOpen() || facts.TcpBoxVisible)
        meter_->SwitchOff();
}

void TForm1::ShowExtendedTab(bool shown)
{
    // Taken out of the tab row rather than hidden: screen readers still
    // announce a hidden tab. It is always the last one, so the other pages
    // keep their indexes.
    const int index = PageControl1->indexOf(TabSheet5);
    if (shown && index < 0)
        PageControl1->insertTab(int(Page::Extended), TabSheet5, tr("   接口参数设置   "));
    else if (!shown && index >= 0)
        PageControl1->removeTab(index);
}

void TForm1::UpdateLock()
{
    // A signal poll is short and runs by itself: the controls stay live and
    // a press during it is queued (RunDevice).
    const bool locked = session_->ActionRunning() && !monitor_->Polling();
    for (QWidget *widget : std::as_const(lockedWidgets_))
        widget->setEnabled(!locked);
    for (QAction *action : std::as_const(lockedActions_))
        action->setEnabled(!locked);
    PageControl1->tabBar()->setEnabled(!locked);
    editors_->SetLocked(locked);
    if (!locked && pageEntryPending_) {
        pageEntryPending_ = false;
        QTimer::singleShot(0, this, [this] { OnTabChanged(PageControl1->currentIndex()); });
    }
    // One queued press at a time: each is an action of its own, and the next
    // would be refused while the one before it runs.
    if (!session_->ActionRunning() && !pressesAfterPoll_.isEmpty())
        QTimer::singleShot(0, this, pressesAfterPoll_.takeFirst());
}

void TForm1::OnTabChanged(int index)
{
    if (index < 0)
        return;
    if (index != int(Page::Control))
        meter_->SwitchOff();
    if (session_->ActionRunning()) {
        // A page changed while an action runs (a profile load hiding the
        // extended page): its entry steps run once the action ends.
        pageEntryPending_ = true;
        return;
    }
    RunDevice([this, index] { PageEntry::OnPageShown(*session_, Page(index)); });
}

void TForm1::N5Click()
{
    RunDevice([this] {
        const QString initial = ProfileLoader::OpenDialogStart(*session_, QCoreApplication::applicationDirPath());
        const QString path = frontend_->AskOpenFile(initial, QStringLiteral(".txt"));
        if (path.isEmpty())
            return;
        try {
            ProfileLoader::LoadChosenProfile(*session_, path);
        } catch (const DtuError &error) {
            throw DtuError(tr("参数文件 %1 无法调入：%2").arg(path, error.text()));
        }
    });
}

void TForm1::N7Click(bool checked)
{
    ShowFastMode();
    QSettings(WindowSettings::kOrganisation, WindowSettings::kApplication).setValue(kFastModeKey, checked);
}

void TForm1::Button3Click()
{
    RunDevice([this] { SerialToggle::Toggle(*session_); });
}

void TForm1::MaskEdit3Submit()
{
    const bool accepted = Login::Submit(session_->state, MaskEdit3->text());
    MaskEdit3->clear();
    if (accepted) {
        MaskEdit3->hide();
        Memo1->setFocus(Qt::OtherFocusReason);
    } else {
        MaskEdit3->setFocus(Qt::OtherFocusReason);
    }
}

void TForm1::SaveTrafficLog()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = frontend_->AskSaveFile(TrafficLog::SuggestedName(now), QStringLiteral(".txt"));
    if (path.isEmpty())
        return;
    const TrafficLog::Texts texts{Memo1->toPlainText(), Memo4->toPlainText(), Memo2->toPlainText()};
    TrafficLog::Save(path, TrafficLog::Compose(*session_, QStringLiteral("dtuconfig ") + QCoreApplication::applicationVersion(), now, texts));
    frontend_->AppendMemo(tr("通信记录已保存到%1").arg(path));
}

void TForm1::OnPortReturned()
{
    ShowFacts();
    if (autoReopenAction_->isChecked() && !session_->channel.ChannelIsOpen())
        Button3Click();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Ends any reply wait at once; the action then unwinds on its own.
    session_->state.ClosingFlag = true;
    QMainWindow::closeEvent(event);
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        session_->poller.SetEnabled(true);
    QMainWindow::changeEvent(event);
}
