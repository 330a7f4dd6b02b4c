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

RecordEntry Recorder::Begin(const DtuSession &session, const QString &action)
{
    RecordEntry entry = RecordEntries::Begin(program_, action);
    NoticeChannel(session);
    entry.target = target_;
    entry.profile = EntryRows::Profile(session);
    entry.device = identity_;
    entry.fleetRun = fleetRun_;
    return entry;
}

void Recorder::Learn(const QList<RecordRow> &rows)
{
    const QString number = EntryRows::DeviceNumber(rows);
    if (!number.isEmpty() && number != identity_.number) {
        // Another number on this channel: another device.
        if (!identity_.number.isEmpty())
            ForgetDevice();
        identity_.number = number;
    }
    known_.Learn(rows);
}

EntryKept Recorder::Keep(RecordEntry &entry, OutcomeId outcome, const QJsonObject &details)
{
    EntryKept kept;
    if (!on_)
        return kept;
    kept.recording = true;
    Learn(entry.rows);
    if (!identity_.number.isEmpty())
        entry.device.number = identity_.number;
    entry.outcome = OutcomeName(outcome);
    entry.details = details;
    lastError_.clear();
    if (RecordStore *store = Store()) {
        const auto appended = store->Append(entry);
        if (appended.Ok())
            kept.id = appended.value;
        else
            Failed(appended.error);
    }
    kept.error = lastError_;
    return kept;
}

void Recorder::LearnVersion(const DtuSession &session, const VersionOutcome &version)
{
    NoticeChannel(session);
    const QString firmware = version.version.Ok() ? version.version.text : QString();
    const QString imei = version.imei.Ok() ? version.imei.text : QString();
    if (!imei.isEmpty() && !identity_.imei.isEmpty() && imei != identity_.imei)
        ForgetDevice();
    if (!firmware.isEmpty())
        identity_.firmware = firmware;
    if (!imei.isEmpty())
        identity_.imei = imei;
}

void Recorder::NoticeChannel(const DtuSession &session)
{
    const QString target = EntryRows::Target(session);
    if (target == target_)
        return;
    target_ = target;
    ForgetDevice();
}

void Recorder::ForgetDevice()
{
    identity_ = {};
    known_.Clear();
}

EntryRows::KnownValues Recorder::Known(const RecordEntry &entry)
{
    EntryRows::KnownValues known = known_;
    RecordStore *store = Store();
    const QString device = entry.DeviceKey();
    if (!store || device.isEmpty())
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
    if (openTried_) {
        lastError_ = firstFailure_.message;
        return nullptr;
    }
    openTried_ = true;
    auto store = std::make_unique<RecordStore>();
    if (const StoreError error = store->Open(location_); !error.IsNone()) {
        Failed(error);
        return nullptr;
    }
    store_ = std::move(store);
    return store_.get();
}

void Recorder::Failed(const StoreError &error)
{
    lastError_ = error.message;
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
