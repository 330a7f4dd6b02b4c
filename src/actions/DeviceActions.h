#pragma once
#include "actions/Recorder.h"
#include "ops/Outcomes.h"

class DtuSession;

// The user's actions on the whole device, each with its entry in the device
// records (a device not reached, or a question answered Cancel, leaves none).
namespace Actions {

struct CommandResult {
    OutcomeId verdict = OutcomeId::Ok;
    CommandOutcome command;
    EntryKept entry;
};
// 恢复出厂默认设置 and 复位设备: asked first (the command line answers OK),
// then sent.
CommandResult Restore(DtuSession &session, Recorder &recorder);
CommandResult Reset(DtuSession &session, Recorder &recorder);

struct IdentifyResult {
    OutcomeId verdict = OutcomeId::Ok;
    VersionOutcome version;
    DeviceIdentity identity; // as the records know the device now
    EntryKept entry;
};
// 查询DTU版本/IMEI kept as the device's identity: the entries after it name
// the device by them; an identify entry. A stop between the two queries
// ends it.
IdentifyResult Identify(DtuSession &session, Recorder &recorder);

} // namespace Actions
