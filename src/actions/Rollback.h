#pragma once
#include "actions/Recorder.h"
#include "ops/Outcomes.h"
#include "ops/TableCompare.h"
#include "store/RecordEntry.h"

#include <QList>
#include <QString>
#include <optional>

class DtuSession;

// The connected device put back to the values of a snapshot in the device
// records: it reads the device, writes only the rows that differ and the
// access level lets it write (through the one write loop, with its progress
// and stop), reads back to verify, and keeps all of it as one rollback
// entry that names the snapshot. dtucfg rollback and the records window's
// 恢复到此快照 both run it.
namespace Actions {

// Whether an entry is a snapshot: values read from a device (a read, save,
// verify or audit, a --snapshot read, a rollback's read-back).
bool IsSnapshot(const RecordEntry &entry);

// An entry asked for as a snapshot, from the store.
struct SnapshotLookup {
    enum class Kind { Found, NoSuchEntry, NotSnapshot, StoreFailed };
    Kind kind = Kind::Found;
    RecordEntry entry;   // Found, NotSnapshot: the entry
    qint64 nearest = 0;  // NotSnapshot: the newest snapshot of that device before it (0: none)
    QString error;       // StoreFailed: the store's words
};
SnapshotLookup FindSnapshot(RecordStore &store, qint64 id);

struct RollbackResult {
    OutcomeId verdict = OutcomeId::Ok; // Ok, RestoredExceptSecrets, Differs, OtherDevice, NotVerified, Stopped,
                                       // a read's or a write's failure
    QString deviceNumber;   // OtherDevice: the number the device reports
    ReadOutcome before, after;
    WriteReport report;
    int written = 0, unchanged = 0, withheld = 0;
    // The rows that differ from the snapshot: `before` what the device
    // holds, `after` the snapshot's value (a preview lists these).
    QList<RecordRow> differing;
    // The snapshot's rows whose values are never kept (secrets): not restored.
    QList<RecordRow> notRestored;
    // Rows read back with another value than the snapshot's.
    QList<TableCompare::Difference> differences;
    EntryKept entry;
};
// With `dryRun` the device is only read: `differing` lists what a rollback
// would write, nothing is written and no entry is kept.
RollbackResult Rollback(DtuSession &session, Recorder &recorder, const RecordEntry &snapshot, bool dryRun = false);

} // namespace Actions
