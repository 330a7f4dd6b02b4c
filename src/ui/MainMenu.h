#pragma once
#include "actions/Rollback.h"
#include "fleet/FleetRollback.h"
#include "store/RecordEntry.h"
#include "ui/WindowLanguage.h"

#include <QCoreApplication>
#include <QList>
#include <functional>

class Dialogs;
class DtuSession;
class FleetWindow;
class HandlerRunner;
class QAction;
class QMainWindow;
class QMenu;
class QtFrontend;
class RecordsWindow;
class WindowRecorder;

// The main window's menu bar (MainMenu1): reset and restore, the file menu
// (profiles, parameter files, the fleet window, the fast reply mode, the
// traffic log, the remembered switches) and the language.
class MainMenu {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    MainMenu(QMainWindow &window, DtuSession &session, HandlerRunner &run, QtFrontend &frontend, Dialogs &dialogs,
             WindowRecorder &records);

    // The entries that would start a device action.
    QList<QAction *> Lockable() const { return lockable_; }
    // "快速应答模式" (remembered) and "保存通信记录...": the window handles them.
    QAction *FastMode() const { return fastMode_; }
    QAction *SaveLog() const { return saveLog_; }
    // "自动重新打开": reopen a port whose adapter came back.
    QAction *AutoReopen() const { return autoReopen_; }

private:
    void LoadProfile();
    void BatchWrite(); // 批量写参数, refused whole when a cell cannot be sent
    // "多台设备配置...": the fleet window, made on first use and kept.
    void ShowFleetWindow();
    // "设备档案...": the records window, made on first use and kept.
    void ShowRecordsWindow();
    // "设备档案位置...": where the records are kept.
    void AskRecordsLocation();
    // How the records window has a fleet run's devices restored.
    bool RunRollbackSettings(FleetRollback::Settings *settings, QString *why) const;
    // 恢复到此快照: one device action that shows the rows it would write and
    // writes them when the technician agrees.
    void RollBack(const RecordEntry &snapshot);
    // Its outcome in the traffic memo.
    void SayRollback(const RecordEntry &snapshot, const Actions::RollbackResult &result);
    // An entry of the window (its object name), running handler when picked.
    QAction *Entry(const char *name, const QString &caption, const std::function<void()> &handler = {});
    // A checkable entry whose state is kept in the settings under key.
    QAction *RememberedSwitch(const char *name, const QString &caption, const QString &key);
    void BuildLanguageMenu(QMenu *parent);
    // Keeps the language picked in the menu for the next start.
    void LanguagePicked(WindowLanguage::Choice choice);

    QMainWindow &window_;
    DtuSession &session_;
    HandlerRunner &run_;
    QtFrontend &frontend_;
    Dialogs &dialogs_;
    WindowRecorder &records_;
    QList<QAction *> lockable_;
    QAction *fastMode_ = nullptr;
    QAction *saveLog_ = nullptr;
    QAction *autoReopen_ = nullptr;
    FleetWindow *fleetWindow_ = nullptr;
    RecordsWindow *recordsWindow_ = nullptr;
};
