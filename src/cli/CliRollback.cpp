#include "cli/CliRollback.h"

#include "cli/CliChannel.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliRecording.h"
#include "cli/ConsoleFrontend.h"
#include "ops/OutcomeJson.h"
#include "core/WriteRules.h"
#include "ops/ChannelOpen.h"
#include "ops/DeviceCommands.h"
#include "ops/EditorLogic.h"
#include "ops/ParamReader.h"
#include "ops/SerialToggle.h"
#include "ops/TableCompare.h"
#include "ops/WriteLoop.h"
#include "protocol/Hex.h"
#include "recording/Recorder.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonArray>
#include <QSet>

#include <algorithm>

namespace CliRollback {
namespace {

using namespace ActionRecord;

// How one device's rollback went.
struct Done {
    int status = CliVerdict::kOk;
    QString outcome;     // the entry's outcome identifier
    qint64 entry = 0;    // the rollback entry kept (0: none)
    QJsonObject json;
    QStringList lines;   // differences after the write, as verify prints them
};

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
QHash<QString, RecordValue> ReadValues(CliContext &c, const ReadOutcome &read)
{
    QHash<QString, RecordValue> values;
    for (const RecordRow &row : CliRecording::ReadRows(c, read))
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

// The snapshot's rows whose values the device held when it was taken.
QList<RecordRow> HeldRows(const RecordEntry &snapshot)
{
    QList<RecordRow> rows;
    for (const RecordRow &row : snapshot.rows)
        if (HeldAfter(row) && !RecordEntries::IsSecretRow(row.name))
            rows << row;
    return rows;
}

Done Fail(RecordEntry &entry, CliContext &c, int status, const QString &outcome, QJsonObject json)
{
    Done done;
    done.status = status;
    done.outcome = outcome;
    json.insert(QStringLiteral("ok"), false);
    json.insert(QStringLiteral("restores"), entry.restores);
    done.entry = CliRecording::Keep(c, entry, outcome, json);
    done.json = json;
    return done;
}

// The connected device back to the snapshot: read, write what differs, read
// back. One rollback entry.
Done RollBack(CliContext &c, const RecordEntry &snapshot)
{
    DtuSession &s = c.session;
    RecordEntry entry = CliRecording::Begin(c, RecordAction::Rollback);
    entry.restores = snapshot.id;
    entry.fleetRun = {};

    const ReadOutcome before = ReadAfresh(s);
    if (!before.Ok())
        return Fail(entry, c, CliVerdict::kFailed, Outcome(before), OutcomeJson::Read(before));
    const QHash<QString, RecordValue> found = ReadValues(c, before);
    if (c.recorder) {
        // The device number just read names the entry.
        RecordEntry seen;
        seen.rows = CliRecording::ReadRows(c, before);
        c.recorder->Learn(seen);
    }
    const QString number = DeviceNumber(CliRecording::ReadRows(c, before));
    if (!number.isEmpty() && !snapshot.device.number.isEmpty() && number != snapshot.device.number) {
        c.frontend.Complain(QStringLiteral("dtucfg: ")
                            + QCoreApplication::translate("CliRollback", "rollback：记录 %1 是设备 %2 的，这台设备是 %3；什么也没有写")
                                .arg(snapshot.id)
                                .arg(snapshot.device.number, number));
        return Fail(entry, c, CliVerdict::kFailed, QStringLiteral("other-device"),
                    {{QStringLiteral("device"), number}});
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
            result.insert(key, QStringLiteral("no-such-row"));
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
    WriteReport report;
    if (!parts.isEmpty())
        report = WriteLoop::Run(s, parts);
    for (const RowResult &r : report.rows)
        result.insert(Key(r.extended ? QStringLiteral("ext") : QStringLiteral("main"), r.number), ResultId(r.result));

    // Read back: what the device holds now.
    const ReadOutcome after = ReadAfresh(s);
    const QHash<QString, RecordValue> now = after.Ok() ? ReadValues(c, after) : QHash<QString, RecordValue>();
    int differing = 0;
    Done done;
    for (const RecordRow &want : wanted) {
        const QString key = Key(want.table, want.number);
        RecordRow row = want;
        row.before = found.value(key);
        row.after = after.Ok() ? now.value(key) : RecordValue{};
        row.result = result.value(key);
        const bool compared = row.result != kWithheld && row.result != QLatin1String("no-such-row");
        if (after.Ok() && compared && !SameValue(row.after, want.after)) {
            ++differing;
            done.lines << TableCompare::Line({want.number, want.name,
                                              want.after.shown.isEmpty() ? want.after.raw : want.after.shown,
                                              row.after.IsKnown() ? row.after.shown : TableCompare::kNotReported});
            if (row.result == kUnchanged || row.result == ResultId(TransactionResult::Accepted))
                row.result = kDiffers;
        }
        entry.rows << row;
    }

    int unchanged = 0, withheld = 0;
    for (const RecordRow &row : entry.rows) {
        unchanged += row.result == kUnchanged ? 1 : 0;
        withheld += row.result == kWithheld ? 1 : 0;
    }
    QJsonObject json{{QStringLiteral("restores"), snapshot.id},
                     {QStringLiteral("write"), OutcomeJson::Write(report)},
                     {QStringLiteral("written"), report.Written()},
                     {QStringLiteral("unchanged"), unchanged},
                     {QStringLiteral("withheld"), withheld},
                     {QStringLiteral("read_back"), OutcomeJson::Read(after)},
                     {QStringLiteral("differences"), differing}};
    if (!parts.isEmpty() && !report.Ok()) {
        done.status = CliVerdict::kFailed;
        done.outcome = Outcome(report);
    } else if (!after.Ok()) {
        done.status = CliVerdict::kFailed;
        done.outcome = QStringLiteral("not-verified");
    } else if (differing > 0) {
        done.status = CliVerdict::kDiffers;
        done.outcome = kDiffers;
    } else {
        done.outcome = ResultId(TransactionResult::Accepted);
    }
    json.insert(QStringLiteral("ok"), done.status == CliVerdict::kOk);
    done.entry = CliRecording::Keep(c, entry, done.outcome, json);
    done.json = json;
    return done;
}

QString CannotRead(const StoreError &error)
{
    return QCoreApplication::translate("CliRollback", "无法读取设备档案：%1").arg(error.message);
}

// What a refusal of rollback says, after "dtucfg: ".
QString Refusal(const QString &why)
{
    return QCoreApplication::translate("CliRollback", "rollback：%1").arg(why);
}

// The entry to restore from the store; a usage-like failure otherwise.
bool LoadSnapshot(CliContext &c, qint64 id, RecordEntry *out, QString *why)
{
    RecordStore *store = c.recorder ? c.recorder->Store() : nullptr;
    if (!store) {
        const StoreError error = c.recorder ? c.recorder->TakeWarning() : StoreError{};
        *why = CannotRead(error);
        return false;
    }
    const auto found = store->Entry(id);
    if (!found.Ok()) {
        *why = found.error.message;
        return false;
    }
    if (!found.value) {
        *why = QCoreApplication::translate("CliRollback", "没有编号为 %1 的记录").arg(id);
        return false;
    }
    if (HeldRows(*found.value).isEmpty()) {
        *why = QCoreApplication::translate("CliRollback", "记录 %1 中没有从设备读出的参数值").arg(id);
        return false;
    }
    *out = *found.value;
    return true;
}

CliVerdict Report(CliContext &c, const Done &done)
{
    QString text;
    for (const QString &line : done.lines)
        text += line + QLatin1Char('\n');
    text += QCoreApplication::translate("CliRollback", "rollback：%1（写入%2行，%3行未变，%4行因访问级别未写）")
                .arg(done.outcome)
                .arg(done.json.value(QStringLiteral("written")).toInt())
                .arg(done.json.value(QStringLiteral("unchanged")).toInt())
                .arg(done.json.value(QStringLiteral("withheld")).toInt());
    if (done.entry > 0)
        text += QCoreApplication::translate("CliRollback", "；记录 %1").arg(done.entry);
    if (!c.options.json)
        c.frontend.PrintOut(text + QLatin1Char('\n'));
    QJsonObject json = done.json;
    if (done.entry > 0)
        json.insert(QStringLiteral("record"), done.entry);
    return {done.status, json};
}

CliVerdict One(CliContext &c, qint64 id)
{
    RecordEntry snapshot;
    QString why;
    if (!LoadSnapshot(c, id, &snapshot, &why)) {
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(why));
        return {CliVerdict::kFailed, {}, Refusal(why)};
    }
    const ChannelOutcome channel = CliChannel::Open(c.session, c.options);
    if (!channel.open) {
        const CliChannel::Failure failure = CliChannel::Refused(channel);
        c.frontend.Complain(QStringLiteral("dtucfg: ") + failure.text);
        return {failure.status, OutcomeJson::Channel(channel), failure.text};
    }
    c.session.state.AccessLevel = c.options.level;
    return Report(c, RollBack(c, snapshot));
}

void CloseChannel(DtuSession &s)
{
    if (s.tcp.IsOpen())
        ChannelOpen::DisconnectTcp(s);
    if (s.serial.IsOpen())
        SerialToggle::Toggle(s);
}

// Every device the fleet run changed, each back to the snapshot the run
// took of it before writing, one after another; a line per device.
CliVerdict RunOfFleet(CliContext &c)
{
    const QString run = c.options.records.run;
    RecordStore *store = c.recorder ? c.recorder->Store() : nullptr;
    if (!store) {
        const StoreError error = c.recorder ? c.recorder->TakeWarning() : StoreError{};
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(CannotRead(error)));
        return {CliVerdict::kFailed, {}, Refusal(CannotRead(error))};
    }
    const auto found = store->RunEntries(run, true);
    if (!found.Ok() || found.value.isEmpty()) {
        const QString why = found.Ok() ? QCoreApplication::translate("CliRollback", "没有编号为 %1 的批量运行").arg(run) : found.error.message;
        c.frontend.Complain(QStringLiteral("dtucfg: ") + Refusal(why));
        return {CliVerdict::kFailed, {}, Refusal(why)};
    }
    // Per target: the run's snapshot, and whether the run changed it.
    QStringList targets;
    QHash<QString, const RecordEntry *> snapshots;
    QSet<QString> changed;
    for (const RecordEntry &e : found.value) {
        if (!targets.contains(e.target))
            targets << e.target;
        if (e.action == RecordAction::Read && !snapshots.contains(e.target) && !HeldRows(e).isEmpty())
            snapshots.insert(e.target, &e);
        for (const RecordRow &row : e.rows)
            if (e.action != RecordAction::Read && row.result == ResultId(TransactionResult::Accepted))
                changed.insert(e.target);
    }
    int status = CliVerdict::kOk;
    QJsonArray devices;
    QString text;
    for (const QString &target : targets) {
        if (!changed.contains(target))
            continue;
        QJsonObject device{{QStringLiteral("target"), target}};
        QString outcome;
        qint64 entry = 0;
        const RecordEntry *snapshot = snapshots.value(target);
        CliOptions options = c.options;
        if (target.startsWith(QLatin1String("tcp:"))) {
            const QStringList parts = target.split(QLatin1Char(':'));
            options.tcpHost = parts.value(1);
            options.tcpPort = static_cast<quint16>(parts.value(2).toUInt());
        } else {
            options.tcpHost.clear();
            options.port = target;
        }
        CloseChannel(c.session);
        c.recorder->ForgetDevice();
        if (!snapshot) {
            outcome = QStringLiteral("no-snapshot");
        } else if (const ChannelOutcome channel = CliChannel::Open(c.session, options); !channel.open) {
            outcome = QStringLiteral("unreachable");
            device.insert(QStringLiteral("detail"), channel.reason);
        } else {
            c.session.state.AccessLevel = c.options.level;
            const Done done = RollBack(c, *snapshot);
            outcome = done.outcome;
            entry = done.entry;
            device.insert(QStringLiteral("restores"), snapshot->id);
            device.insert(QStringLiteral("differences"), done.json.value(QStringLiteral("differences")));
        }
        if (outcome != ResultId(TransactionResult::Accepted))
            status = CliVerdict::kFailed;
        device.insert(QStringLiteral("outcome"), outcome);
        if (entry > 0)
            device.insert(QStringLiteral("record"), entry);
        devices.append(device);
        text += QStringList{target, outcome, entry > 0 ? QString::number(entry) : QStringLiteral("-")}.join(
                    QLatin1Char('\t'))
            + QLatin1Char('\n');
    }
    CloseChannel(c.session);
    text += QCoreApplication::translate("CliRollback", "批量运行 %1 的恢复：%2台设备").arg(run).arg(devices.size()) + QLatin1Char('\n');
    if (!c.options.json)
        c.frontend.PrintOut(text);
    return {status, {{QStringLiteral("ok"), status == CliVerdict::kOk},
                     {QStringLiteral("run"), run},
                     {QStringLiteral("devices"), devices}}};
}

} // namespace

bool Check(CliContext &c, QString *error)
{
    const bool run = !c.options.records.run.isEmpty();
    if (run == !c.options.arguments.isEmpty()) {
        *error = QCoreApplication::translate("CliRollback", "rollback 需要一个快照的记录编号，或 --run 批量运行编号");
        return false;
    }
    if (!run) {
        bool ok = false;
        const qint64 id = c.options.arguments[0].toLongLong(&ok);
        if (!ok || id <= 0) {
            *error = QCoreApplication::translate("CliRollback", "rollback：“%1”不是记录编号").arg(c.options.arguments[0]);
            return false;
        }
    }
    return true;
}

CliVerdict Run(CliContext &c)
{
    if (!c.options.records.run.isEmpty())
        return RunOfFleet(c);
    return One(c, c.options.arguments[0].toLongLong());
}

} // namespace CliRollback
