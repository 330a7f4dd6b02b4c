#include "cli/CliRollback.h"

#include "cli/CliChannel.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliRecording.h"
#include "cli/ConsoleFrontend.h"
#include "core/StopSignals.h"
#include "fleet/FleetReport.h"
#include "fleet/WorkerEvents.h"
#include "ops/OutcomeJson.h"
#include "ops/ChannelOpen.h"
#include "ops/SerialToggle.h"
#include "ops/TableCompare.h"
#include "actions/Recorder.h"
#include "actions/Rollback.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QSet>


namespace CliRollback {
namespace {

using namespace ActionRecord;

// How one device's rollback went.
struct Done {
    int status = CliVerdict::kOk;
    QString outcome;     // the entry's outcome identifier
    qint64 entry = 0;    // the rollback entry kept (0: none)
    QJsonObject json;
    QStringList lines;   // differences after the write, as verify prints them
};

// The connected device back to the snapshot: read, write what differs, read
// back. One rollback entry.
Done RollBack(CliContext &c, const RecordEntry &snapshot)
{
    const Rollback::Outcome outcome
        = Rollback::Run(c.session, *c.recorder, CliRecording::Begin(c, RecordAction::Rollback), snapshot);
    Done done;
    done.outcome = outcome.outcome;
    done.entry = outcome.entry;
    done.json = outcome.details;
    switch (outcome.verdict) {
    case Rollback::Outcome::Verdict::Restored:
        done.status = CliVerdict::kOk;
        break;
    case Rollback::Outcome::Verdict::Differs:
        done.status = CliVerdict::kDiffers;
        break;
    case Rollback::Outcome::Verdict::OtherDevice:
        c.frontend.Complain(QStringLiteral("dtucfg: ")
                            + QCoreApplication::translate("CliRollback", "rollback：记录 %1 是设备 %2 的，这台设备是 %3；什么也没有写")
                                .arg(snapshot.id)
                                .arg(snapshot.device.number, outcome.deviceNumber));
        done.status = CliVerdict::kFailed;
        break;
    default:
        done.status = CliVerdict::kFailed;
        break;
    }
    for (const TableCompare::Difference &d : outcome.differences)
        done.lines << TableCompare::Line(d);
    return done;
}

QString CannotRead(const StoreError &error)
{
    return QCoreApplication::translate("CliRollback", "无法读取设备档案：%1").arg(error.message);
}

// What a refusal of rollback says, after "dtucfg: ".
QString Refusal(const QString &why)
{
    return QCoreApplication::translate("CliRollback", "rollback：%1").arg(why);
}

// The entry to restore from the store; a usage-like failure otherwise.
bool LoadSnapshot(CliContext &c, qint64 id, RecordEntry *out, QString *why)
{
    RecordStore *store = c.recorder ? c.recorder->Store() : nullptr;
    if (!store) {
        const StoreError error = c.recorder ? c.recorder->TakeWarning() : StoreError{};
        *why = CannotRead(error);
        return false;
    }
    const auto found = store->Entry(id);
    if (!found.Ok()) {
        *why = found.error.message;
        return false;
    }
    if (!found.value) {
        *why = QCoreApplication::translate("CliRollback", "没有编号为 %1 的记录").arg(id);
        return false;
    }
    if (Rollback::HeldRows(*found.value).isEmpty()) {
        *why = QCoreApplication::translate("CliRollback", "记录 %1 中没有从设备读出的参数值").arg(id);
        return false;
    }
    *out = *found.value;
    return true;
}

CliVerdict Report(CliContext &c, const Done &done)
{
    QString text;
    for (const QString &line : done.lines)
        text += line + QLatin1Char('\n');
    text += QCoreApplication::translate("CliRollback", "rollback：%1（写入%2行，%3行未变，%4行因访问级别未写）")
                .arg(done.outcome)
                .arg(done.json.value(QStringLiteral("written")).toInt())
                .arg(done.json.value(QStringLiteral("unchanged")).toInt())
                .arg(done.json.value(QStringLiteral("withheld")).toInt());
    if (done.entry > 0)
        text += QCoreApplication::translate("CliRollback", "；记录 %1").arg(done.entry);
    if (!c.options.json)
        c.frontend.PrintOut(text + QLatin1Char('\n'));
    QJsonObject json = done.json;
    if (done.entry > 0)
        json.insert(QStringLiteral("record"), done.entry);
    return {done.status, json};
}

CliVerdict One(CliContext &c, qint64 id)
{
    RecordEntry snapshot;
    QString why;
    if (!LoadSnapshot(c, id, &snapshot, &why)) {
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(why));
        return {CliVerdict::kFailed, {}, Refusal(why)};
    }
    const ChannelOutcome channel = CliChannel::Open(c.session, c.options);
    if (!channel.open) {
        const CliChannel::Failure failure = CliChannel::Refused(channel);
        c.frontend.Complain(QStringLiteral("dtucfg: ") + failure.text);
        return {failure.status, OutcomeJson::Channel(channel), failure.text};
    }
    c.session.state.AccessLevel = c.options.level;
    return Report(c, RollBack(c, snapshot));
}

void CloseChannel(DtuSession &s)
{
    if (s.tcp.IsOpen())
        ChannelOpen::DisconnectTcp(s);
    if (s.serial.IsOpen())
        SerialToggle::Toggle(s);
}

// Every device the fleet run changed, each back to the snapshot the run
// took of it before writing, one after another; a line per device.
CliVerdict RunOfFleet(CliContext &c)
{
    const QString run = c.options.records.run;
    RecordStore *store = c.recorder ? c.recorder->Store() : nullptr;
    if (!store) {
        const StoreError error = c.recorder ? c.recorder->TakeWarning() : StoreError{};
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(CannotRead(error)));
        return {CliVerdict::kFailed, {}, Refusal(CannotRead(error))};
    }
    const auto found = store->RunEntries(run, true);
    if (!found.Ok() || found.value.isEmpty()) {
        const QString why = found.Ok() ? QCoreApplication::translate("CliRollback", "没有编号为 %1 的批量运行").arg(run) : found.error.message;
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(why));
        return {CliVerdict::kFailed, {}, Refusal(why)};
    }
    // Per target: the run's snapshot, and whether the run changed it.
    QStringList targets;
    QHash<QString, const RecordEntry *> snapshots;
    QSet<QString> changed;
    for (const RecordEntry &e : found.value) {
        if (!targets.contains(e.target))
            targets << e.target;
        if (e.action == RecordAction::Read && !snapshots.contains(e.target) && !Rollback::HeldRows(e).isEmpty())
            snapshots.insert(e.target, &e);
        for (const RecordRow &row : e.rows)
            if (e.action != RecordAction::Read && row.result == ResultId(TransactionResult::Accepted))
                changed.insert(e.target);
    }
    targets.removeIf([&changed](const QString &target) { return !changed.contains(target); });
    // A stop (Ctrl+C, or the records window's) ends the device being
    // restored between two rows, and no other device begins.
    bool stopAsked = false;
    OnStopSignals([&] {
        stopAsked = true;
        c.session.state.StopRequested = true;
    });
    // A write run forgets stops asked before it began: this one was asked for it.
    c.frontend.onWriteRun = [&](const WriteRunStatus &) {
        if (stopAsked)
            c.session.state.StopRequested = true;
    };
    int status = CliVerdict::kOk;
    QJsonArray devices;
    QString text;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const QString &target = targets[i];
        CliCommands::Emit(c, WorkerEvents::Progress(QStringLiteral("rollback"), static_cast<int>(i),
                                       static_cast<int>(targets.size()), target));
        QJsonObject device{{QStringLiteral("target"), target}};
        DeviceReport report;
        report.target = target;
        QString outcome;
        qint64 entry = 0;
        const RecordEntry *snapshot = snapshots.value(target);
        CliOptions options = c.options;
        if (target.startsWith(QLatin1String("tcp:"))) {
            const QStringList parts = target.split(QLatin1Char(':'));
            options.tcpHost = parts.value(1);
            options.tcpPort = static_cast<quint16>(parts.value(2).toUInt());
        } else {
            options.tcpHost.clear();
            options.port = target;
        }
        CloseChannel(c.session);
        c.recorder->ForgetDevice();
        if (stopAsked) {
            outcome = Outcome::NotStarted;
        } else if (!snapshot) {
            outcome = Outcome::NoSnapshot;
        } else if (const ChannelOutcome channel = CliChannel::Open(c.session, options); !channel.open) {
            outcome = channel.failure == ChannelOutcome::Failure::PasswordRefused ? Outcome::RefusedPassword
                                                                                  : Outcome::Unreachable;
            device.insert(QStringLiteral("detail"), channel.reason);
            report.why = {DeviceWhy::Kind::Channel, 0, 0, channel.reason};
        } else {
            c.session.state.AccessLevel = c.options.level;
            const Done done = RollBack(c, *snapshot);
            outcome = done.outcome;
            entry = done.entry;
            device.insert(QStringLiteral("restores"), snapshot->id);
            device.insert(QStringLiteral("differences"), done.json.value(QStringLiteral("differences")));
        }
        if (outcome != ResultId(TransactionResult::Accepted))
            status = CliVerdict::kFailed;
        device.insert(QStringLiteral("outcome"), outcome);
        if (entry > 0)
            device.insert(QStringLiteral("record"), entry);
        devices.append(device);
        report.outcome = outcome;
        report.record = entry;
        CliCommands::Emit(c, WorkerEvents::Result(report));
        text += QStringList{target, outcome, entry > 0 ? QString::number(entry) : QStringLiteral("-")}.join(
                    QLatin1Char('\t'))
            + QLatin1Char('\n');
    }
    c.frontend.onWriteRun = nullptr;
    CloseChannel(c.session);
    text += QCoreApplication::translate("CliRollback", "批量运行 %1 的恢复：%2台设备").arg(run).arg(devices.size()) + QLatin1Char('\n');
    if (!c.options.json && !c.options.events)
        c.frontend.PrintOut(text);
    return {status, {{QStringLiteral("ok"), status == CliVerdict::kOk},
                     {QStringLiteral("run"), run},
                     {QStringLiteral("devices"), devices}}};
}

} // namespace

bool Check(CliContext &c, QString *error)
{
    const bool run = !c.options.records.run.isEmpty();
    if (run == !c.options.arguments.isEmpty()) {
        *error = QCoreApplication::translate("CliRollback", "rollback 需要一个快照的记录编号，或 --run 批量运行编号");
        return false;
    }
    if (!run) {
        bool ok = false;
        const qint64 id = c.options.arguments[0].toLongLong(&ok);
        if (!ok || id <= 0) {
            *error = QCoreApplication::translate("CliRollback", "rollback：“%1”不是记录编号").arg(c.options.arguments[0]);
            return false;
        }
    }
    return true;
}

CliVerdict Run(CliContext &c)
{
    if (!c.options.records.run.isEmpty())
        return RunOfFleet(c);
    return One(c, c.options.arguments[0].toLongLong());
}

} // namespace CliRollback
