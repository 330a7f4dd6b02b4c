#include "actions/Rollback.h"

#include "core/WriteRules.h"
#include "ops/DeviceCommands.h"
#include "ops/EditorLogic.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamReader.h"
#include "ops/WriteLoop.h"
#include "protocol/Hex.h"
#include "actions/ActionEntries.h"
#include "actions/Recorder.h"
#include "session/DtuSession.h"

#include <QHash>

#include <algorithm>

namespace Rollback {
namespace {

using namespace ActionRecord;

const QString kNoSuchRow = QStringLiteral("no-such-row");

ParamTableModel *TableNamed(DtuSession &s, const QString &name)
{
    if (name == QLatin1String("ext"))
        return s.state.ExtPageVisible ? &s.extTable : nullptr;
    return &s.mainTable;
}

QString Key(const QString &table, const QString &number)
{
    return table + QLatin1Char('/') + number;
}

// The values a read left, by table and number.
QHash<QString, RecordValue> ReadValues(const DtuSession &s, const ReadOutcome &read)
{
    QHash<QString, RecordValue> values;
    for (const RecordRow &row : ActionEntries::ReadRows(s, read))
        values.insert(Key(row.table, row.number), row.after);
    return values;
}

bool SameValue(const RecordValue &a, const RecordValue &b)
{
    return a.raw.compare(b.raw, Qt::CaseInsensitive) == 0;
}

ReadOutcome ReadAfresh(DtuSession &s)
{
    // Rows the device does not report must not keep older values.
    TableCompare::ForgetValues(s.mainTable);
    TableCompare::ForgetValues(s.extTable);
    return ParamReader::ReadWholeDevice(s);
}

Outcome Fail(Recorder &recorder, RecordEntry &entry, Outcome outcome, const QString &id, QJsonObject json)
{
    outcome.outcome = id;
    json.insert(QStringLiteral("ok"), false);
    json.insert(QStringLiteral("restores"), entry.restores);
    outcome.details = json;
    outcome.entry = ActionEntries::Keep(recorder, entry, id, json);
    return outcome;
}

} // namespace

QList<RecordRow> HeldRows(const RecordEntry &snapshot)
{
    QList<RecordRow> rows;
    for (const RecordRow &row : snapshot.rows)
        if (HeldAfter(row) && !RecordEntries::IsSecretRow(row.name))
            rows << row;
    return rows;
}

Outcome Run(DtuSession &s, Recorder &recorder, RecordEntry entry, const RecordEntry &snapshot)
{
    entry.action = RecordAction::Rollback;
    entry.restores = snapshot.id;
    entry.fleetRun = {};
    Outcome outcome;

    outcome.before = ReadAfresh(s);
    if (!outcome.before.Ok()) {
        outcome.verdict = Outcome::Verdict::ReadFailed;
        return Fail(recorder, entry, outcome, ActionRecord::Outcome(outcome.before), OutcomeJson::Read(outcome.before));
    }
    const QHash<QString, RecordValue> found = ReadValues(s, outcome.before);
    {
        // The device number just read names the entry.
        RecordEntry seen;
        seen.rows = ActionEntries::ReadRows(s, outcome.before);
        recorder.Learn(seen);
    }
    const QString number = DeviceNumber(ActionEntries::ReadRows(s, outcome.before));
    if (!number.isEmpty() && !snapshot.device.number.isEmpty() && number != snapshot.device.number) {
        outcome.verdict = Outcome::Verdict::OtherDevice;
        outcome.deviceNumber = number;
        return Fail(recorder, entry, outcome, QStringLiteral("other-device"), {{QStringLiteral("device"), number}});
    }

    // What differs becomes the tables' values, row by row, as a typed HEX: would.
    const QList<RecordRow> wanted = HeldRows(snapshot);
    QList<int> mainRows, extRows;
    QHash<QString, QString> result; // by Key: unchanged, withheld, or written
    for (const RecordRow &row : wanted) {
        ParamTableModel *table = TableNamed(s, row.table);
        const int index = table ? table->FindByNumber(row.number) : -1;
        const QString key = Key(row.table, row.number);
        if (index < 0) {
            result.insert(key, kNoSuchRow);
        } else if (SameValue(found.value(key), row.after)) {
            result.insert(key, kUnchanged);
        } else if (!WriteRules::MayWrite(s.state.AccessLevel, row.number)) {
            result.insert(key, kWithheld);
        } else {
            EditorLogic::ApplyRaw(s, *table, row.number, HexToBytes(row.after.raw.mid(4)));
            (table == &s.extTable ? extRows : mainRows) << index;
            result.insert(key, kNotReached);
        }
    }
    std::sort(mainRows.begin(), mainRows.end());
    std::sort(extRows.begin(), extRows.end());
    QList<WriteLoop::Part> parts;
    if (!mainRows.isEmpty())
        parts.append({&s.mainTable, mainRows, s.state.MainParamChannel});
    if (!extRows.isEmpty())
        parts.append({&s.extTable, extRows, DeviceCommands::kExtendedPageChannel});
    if (!parts.isEmpty())
        outcome.report = WriteLoop::Run(s, parts);
    for (const RowResult &r : outcome.report.rows)
        result.insert(Key(r.extended ? QStringLiteral("ext") : QStringLiteral("main"), r.number), ResultId(r.result));

    // Read back: what the device holds now.
    outcome.after = ReadAfresh(s);
    const bool readBack = outcome.after.Ok();
    const QHash<QString, RecordValue> now = readBack ? ReadValues(s, outcome.after) : QHash<QString, RecordValue>();
    for (const RecordRow &want : wanted) {
        const QString key = Key(want.table, want.number);
        RecordRow row = want;
        row.before = found.value(key);
        row.after = readBack ? now.value(key) : RecordValue{};
        row.result = result.value(key);
        const bool compared = row.result != kWithheld && row.result != kNoSuchRow;
        if (readBack && compared && !SameValue(row.after, want.after)) {
            outcome.differences.append({want.number, want.name,
                                        want.after.shown.isEmpty() ? want.after.raw : want.after.shown,
                                        row.after.IsKnown() ? row.after.shown : TableCompare::kNotReported});
            if (row.result == kUnchanged || row.result == ResultId(TransactionResult::Accepted))
                row.result = kDiffers;
        }
        entry.rows << row;
    }

    for (const RecordRow &row : entry.rows) {
        outcome.unchanged += row.result == kUnchanged ? 1 : 0;
        outcome.withheld += row.result == kWithheld ? 1 : 0;
    }
    outcome.written = outcome.report.Written();
    QJsonObject json{{QStringLiteral("restores"), snapshot.id},
                     {QStringLiteral("write"), OutcomeJson::Write(outcome.report)},
                     {QStringLiteral("written"), outcome.written},
                     {QStringLiteral("unchanged"), outcome.unchanged},
                     {QStringLiteral("withheld"), outcome.withheld},
                     {QStringLiteral("read_back"), OutcomeJson::Read(outcome.after)},
                     {QStringLiteral("differences"), int(outcome.differences.size())}};
    if (!parts.isEmpty() && !outcome.report.Ok()) {
        outcome.verdict = Outcome::Verdict::WriteFailed;
        outcome.outcome = ActionRecord::Outcome(outcome.report);
    } else if (!readBack) {
        outcome.verdict = Outcome::Verdict::NotVerified;
        outcome.outcome = QStringLiteral("not-verified");
    } else if (!outcome.differences.isEmpty()) {
        outcome.verdict = Outcome::Verdict::Differs;
        outcome.outcome = kDiffers;
    } else {
        outcome.verdict = Outcome::Verdict::Restored;
        outcome.outcome = ResultId(TransactionResult::Accepted);
    }
    json.insert(QStringLiteral("ok"), outcome.Ok());
    outcome.details = json;
    outcome.entry = ActionEntries::Keep(recorder, entry, outcome.outcome, json);
    return outcome;
}

} // namespace Rollback
