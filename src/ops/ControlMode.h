#pragma once
#include "ops/Outcomes.h"

class DtuSession;

// The buttons of the control-mode page; each writes its lines to Memo4 and
// returns what the device answered. Each is one device action: front ends
// start it through RunAction. The status buttons do not check the channel
// first: a closed channel shows as a device that does not answer.
namespace ControlMode {
CommandOutcome ReadSignal(DtuSession &session);  // Button6 "读取信号强度"
CommandOutcome ReadStatus(DtuSession &session);  // Button9 "读DTU状态"
VersionOutcome ReadVersion(DtuSession &session); // Button14 "查询DTU版本/IMEI"
CommandOutcome ReadClock(DtuSession &session);   // Button19 "读取设备时钟"
CommandOutcome SetClock(DtuSession &session);    // Button20 "设置设备时钟"
} // namespace ControlMode
