#pragma once
#include "ops/Outcomes.h"
#include "ops/TableCompare.h"
#include "store/RecordEntry.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class DtuSession;
class Recorder;

// The connected device put back to the values of a snapshot in the device
// records: it reads the device, writes only the rows that differ and the
// access level lets it write (through the one write loop, with its progress
// and stop), reads back to verify, and keeps all of it as one rollback
// entry that names the snapshot. dtucfg rollback and the records window's
// 恢复到此快照 both run it.
namespace Rollback {

// The snapshot's rows whose values the device held when it was taken
// (never a password row): what a rollback restores. None: nothing to
// restore from that entry.
QList<RecordRow> HeldRows(const RecordEntry &snapshot);

struct Outcome {
    enum class Verdict {
        Restored,    // every row the device may take holds the snapshot's value
        Differs,     // read back, some row holds another value
        ReadFailed,  // the first read did not succeed: nothing written
        OtherDevice, // the device reports another number than the snapshot's: nothing written
        WriteFailed, // the write run did not write every row
        NotVerified, // written, but the read back did not succeed
    };
    Verdict verdict = Verdict::Restored;
    QString outcome;      // the entry's outcome identifier
    QString deviceNumber; // OtherDevice: the number the device reports
    ReadOutcome before, after;
    WriteReport report;
    int written = 0, unchanged = 0, withheld = 0;
    // Rows read back with another value than the snapshot's (expected: the
    // snapshot's, as shown).
    QList<TableCompare::Difference> differences;
    QJsonObject details; // as the entry keeps them
    qint64 entry = 0;    // the rollback entry (0: not kept)

    bool Ok() const { return verdict == Verdict::Restored; }
};

// `entry` is the rollback's entry begun before (its target and identity).
Outcome Run(DtuSession &session, Recorder &recorder, RecordEntry entry, const RecordEntry &snapshot);

} // namespace Rollback
