#pragma once
#include "actions/Recorder.h"
#include "ops/EditorLogic.h"
#include "ops/Outcomes.h"
#include "ops/ParamFile.h"
#include "ops/TableCompare.h"

#include <QList>
#include <QString>
#include <optional>

class DtuSession;

// The user's actions on a device's parameters, each whole: the operations,
// a stop between two exchanges (AppState::StopRequested), and the one entry
// it keeps in the device records. Every front end calls these; none pairs an
// operation with an entry of its own. A device not reached (no channel open)
// leaves no entry.
namespace Actions {

enum class Page { Main, Extended };

// A value given for a row outside the editors: as the row shows it, or
// "HEX:digits" (EditorLogic::ApplyValue).
struct GivenValue {
    QString number, text;
};

// Both tables read and kept as an entry before a change, so it can be
// undone. The tables keep the values they held for the change.
struct SnapshotResult {
    OutcomeId verdict = OutcomeId::Ok;
    ReadOutcome read;
    QList<RecordRow> rows; // what the device reported
    EntryKept entry;
};

struct ReadResult {
    OutcomeId verdict = OutcomeId::Ok;
    ReadOutcome read;
    EntryKept entry;
    bool Ok() const { return verdict == OutcomeId::Ok; }
};

struct WriteResult {
    OutcomeId verdict = OutcomeId::Ok;
    std::optional<SnapshotResult> snapshot; // asked for: the write ran only when it was read and kept
    WriteReport report;
    EntryKept entry;
    // A given value whose row's choice list is malformed: the row took the
    // text as an edit box would, and the list's fault was said.
    bool listFault = false;
    bool Ok() const { return verdict == OutcomeId::Ok && !listFault; }
};

// 读取 of a page: its table(s) from the device; a read entry.
ReadResult Read(DtuSession &session, Recorder &recorder, Page page);

// 设置 of a page: the values given (none: the edits listed) into the page's
// table, then the listed rows written; a write entry. With `snapshot`, both
// tables are read and kept first, and nothing is written unless they were.
// Every value must have passed CheckValues.
WriteResult Write(DtuSession &session, Recorder &recorder, Page page, const QList<GivenValue> &values,
                  bool snapshot = false);
// Why a value would not be taken by the page's table (the first refused);
// none when all would. Nothing changes.
std::optional<EditResult> CheckValues(DtuSession &session, Page page, const QList<GivenValue> &values);

// 批量写参数: every numbered row of the tables; a batch entry. A row that
// cannot be sent refuses the whole batch before its first frame (the report
// lists it in `refused`, and no entry is kept).
WriteResult Batch(DtuSession &session, Recorder &recorder, ParamFile::BatchTables tables, bool snapshot = false);

// Both tables as the device holds them now, read and kept as an entry of
// `action`; the tables keep the values they held before.
SnapshotResult Snapshot(DtuSession &session, Recorder &recorder, const QString &action = RecordAction::Read);

struct SaveResult {
    OutcomeId verdict = OutcomeId::Ok;
    ReadOutcome read;
    QString file, extFile; // absolute; extFile "" without an extended table
    QString error;         // FileNotWritten: why
    // Rows the device did not report: the backup holds the profile's value.
    int profileValues = 0;
    EntryKept entry;
    bool Ok() const { return verdict == OutcomeId::Ok; }
};
// A backup of the device: both tables read, then the profile with their
// values saved to `path` (".txt" added when it has no suffix) and the
// extended table beside it; a save entry.
SaveResult Save(DtuSession &session, Recorder &recorder, const QString &path);

struct VerifyResult {
    OutcomeId verdict = OutcomeId::Ok; // Ok, Differs, or why the read failed
    ReadOutcome read;
    TableCompare::Outcome compare;
    EntryKept entry;
    // The comparison's counts into `json`, as the entry and --json give them.
    void CountsInto(QJsonObject &json) const;
};
// What a device should hold, by table.
struct Expected {
    QList<TableCompare::RowValue> main, ext;
    QStringList ignore; // numbers not compared
    QString file;       // where they came from (kept in the entry), "" none
};
// Both tables read and compared with what they should hold; a verify entry.
VerifyResult Verify(DtuSession &session, Recorder &recorder, const Expected &expected);
// The read and comparison alone, entry-less: for an action that keeps its
// own entry around it.
VerifyResult ReadAndCompare(DtuSession &session, const Expected &expected);

// The rows of each table (indexes, in table order) written through the one
// write loop, the main table's first; with no row nothing is sent.
WriteReport WriteRows(DtuSession &session, const QList<int> &mainRows, const QList<int> &extRows,
                      bool giveUpWhenSilent = false);

} // namespace Actions
