#pragma once

class DtuSession;

// The buttons of the control-mode page; each writes its lines to Memo4.
// Each is one device action: front ends start it through RunAction. Each
// returns true when every device command it ran succeeded (the command line
// tool turns that into its exit status).
namespace ControlMode {
bool ReadSignal(DtuSession &session);     // Button6 "读取信号强度"
bool ReadStatus(DtuSession &session);     // Button9 "读DTU状态"
bool ReadVersion(DtuSession &session);    // Button14 "查询DTU版本/IMEI"
bool ReadClock(DtuSession &session);      // Button19 "读取设备时钟"
bool SetClock(DtuSession &session);       // Button20 "设置设备时钟"
} // namespace ControlMode
