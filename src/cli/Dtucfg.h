#pragma once
#include <QStringList>
#include <cstdio>

class Scheduler;
class Transport;

// dtucfg: the configuration tool's device operations from the command line.
namespace Dtucfg {
// Where a run in the caller's process does its waiting and its talking: the
// scheduler of every wait and timer (nullptr: the default one), and a
// transport that takes the serial port's place (nullptr: the port the
// options name). The port's settings, texts and frames stay as they are;
// only the device file is not opened. The caller's scheduler must move
// time when the run sleeps on it (the tests' virtual scheduler does).
struct Line {
    Scheduler *scheduler = nullptr;
    Transport *serial = nullptr;
};
// Runs dtucfg with the arguments after the program name, printing to out
// and err; returns the exit status (0 success, 1 a device operation failed,
// 2 a usage or set-up error, 3 verify found differences).
int Run(const QStringList &arguments, std::FILE *out = stdout, std::FILE *err = stderr, const Line &line = {});
} // namespace Dtucfg
