// fleet INVENTORY: every device of an inventory given what differs from the
// profile's values and its own, by the fleet runner, with a report; audit
// INVENTORY compares them and writes nothing.
#include "cli/CliCommands.h"

#include "actions/FleetCheck.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "cli/FleetProgress.h"
#include "core/DtuError.h"
#include "core/StopSignals.h"
#include "core/Translation.h"
#include "fleet/FleetRunner.h"
#include "fleet/FleetSetup.h"
#include "fleet/FleetWording.h"
#include "fleet/Inventory.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace CliCommands {
namespace {

bool Audit(const CliContext &c)
{
    return c.options.command == QLatin1String("audit");
}

// The run as the options and the loaded profile and script give it.
FleetSetup::Plan MakePlan(const CliContext &c, const Inventory::Table &inventory)
{
    FleetSetup::Choices choices;
    choices.profilePath = c.session.profile->Path();
    choices.scriptPath = c.scriptPath;
    choices.level = c.options.level;
    choices.fast = c.options.fast;
    choices.verify = c.options.verify;
    choices.audit = Audit(c);
    choices.writeAll = c.options.writeAll;
    choices.ignore = c.options.ignore;
    choices.jobs = c.options.jobs;
    choices.language = Translation::Code(c.options.language);
    choices.recordsOff = c.options.records.off;
    choices.recordsLocation = c.options.records.location;
    choices.identify = c.options.records.identify;
    return FleetSetup::Make(choices, inventory);
}

// Each refusal of a column or cell, named by its line and column.
QStringList CellRefusals(const CliContext &c, const Inventory::Table &inventory, const FleetSetup::Plan &plan)
{
    QStringList refusals;
    const auto place = [&c](int line, int column) {
        return QStringLiteral("%1：").arg(c.options.command) + tr("清单第%1行第%2列").arg(line).arg(column);
    };
    for (const Actions::InventoryRefusal &r :
         Actions::CheckInventory(inventory, plan.settings.profilePath, plan.settings.scriptPath, c.options.level)) {
        switch (r.kind) {
        case Actions::InventoryRefusal::Kind::CannotLoad:
            refusals << r.text;
            break;
        case Actions::InventoryRefusal::Kind::NoSuchColumn:
            refusals << place(r.line, r.column) + tr("：参数文件中没有参数 %1").arg(r.number);
            break;
        case Actions::InventoryRefusal::Kind::Cell:
            refusals << RefusalText(place(r.line, r.column), r.refusal);
            break;
        case Actions::InventoryRefusal::Kind::SameDevice:
            refusals << place(r.line, r.column) + tr("：%1 与第%2行的 %3 是同一台设备").arg(r.target).arg(r.other).arg(r.text);
            break;
        }
    }
    return refusals;
}

} // namespace

bool CheckFleet(CliContext &c, QString *error)
{
    const QString prefix = QStringLiteral("%1：").arg(c.options.command);
    try {
        const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
        const FleetSetup::Plan plan = MakePlan(c, inventory);
        if (plan.refusal != FleetSetup::Refusal::None)
            *error = prefix + FleetWording::SetupRefusal(plan, c.session.profile->Path());
        else
            *error = CellRefusals(c, inventory, plan).join(QLatin1Char('\n'));
    } catch (const Inventory::ParseError &e) {
        *error = prefix + FleetWording::InventoryProblem(e.problem);
    } catch (const DtuError &e) {
        *error = prefix + e.text();
    }
    return error->isEmpty();
}

CliVerdict Fleet(CliContext &c)
{
    const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
    const FleetSetup::Plan plan = MakePlan(c, inventory);

    QStringList targets;
    for (const FleetDevice &d : inventory.devices)
        targets << d.target.Text();
    FleetProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, targets, Audit(c));
    FleetRunner runner;
    QObject::connect(&runner, &FleetRunner::deviceStarted, [&](int i) { progress.Started(i); });
    QObject::connect(&runner, &FleetRunner::deviceProgress,
                     [&](int i, const QString &phase, int done, int total) { progress.Progress(i, phase, done, total); });
    QObject::connect(&runner, &FleetRunner::deviceFinished,
                     [&](int i) { progress.Finished(i, runner.Reports().at(i)); });
    QObject context;
    OnStopSignals(
        [&] {
            if (runner.StopRequested())
                return;
            progress.Note(QCoreApplication::translate("FleetProgress",
                                                      "正在停止：不再开始新的设备，进行中的设备在当前一次交换后结束"));
            runner.Stop();
        },
        &context);

    QEventLoop loop;
    QObject::connect(&runner, &FleetRunner::finished, &loop, &QEventLoop::quit);
    runner.Start(inventory.devices, plan.settings);
    if (runner.Running())
        loop.exec();
    progress.Flush();

    const QList<DeviceReport> &reports = runner.Reports();
    progress.Note(FleetWording::Totals(reports, Audit(c)));
    // A worker's own warning went to its stream, which the runner keeps to
    // itself: said here, once per device.
    bool allKept = true;
    for (const DeviceReport &r : reports) {
        if (r.recordWarning.isEmpty())
            continue;
        allKept = false;
        c.frontend.Say(tr("警告：%1 的操作没有记入设备档案：%2").arg(r.target, r.recordWarning));
    }
    // A run is undone from its entries: offered only when every device's were kept.
    if (!plan.runId.isEmpty() && !Audit(c) && allKept)
        progress.Note(tr("设备档案：批量运行 %1（dtucfg rollback --run %1 可撤销）").arg(plan.runId));
    // Every device ok: 0. An audit that found differences and nothing worse: 3.
    QList<int> statuses;
    for (const DeviceReport &r : reports) {
        const bool differs = Audit(c) && r.outcome == OutcomeId::Differs;
        statuses << (r.outcome == OutcomeId::Ok ? CliVerdict::kOk : differs ? CliVerdict::kDiffers : CliVerdict::kFailed);
    }
    CliVerdict verdict{CliVerdict::OfRun(statuses), QJsonDocument::fromJson(FleetReport::Json(reports)).object()};
    if (!c.options.report.isEmpty()) {
        try {
            FleetReport::Write(c.options.report, reports);
        } catch (const DtuError &e) {
            verdict.message = tr("%1：报告没有写出：").arg(c.options.command) + e.text();
            c.frontend.Complain(verdict.message);
            verdict.status = CliVerdict::kFailed;
        }
    }
    if (!plan.runId.isEmpty()) {
        verdict.outcome.insert(QStringLiteral("run"), plan.runId);
        verdict.outcome.insert(QStringLiteral("records_kept"), allKept);
    }
    return verdict;
}

} // namespace CliCommands
