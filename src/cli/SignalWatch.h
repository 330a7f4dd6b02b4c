#pragma once

struct CliContext;
struct CliVerdict;

// dtucfg signal --watch N: one reading every N seconds, one line each, until
// SIGINT or SIGTERM. Succeeds when the last reading succeeded.
namespace SignalWatch {
CliVerdict Run(CliContext &context);
}
