#pragma once
#include "core/Endpoint.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetSetup.h"
#include "fleet/Inventory.h"

#include <QList>
#include <QString>

// Words for what became of the devices of a fleet run, in the language of
// the run (the window's, dtucfg's --lang). Report files keep the stable
// outcome identifiers.
namespace FleetWording {

// An outcome's word; an audit's `ok` is 相符: the device holds what it
// should, and nothing was done to it.
QString Outcome(OutcomeId outcome, bool audit);
// The result cell: the word, then what explains it (the first refused row,
// the rows that differ, or the detail).
QString Result(const DeviceReport &report, bool audit = false);
// What a device of a run is doing: a worker's phase ("read", "write",
// "verify"), anything else being the connection.
QString Phase(const QString &phase);
// Why, for an outcome the lists do not explain ("41行中有3行未写到"); "" for none.
QString Detail(const DeviceWhy &why);
// "共3台设备：成功 2台，部分失败 1台", in the order outcomes first appear.
QString Totals(const QList<DeviceReport> &reports, bool audit = false);

// What is wrong with an inventory: its file, line and column, then what is
// at fault there ("inv.csv：第3行第1列：tcp:a:1 已在第2行列出").
QString InventoryProblem(const Inventory::Problem &problem);
// Why a text is no target: "tcp:a:0：TCP端口应为1到65535".
QString TargetFault(Endpoint::Fault fault, const QString &text);
// Why a run cannot start (FleetSetup's refusal): the same words for dtucfg
// and the window. `profilePath` as the user gave it.
QString SetupRefusal(const FleetSetup::Plan &plan, const QString &profilePath);

} // namespace FleetWording
