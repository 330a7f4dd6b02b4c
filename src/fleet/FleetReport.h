#pragma once
#include "core/OutcomeId.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// What became of each device of a fleet run, and the report file. The
// outcome of a device is an OutcomeId: ok, written-with-errors,
// verify-differs, unreachable (the channel did not open, or the device
// answered nothing), refused-password, not-started (the run was stopped
// before its turn), failed (the worker ended without telling a result);
// a fleet run's rollback adds no-snapshot, differs and stopped. Report
// files and scripts keep their stable names; a front end words them
// (OutcomeWord).

struct RowFailure {
    QString number, name, text; // text: the bracketed result, "[参数设置失败]"
};

struct VerifyDifference {
    QString number, name, expected, actual;
};

// Why, for an outcome the lists do not explain, as a value: a window and
// dtucfg word it in their language (FleetWording::Detail), the report files
// in fixed words (FleetReport::DetailText).
struct DeviceWhy {
    enum class Kind {
        None,
        ClosedAfterPassword,   // over TCP, the device hung up right after the password
        NoAnswer,              // the device answered nothing
        RowsNotReached,        // count of total rows were not reached
        NoReadBack,            // the parameters could not be read back
        NoSnapshot,            // the values before writing could not be read: nothing written
        StoppedBeforeFirstRow,
        StoppedBeforeStart,    // the run stopped before this device's worker began
        WorkerDidNotStart,     // text: the program
        WorkerCrashed,
        WorkerStatus,          // the worker ended with status `count` and no result; text: what it said
        Channel,               // text: why the channel did not open, in the worker's words
    };
    Kind kind = Kind::None;
    int count = 0, total = 0;
    QString text;

    bool operator==(const DeviceWhy &) const = default;
};

struct DeviceReport {
    QString target, name;
    OutcomeId outcome = OutcomeId::NotStarted;
    int written = 0; // rows the device acknowledged
    QList<RowFailure> failed;
    QList<VerifyDifference> differences;
    double seconds = 0;
    DeviceWhy why; // for an outcome the lists do not explain
    qint64 record = 0; // the device's entry in the device records (0: none kept)
    // Why the device records did not keep this device's entries, in the
    // store's words ("": kept, or not recording).
    QString recordWarning;
    int unchanged = 0;   // rows the device held already: not written
    int notCompared = 0; // an audit: rows withheld, ignored, secret or not reported
    bool ownNumberKept = false; // the device kept its own number (no cell gave one)
};

namespace FleetReport {
// One row per device: target, name, outcome, rows_written, rows_unchanged
// (already right), rows_failed, failures ("0031 中心端口 [参数设置失败]",
// "; " between them), differences ("0030 中心地址: 10.0.0.1 -> 10.0.0.9"),
// seconds, detail, record (the device's entry in the device records, empty
// when none), own_number ("kept" when the device kept its own number),
// not_compared (an audit's rows left out). UTF-8, CR LF.
QByteArray Csv(const QList<DeviceReport> &devices);
// {"devices": [{...}], "total": N, "ok": N} with the lists as arrays.
QByteArray Json(const QList<DeviceReport> &devices);
// CSV or JSON by the file's suffix (.json, anything else CSV), written
// atomically. Throws DtuError.
void Write(const QString &path, const QList<DeviceReport> &devices);
// How many devices ended with each outcome, in the order of first appearance.
QList<QPair<OutcomeId, int>> Counts(const QList<DeviceReport> &devices);
// The detail cell of the report files: why, in fixed words ("3 of 13 rows
// not reached"); "" for none.
QString DetailText(const DeviceWhy &why);
// The stable name of a kind of why ("rows-not-reached"), and back (None
// for a name it does not know).
QString WhyName(DeviceWhy::Kind kind);
DeviceWhy::Kind WhyKind(const QString &name);
} // namespace FleetReport
