#pragma once

struct CliContext;
struct CliVerdict;

// dtucfg history: what the device records hold. No device, profile or
// script is needed.
//   history [DEVICE]          entries newest first (--limit, --json)
//   history --show ID         one entry with its rows
//   history --diff ID1 ID2    two snapshots compared as verify compares
namespace CliHistory {
CliVerdict Run(CliContext &context);
} // namespace CliHistory
