#include "actions/Recorder.h"

#include "session/DtuSession.h"

namespace {
// Enough of a device's newest entries to find the values last read.
constexpr int kEntriesForKnownValues = 20;
} // namespace

Recorder::Recorder(QString program) : program_(std::move(program))
{
    QString error;
    RecordLocation::Parse(RecordLocation::DefaultPath(), &location_, &error);
}

Recorder::~Recorder() = default;

void Recorder::SetLocation(const RecordLocation &location)
{
    location_ = location;
    on_ = true;
    store_.reset();
    openTried_ = false;
}

void Recorder::Off()
{
    on_ = false;
    store_.reset();
}

RecordEntry Recorder::Begin(const DtuSession &session, const QString &action) const
{
    RecordEntry entry = RecordEntries::Begin(program_, action);
    entry.target = ActionRecord::Target(session);
    entry.profile = ActionRecord::Profile(session);
    entry.device = identity_;
    return entry;
}

void Recorder::Learn(RecordEntry &entry)
{
    const QString number = ActionRecord::DeviceNumber(entry.rows);
    if (!number.isEmpty() && number != identity_.number) {
        // Another number on this channel: another device.
        if (!identity_.number.isEmpty())
            ForgetDevice();
        identity_.number = number;
    }
    known_.Learn(entry.rows);
    if (!identity_.number.isEmpty())
        entry.device.number = identity_.number;
}

void Recorder::LearnVersion(const QString &firmware, const QString &imei)
{
    if (!imei.isEmpty() && !identity_.imei.isEmpty() && imei != identity_.imei)
        ForgetDevice();
    if (!firmware.isEmpty())
        identity_.firmware = firmware;
    if (!imei.isEmpty())
        identity_.imei = imei;
}

void Recorder::ForgetDevice()
{
    identity_ = {};
    known_.Clear();
}

ActionRecord::KnownValues Recorder::Known(const RecordEntry &entry)
{
    ActionRecord::KnownValues known = known_;
    RecordStore *store = Store();
    if (!store)
        return known;
    const QString device = !entry.device.number.isEmpty() ? entry.device.number
                         : !entry.device.imei.isEmpty()   ? entry.device.imei
                                                          : entry.target;
    if (device.isEmpty())
        return known;
    const auto found = store->Entries(device, kEntriesForKnownValues, true);
    if (!found.Ok()) {
        Failed(found.error);
        return known;
    }
    known.LearnFrom(found.value);
    return known;
}

RecordStore *Recorder::Store()
{
    if (!on_)
        return nullptr;
    if (store_)
        return store_.get();
    if (openTried_)
        return nullptr;
    openTried_ = true;
    auto store = std::make_unique<RecordStore>();
    if (const StoreError error = store->Open(location_); !error.IsNone()) {
        Failed(error);
        return nullptr;
    }
    store_ = std::move(store);
    return store_.get();
}

qint64 Recorder::Keep(const RecordEntry &entry)
{
    RecordStore *store = Store();
    if (!store)
        return 0;
    const auto kept = store->Append(entry);
    if (!kept.Ok()) {
        Failed(kept.error);
        return 0;
    }
    return kept.value;
}

void Recorder::Failed(const StoreError &error)
{
    if (firstFailure_.IsNone())
        firstFailure_ = error;
}

StoreError Recorder::TakeWarning()
{
    if (warned_ || firstFailure_.IsNone())
        return {};
    warned_ = true;
    return firstFailure_;
}
