#pragma once
#include <QString>
#include <optional>

// What became of an action, a device of a fleet, or one row: one value,
// and one stable name for it in reports, --json documents and the device
// records. The names never change (stores and scripts keep them); each
// front end words the value in its own language.
enum class OutcomeId {
    // An exchange's own result (TransactionResult).
    Ok,
    Refused,
    NoAnswer,
    NotAFrame,
    BadChecksum,
    WrongCommandWord,
    TableNotSwitched,
    NothingReported,    // a parameter reply without any number asked for
    // How an action ended.
    ChannelClosed,      // nothing was sent: no channel open
    ChannelLost,        // the channel closed during the action
    Stopped,            // the user stopped it between two exchanges
    Cancelled,          // the question was answered Cancel
    NotReached,         // a write run ended before some rows
    WrittenWithErrors,  // some rows written, some refused or not reached
    Failed,             // nothing of it done (or a worker that said nothing)
    FileNotWritten,     // the device was read, its file could not be written
    Differs,            // the device holds other values than it should
    VerifyDiffers,      // a fleet device read back with other values
    NotVerified,        // written, but the read-back failed
    OtherDevice,        // a snapshot of another device: nothing written
    RestoredExceptSecrets, // restored, but for rows whose values are never kept
    NotSnapshot,        // an entry that holds no values read from a device
    NoSnapshot,         // a fleet device without the run's snapshot
    Unreachable,
    RefusedPassword,
    NotStarted,
    // What became of one row.
    Read,       // read from the device
    Unchanged,  // the device held the value already
    Withheld,   // the access level keeps it from the device
    NoSuchRow,  // the profile has no such row
};

QString OutcomeName(OutcomeId id);
// The value of a stable name; none for a name this program does not know
// (an entry left by a newer one).
std::optional<OutcomeId> OutcomeFromName(const QString &name);
// The outcome in the run's language ("成功", "无法连接"...): the one place
// every front end takes its words for an outcome from.
QString OutcomeWord(OutcomeId id);
// A stored name in words; a name this program does not know as it is.
QString OutcomeWord(const QString &name);
