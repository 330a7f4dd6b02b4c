#include "cli/CliRecording.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "actions/ActionEntries.h"
#include "actions/Recorder.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

namespace CliRecording {

bool Configure(Recorder &recorder, const CliOptions &options, QString *error)
{
    if (options.records.off) {
        recorder.Off();
        return true;
    }
    RecordLocation location;
    if (!CliRecordOptions::Location(options.records, &location, error))
        return false;
    recorder.SetLocation(location);
    return true;
}

RecordEntry Begin(CliContext &c, const QString &action)
{
    if (!c.recorder)
        return {};
    RecordEntry entry = c.recorder->Begin(c.session, action.isEmpty() ? c.options.command : action);
    entry.fleetRun = c.options.records.fleetRun;
    return entry;
}

// The entries are built as the window builds its own (ActionEntries).
QList<RecordRow> ReadRows(CliContext &c, const ReadOutcome &outcome, const ParamTableModel *only)
{
    return ActionEntries::ReadRows(c.session, outcome, only);
}

qint64 Keep(CliContext &c, RecordEntry &entry, const QString &outcome, const QJsonObject &details)
{
    return c.recorder ? ActionEntries::Keep(*c.recorder, entry, outcome, details) : 0;
}

qint64 KeepWrite(CliContext &c, const QString &action, const WriteReport &report,
                 const QList<const ParamTableModel *> &tables, const QJsonObject &details)
{
    if (!c.recorder || !c.recorder->IsOn())
        return 0;
    return ActionEntries::KeepWrite(*c.recorder, Begin(c, action), report, tables, details);
}

qint64 KeepRead(CliContext &c, const ReadOutcome &outcome, const QJsonObject &details)
{
    if (!c.recorder || !c.recorder->IsOn())
        return 0;
    RecordEntry entry = Begin(c, RecordAction::Read);
    entry.rows = ReadRows(c, outcome);
    return Keep(c, entry, ActionRecord::Outcome(outcome), details);
}

QString WarnOnce(CliContext &c)
{
    if (!c.recorder)
        return {};
    const StoreError error = c.recorder->TakeWarning();
    if (!error.IsNone())
        c.frontend.Complain(QStringLiteral("dtucfg: ")
                            + QCoreApplication::translate("CliRecording", "警告：这次操作没有记入设备档案：%1")
                                  .arg(error.message));
    return error.message;
}

} // namespace CliRecording
