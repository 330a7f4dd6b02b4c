#pragma once
#include "actions/ActionRecord.h"
#include "store/RecordLocation.h"
#include "store/RecordStore.h"

#include <QString>
#include <memory>

class DtuSession;

// Keeps one program's entries in the device records. The store is opened
// when the first entry is kept; one that cannot be opened or written never
// stops device work: the entry is dropped and Warning() says so, once per
// run, for the front end to show.
//
// Between two channel openings the recorder remembers what this run learned
// of the device: its identity and the values last read, so a write's
// `before` needs no read of its own.
class Recorder {
public:
    explicit Recorder(QString program);
    ~Recorder();

    // Where to keep entries; Off() keeps none.
    void SetLocation(const RecordLocation &location);
    void Off();
    bool IsOn() const { return on_; }

    // An entry begun now by this program: operator, host, target, profile,
    // and the identity known on this channel.
    RecordEntry Begin(const DtuSession &session, const QString &action) const;
    // Adds what the entry's read rows tell (the device number) to the
    // identity, and remembers the values read.
    void Learn(RecordEntry &entry);
    // IMEI and firmware, when queried.
    void LearnVersion(const QString &firmware, const QString &imei);
    // The channel closed or opened on another device: forget it.
    void ForgetDevice();
    const DeviceIdentity &Identity() const { return identity_; }

    // The values last read from the device of this entry: this run's reads,
    // else the newest the records hold for its number (or target).
    ActionRecord::KnownValues Known(const RecordEntry &entry);
    // Keeps the entry; its id, or 0 when it was not kept.
    qint64 Keep(const RecordEntry &entry);
    // The store, opened on first use; nullptr when off or it cannot be.
    RecordStore *Store();

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
    bool warned_ = false;
    DeviceIdentity identity_;
    ActionRecord::KnownValues known_;
};
