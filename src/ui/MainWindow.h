#pragma once
#include "ui/WindowLanguage.h"

#include <QMainWindow>
#include <QVector>
#include <functional>
#include <memory>

class ActionDispatcher;
class DtuSession;
class FleetWindow;
class PortWatcher;
class SignalMeterView;
class SignalMonitor;
class WriteProgress;
class Dialogs;
class ParamEditors;
class QtFrontend;
class QAction;
class QApplication;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QWidget;

// Builds the main window, shows it and runs the message loop.
int RunMainWindow(QApplication &app);

// The main window. It lays out the pages and binds each control to a
// library operation; the device logic lives in the library.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // dialogs answers every box the window opens; it must outlive the window.
    explicit TForm1(Dialogs &dialogs, QWidget *parent = nullptr);
    ~TForm1() override;

    DtuSession &session() { return *session_; }
    ParamEditors &editors() { return *editors_; }
    SignalMonitor &signalMonitor() { return *monitor_; }
    PortWatcher &portWatcher() { return *portWatcher_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QWidget *BuildMainPage();
    QWidget *BuildTransparentPage();
    QWidget *BuildControlPage();
    QWidget *BuildExtendedPage();
    QWidget *BuildMemoPanel();
    void BuildMenu();
    void BuildLanguageMenu(QMenu *parent);
    // "多台设备配置...": the fleet window, made on first use and kept.
    void ShowFleetWindow();
    void BuildStatusBar();
    void SetUpTable(QTableView *view, int nameWidth, int valueWidth, int noteWidth);
    void LoadScript();
    void ShowFacts();
    void ShowExtendedTab(bool shown);
    void UpdateLock();
    void OnTabChanged(int index);
    // Applies the fast reply completion entry to the exchange and the status bar.
    void ShowFastMode();

    // Every handler runs inside Guarded: an error that ends an operation is
    // shown in the general error box and the window goes on.
    template <typename F>
    void Guarded(F &&fn);
    // A handler that may talk to the device: one request in the window's one
    // queue, so it runs now as one device action, or, pressed while a signal
    // poll runs, right after that poll; its errors shown as Guarded does.
    // Then the editors follow the active table and the focus goes back.
    template <typename F>
    void RunDevice(F &&fn);

    // Handlers (named after control and event).
    void N5Click();
    void N7Click(bool checked);
    // Keeps the language picked in the menu for the next start.
    void LanguagePicked(WindowLanguage::Choice choice);
    void Button3Click();
    void MaskEdit3Submit();
    void SaveTrafficLog();
    // A checkable menu entry whose state is kept in the settings under key.
    QAction *RememberedSwitch(const char *name, const QString &caption, const QString &key);
    void OnPortReturned();

    Dialogs &dialogs_;
    FleetWindow *fleetWindow_ = nullptr;
    std::unique_ptr<QtFrontend> frontend_;
    std::unique_ptr<DtuSession> session_;
    ParamEditors *editors_ = nullptr;
    // Page entry steps wait in the queue (a page shown during an action).
    bool pageEntryWaiting_ = false;
    // The one queue of device work: presses and the signal monitor's polls.
    std::unique_ptr<ActionDispatcher> dispatcher_;
    std::unique_ptr<SignalMonitor> monitor_;
    std::unique_ptr<PortWatcher> portWatcher_;
    SignalMeterView *meter_ = nullptr;
    WriteProgress *writeProgress_ = nullptr;
    QAction *stampAction_ = nullptr;      // "记录时间"
    QAction *autoReopenAction_ = nullptr; // "自动重新打开"

    QTabWidget *PageControl1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    QComboBox *Edit1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QComboBox *ComboBox6 = nullptr;
    QPushButton *Button3 = nullptr;
    QGroupBox *GroupBox16 = nullptr;
    QLineEdit *Edit8 = nullptr;
    QLineEdit *Edit9 = nullptr;
    QLabel *Label10 = nullptr;
    QFrame *Panel16 = nullptr;
    QTableView *ListView1 = nullptr;
    QTableView *ListView2 = nullptr;
    QWidget *TabSheet5 = nullptr; // the interface page, in the tab row only while shown
    QPlainTextEdit *Memo1 = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QPlainTextEdit *Memo3 = nullptr;
    QPlainTextEdit *Memo4 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QPushButton *Button6 = nullptr;
    QLineEdit *MaskEdit3 = nullptr;
    QLabel *StatusPanels[4] = {};
    QLabel *StatusBar2Panel = nullptr;
    QAction *N7 = nullptr;             // "快速应答模式", checkable
    QLabel *FastModePanel = nullptr;   // "快速应答" in StatusBar1 while it is on
    // Controls that would start a second device action.
    QVector<QWidget *> lockedWidgets_;
    QVector<QAction *> lockedActions_;
};
