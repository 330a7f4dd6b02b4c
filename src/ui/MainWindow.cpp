#include "ui/MainWindow.h"

#include "core/ScheduledTimer.h"

#include "core/WorkPaths.h"
#include "ops/PageEntry.h"
#include "ops/PortWatcher.h"
#include "ops/ProfileLoader.h"
#include "ops/SignalMonitor.h"
#include "ops/TrafficLog.h"
#include "session/ActionDispatcher.h"
#include "session/DtuSession.h"
#include "ui/ControlPage.h"
#include "ui/Dialogs.h"
#include "ui/ExtendedPage.h"
#include "ui/HandlerRunner.h"
#include "ui/MainMenu.h"
#include "ui/MainPage.h"
#include "ui/MemoPanel.h"
#include "ui/ParamEditors.h"
#include "ui/QtFrontend.h"
#include "ui/TransparentPage.h"
#include "ui/WidgetHelpers.h"
#include "ui/WindowRecorder.h"
#include "ui/WriteProgress.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

int RunMainWindow(QApplication &app)
{
    QtDialogs dialogs;
    TForm1 window(dialogs);
    dialogs.SetParent(&window);
    window.show();
    return app.exec();
}

TForm1::TForm1(Dialogs &dialogs, QWidget *parent)
    : QMainWindow(parent),
      dialogs_(dialogs),
      frontend_(std::make_unique<QtFrontend>(dialogs)),
      session_(std::make_unique<DtuSession>(*frontend_)),
      dispatcher_(std::make_unique<ActionDispatcher>(*session_)),
      monitor_(std::make_unique<SignalMonitor>(*session_, *dispatcher_)),
      portWatcher_(std::make_unique<PortWatcher>(*session_)),
      records_(std::make_unique<WindowRecorder>(*frontend_))
{
    setObjectName(QStringLiteral("TForm1"));
    setFont(WidgetHelpers::WindowFont());
    editors_ = new ParamEditors(*session_, this);
    run_ = std::make_unique<HandlerRunner>(*session_, *dispatcher_, *editors_);
    run_->afterDevice = [this] { records_->WarnOnce(); };

    PageControl1 = WidgetHelpers::Named(new QTabWidget, "PageControl1", tr("参数页"));
    PageControl1->setTabPosition(QTabWidget::South);
    mainPage_ = new MainPage(*session_, *run_, records_->recorder());
    PageControl1->addTab(mainPage_, tr("   通信参数设置   "));
    transparentPage_ = new TransparentPage(*session_, *run_);
    PageControl1->addTab(transparentPage_, tr("  透明传输测试  "));
    controlPage_ = new ControlPage(*session_, *run_, *monitor_, records_->recorder());
    PageControl1->addTab(controlPage_, tr("控制模式测试"));
    // A tab only while the profile names an interface file; kept under the
    // tab widget meanwhile, so it goes with it.
    TabSheet5 = new ExtendedPage(*session_, *run_, records_->recorder());
    TabSheet5->setParent(PageControl1);
    TabSheet5->hide();
    PageControl1->setCurrentIndex(int(Page::Main));
    lockedWidgets_ << mainPage_->Lockable() << transparentPage_->Lockable() << controlPage_->Lockable()
                   << TabSheet5->Lockable();

    auto *splitter = WidgetHelpers::Named(new QSplitter(Qt::Vertical), "Splitter1");
    splitter->setHandleWidth(4);
    splitter->setStyleSheet(QStringLiteral("QSplitter#Splitter1::handle { background-color: navy; }"));
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(PageControl1);
    memoPanel_ = new MemoPanel(session_->state);
    splitter->addWidget(memoPanel_);
    splitter->setStretchFactor(0, 1);
    splitter->setSizes({560, 130});
    setCentralWidget(splitter);

    menu_ = std::make_unique<MainMenu>(*this, *session_, *run_, *frontend_, dialogs_, *records_);
    lockedActions_ << menu_->Lockable();
    connect(menu_->FastMode(), &QAction::toggled, this, &TForm1::ShowFastMode);
    connect(menu_->SaveLog(), &QAction::triggered, this, [this] { run_->Guarded([this] { SaveTrafficLog(); }); });
    BuildStatusBar();
    ShowFastMode();

    frontend_->Bind({memoPanel_->Memo(), transparentPage_->Display(), controlPage_->Display(), resultPanel_, editors_,
                     writeProgress_});
    editors_->AddTable(mainPage_->Table(), &session_->mainTable);
    editors_->AddTable(TabSheet5->Table(), &session_->extTable);

    connect(session_.get(), &DtuSession::factsChanged, this, &TForm1::ShowFacts);
    connect(session_.get(), &DtuSession::actionRunningChanged, this, &TForm1::UpdateLock);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::OnTabChanged);
    connect(portWatcher_.get(), &PortWatcher::returned, this, &TForm1::OnPortReturned);
    ShowFacts();
    portWatcher_->Start();

    LoadScript();

    // The last profile is restored once the message loop runs.
    restoreTimer_ = std::make_unique<ScheduledTimer>(session_->scheduler, QStringLiteral("RestoreTimer"));
    restoreTimer_->SetSingleShot(true);
    restoreTimer_->OnTimeout([this] { run_->RunDevice([this] { ProfileLoader::RestoreLastProfile(*session_); }); });
    restoreTimer_->Start(kRestoreDelayMs);

    resize(756, 768);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void TForm1::BuildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    const QString texts[4] = {tr("串口状态"), session_->facts.SerialStateText, tr("操作结果"), QString()};
    const int widths[4] = {80, 300, 100, 0};
    const QString names[4] = {tr("串口状态"), tr("串口状态内容"), tr("操作结果"), tr("操作结果内容")};
    QLabel *panels[4];
    for (int i = 0; i < 4; ++i) {
        panels[i] = new QLabel(texts[i]);
        panels[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panels[i]->setAccessibleName(names[i]);
        panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i] > 0)
            panels[i]->setFixedWidth(widths[i]);
        bar->addWidget(panels[i], widths[i] > 0 ? 0 : 1);
    }
    // Panel 1 shows the serial state, panel 3 the result of an operation.
    serialState_ = panels[1];
    resultPanel_ = panels[3];
    fastModePanel_ = WidgetHelpers::Named(new QLabel(tr("快速应答")), "FastModePanel", tr("快速应答模式"));
    fastModePanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    writeProgress_ = new WriteProgress(session_->state);
    bar->addPermanentWidget(writeProgress_);
    bar->addPermanentWidget(fastModePanel_);
}

