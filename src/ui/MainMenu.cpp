#include "ui/MainMenu.h"

#include "core/DtuError.h"
#include "core/Translation.h"
#include "core/WorkPaths.h"
#include "actions/DeviceActions.h"
#include "actions/EntryExport.h"
#include "actions/ParamActions.h"
#include "ops/ParamFile.h"
#include "ops/Wording.h"
#include "ops/ProfileLoader.h"
#include "session/DtuSession.h"
#include "ui/Dialogs.h"
#include "ui/FleetWindow.h"
#include "ui/HandlerRunner.h"
#include "ui/ProfileCheckDialog.h"
#include "ui/QtFrontend.h"
#include "ui/RecordsWindow.h"
#include "ui/WindowRecorder.h"
#include "ui/WindowSettings.h"

#include <QAction>
#include <QFileInfo>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

namespace {
const QString kStampKey = QStringLiteral("memo/stampLines");
const QString kAutoReopenKey = QStringLiteral("serial/autoReopen");
const QString kFastModeKey = QStringLiteral("exchange/fastCompletion");
} // namespace

MainMenu::MainMenu(QMainWindow &window, DtuSession &session, HandlerRunner &run, QtFrontend &frontend,
                   Dialogs &dialogs, WindowRecorder &records)
    : window_(window), session_(session), run_(run), frontend_(frontend), dialogs_(dialogs), records_(records)
{
    QMenuBar *bar = window_.menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto action = [this](const char *name, const QString &caption, const QKeySequence &keys, auto handler) {
        QAction *act = Entry(name, caption, handler);
        act->setShortcut(keys);
        lockable_ << act;
        return act;
    };
    bar->addAction(action("N1", tr("恢复出厂默认设置"), QKeySequence(QStringLiteral("Ctrl+Shift+D")),
                          [this] { run_.RunDevice([this] { Actions::Restore(session_, records_.recorder()); }); }));
    bar->addAction(action("N6", tr("复位设备"), QKeySequence(QStringLiteral("Ctrl+Shift+R")),
                          [this] { run_.RunDevice([this] { Actions::Reset(session_, records_.recorder()); }); }));
    QMenu *files = bar->addMenu(tr("文件操作"));
    files->setObjectName(QStringLiteral("N2"));
    files->menuAction()->setObjectName(QStringLiteral("N2Action"));
    files->addAction(action("N5", tr("调入参数文件"), QKeySequence::Open, [this] { LoadProfile(); }));
    files->addAction(action("ba1", tr("保存参数文件"), QKeySequence::Save,
                            [this] { run_.RunDevice([this] { ParamFile::SaveParamFile(session_); }); }));
    files->addAction(action("N4", tr("批量写参数"), QKeySequence(QStringLiteral("Ctrl+Shift+W")),
                            [this] { run_.RunDevice([this] { BatchWrite(); }); }));
    // Not on the device, but locked with the rest: a snippet stopped by the
    // watchdog holds the event loop an exchange waits in.
    files->addAction(action("CheckProfile", tr("检查参数文件..."), QKeySequence(),
                            [this] { ProfileCheckDialog::Run(window_, session_); }));
    // Not an action on this window's channel: the fleet has its own workers.
    files->addAction(Entry("N8", tr("多台设备配置..."), [this] { ShowFleetWindow(); }));
    files->addSeparator();
    // The device records: not actions on the device; 恢复到此快照 in the
    // records window goes through the queue like any press.
    files->addAction(Entry("ShowRecords", tr("设备档案..."), [this] { ShowRecordsWindow(); }));
    QAction *keep = Entry("RecordsOn", tr("记录设备档案"));
    keep->setCheckable(true);
    keep->setChecked(records_.IsOn());
    QObject::connect(keep, &QAction::toggled, &window_, [this](bool on) { records_.SetOn(on); });
    files->addAction(keep);
    files->addAction(Entry("RecordsLocation", tr("设备档案位置..."), [this] { AskRecordsLocation(); }));
    files->addSeparator();
    // Not a device action: it only tells the exchange how to end replies.
    fastMode_ = RememberedSwitch("N7", tr("快速应答模式"), kFastModeKey);
    files->addAction(fastMode_);
    files->addSeparator();
    saveLog_ = Entry("SaveTrafficLog", tr("保存通信记录..."));
    files->addAction(saveLog_);
    QAction *stamp = RememberedSwitch("StampMemoLines", tr("记录时间"), kStampKey);
    frontend_.SetStampMemoLines(stamp->isChecked());
    QObject::connect(stamp, &QAction::toggled, &window_, [this](bool on) { frontend_.SetStampMemoLines(on); });
    files->addAction(stamp);
    autoReopen_ = RememberedSwitch("AutoReopen", tr("自动重新打开"), kAutoReopenKey);
    files->addAction(autoReopen_);
    BuildLanguageMenu(files);
    lockable_ << files->menuAction();
}

