#pragma once
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// What became of each device of a fleet run, and the report file. The
// outcomes are stable identifiers for report files and scripts; a window
// shows them in its own words.
namespace Outcome {
inline const QString Ok = QStringLiteral("ok");
inline const QString WrittenWithErrors = QStringLiteral("written-with-errors");
inline const QString VerifyDiffers = QStringLiteral("verify-differs");
// The channel did not open, or the device answered nothing.
inline const QString Unreachable = QStringLiteral("unreachable");
inline const QString RefusedPassword = QStringLiteral("refused-password");
// Never started: the run was stopped before its turn.
inline const QString NotStarted = QStringLiteral("not-started");
// The worker ended without telling a result (it could not run, refused its
// arguments, or crashed): what became of the device is not known.
inline const QString Failed = QStringLiteral("failed");
// A fleet run's rollback, per device: the run kept no snapshot of it; read
// back, it still differs from the snapshot; stopped during its write.
inline const QString NoSnapshot = QStringLiteral("no-snapshot");
inline const QString Differs = QStringLiteral("differs");
inline const QString Stopped = QStringLiteral("stopped");
} // namespace Outcome

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
    QString outcome;
    int written = 0; // rows the device acknowledged
    QList<RowFailure> failed;
    QList<VerifyDifference> differences;
    double seconds = 0;
    DeviceWhy why; // for an outcome the lists do not explain
    qint64 record = 0; // the device's entry in the device records (0: none kept)
    // Why the device records did not keep this device's entries, in the
    // store's words ("": kept, or not recording).
    QString recordWarning;
};

namespace FleetReport {
// One row per device: target, name, outcome, rows_written, rows_failed,
// failures ("0031 中心端口 [参数设置失败]", "; " between them), differences
// ("0030 中心地址: 10.0.0.1 -> 10.0.0.9"), seconds, detail, record (the
// device's entry in the device records, empty when none). UTF-8, CR LF.
QByteArray Csv(const QList<DeviceReport> &devices);
// {"devices": [{...}], "total": N, "ok": N} with the lists as arrays.
QByteArray Json(const QList<DeviceReport> &devices);
// CSV or JSON by the file's suffix (.json, anything else CSV), written
// atomically. Throws DtuError.
void Write(const QString &path, const QList<DeviceReport> &devices);
// How many devices ended with each outcome, in the order of first appearance.
QList<QPair<QString, int>> Counts(const QList<DeviceReport> &devices);
// The detail cell of the report files: why, in fixed words ("3 of 13 rows
// not reached"); "" for none.
QString DetailText(const DeviceWhy &why);
// The stable name of a kind of why ("rows-not-reached"), and back (None
// for a name it does not know).
QString WhyName(DeviceWhy::Kind kind);
DeviceWhy::Kind WhyKind(const QString &name);
// "32 devices: 29 ok, 1 unreachable, ..." in that order.
QString Totals(const QList<DeviceReport> &devices);
} // namespace FleetReport
