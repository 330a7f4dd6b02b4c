#pragma once
#include "fleet/FleetReport.h"

#include <QByteArray>
#include <QString>

// The lines a fleet worker (dtucfg provision --events) prints on standard
// output, one JSON object a line, so the runner never reads human texts:
//   {"event":"progress","phase":"write","done":3,"total":41,"row":"中心端口"}
//   {"event":"result","outcome":"ok","written":41,"failed":[...],"differences":[...],
//    "why":"rows-not-reached","count":3,"of":41,"text":"","detail":"3 of 41 rows not reached"}
// ("detail" is for a reader; the runner takes "why" and its figures.)
namespace WorkerEvents {

struct Event {
    enum class Kind { Progress, Result, Other };
    Kind kind = Kind::Other;
    QString phase; // open, write, verify
    int done = 0, total = 0;
    QString row;
    DeviceReport result; // outcome, written, failed, differences, why
};

QByteArray Progress(const QString &phase, int done, int total, const QString &row);
QByteArray Result(const DeviceReport &report);
// Kind::Other for a line that is no event.
Event Parse(const QByteArray &line);
// What a worker that ended without a result said, from the end of its
// standard error: its own complaint ("dtucfg: ..."), which says more than
// the usage hint after it, else its last line.
QString Complaint(const QByteArray &errors);
// How much of the end of a worker's standard error is kept for Complaint.
constexpr qsizetype kErrorTail = 2000;

} // namespace WorkerEvents
