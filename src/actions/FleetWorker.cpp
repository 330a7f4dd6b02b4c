#include "actions/FleetWorker.h"

#include "core/WriteRules.h"
#include "fleet/WorkerEvents.h"
#include "ops/ChannelOpen.h"
#include "ops/ControlMode.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamReader.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QHash>
#include <QJsonDocument>

#include <algorithm>

namespace Actions {
namespace {

// A row the fleet wants the device to hold: its place and value.
struct Wanted {
    ParamTableModel *table;
    int index;
    QString number, name, hex, shown;
    QString Key() const { return EntryRows::Key(EntryRows::TableName(*table), number); }
};

struct Plan {
    QList<Wanted> rows;
    int withheld = 0;          // rows the access level keeps from the device
    bool ownNumberKept = false; // the profile has the device number, and no cell gave it
};

// Every numbered row of the tables the fleet writes, with the values the
// tables hold now (the profile's, with the device's own over them). The
// device number is the device's own: only its own cell names a new one.
Plan MakePlan(DtuSession &s, const QList<GivenValue> &given)
{
    Plan plan;
    QList<ParamTableModel *> tables{&s.mainTable};
    if (s.state.ExtPageVisible)
        tables << &s.extTable;
    for (ParamTableModel *table : tables) {
        for (int i = 0; i < table->Count(); ++i) {
            const ParamRow &row = table->Row(i);
            if (row.IsHeading())
                continue;
            if (!WriteRules::MayWrite(s.state.AccessLevel, row.Number())) {
                ++plan.withheld;
                continue;
            }
            const bool givenHere = std::any_of(given.begin(), given.end(), [&](const GivenValue &v) {
                return v.number.compare(row.Number(), Qt::CaseInsensitive) == 0 && TableFor(s, v.number) == table;
            });
            if (WriteRules::IsProtected(row.Number()) && !givenHere) {
                plan.ownNumberKept = true;
                continue;
            }
            plan.rows.append({table, i, row.Number(), row.cells[ColName], row.cells[ColHex], row.cells[ColValue]});
        }
    }
    return plan;
}

// A device that never answered: over TCP, one that closed the connection
// right after the password refused it or was busy with another peer (a
// device drops a peer it will not serve); else it is out of reach.
void JudgeSilence(DtuSession &s, const WorkerInputs &in, DeviceReport &report)
{
    if (in.endpoint.tcp && !s.tcp.IsOpen()) {
        report.outcome = OutcomeId::RefusedPassword;
        report.why = {DeviceWhy::Kind::ClosedAfterPassword};
    } else {
        report.outcome = OutcomeId::Unreachable;
        report.why = {DeviceWhy::Kind::NoAnswer};
    }
}

// An audit: what the device reports against what the fleet wants of it.
void Audit(DtuSession &s, Recorder &recorder, const WorkerInputs &in, const Plan &plan, DeviceReport &report)
{
    RecordEntry entry = recorder.Begin(s, RecordAction::Audit);
    const ReadOutcome read = ParamReader::ReadWholeDevice(s);
    if (!read.stopped) // a stopped read is no snapshot
        entry.rows = EntryRows::Read(s, read);
    if (!read.Ok()) {
        if (read.stopped)
            report.outcome = OutcomeId::Stopped;
        else if (read.result == TransactionResult::NothingReported)
            report.outcome = OutcomeId::Failed;
        else
            JudgeSilence(s, in, report);
        report.record = recorder.Keep(entry, Verdict(read), OutcomeJson::Read(read)).id;
        return;
    }
    const QHash<QString, RecordRow> held = EntryRows::ByKey(entry.rows);
    report.notCompared = plan.withheld + (plan.ownNumberKept ? 1 : 0);
    int compared = 0;
    for (const Wanted &want : plan.rows) {
        const auto found = held.constFind(want.Key());
        if (in.ignore.contains(want.number, Qt::CaseInsensitive) || RecordEntries::IsSecretRow(want.name)
            || found == held.constEnd()) {
            ++report.notCompared;
            continue;
        }
        ++compared;
        if (found->after.raw.compare(want.hex, Qt::CaseInsensitive) != 0)
            report.differences.append({want.number, want.name, want.shown.isEmpty() ? want.hex : want.shown,
                                       found->after.shown.isEmpty() ? found->after.raw : found->after.shown});
    }
    report.outcome = report.differences.isEmpty() ? OutcomeId::Ok : OutcomeId::Differs;
    const QJsonObject details{{QStringLiteral("compared"), compared},
                              {QStringLiteral("differences"), int(report.differences.size())},
                              {QStringLiteral("not_compared"), report.notCompared}};
    report.record = recorder.Keep(entry, report.outcome, details).id;
}

// The rows that differ from what the device reports (all of them with
// `writeAll`), written through the one write loop.
WriteReport WriteDiffering(DtuSession &s, const WorkerInputs &in, const Plan &plan, const QList<RecordRow> &read,
                           QList<RecordRow> *unchanged)
{
    const QHash<QString, RecordRow> held = EntryRows::ByKey(read);
    QList<int> mainRows, extRows;
    for (const Wanted &want : plan.rows) {
        const auto found = held.constFind(want.Key());
        if (!in.writeAll && found != held.constEnd() && found->after.raw.compare(want.hex, Qt::CaseInsensitive) == 0) {
            RecordRow row = *found;
            row.before = row.after;
            row.result = OutcomeName(OutcomeId::Unchanged);
            *unchanged << row;
            continue;
        }
        (want.table == &s.extTable ? extRows : mainRows) << want.index;
    }
    // A device silent from its first row on would wait out every row.
    return WriteRows(s, mainRows, extRows, true);
}

void Judge(DtuSession &s, const WorkerInputs &in, const WriteReport &run, DeviceReport &report)
{
    report.written = run.Written();
    for (const RowResult &row : run.Failed()) {
        const QString text = Wording::RowResultText(row.result); // none for a corrupt reply: the panel's word
        report.failed.append({row.number, row.name, text.isEmpty() ? Wording::SettingText() : text});
    }
    if (!run.rows.isEmpty() && !run.DeviceAnswered()) {
        JudgeSilence(s, in, report);
        return;
    }
    if (!run.Ok()) {
        // A stop between two rows is the user's, not the device's failure.
        report.outcome = run.stopped ? OutcomeId::Stopped : OutcomeId::WrittenWithErrors;
        if (!run.notReached.isEmpty())
            report.why = {DeviceWhy::Kind::RowsNotReached, static_cast<int>(run.notReached.size()), run.total};
        return;
    }
    report.outcome = OutcomeId::Ok;
}

void VerifyWritten(DtuSession &s, const WorkerInputs &in, const Plan &plan, DeviceReport &report)
{
    Expected expected;
    expected.ignore = in.ignore;
    for (const Wanted &want : plan.rows)
        (want.table == &s.extTable ? expected.ext : expected.main).append({want.number, want.name, want.hex, want.shown});
    const VerifyResult verify = ReadAndCompare(s, expected);
    if (!verify.read.Ok()) {
        report.outcome = OutcomeId::VerifyDiffers;
        report.why = {DeviceWhy::Kind::NoReadBack};
        return;
    }
    for (const TableCompare::Difference &d : verify.compare.differences)
        report.differences.append({d.number, d.name, d.expected, d.actual});
    if (!report.differences.isEmpty())
        report.outcome = OutcomeId::VerifyDiffers;
}

} // namespace

ParamTableModel *TableFor(DtuSession &s, const QString &number)
{
    if (s.mainTable.FindByNumber(number) >= 0)
        return &s.mainTable;
    if (s.state.ExtPageVisible && s.extTable.FindByNumber(number) >= 0)
        return &s.extTable;
    return nullptr;
}

std::optional<EditResult> CheckWorkerValues(DtuSession &s, const QList<GivenValue> &values)
{
    for (const GivenValue &v : values) {
        // A number in neither table: the main table refuses it as no such row.
        const ParamTableModel *table = TableFor(s, v.number);
        if (const EditResult check = EditorLogic::CheckValue(s, table ? *table : s.mainTable, v.number, v.text);
            !check.Applied())
            return check;
    }
    return std::nullopt;
}

DeviceReport FleetWorker(DtuSession &s, Recorder &recorder, const WorkerInputs &in)
{
    DeviceReport report;
    report.target = in.endpoint.Text();
    const auto phase = [&in](const char *name) {
        if (in.onPhase)
            in.onPhase(QLatin1String(name));
    };
    for (const GivenValue &v : in.values)
        EditorLogic::ApplyValue(s, *TableFor(s, v.number), v.number, v.text);
    // The fleet writes what it plans, not what the values listed as edits.
    s.state.ModifiedParamList.Clear();
    const Plan plan = MakePlan(s, in.values);
    report.ownNumberKept = plan.ownNumberKept;

    phase("open");
    const int level = s.state.AccessLevel;
    const ChannelOutcome channel = ChannelOpen::Open(s, in.endpoint, in.password);
    // Opening the serial port raises the level as the window's button does.
    s.state.AccessLevel = level;
    if (!channel.open) {
        report.outcome = channel.failure == ChannelOutcome::Failure::PasswordRefused ? OutcomeId::RefusedPassword
                                                                                      : OutcomeId::Unreachable;
        report.why = {DeviceWhy::Kind::Channel, 0, 0, channel.reason};
        return report;
    }
    // With an extended page, opening selected the main table: no
    // confirmation means no answer at all.
    if (channel.selection != TransactionResult::Accepted) {
        JudgeSilence(s, in, report);
        return report;
    }
    const auto stoppedBeforeFirstRow = [&] {
        if (!s.state.StopRequested)
            return false;
        report.outcome = OutcomeId::Stopped;
        report.why = {DeviceWhy::Kind::StoppedBeforeFirstRow};
        return true;
    };
    if (stoppedBeforeFirstRow())
        return report;
    if (in.identify && recorder.IsOn()) {
        phase("identify");
        recorder.LearnVersion(s, ControlMode::ReadVersion(s));
    }
    phase("read");
    if (in.audit) {
        Audit(s, recorder, in, plan, report);
        return report;
    }
    // What the device holds, before anything is written: the run's way back.
    const SnapshotResult before = Snapshot(s, recorder);
    if (before.verdict != OutcomeId::Ok) {
        JudgeSilence(s, in, report);
        if (report.why.kind == DeviceWhy::Kind::NoAnswer)
            report.why = {DeviceWhy::Kind::NoSnapshot};
        if (before.read.stopped)
            report.why = {DeviceWhy::Kind::StoppedBeforeFirstRow};
        report.outcome = before.read.stopped ? OutcomeId::Stopped : report.outcome;
        return report;
    }
    if (stoppedBeforeFirstRow())
        return report;
    RecordEntry entry = recorder.Begin(s, RecordAction::Provision);
    QList<RecordRow> unchanged;
    const WriteReport run = WriteDiffering(s, in, plan, before.rows, &unchanged);
    report.unchanged = static_cast<int>(unchanged.size());
    Judge(s, in, run, report);
    if (report.outcome == OutcomeId::Ok && in.verify) {
        phase("verify");
        VerifyWritten(s, in, plan, report);
    }
    entry.rows = EntryRows::Written(run, {&s.mainTable, &s.extTable}, recorder.Known(entry)) + unchanged;
    report.record = recorder.Keep(entry, report.outcome, QJsonDocument::fromJson(WorkerEvents::Result(report)).object()).id;
    return report;
}

} // namespace Actions
