#pragma once
#include "protocol/TransactionResult.h"

#include <QString>

class Frontend;

// The bracketed result texts: "[" + operation word + suffix + "]".
namespace ResultWording {

enum class Family {
    Ack,         // set-type commands: 成功 / 失败 / 设备无响应 / 非法的返回串 / 返回帧校验错误
    DataReply,   // parameter read: 设备无响应 / 返回数据包头非法 / 命令字非法 / 校验错
    ControlPanel // the control-mode page: as Ack, but -3 reads 参数错误
};

// The suffix after the operation word ("失败，设备无响应！"...); empty when
// the family has no text for the outcome (a wrong reply word has one in the
// data-reply family only; a table not switched to is worded alike by all).
// The control-mode page writes it without brackets ("DTU状态读取失败，参数错误！").
QString Suffix(Family family, int result);
// The text for an outcome, or an empty text when the family has none for it.
QString Text(const QString &word, Family family, int result);

// Sets panel 3 of the main status bar and appends the same line to Memo1.
void Post(Frontend &frontend, const QString &text);

} // namespace ResultWording