void MainMenu::BatchWrite()
{
    // A cell that is not whole bytes refuses the batch before its first
    // frame: the technician learns which row, what it holds and why.
    const Actions::WriteResult r = Actions::Batch(session_, records_.recorder(), ParamFile::BatchTables::Main);
    if (!r.report.refused.isEmpty())
        frontend_.ShowMessage(Wording::Unsendable(r.report.refused.first()));
}

void MainMenu::LoadProfile()
{
    run_.RunDevice([this] {
        const QString initial = ProfileLoader::OpenDialogStart(session_, QCoreApplication::applicationDirPath());
        const QString path = frontend_.AskOpenFile(initial, QStringLiteral(".txt"));
        if (path.isEmpty())
            return;
        try {
            ProfileLoader::LoadChosenProfile(session_, path);
        } catch (const DtuError &error) {
            throw DtuError(tr("参数文件 %1 无法调入：%2").arg(path, error.text()));
        }
    });
}

void MainMenu::ShowFleetWindow()
{
    if (!fleetWindow_)
        fleetWindow_ = new FleetWindow(dialogs_, records_, session_.profile ? session_.profile->Path() : QString(), &window_);
    fleetWindow_->show();
    fleetWindow_->raise();
    fleetWindow_->activateWindow();
}

void MainMenu::ShowRecordsWindow()
{
    if (!recordsWindow_) {
        recordsWindow_ = new RecordsWindow(dialogs_, records_, &window_);
        recordsWindow_->OnRollback([this](const RecordEntry &snapshot) { RollBack(snapshot); });
        recordsWindow_->OnRunSettings(
            [this](FleetRollback::Settings *settings, QString *why) { return RunRollbackSettings(settings, why); });
    }
    recordsWindow_->Refresh();
    recordsWindow_->show();
    recordsWindow_->raise();
    recordsWindow_->activateWindow();
}

void MainMenu::RollBack(const RecordEntry &snapshot)
{
    if (!Actions::IsSnapshot(snapshot)) {
        dialogs_.Message(tr("第 %1 条记录（%2）不是从设备读出的快照，不能恢复到它。").arg(snapshot.id).arg(snapshot.action),
                         QtFrontend::AppTitle());
        return;
    }
    run_.RunDevice([this, snapshot] {
        if (!session_.RequireChannel())
            return;
        // First what it would write, and only when the technician agrees.
        const Actions::RollbackResult preview = Actions::Rollback(session_, records_.recorder(), snapshot, true);
        if (preview.verdict == OutcomeId::Differs) {
            QStringList rows;
            for (const RecordRow &row : preview.differing)
                rows << tr("%1 %2：%3 → %4")
                            .arg(row.number, row.name, EntryExport::Shown(row.before), EntryExport::Shown(row.after));
            if (!dialogs_.Question(tr("把连接着的设备恢复到第 %1 条记录的参数值吗？将写入这 %2 行，写完后读回核对：\n%3")
                                       .arg(snapshot.id)
                                       .arg(rows.size())
                                       .arg(rows.join(QLatin1Char('\n'))),
                                   QtFrontend::AppTitle()))
                return;
            SayRollback(snapshot, Actions::Rollback(session_, records_.recorder(), snapshot));
        } else if (preview.verdict == OutcomeId::Ok) {
            frontend_.AppendMemo(tr("恢复到第 %1 条记录：设备已保存着快照的值，无需写入").arg(snapshot.id));
        } else {
            SayRollback(snapshot, preview);
        }
        if (recordsWindow_)
            recordsWindow_->Refresh();
    });
}

