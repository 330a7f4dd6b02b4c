#pragma once
#include "ops/Outcomes.h"

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
// next selection is sent again. *silent: whether a selection sent met silence.
int SelectParamChannel(DtuSession &session, int channel, bool *silent = nullptr);

// The channel the extended page's read and write run on.
inline constexpr int kExtendedPageChannel = 0;
// The channel the main page's read and write run on: the one the device
// serves now when it serves a table, else the main table's.
int MainPageChannel(const AppState &state);
// Puts the device on `channel` for a read or write that needs it (nothing
// is sent when it is known to be there). Accepted when it is there; else,
// with its line posted, NoAnswer for a device that said nothing at all
// ("[<word>失败，设备无响应！]") and TableNotSwitched for one that answered
// without confirming ("[<word>失败，设备未切换参数表！]").
int SelectTableFor(DtuSession &session, int channel, const QString &operationWord);
// The status byte (value, 0..255) when accepted; else the result: NoAnswer,
// NotAFrame, BadChecksum, or WrongCommandWord (its line then posted).
CommandOutcome QueryStatus(DtuSession &session);
// The signal value (CSQ) as QueryStatus.
CommandOutcome QuerySignal(DtuSession &session);
// Texts of a checked frame; a missing, broken or empty answer is a failure
// (NoAnswer, NotAFrame, BadChecksum) with an empty text.
CommandOutcome QueryVersion(DtuSession &session);
CommandOutcome QueryImei(DtuSession &session);
CommandOutcome ReadClock(DtuSession &session);
// Writes "设置设备时钟=<time>" to Memo4, then sends the 19 characters.
CommandOutcome SetClock(DtuSession &session, const QDateTime &localNow);
CommandOutcome Reset(DtuSession &session);
CommandOutcome RestoreDefaults(DtuSession &session);

} // namespace DeviceCommands
