// fleet INVENTORY: every device of an inventory written with the profile's
// values and its own, by the fleet runner, with a report.
#include "cli/CliCommands.h"

#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "session/DtuSession.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "cli/FleetProgress.h"
#include "core/StopSignals.h"
#include "core/Translation.h"
#include "core/WorkPaths.h"
#include "fleet/FleetRunner.h"
#include "fleet/FleetSetup.h"
#include "fleet/FleetWording.h"
#include "fleet/Inventory.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QCoreApplication>
#include <QEventLoop>

#include <unistd.h>

namespace CliCommands {

namespace {

// The run as the options and the loaded profile and script give it.
FleetSetup::Plan MakePlan(const CliContext &c, const Inventory::Table &inventory)
{
    FleetSetup::Choices choices;
    choices.profilePath = c.session.profile->Path();
    choices.scriptPath = c.scriptPath;
    choices.level = c.options.level;
    choices.fast = c.options.fast;
    choices.verify = c.options.verify;
    choices.ignore = c.options.ignore;
    choices.jobs = c.options.jobs;
    choices.language = Translation::Code(c.options.language);
    choices.recordsOff = c.options.records.off;
    choices.recordsLocation = c.options.records.location;
    choices.identify = c.options.records.identify;
    return FleetSetup::Make(choices, inventory);
}

QString RefusalText(const FleetSetup::Plan &plan, const QString &profilePath)
{
    switch (plan.refusal) {
    case FleetSetup::Refusal::None:
        break;
    case FleetSetup::Refusal::NoDevices:
        return QCoreApplication::translate("CliFleet", "fleet：清单中没有设备");
    case FleetSetup::Refusal::NoProfile:
        return QCoreApplication::translate("CliFleet", "fleet：参数文件 %1 不存在").arg(profilePath);
    case FleetSetup::Refusal::NoScript:
        return QCoreApplication::translate("CliFleet", "fleet：找不到 %1；找过：%2")
            .arg(WorkPaths::kScriptName, WorkPaths::Shown(plan.scriptTried).join(QStringLiteral(", ")));
    case FleetSetup::Refusal::ColumnWithheld:
        // Every worker would refuse the column.
        return QCoreApplication::translate("CliFleet", "fleet：清单给出了 %1 的值，它只有用 --level %2 才能写入")
            .arg(plan.column)
            .arg(WriteRules::kUnlockLevel);
    }
    return {};
}

// Where an inventory refusal points: "fleet：清单第2行第3列".
QString CellPlace(int line, int column)
{
    return QCoreApplication::translate("CliFleet", "fleet：清单第%1行第%2列").arg(line).arg(column);
}

// Every column and every cell as the workers would take them, before any
// device is contacted: a column the profile lacks, a value its row cannot
// take. Each refusal names the inventory line and column. The cells are
// tried on this process's own tables, which no device ever receives.
QStringList CellRefusals(CliContext &c, const Inventory::Table &inventory)
{
    QStringList refusals;
    const DtuSession &s = c.session;
    for (int i = 0; i < inventory.valueColumns.size(); ++i) {
        const QString &number = inventory.valueColumns[i];
        if (s.mainTable.FindByNumber(number) < 0 && (!s.state.ExtPageVisible || s.extTable.FindByNumber(number) < 0))
            refusals << NoParameterText(CellPlace(1, inventory.valueColumnAt.value(i)), number);
    }
    if (!refusals.isEmpty())
        return refusals;
    for (const FleetDevice &device : inventory.devices) {
        for (const auto &[number, text] : device.values) {
            const int column = inventory.valueColumnAt.value(static_cast<int>(inventory.valueColumns.indexOf(number)));
            try {
                SetRowValue(c, number + QLatin1Char('=') + text, CellPlace(device.line, column));
            } catch (const CliUsageError &e) {
                refusals << e.text;
            }
        }
    }
    return refusals;
}

} // namespace

bool CheckFleet(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QCoreApplication::translate("CliFleet", "fleet 需要参数文件（--profile FILE）");
        return false;
    }
    try {
        const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
        const FleetSetup::Plan plan = MakePlan(c, inventory);
        *error = RefusalText(plan, c.session.profile->Path());
        if (error->isEmpty())
            *error = CellRefusals(c, inventory).join(QLatin1Char('\n'));
    } catch (const Inventory::ParseError &e) {
        *error = QCoreApplication::translate("CliFleet", "fleet：") + FleetWording::InventoryProblem(e.problem);
    } catch (const DtuError &e) {
        *error = QCoreApplication::translate("CliFleet", "fleet：") + e.text();
    }
    return error->isEmpty();
}

CliVerdict Fleet(CliContext &c)
{
    const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
    const FleetSetup::Plan plan = MakePlan(c, inventory);
    const FleetRunner::Settings &settings = plan.settings;
    const QString &runId = plan.runId;

    QStringList targets;
    for (const FleetDevice &d : inventory.devices)
        targets << d.target.text;
    FleetProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, targets);
    FleetRunner runner;
    QObject::connect(&runner, &FleetRunner::deviceStarted, [&](int i) { progress.Started(i); });
    QObject::connect(&runner, &FleetRunner::deviceProgress,
                     [&](int i, const QString &phase, int done, int total) { progress.Progress(i, phase, done, total); });
    QObject::connect(&runner, &FleetRunner::deviceFinished,
                     [&](int i) { progress.Finished(i, runner.Reports().at(i)); });
    OnStopSignals([&] {
        if (runner.StopRequested())
            return;
        progress.Note(QCoreApplication::translate("FleetProgress",
                                                  "正在停止：不再开始新的设备，进行中的设备在当前一次交换后结束"));
        runner.Stop();
    });

    QEventLoop loop;
    QObject::connect(&runner, &FleetRunner::finished, &loop, &QEventLoop::quit);
    runner.Start(inventory.devices, settings);
    if (runner.Running())
        loop.exec();
    progress.Flush();

    const QList<DeviceReport> &reports = runner.Reports();
    bool allOk = true;
    for (const DeviceReport &r : reports)
        allOk = allOk && r.outcome == Outcome::Ok;
    progress.Note(FleetWording::Totals(reports));
    // A worker's own warning went to its stream, which the runner keeps to
    // itself: said here, once per device.
    for (const DeviceReport &r : reports)
        if (!r.recordWarning.isEmpty())
            c.frontend.Complain(QStringLiteral("dtucfg: ")
                                + QCoreApplication::translate("CliFleet", "警告：%1 的操作没有记入设备档案：%2")
                                      .arg(r.target, r.recordWarning));
    if (!c.options.records.off)
        progress.Note(QCoreApplication::translate("CliFleet", "设备档案：批量运行 %1（dtucfg rollback --run %1 可撤销）").arg(runId));
    bool reportWritten = true;
    if (!c.options.report.isEmpty()) {
        try {
            FleetReport::Write(c.options.report, reports);
        } catch (const DtuError &e) {
            c.frontend.Complain(QCoreApplication::translate("CliFleet", "fleet：报告没有写出：") + e.text());
            reportWritten = false;
        }
    }
    QJsonObject json = QJsonDocument::fromJson(FleetReport::Json(reports)).object();
    if (!c.options.records.off)
        json.insert(QStringLiteral("run"), runId);
    return CliVerdict::Of(allOk && reportWritten, json);
}

} // namespace CliCommands
