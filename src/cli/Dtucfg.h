#pragma once
#include <QStringList>
#include <cstdio>

// dtucfg: the configuration tool's device operations from the command line.
namespace Dtucfg {
// Runs dtucfg with the arguments after the program name, printing to out
// and err; returns the exit status (0 success, 1 a device operation failed,
// 2 a usage or set-up error, 3 verify found differences).
int Run(const QStringList &arguments, std::FILE *out = stdout, std::FILE *err = stderr);
} // namespace Dtucfg
