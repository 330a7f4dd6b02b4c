#pragma once

class DtuSession;

// The buttons of the control-mode page; each writes its lines to Memo4.
namespace ControlMode {
void ReadSignal(DtuSession &session);     // Button6 "读取信号强度"
void ReadStatus(DtuSession &session);     // Button9 "读DTU状态"
void ReadVersion(DtuSession &session);    // Button14 "查询DTU版本/IMEI"
void ReadClock(DtuSession &session);      // Button19 "读取设备时钟"
void SetClock(DtuSession &session);       // Button20 "设置设备时钟"
} // namespace ControlMode
