#pragma once
#include <QDateTime>
#include <QString>

struct CliContext;
struct CliVerdict;

// dtucfg signal --watch N: one reading every N seconds, one line each, until
// SIGINT or SIGTERM. Succeeds when the last reading succeeded.
namespace SignalWatch {
CliVerdict Run(CliContext &context);
// "2026-12-08 13:05:00 CSQ=17 -79 dBm"; "CSQ=99 未知"; "信号读取失败" for -1.
QString Line(const QDateTime &when, int csq);
}
