#pragma once
#include "fleet/FleetReport.h"

#include <QList>
#include <QString>

// Words for what became of the devices of a fleet run, in the language of
// the run (the window's, dtucfg's --lang). Report files keep the stable
// outcome identifiers.
namespace FleetWording {

// 成功, 部分失败, 校验不符, 无法连接, 密码错误, 未开始, 失败; an unknown
// identifier as it is.
QString Word(const QString &outcome);
// The result cell: the word, then what explains it (the first refused row,
// the rows that differ, or the detail).
QString Result(const DeviceReport &report);
// "共3台设备：成功 2台，部分失败 1台", in the order outcomes first appear.
QString Totals(const QList<DeviceReport> &reports);

} // namespace FleetWording
