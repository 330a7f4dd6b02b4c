#pragma once

struct CliContext;
struct CliVerdict;

// `dtucfg check`: the profile check on the profile and script every command
// would use; exit 0 clean, 1 a fault (--strict: a warning too), 2 a file
// that cannot be read.
namespace CliCheck {
CliVerdict Run(CliContext &context);
} // namespace CliCheck
