#include "actions/Rollback.h"

#include "actions/EntryExport.h"
#include "core/WriteRules.h"
#include "ops/EditorLogic.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamReader.h"
#include "actions/ParamActions.h"
#include "protocol/Hex.h"
#include "session/DtuSession.h"

#include <QHash>
#include <QJsonArray>

#include <algorithm>

namespace Actions {
namespace {

using EntryRows::Key;

ParamTableModel *TableNamed(DtuSession &s, const QString &name)
{
    if (name == QLatin1String("ext"))
        return s.state.ExtPageVisible ? &s.extTable : nullptr;
    return &s.mainTable;
}

bool SameValue(const RecordValue &a, const RecordValue &b)
{
    return a.IsKnown() && a.raw.compare(b.raw, Qt::CaseInsensitive) == 0;
}

// The rows a snapshot lists as read but whose values the records never
// keep (secrets): a rollback cannot put them back.
QList<RecordRow> SecretRows(const RecordEntry &snapshot)
{
    QList<RecordRow> rows;
    for (const RecordRow &row : snapshot.rows)
        if (RecordEntries::IsSecretRow(row.name) && row.result != OutcomeName(OutcomeId::Withheld))
            rows << row;
    return rows;
}

QJsonArray Numbers(const QList<RecordRow> &rows)
{
    QJsonArray numbers;
    for (const RecordRow &row : rows)
        numbers.append(row.number);
    return numbers;
}

// The snapshot's rows whose values the device held when it was taken: what
// a rollback restores.
QList<RecordRow> HeldRows(const RecordEntry &snapshot)
{
    QList<RecordRow> rows;
    for (const RecordRow &row : snapshot.rows)
        if (EntryRows::HeldAfter(row) && !RecordEntries::IsSecretRow(row.name))
            rows << row;
    return rows;
}

} // namespace

bool IsSnapshot(const RecordEntry &entry)
{
    static const QStringList reads{RecordAction::Read, RecordAction::Save, RecordAction::Verify, RecordAction::Audit,
                                   RecordAction::Rollback};
    return reads.contains(entry.action) && !HeldRows(entry).isEmpty();
}

SnapshotLookup FindSnapshot(RecordStore &store, qint64 id)
{
    SnapshotLookup lookup;
    const auto found = store.Entry(id);
    if (!found.Ok() || !found.value) {
        lookup.kind = found.Ok() ? SnapshotLookup::Kind::NoSuchEntry : SnapshotLookup::Kind::StoreFailed;
        lookup.error = found.error.message;
        return lookup;
    }
    lookup.entry = *found.value;
    if (IsSnapshot(lookup.entry))
        return lookup;
    lookup.kind = SnapshotLookup::Kind::NotSnapshot;
    const auto before = store.Entries(lookup.entry.DeviceKey(), 0, true);
    for (const RecordEntry &e : before.value) // newest first
        if (e.id < id && IsSnapshot(e)) {
            lookup.nearest = e.id;
            break;
        }
    return lookup;
}

RollbackResult Rollback(DtuSession &s, Recorder &recorder, const RecordEntry &snapshot, bool dryRun)
{
    RollbackResult r;
    RecordEntry entry = recorder.Begin(s, RecordAction::Rollback);
    entry.restores = snapshot.id;
    entry.fleetRun.clear();
    QJsonObject details{{QStringLiteral("restores"), snapshot.id}};
    const auto keep = [&] {
        if (dryRun || !r.before.channelOpen)
            return;
        details.insert(QStringLiteral("ok"), r.verdict == OutcomeId::Ok);
        r.entry = recorder.Keep(entry, r.verdict, details);
    };

    r.before = ParamReader::ReadWholeDevice(s);
    if (!r.before.Ok()) {
        r.verdict = Verdict(r.before);
        details = OutcomeJson::Read(r.before);
        details.insert(QStringLiteral("restores"), snapshot.id);
        keep();
        return r;
    }
    const QList<RecordRow> read = EntryRows::Read(s, r.before);
    recorder.Learn(read);
    const QHash<QString, RecordRow> found = EntryRows::ByKey(read);
    r.deviceNumber = EntryRows::DeviceNumber(read);
    if (!r.deviceNumber.isEmpty() && !snapshot.device.number.isEmpty() && r.deviceNumber != snapshot.device.number) {
        r.verdict = OutcomeId::OtherDevice;
        details.insert(QStringLiteral("device"), r.deviceNumber);
        keep();
        return r;
    }

    // What differs becomes the tables' values, row by row, as a typed HEX: would.
    const QList<RecordRow> wanted = HeldRows(snapshot);
    r.notRestored = SecretRows(snapshot);
    QList<int> mainRows, extRows;
    QHash<QString, OutcomeId> result; // by Key
    for (const RecordRow &want : wanted) {
        ParamTableModel *table = TableNamed(s, want.table);
        const int index = table ? table->FindByNumber(want.number) : -1;
        const QString key = Key(want.table, want.number);
        if (index < 0) {
            result.insert(key, OutcomeId::NoSuchRow);
        } else if (SameValue(found.value(key).after, want.after)) {
            result.insert(key, OutcomeId::Unchanged);
        } else if (!WriteRules::MayWrite(s.state.AccessLevel, want.number)) {
            result.insert(key, OutcomeId::Withheld);
        } else {
            RecordRow row = want;
            row.before = found.value(key).after;
            r.differing << row;
            result.insert(key, OutcomeId::NotReached);
            if (!dryRun) {
                EditorLogic::ApplyRaw(s, *table, want.number, HexToBytes(want.after.raw.mid(4)));
                (table == &s.extTable ? extRows : mainRows) << index;
            }
        }
    }
    if (dryRun) {
        r.verdict = r.differing.isEmpty() ? OutcomeId::Ok : OutcomeId::Differs;
        return r;
    }
    std::sort(mainRows.begin(), mainRows.end());
    std::sort(extRows.begin(), extRows.end());
    r.report = WriteRows(s, mainRows, extRows);
    for (const RowResult &row : r.report.rows)
        result.insert(Key(row.extended ? QStringLiteral("ext") : QStringLiteral("main"), row.number),
                      ExchangeOutcome(row.result));

    // Read back, unless the user stopped it: what the device holds now.
    const bool stopped = s.state.StopRequested || r.report.stopped;
    const bool wroteAll = r.differing.isEmpty() || r.report.Ok();
    if (!stopped)
        r.after = ParamReader::ReadWholeDevice(s);
    const bool readBack = !stopped && r.after.Ok();
    const auto now = readBack ? EntryRows::ByKey(EntryRows::Read(s, r.after)) : QHash<QString, RecordRow>();
    for (const RecordRow &want : wanted) {
        const QString key = Key(want.table, want.number);
        RecordRow row = want;
        row.before = found.value(key).after;
        OutcomeId id = result.value(key);
        // Without a read-back, a row the device took holds what was sent.
        row.after = readBack ? now.value(key).after : id == OutcomeId::Ok ? want.after : RecordValue{};
        const bool compared = id != OutcomeId::Withheld && id != OutcomeId::NoSuchRow;
        if (readBack && compared && !SameValue(row.after, want.after)) {
            r.differences.append({want.number, want.name, EntryExport::Shown(want.after),
                                  row.after.IsKnown() ? row.after.shown : TableCompare::kNotReported});
            if (id == OutcomeId::Unchanged || id == OutcomeId::Ok)
                id = OutcomeId::Differs;
        }
        row.result = OutcomeName(id);
        entry.rows << row;
        r.unchanged += id == OutcomeId::Unchanged ? 1 : 0;
        r.withheld += id == OutcomeId::Withheld ? 1 : 0;
    }
    r.written = r.report.Written();
    details.insert(QStringLiteral("write"), OutcomeJson::Write(r.report));
    details.insert(QStringLiteral("written"), r.written);
    details.insert(QStringLiteral("unchanged"), r.unchanged);
    details.insert(QStringLiteral("withheld"), r.withheld);
    details.insert(QStringLiteral("read_back"), OutcomeJson::Read(r.after));
    details.insert(QStringLiteral("differences"), int(r.differences.size()));
    details.insert(QStringLiteral("not_restored"), Numbers(r.notRestored));
    if (stopped || r.after.stopped)
        r.verdict = OutcomeId::Stopped;
    else if (!wroteAll)
        r.verdict = Verdict(r.report);
    else if (!readBack)
        r.verdict = OutcomeId::NotVerified;
    else if (!r.differences.isEmpty())
        r.verdict = OutcomeId::Differs;
    else if (!r.notRestored.isEmpty())
        r.verdict = OutcomeId::RestoredExceptSecrets;
    else
        r.verdict = OutcomeId::Ok;
    keep();
    return r;
}

} // namespace Actions
