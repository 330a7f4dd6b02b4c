#include "actions/ParamActions.h"

#include "core/DtuError.h"
#include "core/Frontend.h"
#include "ops/DeviceCommands.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamReader.h"
#include "ops/ParamWriter.h"
#include "ops/WriteLoop.h"
#include "params/ParamTableModel.h"
#include "session/DtuSession.h"

#include <QFileInfo>

namespace Actions {
namespace {

ParamTableModel &TableOf(DtuSession &s, Page page)
{
    return page == Page::Extended ? s.extTable : s.mainTable;
}

// What a table holds now, to be put back after a read that is not meant
// to change it.
struct HeldValues {
    ParamTableModel *table;
    QList<std::pair<QString, QString>> cells; // hex, value of each row
};

HeldValues Hold(ParamTableModel &table)
{
    HeldValues held{&table, {}};
    for (int i = 0; i < table.Count(); ++i)
        held.cells.append({table.Cell(i, ColHex), table.Cell(i, ColValue)});
    return held;
}

void PutBack(const HeldValues &held)
{
    for (int i = 0; i < held.cells.size() && i < held.table->Count(); ++i) {
        held.table->SetCell(i, ColHex, held.cells[i].first);
        held.table->SetCell(i, ColValue, held.cells[i].second);
    }
}

// Both tables read for an entry of `action`: the rows the device reported,
// none of a read the user stopped half-way.
ReadOutcome ReadWhole(DtuSession &s, RecordEntry &entry)
{
    const ReadOutcome read = ParamReader::ReadWholeDevice(s);
    if (!read.stopped)
        entry.rows = EntryRows::Read(s, read);
    return read;
}

int Unreported(const ParamTableModel &table)
{
    int n = 0;
    for (int i = 0; i < table.Count(); ++i)
        n += table.Row(i).unreported ? 1 : 0;
    return n;
}

// Nothing was meant for the device: no edits listed, no selection tried.
bool NothingMeant(const WriteReport &report)
{
    return report.total == 0 && report.rows.isEmpty() && report.withheld.isEmpty() && !report.tableNotSwitched
        && !report.selectionUnanswered;
}

void KeepWrite(DtuSession &s, Recorder &recorder, RecordEntry entry, const QList<const ParamTableModel *> &tables,
               WriteResult &r)
{
    r.verdict = Verdict(r.report);
    if (!r.report.channelOpen || NothingMeant(r.report))
        return;
    entry.rows = EntryRows::Written(r.report, tables, recorder.Known(entry));
    r.entry = recorder.Keep(entry, r.verdict, OutcomeJson::Write(r.report));
}

} // namespace

ReadResult Read(DtuSession &s, Recorder &recorder, Page page)
{
    ReadResult r;
    RecordEntry entry = recorder.Begin(s, RecordAction::Read);
    r.read = ParamReader::ReadPage(s, page == Page::Extended ? ::Page::Extended : ::Page::Main);
    r.verdict = Verdict(r.read);
    if (!r.read.channelOpen)
        return r;
    entry.rows = EntryRows::Read(s, r.read);
    r.entry = recorder.Keep(entry, r.verdict, OutcomeJson::Read(r.read));
    return r;
}

SnapshotResult Snapshot(DtuSession &s, Recorder &recorder, const QString &action)
{
    SnapshotResult r;
    const HeldValues main = Hold(s.mainTable), ext = Hold(s.extTable);
    const int channel = s.state.CurrentParamChannel;
    RecordEntry entry = recorder.Begin(s, action);
    r.read = ReadWhole(s, entry);
    r.rows = entry.rows;
    PutBack(main);
    PutBack(ext);
    // The device back on the table it served, for the change that follows.
    if (r.read.Ok() && channel >= 0 && s.state.CurrentParamChannel != channel)
        DeviceCommands::SelectParamChannel(s, channel);
    r.verdict = Verdict(r.read);
    if (!r.read.channelOpen)
        return r;
    r.entry = recorder.Keep(entry, r.verdict, OutcomeJson::Read(r.read));
    return r;
}

namespace {
// Before a change the user asked to be able to undo: a way back that was
// not kept is none, and the change does not go ahead.
bool SnapshotFirst(DtuSession &s, Recorder &recorder, WriteResult &r)
{
    r.snapshot = Snapshot(s, recorder);
    if (r.snapshot->verdict == OutcomeId::Ok && !r.snapshot->entry.Kept())
        r.snapshot->verdict = OutcomeId::Failed;
    r.verdict = r.snapshot->verdict;
    return r.verdict == OutcomeId::Ok;
}
} // namespace

std::optional<EditResult> CheckValues(DtuSession &s, Page page, const QList<GivenValue> &values)
{
    for (const GivenValue &v : values)
        if (const EditResult check = EditorLogic::CheckValue(s, TableOf(s, page), v.number, v.text); !check.Applied())
            return check;
    return std::nullopt;
}

WriteResult Write(DtuSession &s, Recorder &recorder, Page page, const QList<GivenValue> &values, bool snapshot)
{
    WriteResult r;
    if (snapshot && !SnapshotFirst(s, recorder, r))
        return r;
    ParamTableModel &table = TableOf(s, page);
    for (const GivenValue &v : values) {
        const EditResult edit = EditorLogic::ApplyValue(s, table, v.number, v.text);
        if (!edit.listError.isEmpty()) {
            s.frontend().ShowMessage(edit.listError);
            r.listFault = true;
        }
    }
    const RecordEntry entry = recorder.Begin(s, RecordAction::Write);
    r.report = ParamWriter::WritePage(s, page == Page::Extended ? ::Page::Extended : ::Page::Main);
    KeepWrite(s, recorder, entry, {&s.mainTable, &s.extTable}, r);
    return r;
}

WriteResult Batch(DtuSession &s, Recorder &recorder, ParamFile::BatchTables tables, bool snapshot)
{
    using Tables = ParamFile::BatchTables;
    WriteResult r;
    r.report.refused = ParamFile::UnsendableRows(s, tables);
    if (!r.report.refused.isEmpty()) {
        r.verdict = OutcomeId::Failed;
        return r;
    }
    if (snapshot && !SnapshotFirst(s, recorder, r))
        return r;
    const RecordEntry entry = recorder.Begin(s, RecordAction::Batch);
    r.report = ParamFile::BatchWrite(s, tables);
    const QList<const ParamTableModel *> written
        = tables == Tables::Main       ? QList<const ParamTableModel *>{&s.mainTable}
        : tables == Tables::Extended ? QList<const ParamTableModel *>{&s.extTable}
                                     : QList<const ParamTableModel *>{&s.mainTable, &s.extTable};
    KeepWrite(s, recorder, entry, written, r);
    return r;
}

SaveResult Save(DtuSession &s, Recorder &recorder, const QString &given)
{
    SaveResult r;
    RecordEntry entry = recorder.Begin(s, RecordAction::Save);
    r.read = ReadWhole(s, entry);
    r.verdict = Verdict(r.read);
    QJsonObject details = OutcomeJson::Read(r.read);
    if (r.read.Ok()) {
        const QString path = QFileInfo(given).suffix().isEmpty() ? given + QStringLiteral(".txt") : given;
        r.file = QFileInfo(path).absoluteFilePath();
        r.profileValues = Unreported(s.mainTable) + (s.state.ExtPageVisible ? Unreported(s.extTable) : 0);
        try {
            const QString ext = ParamFile::SaveFullBackup(s, path);
            r.extFile = ext.isEmpty() ? ext : QFileInfo(ext).absoluteFilePath();
        } catch (const DtuError &e) {
            r.verdict = OutcomeId::FileNotWritten;
            r.error = e.text();
        }
        details.insert(QStringLiteral("file"), r.file);
        details.insert(QStringLiteral("profile_values"), r.profileValues);
    }
    if (r.read.channelOpen)
        r.entry = recorder.Keep(entry, r.verdict, details);
    return r;
}

void VerifyResult::CountsInto(QJsonObject &json) const
{
    json.insert(QStringLiteral("compared"), compare.compared);
    json.insert(QStringLiteral("ignored"), compare.ignored);
    json.insert(QStringLiteral("differences"), static_cast<int>(compare.differences.size()));
    json.insert(QStringLiteral("not_in_file"), compare.unlisted);
}

VerifyResult ReadAndCompare(DtuSession &s, const Expected &expected)
{
    VerifyResult r;
    r.read = ParamReader::ReadWholeDevice(s);
    r.verdict = Verdict(r.read);
    if (!r.read.Ok())
        return r;
    const QList<TableCompare::RowValue> main = TableCompare::Snapshot(s.mainTable);
    const QList<TableCompare::RowValue> ext
        = s.state.ExtPageVisible ? TableCompare::Snapshot(s.extTable) : QList<TableCompare::RowValue>();
    TableCompare::Compare(expected.main, main, expected.ignore, &r.compare);
    TableCompare::Compare(expected.ext, ext, expected.ignore, &r.compare);
    TableCompare::CountUnlisted(expected.main + expected.ext, main + ext, expected.ignore, &r.compare);
    r.verdict = r.compare.differences.isEmpty() ? OutcomeId::Ok : OutcomeId::Differs;
    return r;
}

WriteReport WriteRows(DtuSession &s, const QList<int> &mainRows, const QList<int> &extRows, bool giveUpWhenSilent)
{
    QList<WriteLoop::Part> parts;
    if (!mainRows.isEmpty())
        parts.append({&s.mainTable, mainRows, s.state.MainParamChannel});
    if (!extRows.isEmpty())
        parts.append({&s.extTable, extRows, DeviceCommands::kExtendedPageChannel});
    if (parts.isEmpty())
        return {};
    return WriteLoop::Run(s, parts, giveUpWhenSilent);
}

VerifyResult Verify(DtuSession &s, Recorder &recorder, const Expected &expected)
{
    RecordEntry entry = recorder.Begin(s, RecordAction::Verify);
    VerifyResult r = ReadAndCompare(s, expected);
    if (!r.read.stopped)
        entry.rows = EntryRows::Read(s, r.read);
    QJsonObject details = OutcomeJson::Read(r.read);
    if (r.read.Ok()) {
        r.CountsInto(details);
        if (!expected.file.isEmpty())
            details.insert(QStringLiteral("file"), QFileInfo(expected.file).absoluteFilePath());
    }
    if (r.read.channelOpen)
        r.entry = recorder.Keep(entry, r.verdict, details);
    return r;
}

} // namespace Actions
