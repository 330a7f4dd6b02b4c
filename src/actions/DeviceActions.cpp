#include "actions/DeviceActions.h"

#include "ops/ControlMode.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamFile.h"
#include "session/DtuSession.h"

namespace Actions {
namespace {

CommandResult Command(DtuSession &s, Recorder &recorder, const QString &action,
                      CommandOutcome (*command)(DtuSession &))
{
    CommandResult r;
    RecordEntry entry = recorder.Begin(s, action);
    r.command = command(s);
    r.verdict = Verdict(r.command);
    if (r.command.channelOpen && !r.command.cancelled)
        r.entry = recorder.Keep(entry, r.verdict, OutcomeJson::Command(r.command));
    return r;
}

} // namespace

CommandResult Restore(DtuSession &s, Recorder &recorder)
{
    return Command(s, recorder, RecordAction::Restore, &ParamFile::RestoreDefaultsMenu);
}

CommandResult Reset(DtuSession &s, Recorder &recorder)
{
    return Command(s, recorder, RecordAction::Reset, &ParamFile::ResetMenu);
}

IdentifyResult Identify(DtuSession &s, Recorder &recorder)
{
    IdentifyResult r;
    RecordEntry entry = recorder.Begin(s, RecordAction::Identify);
    r.version = ControlMode::ReadVersion(s);
    r.verdict = r.version.stopped        ? OutcomeId::Stopped
              : !r.version.version.Ok() ? Verdict(r.version.version)
                                        : Verdict(r.version.imei);
    recorder.LearnVersion(s, r.version);
    entry.device = recorder.Identity();
    r.entry = recorder.Keep(entry, r.verdict, OutcomeJson::Version(r.version));
    r.identity = entry.device;
    return r;
}

} // namespace Actions
