#include "actions/RunRollback.h"

#include "actions/Rollback.h"
#include "core/Endpoint.h"
#include "ops/ChannelOpen.h"
#include "ops/SerialToggle.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace Actions {
namespace {

void CloseChannel(DtuSession &s)
{
    if (s.tcp.IsOpen())
        s.tcp.Disconnect();
    if (s.serial.IsOpen())
        SerialToggle::Toggle(s);
}

} // namespace

RunRollbackResult RunRollback(DtuSession &s, Recorder &recorder, const QString &run, const QString &password,
                              const std::function<void(int, int, const QString &)> &onDevice,
                              const std::function<void(const DeviceReport &)> &onDone)
{
    RunRollbackResult result;
    RecordStore *store = recorder.Store();
    if (!store) {
        result.error = recorder.LastError();
        return result;
    }
    const auto found = store->RunEntries(run, true);
    if (!found.Ok() || found.value.isEmpty()) {
        result.error = found.Ok() ? QCoreApplication::translate("RunRollback", "没有编号为 %1 的批量运行").arg(run)
                                  : found.error.message;
        return result;
    }
    // Per target: the run's snapshot, and whether the run changed it.
    QStringList targets;
    QHash<QString, const RecordEntry *> snapshots;
    QSet<QString> changed;
    for (const RecordEntry &e : found.value) {
        if (!targets.contains(e.target))
            targets << e.target;
        if (e.action == RecordAction::Read && !snapshots.contains(e.target) && IsSnapshot(e))
            snapshots.insert(e.target, &e);
        for (const RecordRow &row : e.rows)
            if (e.action != RecordAction::Read && row.result == OutcomeName(OutcomeId::Ok))
                changed.insert(e.target);
    }
    targets.removeIf([&changed](const QString &target) { return !changed.contains(target); });
    const int level = s.state.AccessLevel;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const QString &target = targets[i];
        if (onDevice)
            onDevice(int(i), int(targets.size()), target);
        DeviceReport report;
        report.target = target;
        qint64 restores = 0;
        int differences = 0;
        const RecordEntry *snapshot = snapshots.value(target);
        CloseChannel(s);
        const std::optional<Endpoint> endpoint = Endpoint::Parse(target);
        if (s.state.StopRequested) {
            report.outcome = OutcomeId::NotStarted;
        } else if (!snapshot || !endpoint) {
            report.outcome = OutcomeId::NoSnapshot;
        } else if (const ChannelOutcome channel = ChannelOpen::Open(s, *endpoint, password); !channel.open) {
            report.outcome = channel.failure == ChannelOutcome::Failure::PasswordRefused ? OutcomeId::RefusedPassword
                                                                                          : OutcomeId::Unreachable;
            report.why = {DeviceWhy::Kind::Channel, 0, 0, channel.reason};
        } else {
            s.state.AccessLevel = level;
            const RollbackResult done = Rollback(s, recorder, *snapshot);
            report.outcome = done.verdict;
            report.record = done.entry.id;
            restores = snapshot->id;
            differences = int(done.differences.size());
        }
        result.devices << report;
        result.restores << restores;
        result.differences << differences;
        if (onDone)
            onDone(report);
    }
    CloseChannel(s);
    return result;
}

} // namespace Actions
