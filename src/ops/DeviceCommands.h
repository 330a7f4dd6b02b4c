#pragma once
#include <QDateTime>
#include <QString>

class AppState;
class DtuSession;

// The device commands other than parameter reads and writes. Each is one
// exchange; command words are fixed or come from the script's GetCmd. Script
// errors (GetCmd, PrevCmd) propagate as ScriptError before anything is sent.
namespace DeviceCommands {

// Sends 0xE050 with the channel byte when the extended page is shown and the
// channel differs from CurrentParamChannel; 0 when nothing was sent. When
// the device does not confirm, CurrentParamChannel is -1 (not known), so the
// next selection is sent again.
int SelectParamChannel(DtuSession &session, int channel);

// The channel the extended page's read and write run on.
inline constexpr int kExtendedPageChannel = 0;
// The channel the main page's read and write run on: the one the device
// serves now when it serves a table, else the main table's.
int MainPageChannel(const AppState &state);
// Puts the device on `channel` for a read or write that needs it (nothing
// is sent when it is known to be there). False when the device did not
// confirm: "[<word>失败，设备未切换参数表！]" has then been posted.
bool SelectTableFor(DtuSession &session, int channel, const QString &operationWord);
// Status byte 0..255, or -1 (wrong reply word, message posted), -2, -3, -4.
int QueryStatus(DtuSession &session);
// Signal value 0..255, or -1, -2, -3, -4 as QueryStatus.
int QuerySignal(DtuSession &session);
// Texts; empty on any failure.
QString QueryVersion(DtuSession &session);
QString QueryImei(DtuSession &session);
QString ReadClock(DtuSession &session);
// Writes "设置设备时钟=<time>" to Memo4, then sends the 19 characters.
int SetClock(DtuSession &session, const QDateTime &localNow);
int Reset(DtuSession &session);
int RestoreDefaults(DtuSession &session);

} // namespace DeviceCommands