bool TForm1::RestorePending() const
{
    return restoreTimer_ && restoreTimer_->IsActive();
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

void TForm1::ShowFastMode()
{
    const bool on = menu_->FastMode()->isChecked();
    session_->exchange.SetFastCompletion(on);
    fastModePanel_->setVisible(on);
}

void TForm1::ShowFacts()
{
    // The channel closed, or opened on another device.
    records_->recorder().NoticeChannel(*session_);
    const WindowFacts &facts = session_->facts;
    setWindowTitle(facts.Caption);
    mainPage_->ShowFacts(facts);
    controlPage_->ShowFacts(facts);
    serialState_->setText(facts.SerialStateText);
    ShowExtendedTab(session_->state.ExtPageVisible);
    // Nothing to poll once the channel has closed.
    if (!session_->channel.ChannelIsOpen() || facts.TcpBoxVisible)
        controlPage_->SwitchOffMeter();
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
    // a press during it waits in the queue for the poll's end.
    const bool locked = session_->ActionRunning() && !dispatcher_->Polling();
    for (QWidget *widget : std::as_const(lockedWidgets_))
        widget->setEnabled(!locked);
    for (QAction *action : std::as_const(lockedActions_))
        action->setEnabled(!locked);
    PageControl1->tabBar()->setEnabled(!locked);
    editors_->SetLocked(locked);
}

void TForm1::OnTabChanged(int index)
{
    if (index < 0)
        return;
    if (index != int(Page::Control))
        controlPage_->SwitchOffMeter();
    // A page shown while an action runs (a profile load hiding the extended
    // page, a tab picked during a signal poll) has its entry steps wait in
    // the queue, before any press that came after it; they run once, for
    // the page shown when their turn comes.
    if (pageEntryWaiting_)
        return;
    pageEntryWaiting_ = true;
    run_->RunDevice([this] {
        pageEntryWaiting_ = false;
        const int shown = PageControl1->currentIndex();
        if (shown >= 0)
            PageEntry::OnPageShown(*session_, Page(shown));
    });
}

void TForm1::SaveTrafficLog()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QString path = frontend_->AskSaveFile(TrafficLog::SuggestedName(now), QStringLiteral(".txt"));
    if (path.isEmpty())
        return;
    const TrafficLog::Texts texts{memoPanel_->Memo()->toPlainText(), controlPage_->Display()->toPlainText(),
                                  transparentPage_->Display()->toPlainText()};
    TrafficLog::Save(path, TrafficLog::Compose(*session_, QStringLiteral("dtuconfig ") + QCoreApplication::applicationVersion(), now, texts));
    frontend_->AppendMemo(tr("通信记录已保存到%1").arg(path));
}

void TForm1::OnPortReturned()
{
    ShowFacts();
    if (menu_->AutoReopen()->isChecked() && !session_->channel.ChannelIsOpen())
        mainPage_->ToggleSerial();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Ends any reply wait at once; the action then unwinds on its own.
    session_->state.ClosingFlag = true;
    // What still waits was asked for before the close: it reaches the
    // device no more.
    dispatcher_->Clear();
    controlPage_->SwitchOffMeter(); // and no poll follows
    QMainWindow::closeEvent(event);
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        session_->poller.SetEnabled(true);
    QMainWindow::changeEvent(event);
}

#include "moc_MainWindow.cpp"
