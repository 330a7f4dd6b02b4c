#pragma once
#include <QString>

struct CliOptions;

// The options about the device records: where they are kept, and what the
// history command shows.
struct RecordOptions {
    static constexpr int kDefaultLimit = 50;

    QString location;  // --records PATH|URL; "" for the default file
    bool off = false;  // --no-records
    int limit = -1;    // history --limit N: at most N entries (0: all; -1: not given, kDefaultLimit)
    qint64 show = 0;   // history --show ID
    bool diff = false; // history --diff ID1 ID2
    bool snapshot = false; // write, batch: read and record the device first
    QString run;       // rollback --run ID: the fleet run to undo
    bool identify = false; // fleet: each worker queries version and IMEI first
    QString fleetRun;  // provision --fleet-run ID: the fleet run the worker's entries belong to
};

namespace CliRecordOptions {
// Takes --records, --no-records, --limit, --show and --diff. False when
// `name` is none of them; *ok says whether the value was good.
bool Apply(RecordOptions *out, const QString &name, const QString &value, bool *ok);
// What a good value of option `name` is, for the refusal of a bad one; ""
// for an option that is none of these.
QString ValidValues(const QString &name);
// After all options: false with a reason for options that do not go
// together or with the command.
bool Check(const CliOptions &options, QString *error);
} // namespace CliRecordOptions

struct RecordLocation;
namespace CliRecordOptions {
// Where the records are: --records, else the default file. False with a
// reason for a URL that cannot be one.
bool Location(const RecordOptions &options, RecordLocation *out, QString *error);
} // namespace CliRecordOptions
