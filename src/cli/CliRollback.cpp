
#include "actions/EntryExport.h"
#include "actions/RunRollback.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliText.h"
#include "cli/ConsoleFrontend.h"
#include "fleet/WorkerEvents.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace CliRollback {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CliRollback", text);
}

QJsonArray RowsJson(const QList<RecordRow> &rows, bool withValues)
{
    QJsonArray list;
    for (const RecordRow &row : rows) {
        QJsonObject json{{QStringLiteral("table"), row.table}, {QStringLiteral("number"), row.number},
                         {QStringLiteral("name"), row.name}};
        if (withValues) {
            json.insert(QStringLiteral("now"), EntryExport::Shown(row.before));
            json.insert(QStringLiteral("snapshot"), EntryExport::Shown(row.after));
        }
        list.append(json);
    }
    return list;
}

CliVerdict One(CliContext &c, qint64 id)
{
    RecordStore *store = c.recorder.Store();
    if (!store)
        return CliCommands::RefuseNamed(c, CliVerdict::kFailed, tr("无法读取设备档案：%1").arg(c.recorder.LastError()));
    const Actions::SnapshotLookup found = Actions::FindSnapshot(*store, id);
    if (found.kind != Actions::SnapshotLookup::Kind::Found)
        return CliCommands::RefuseNamed(
            c, found.kind == Actions::SnapshotLookup::Kind::StoreFailed ? CliVerdict::kFailed : CliVerdict::kUsage,
            Unfound(found, id));
    if (const std::optional<CliVerdict> refused = CliCommands::OpenChannel(c))
        return *refused;
    const Actions::RollbackResult r = Actions::Rollback(c.session, c.recorder, found.entry, c.options.dryRun);
    CliVerdict verdict{CliVerdict::StatusOf(r.verdict), {{QStringLiteral("outcome"), OutcomeName(r.verdict)},
                                                         {QStringLiteral("restores"), id}}};
    if (r.verdict == OutcomeId::OtherDevice) {
        verdict.message = tr("rollback：记录 %1 是设备 %2 的，这台设备是 %3；什么也没有写")
                              .arg(id)
                              .arg(found.entry.device.number, r.deviceNumber);
        c.frontend.Say(verdict.message);
    }
    if (c.options.dryRun) {
        QString text;
        for (const RecordRow &row : r.differing)
            text += CliText::Line({row.number, row.name, EntryExport::Shown(row.before), EntryExport::Shown(row.after)});
        text += tr("rollback --dry-run：%1行会写入").arg(r.differing.size()) + QLatin1Char('\n');
        c.frontend.PrintOut(text);
        verdict.outcome.insert(QStringLiteral("rows"), RowsJson(r.differing, true));
        return verdict;
    }
    verdict.entry = r.entry;
    QString text = CliText::Differences(r.differences);
    text += tr("rollback：%1（写入%2行，%3行未变，%4行因访问级别未写）")
                .arg(OutcomeName(r.verdict))
                .arg(r.written)
                .arg(r.unchanged)
                .arg(r.withheld);
    if (r.entry.Kept())
        text += tr("；记录 %1").arg(r.entry.id);
    text += QLatin1Char('\n');
    if (!r.notRestored.isEmpty()) {
        QStringList rows;
        for (const RecordRow &row : r.notRestored)
            rows << row.number + QLatin1Char(' ') + row.name;
        text += tr("rollback：快照中没有保存这些参数的值（密码类），没有恢复：%1").arg(rows.join(QStringLiteral(", ")))
            + QLatin1Char('\n');
    }
    c.frontend.PrintOut(text);
    verdict.outcome.insert(QStringLiteral("written"), r.written);
    verdict.outcome.insert(QStringLiteral("unchanged"), r.unchanged);
    verdict.outcome.insert(QStringLiteral("withheld"), r.withheld);
    verdict.outcome.insert(QStringLiteral("differences"), int(r.differences.size()));
    verdict.outcome.insert(QStringLiteral("not_restored"), RowsJson(r.notRestored, false));
    verdict.outcome.insert(QStringLiteral("not_reached"), QJsonArray::fromStringList(r.report.notReached));
    return verdict;
}

