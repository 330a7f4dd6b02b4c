#pragma once
#include "cli/CliCommands.h"
#include "store/RecordEntry.h"
#include "ops/TableCompare.h"

#include <QString>

struct CliContext;

// dtucfg history: what the device records hold. No device, profile or
// script is needed.
//   history [DEVICE]          entries newest first (--limit, --json)
//   history --show ID         one entry with its rows
//   history --diff ID1 ID2    two snapshots compared as verify compares
namespace CliHistory {
CliVerdict Run(CliContext &context);

// The list's heading, in the run's language, over
// "id<TAB>time<TAB>device<TAB>action<TAB>outcome<TAB>operator".
QString Heading();
QString ListLine(const RecordEntry &entry);
// An entry as "name: value" lines (names in the run's language), then a line per row:
// "number<TAB>name<TAB>before<TAB>after<TAB>result" (values as shown).
QString ShowText(const RecordEntry &entry);
} // namespace CliHistory