void MainMenu::SayRollback(const RecordEntry &snapshot, const Actions::RollbackResult &r)
{
    const qint64 id = snapshot.id;
    QString text;
    switch (r.verdict) {
    case OutcomeId::Ok:
        text = tr("恢复到第 %1 条记录：完成，写入 %2 行，%3 行未变，%4 行因访问级别未写")
                   .arg(id).arg(r.written).arg(r.unchanged).arg(r.withheld);
        break;
    case OutcomeId::RestoredExceptSecrets:
        text = tr("恢复到第 %1 条记录：完成，但快照中没有 %2 行密码类参数的值，它们没有恢复").arg(id).arg(r.notRestored.size());
        break;
    case OutcomeId::Differs:
        text = tr("恢复到第 %1 条记录：读回后 %2 行与快照不同").arg(id).arg(r.differences.size());
        break;
    case OutcomeId::OtherDevice:
        text = tr("恢复到第 %1 条记录：该记录属于设备 %2，这台设备是 %3；什么也没有写")
                   .arg(id).arg(snapshot.device.number, r.deviceNumber);
        break;
    case OutcomeId::NotVerified:
        text = tr("恢复到第 %1 条记录：已写入，但读回失败，未能核对").arg(id);
        break;
    default:
        text = r.before.Ok() ? tr("恢复到第 %1 条记录：写入没有完成（%2）").arg(id).arg(OutcomeWord(r.verdict))
                             : tr("恢复到第 %1 条记录：没能读出设备的参数，什么也没有写").arg(id);
        break;
    }
    frontend_.AppendMemo(r.entry.Kept() ? text + tr("（记录 %1）").arg(r.entry.id) : text);
    for (const TableCompare::Difference &d : r.differences)
        frontend_.AppendMemo(TableCompare::Line(d));
}

bool MainMenu::RunRollbackSettings(FleetRollback::Settings *settings, QString *why) const
{
    // The devices are written by this window's profile, as the fleet window writes them.
    if (!session_.profile) {
        *why = tr("请先打开参数文件：恢复按它的参数表写入设备");
        return false;
    }
    const QString profile = session_.profile->Path();
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profile, QString());
    if (script.found.isEmpty()) {
        *why = WorkPaths::ScriptNotFoundText(script.tried);
        return false;
    }
    settings->profilePath = QFileInfo(profile).absoluteFilePath();
    settings->scriptPath = QFileInfo(script.found).absoluteFilePath();
    settings->level = session_.state.AccessLevel;
    settings->fast = fastMode_->isChecked();
    settings->language = Translation::Code(Translation::Current());
    settings->records = records_.LocationText();
    return true;
}

void MainMenu::AskRecordsLocation()
{
    QString typed;
    if (!dialogs_.AskText(tr("设备档案保存在哪里（留空为默认文件 %1；也可以是另一个 SQLite 文件，或 postgresql:// 开头的服务器地址）：")
                              .arg(RecordLocation::DefaultPath()),
                          QtFrontend::AppTitle(), records_.LocationText(), &typed))
        return;
    QString error;
    if (!records_.SetLocationText(typed, &error))
        dialogs_.Message(tr("设备档案位置无效：%1").arg(error), QtFrontend::AppTitle());
    else if (recordsWindow_)
        recordsWindow_->Refresh();
}

QAction *MainMenu::Entry(const char *name, const QString &caption, const std::function<void()> &handler)
{
    auto *action = new QAction(caption, &window_);
    action->setObjectName(QLatin1String(name));
    if (handler)
        QObject::connect(action, &QAction::triggered, &window_, handler);
    return action;
}

QAction *MainMenu::RememberedSwitch(const char *name, const QString &caption, const QString &key)
{
    QAction *action = Entry(name, caption);
    action->setCheckable(true);
    action->setChecked(WindowSettings::Open().value(key, false).toBool());
    QObject::connect(action, &QAction::toggled, &window_, [key](bool on) {
        WindowSettings::Open().setValue(key, on);
    });
    return action;
}

void MainMenu::BuildLanguageMenu(QMenu *parent)
{
    // Each language under its own name, so a reader of either finds it.
    QMenu *menu = parent->addMenu(tr("语言 / Language"));
    menu->setObjectName(QStringLiteral("LanguageMenu"));
    auto *group = new QActionGroup(&window_);
    const WindowLanguage::Choice saved = WindowLanguage::SavedChoice();
    const auto add = [&](const char *name, const QString &caption, WindowLanguage::Choice choice) {
        QAction *act = Entry(name, caption, [this, choice] { LanguagePicked(choice); });
        act->setCheckable(true);
        act->setChecked(choice == saved);
        menu->addAction(group->addAction(act));
    };
    add("LanguageSystem", tr("跟随系统"), std::nullopt);
    add("LanguageChinese", QStringLiteral("中文"), Language::Chinese);
    add("LanguageEnglish", QStringLiteral("English"), Language::English);
}

void MainMenu::LanguagePicked(WindowLanguage::Choice choice)
{
    WindowLanguage::SaveChoice(choice);
    const Language next = WindowLanguage::Resolve(choice, QLocale::system());
    if (next == Translation::Current())
        return;
    // Said in the language picked: that is the one its reader reads.
    static const char *const kNotice = QT_TRANSLATE_NOOP("TForm1", "界面语言将在下次启动程序时切换。");
    dialogs_.Message(Translation::InLanguage(next, "TForm1", kNotice), QtFrontend::AppTitle());
}
