// provision: one device of a fleet. Opens the channel, writes every row of
// both tables, reads back and compares when asked, and tells the outcome;
// with --events as JSON lines on standard output for the fleet runner.
#include "cli/CliCommands.h"

#include "session/DtuSession.h"
#include "cli/CliChannel.h"
#include "cli/CliOptions.h"
#include "cli/CliRecording.h"
#include "actions/ActionRecord.h"
#include "ops/ControlMode.h"
#include "actions/Recorder.h"
#include "cli/ConsoleFrontend.h"
#include "core/StopSignals.h"
#include "core/WriteRules.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetWording.h"
#include "fleet/WorkerEvents.h"
#include "ops/ParamFile.h"
#include "ops/ParamWriter.h"
#include "ops/Wording.h"
#include "ops/WriteLoop.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace CliCommands {
namespace {

// A failed row as the report names it: the line its result left in the
// traffic memo.
QString FailureText(int result)
{
    const QString text = Wording::RowResultText(result);
    return text.isEmpty() ? Wording::SettingText() : text;
}

// Set by Ctrl+C or SIGTERM, also before the write run begins.
bool g_stopAsked = false;

// A device that never answered: over TCP, one that closed the connection
// right after the password refused it (a device drops a peer that does
// not know the password); else it is out of reach.
void JudgeSilence(CliContext &c, DeviceReport *report)
{
    if (!c.options.tcpHost.isEmpty() && !c.session.tcp.IsOpen()) {
        report->outcome = Outcome::RefusedPassword;
        report->why = {DeviceWhy::Kind::ClosedAfterPassword};
    } else {
        report->outcome = Outcome::Unreachable;
        report->why = {DeviceWhy::Kind::NoAnswer};
    }
}

} // namespace

void Emit(CliContext &c, const QByteArray &line)
{
    if (c.options.events)
        c.frontend.PrintOut(QString::fromUtf8(line));
}

namespace {

CliVerdict Finish(CliContext &c, const DeviceReport &report)
{
    Emit(c, WorkerEvents::Result(report));
    if (!c.options.events) {
        QString text = report.outcome;
        if (const QString why = FleetWording::Detail(report.why); !why.isEmpty())
            text += QStringLiteral(": ") + why;
        c.frontend.PrintOut(text + QLatin1Char('\n'));
    }
    return CliVerdict::Of(report.outcome == Outcome::Ok,
                          QJsonDocument::fromJson(WorkerEvents::Result(report)).object());
}

WriteReport WriteAndJudge(CliContext &c, DeviceReport *report)
{
    c.frontend.onWriteRun = [&](const WriteRunStatus &status) {
        // A run forgets stops asked before it began: this one was asked for it.
        if (g_stopAsked)
            c.session.state.StopRequested = true;
        if (status.running)
            Emit(c, WorkerEvents::Progress(QStringLiteral("write"), status.done, status.total, status.currentName));
    };
    // A device silent from its first row on would wait out every row.
    WriteLoop::Options options;
    options.giveUpWhenSilent = true;
    const WriteReport run = ParamFile::BatchWriteAll(c.session, options);
    c.frontend.onWriteRun = nullptr;

    report->written = run.Written();
    for (const RowResult &row : run.Failed())
        report->failed.append({row.number, row.name, FailureText(row.result)});
    if (!run.DeviceAnswered()) {
        JudgeSilence(c, report);
        return run;
    }
    if (!run.Failed().isEmpty() || !run.notReached.isEmpty() || run.EndedEarly()) {
        report->outcome = Outcome::WrittenWithErrors;
        if (!run.notReached.isEmpty())
            report->why = {DeviceWhy::Kind::RowsNotReached, static_cast<int>(run.notReached.size()), run.total};
        return run;
    }
    report->outcome = Outcome::Ok;
    return run;
}

bool Recording(CliContext &c)
{
    return c.recorder && c.recorder->IsOn();
}

// Before a recorded device is written: with --identify its version and IMEI,
// then both tables read and kept as the snapshot a rollback goes back to.
// False when the device could not be read: it is not written.
bool SnapshotFirst(CliContext &c, DeviceReport *report)
{
    if (!Recording(c))
        return true;
    if (c.options.records.identify) {
        Emit(c, WorkerEvents::Progress(QStringLiteral("identify"), 0, 1, QString()));
        const VersionOutcome version = ControlMode::ReadVersion(c.session);
        c.recorder->LearnVersion(version.version.Ok() ? version.version.text : QString(),
                                 version.imei.Ok() ? version.imei.text : QString());
    }
    Emit(c, WorkerEvents::Progress(QStringLiteral("snapshot"), 0, 1, QString()));
    if (Snapshot(c))
        return true;
    JudgeSilence(c, report);
    if (report->why.kind == DeviceWhy::Kind::NoAnswer)
        report->why = {DeviceWhy::Kind::NoSnapshot};
    return false;
}

// One provision entry: each row written with the value the snapshot found.
void RecordProvision(CliContext &c, const WriteReport &run, DeviceReport *report)
{
    if (!Recording(c))
        return;
    RecordEntry entry = CliRecording::Begin(c, RecordAction::Provision);
    entry.rows = ActionRecord::Written(run, {&c.session.mainTable, &c.session.extTable}, c.recorder->Known(entry));
    report->record = CliRecording::Keep(c, entry, report->outcome,
                                        QJsonDocument::fromJson(WorkerEvents::Result(*report)).object());
}

void VerifyWritten(CliContext &c, DeviceReport *report)
{
    Emit(c, WorkerEvents::Progress(QStringLiteral("verify"), 0, 1, QString()));
    TableCompare::Outcome outcome;
    if (!ReadAndCompare(c, &outcome).Ok()) {
        report->outcome = Outcome::VerifyDiffers;
        report->why = {DeviceWhy::Kind::NoReadBack};
        return;
    }
    for (const TableCompare::Difference &d : outcome.differences)
        report->differences.append({d.number, d.name, d.expected, d.actual});
    if (!outcome.differences.isEmpty())
        report->outcome = Outcome::VerifyDiffers;
}

QList<TableCompare::RowValue> Writable(const QList<TableCompare::RowValue> &rows, int level)
{
    QList<TableCompare::RowValue> kept;
    for (const TableCompare::RowValue &row : rows)
        if (WriteRules::MayWrite(level, row.number))
            kept << row;
    return kept;
}

} // namespace

