#include "actions/ActionEntries.h"

#include "ops/OutcomeJson.h"
#include "actions/Recorder.h"
#include "session/DtuSession.h"

namespace ActionEntries {

QList<RecordRow> ReadRows(const DtuSession &session, const ReadOutcome &outcome, const ParamTableModel *only)
{
    QList<RecordRow> rows;
    if (only) {
        if (outcome.Ok())
            rows = ActionRecord::Snapshot(*only);
        return rows;
    }
    if (outcome.tablesRead >= 1)
        rows += ActionRecord::Snapshot(session.mainTable);
    if (outcome.tablesRead >= 2)
        rows += ActionRecord::Snapshot(session.extTable);
    return rows;
}

QList<RecordRow> PageReadRows(const DtuSession &session, const ReadOutcome &outcome)
{
    QList<RecordRow> rows;
    if (!outcome.Ok())
        return rows;
    // The page's read selected its channel first: the state now names the
    // tables it asked for.
    if (session.state.MainTableActive())
        rows += ActionRecord::Snapshot(session.mainTable);
    if (session.state.ExtPageVisible && session.state.ExtTableActive())
        rows += ActionRecord::Snapshot(session.extTable);
    return rows;
}

qint64 Keep(Recorder &recorder, RecordEntry &entry, const QString &outcome, const QJsonObject &details)
{
    if (!recorder.IsOn())
        return 0;
    recorder.Learn(entry);
    entry.outcome = outcome;
    entry.details = details;
    return recorder.Keep(entry);
}

qint64 KeepWrite(Recorder &recorder, RecordEntry entry, const WriteReport &report,
                 const QList<const ParamTableModel *> &tables, const QJsonObject &details)
{
    if (!recorder.IsOn())
        return 0;
    entry.rows = ActionRecord::Written(report, tables, recorder.Known(entry));
    return Keep(recorder, entry, ActionRecord::Outcome(report), details);
}

} // namespace ActionEntries

SessionRecording::SessionRecording(Recorder &recorder, const DtuSession &session)
    : recorder_(recorder), session_(session)
{
}

RecordEntry SessionRecording::Begin(const QString &action)
{
    ChannelChanged();
    return recorder_.Begin(session_, action);
}

bool SessionRecording::Reached(const RecordEntry &entry, bool channelOpen) const
{
    return recorder_.IsOn() && channelOpen && !entry.target.isEmpty();
}

qint64 SessionRecording::Read(RecordEntry entry, const ReadOutcome &outcome)
{
    if (!Reached(entry, outcome.channelOpen))
        return 0;
    entry.rows = ActionEntries::PageReadRows(session_, outcome);
    return ActionEntries::Keep(recorder_, entry, ActionRecord::Outcome(outcome), OutcomeJson::Read(outcome));
}

qint64 SessionRecording::Write(RecordEntry entry, const WriteReport &report,
                               const QList<const ParamTableModel *> &tables)
{
    // Nothing was meant for the device: no edits listed.
    const bool nothing = report.total == 0 && report.rows.isEmpty() && report.withheld.isEmpty()
                      && !report.tableNotSwitched && !report.selectionUnanswered;
    if (!Reached(entry, report.channelOpen) || nothing)
        return 0;
    return ActionEntries::KeepWrite(recorder_, std::move(entry), report, tables, OutcomeJson::Write(report));
}

qint64 SessionRecording::Command(RecordEntry entry, const CommandOutcome &outcome)
{
    if (!Reached(entry, outcome.channelOpen) || outcome.cancelled)
        return 0;
    return ActionEntries::Keep(recorder_, entry, ActionRecord::Outcome(outcome), OutcomeJson::Command(outcome));
}

void SessionRecording::Version(const VersionOutcome &outcome)
{
    ChannelChanged();
    recorder_.LearnVersion(outcome.version.Ok() ? outcome.version.text : QString(),
                           outcome.imei.Ok() ? outcome.imei.text : QString());
}

void SessionRecording::ChannelChanged()
{
    const QString target = ActionRecord::Target(session_);
    if (target == target_)
        return;
    target_ = target;
    recorder_.ForgetDevice();
}
