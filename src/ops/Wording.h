#pragma once
#include "ops/EditorLogic.h"
#include "ops/Outcomes.h"
#include "protocol/ResultWording.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The one place where the outcome values of the device operations become the
// texts the user reads: the bracketed results of panel 3 and the traffic memo,
// the lines of the control-mode page, the end of a write run. The window and
// dtucfg show the same words because both render through here; a verdict is
// never taken from these texts.
namespace Wording {

// Operation words: "[" + word + suffix + "]".
inline QString ReadWord() { return QCoreApplication::translate("ParamReader", "参数读取"); }
inline QString WriteWord() { return QCoreApplication::translate("ParamWriter", "参数设置"); }
inline QString ResetWord() { return QCoreApplication::translate("ParamFile", "复位设备"); }
inline QString StatusWord() { return QCoreApplication::translate("DeviceCommands", "状态读取"); }
inline QString SignalWord() { return QCoreApplication::translate("DeviceCommands", "信号读取"); }

// Reading.
inline QString ReadingText() { return QCoreApplication::translate("ParamReader", "[参数读取中，请稍候...]"); }
inline QString ReadDoneText() { return QCoreApplication::translate("ParamReader", "[参数读取完毕]"); }

// Writing.
inline QString SettingText() { return QCoreApplication::translate("ParamWriter", "正在设置，请稍候..."); }
// "设置参数：<name>=<value>", "(空)" for an empty value.
QString RowLine(const QString &name, const QString &value);
// The result of one row: "[参数设置成功]", "[参数设置失败，返回帧校验错误！]"...;
// empty for a code without a text, after which panel 3 keeps
// "正在设置，请稍候...".
QString RowResultText(int result);
// The last line of a run that ended early: how many rows it did not reach
// when the channel has closed, else also how many it tried; empty otherwise (a finished
// run, a closing window: nobody is left to read it).
QString WriteEnd(const WriteReport &report, int tried);

// The row, the text and why the row cannot take it ("超出此参数能保存的范围"...),
// in one line: the window's status bar and dtucfg's refusals say the same.
QString RefusedValue(const EditResult &result);

// A row a batch refused before its first frame: its number, name and hex
// cell, and that nothing was sent.
QString Unsendable(const UnsendableRow &row);

// The control-mode page (Memo4), without brackets.
// "DTU状态=4,在线状态，未登录到数据中心", or the failure; empty for a value
// the device documentation does not name.
QString StatusLine(const CommandOutcome &status);
// "DTU CSQ=17" or "信号读取失败".
QString SignalLine(const CommandOutcome &signal);
// "DTU版本号读取失败" (on failure) then "DTU版本号=<text>"; the same for IMEI.
QStringList VersionLines(const CommandOutcome &version);
QStringList ImeiLines(const CommandOutcome &imei);
// "设备时钟读取成功" / "设备时钟读取失败": panel 3 and Memo4.
QString ClockResult(const CommandOutcome &clock);
// "设置设备时钟=2026-12-08 13:05:00": the line before the clock is sent.
QString SetClockLine(const QString &text);
// "设备时钟设置成功"...: panel 3 and Memo4; empty for a code without a text.
QString SetClockResult(int result);

// Opening the data channel: why a TCP connection did not open ("TCP维护端口
// 连接失败：..." with the cause); the serial port's own text otherwise.
QString ChannelFailure(const ChannelOutcome &outcome, const QString &host, quint16 port);

} // namespace Wording
