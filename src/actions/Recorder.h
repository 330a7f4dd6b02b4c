#pragma once
#include "actions/EntryRows.h"
#include "store/RecordLocation.h"
#include "store/RecordStore.h"

#include <QJsonObject>
#include <QString>
#include <memory>

class DtuSession;

// Whether an action's entry was kept: its id, or why not.
struct EntryKept {
    qint64 id = 0;
    bool recording = false; // false: recording is off, nothing was meant to be kept
    QString error;          // recording, and the store failed: its words
    bool Kept() const { return id > 0; }
};

// Keeps one program's entries in the device records. The store is opened
// when the first entry is kept; one that cannot be opened or written never
// stops device work: the entry is dropped, the action's EntryKept says why,
// and TakeWarning() gives the front end its one warning of the run.
//
// While the channel stays on one target the recorder remembers what this
// run learned of the device: its identity and the values last read, so a
// write's `before` needs no read of its own.
class Recorder {
public:
    explicit Recorder(QString program);

    // Where to keep entries; Off() keeps none.
    void SetLocation(const RecordLocation &location);
    void Off();
    bool IsOn() const { return on_; }
    // The fleet run this program's entries belong to ("" none).
    void SetFleetRun(const QString &run) { fleetRun_ = run; }

    // An entry begun now by this program on the session's device: operator,
    // host, target, profile, fleet run, and the identity known on this
    // target (a new target forgets the old one's).
    RecordEntry Begin(const DtuSession &session, const QString &action);
    // Learns the identity the entry's rows tell and keeps it with its
    // outcome and details.
    EntryKept Keep(RecordEntry &entry, OutcomeId outcome, const QJsonObject &details);
    // IMEI and firmware, when queried, of the device the session reaches.
    void LearnVersion(const DtuSession &session, const VersionOutcome &version);
    // The rows read name the device (its number) and are what it holds now.
    void Learn(const QList<RecordRow> &rows);
    // The channel closed or opened elsewhere: what was known of the device
    // it reached before is forgotten (a window calls this as it sees the
    // channel change; Begin notices it too).
    void NoticeChannel(const DtuSession &session);
    void ForgetDevice();
    const DeviceIdentity &Identity() const { return identity_; }

    // The values last read from the device of this entry: this run's reads,
    // else the newest the records hold for its number (or target).
    EntryRows::KnownValues Known(const RecordEntry &entry);
    // The store, opened on first use; nullptr when off or it cannot be.
    RecordStore *Store();
    // Why the last use of the store failed ("" none).
    QString LastError() const { return lastError_; }

    // The first failure of this run, once: the front end shows it as the
    // one warning that a record was not kept. None afterwards.
    StoreError TakeWarning();

private:
    void Failed(const StoreError &error);

    QString program_;
    bool on_ = true;
    RecordLocation location_;
    std::unique_ptr<RecordStore> store_;
    bool openTried_ = false;
    StoreError firstFailure_;
    QString lastError_;
    bool warned_ = false;
    QString fleetRun_;
    QString target_;
    DeviceIdentity identity_;
    EntryRows::KnownValues known_;
};