// Every device the fleet run changed, each back to the snapshot the run
// took of it before writing, one after another; a line per device.
CliVerdict RunOfFleet(CliContext &c)
{
    const QString run = c.options.records.run;
    QString text;
    QJsonArray devices;
    const Actions::RunRollbackResult result = Actions::RunRollback(
        c.session, c.recorder, run, c.options.password,
        [&c](int index, int count, const QString &target) {
            CliCommands::Emit(c, WorkerEvents::Progress(QStringLiteral("rollback"), index, count, target));
        },
        [&](const DeviceReport &report) {
            CliCommands::Emit(c, WorkerEvents::Result(report));
            text += CliText::Line({report.target, OutcomeName(report.outcome),
                                   report.record > 0 ? QString::number(report.record) : QStringLiteral("-")});
        });
    if (!result.error.isEmpty())
        return CliCommands::RefuseNamed(c, CliVerdict::kFailed, result.error);
    QList<int> statuses;
    for (qsizetype i = 0; i < result.devices.size(); ++i) {
        const DeviceReport &d = result.devices[i];
        QJsonObject device{{QStringLiteral("target"), d.target}, {QStringLiteral("outcome"), OutcomeName(d.outcome)}};
        if (result.restores[i] > 0) {
            device.insert(QStringLiteral("restores"), result.restores[i]);
            device.insert(QStringLiteral("differences"), result.differences[i]);
        }
        if (d.record > 0)
            device.insert(QStringLiteral("record"), d.record);
        if (!d.why.text.isEmpty())
            device.insert(QStringLiteral("detail"), d.why.text);
        devices.append(device);
        statuses << CliVerdict::StatusOf(d.outcome);
    }
    const int status = CliVerdict::OfRun(statuses);
    text += tr("批量运行 %1 的恢复：%2台设备").arg(run).arg(devices.size()) + QLatin1Char('\n');
    if (!c.options.events)
        c.frontend.PrintOut(text);
    return {status, {{QStringLiteral("ok"), status == CliVerdict::kOk}, {QStringLiteral("run"), run},
                     {QStringLiteral("devices"), devices}}};
}

} // namespace

QString Unfound(const Actions::SnapshotLookup &found, qint64 id)
{
    switch (found.kind) {
    case Actions::SnapshotLookup::Kind::Found:
        break;
    case Actions::SnapshotLookup::Kind::NoSuchEntry:
        return tr("没有编号为 %1 的记录").arg(id);
    case Actions::SnapshotLookup::Kind::StoreFailed:
        return found.error;
    case Actions::SnapshotLookup::Kind::NotSnapshot:
        return found.nearest > 0 ? tr("记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前最近的快照是记录 %3")
                                       .arg(id).arg(found.entry.action).arg(found.nearest)
                                 : tr("记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前没有快照")
                                       .arg(id).arg(found.entry.action);
    }
    return {};
}

bool Check(CliContext &c, QString *error)
{
    const bool run = !c.options.records.run.isEmpty();
    if (run == !c.options.arguments.isEmpty()) {
        *error = tr("rollback 需要一个快照的记录编号，或 --run 批量运行编号");
        return false;
    }
    if (run && c.options.dryRun) {
        *error = tr("--dry-run 只用于一个快照的 rollback ID");
        return false;
    }
    if (!run)
        CliCommands::EntryId(QStringLiteral("rollback"), c.options.arguments[0]);
    return true;
}

CliVerdict Run(CliContext &c)
{
    if (!c.options.records.run.isEmpty())
        return RunOfFleet(c);
    return One(c, c.options.arguments[0].toLongLong());
}

} // namespace CliRollback
