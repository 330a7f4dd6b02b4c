#pragma once
#include <QMainWindow>
#include <QVector>
#include <memory>

class ScheduledTimer;

class ActionDispatcher;
class ControlPage;
class Dialogs;
class DtuSession;
class ExtendedPage;
class HandlerRunner;
class MainMenu;
class MainPage;
class MemoPanel;
class ParamEditors;
class PortWatcher;
class QAction;
class QLabel;
class QApplication;
class QTabWidget;
class QtFrontend;
class SignalMonitor;
class TransparentPage;
class WindowRecorder;
class WriteProgress;

// Builds the main window, shows it and runs the message loop.
int RunMainWindow(QApplication &app);

// The main window. It builds the pages, the menu and the status bar, binds
// them to the session and locks the controls while a device action runs;
// each page binds its own controls to the library operations.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // dialogs answers every box the window opens; it must outlive the window.
    explicit TForm1(Dialogs &dialogs, QWidget *parent = nullptr);
    ~TForm1() override;

    DtuSession &session() { return *session_; }
    SignalMonitor &signalMonitor() { return *monitor_; }
    // True until the start-up restore of the last profile has run (it runs
    // on the session's time, once the message loop turns).
    bool RestorePending() const;
    static constexpr int kRestoreDelayMs = 100;
    WindowRecorder &records() { return *records_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // StatusBar1: the serial state, the result of the last operation, a write
    // run's progress and "快速应答" while that mode is on.
    void BuildStatusBar();
    void LoadScript();
    void ShowFacts();
    void ShowExtendedTab(bool shown);
    void UpdateLock();
    void OnTabChanged(int index);
    // Applies the fast reply completion entry to the exchange and the status bar.
    void ShowFastMode();
    void SaveTrafficLog();
    void OnPortReturned();

    Dialogs &dialogs_;
    std::unique_ptr<QtFrontend> frontend_;
    std::unique_ptr<DtuSession> session_;
    // The one queue of device work: presses and the signal monitor's polls.
    std::unique_ptr<ActionDispatcher> dispatcher_;
    std::unique_ptr<SignalMonitor> monitor_;
    std::unique_ptr<PortWatcher> portWatcher_;
    std::unique_ptr<ScheduledTimer> restoreTimer_;
    // What the window's actions leave in the device records.
    std::unique_ptr<WindowRecorder> records_;
    ParamEditors *editors_ = nullptr;
    std::unique_ptr<HandlerRunner> run_;
    std::unique_ptr<MainMenu> menu_;
    QLabel *serialState_ = nullptr;
    QLabel *resultPanel_ = nullptr;
    QLabel *fastModePanel_ = nullptr;
    WriteProgress *writeProgress_ = nullptr;
    // Page entry steps wait in the queue (a page shown during an action).
    bool pageEntryWaiting_ = false;

    QTabWidget *PageControl1 = nullptr;
    MainPage *mainPage_ = nullptr;
    TransparentPage *transparentPage_ = nullptr;
    ControlPage *controlPage_ = nullptr;
    ExtendedPage *TabSheet5 = nullptr; // the interface page, in the tab row only while shown
    MemoPanel *memoPanel_ = nullptr;
    // Controls that would start a second device action.
    QVector<QWidget *> lockedWidgets_;
    QVector<QAction *> lockedActions_;
};
