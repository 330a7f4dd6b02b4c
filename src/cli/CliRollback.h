#pragma once
#include "actions/Rollback.h"

#include <QString>

struct CliContext;
struct CliVerdict;

// dtucfg rollback ID: the connected device put back to the values of the
// snapshot entry ID. It reads the device, writes only the rows that differ
// (the access level's rules apply) through the one write loop, reads back
// to verify, and keeps it all as one rollback entry naming the snapshot.
// rollback --run ID does that for every device a fleet run changed, each
// to the snapshot the run took before writing it.
namespace CliRollback {
bool Check(CliContext &context, QString *error);
CliVerdict Run(CliContext &context);
// Why entry `id` was not found as a snapshot, in words ("" when it was).
QString Unfound(const Actions::SnapshotLookup &found, qint64 id);
} // namespace CliRollback