bool CheckProvision(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QStringLiteral("provision needs a device profile (--profile FILE)");
        return false;
    }
    try {
        for (const QString &argument : c.options.set)
            SetRowValue(c, argument);
    } catch (const CliUsageError &e) {
        *error = e.text;
        return false;
    }
    // A cell the batch could not send refuses the whole batch: said now, as
    // the usage error it is, not as a device that never answered.
    if (const QList<UnsendableRow> refused = ParamFile::UnsendableRows(c.session, ParamFile::BatchTables::Both);
        !refused.isEmpty()) {
        *error = QCoreApplication::translate("CliFleetWorker", "provision：") + Wording::Unsendable(refused.first());
        return false;
    }
    // The batch writes every row; edits listed now would be written twice.
    c.session.state.ModifiedParamList.Clear();
    // The read-back expects what this run may write: a row the level
    // withholds keeps the device's own value (--ignore rows are left out
    // by the comparison itself).
    c.expectedMain = Writable(TableCompare::Snapshot(c.session.mainTable), c.options.level);
    if (c.session.state.ExtPageVisible)
        c.expectedExt = Writable(TableCompare::Snapshot(c.session.extTable), c.options.level);
    return true;
}

CliVerdict Provision(CliContext &c)
{
    DtuSession &s = c.session;
    // A stop lands between two rows; the device still reports.
    OnStopSignals([&s] {
        g_stopAsked = true;
        s.state.StopRequested = true;
    });
    DeviceReport report;
    WriteReport run;
    report.target = c.options.tcpHost.isEmpty() ? c.options.port
                                                : QStringLiteral("tcp:%1:%2").arg(c.options.tcpHost).arg(c.options.tcpPort);
    Emit(c, WorkerEvents::Progress(QStringLiteral("open"), 0, 0, QString()));
    const ChannelOutcome channel = CliChannel::Open(s, c.options);
    if (!channel.open) {
        report.outcome = channel.failure == ChannelOutcome::Failure::PasswordRefused ? Outcome::RefusedPassword
                                                                                      : Outcome::Unreachable;
        report.why = {DeviceWhy::Kind::Channel, 0, 0, channel.reason};
    } else {
        s.state.AccessLevel = c.options.level;
        // With an extended page, opening selected the main table: no
        // confirmation means no answer at all.
        if (channel.selection != TransactionResult::Accepted) {
            JudgeSilence(c, &report);
        } else if (g_stopAsked) {
            report.outcome = Outcome::WrittenWithErrors;
            report.why = {DeviceWhy::Kind::StoppedBeforeFirstRow};
        } else if (SnapshotFirst(c, &report)) {
            // A stop during the snapshot: nothing written, and the device did answer.
            if (g_stopAsked) {
                report.outcome = Outcome::WrittenWithErrors;
                report.why = {DeviceWhy::Kind::StoppedBeforeFirstRow};
            } else {
                run = WriteAndJudge(c, &report);
            }
        }
        if (report.outcome == Outcome::Ok && c.options.verify)
            VerifyWritten(c, &report);
    }
    RecordProvision(c, run, &report);
    report.recordWarning = CliRecording::WarnOnce(c);
    return Finish(c, report);
}

} // namespace CliCommands
