#pragma once
#include "ops/Outcomes.h"

#include <QCoreApplication>
#include <QString>

class DtuSession;

// The menu commands acting on the whole device or the whole parameter set.
// Each is one device action: front ends start it through RunAction.
namespace ParamFile {

inline QString RestoreQuestion() { return QCoreApplication::translate("ParamFile", "真的要恢复出厂默认设置吗？"); }
inline QString ResetQuestion() { return QCoreApplication::translate("ParamFile", "真的要复位设备吗？"); }
inline QString QuestionCaption() { return QCoreApplication::translate("ParamFile", "提示"); }
inline QString NothingToSaveText() { return QCoreApplication::translate("ParamFile", "尚未调入参数文件，没有可以保存的参数。"); }
CommandOutcome RestoreDefaultsMenu(DtuSession &session); // "恢复出厂默认设置"
CommandOutcome ResetMenu(DtuSession &session);           // "复位设备"
void SaveParamFile(DtuSession &session);                 // "保存参数文件"
// The tables a batch sends.
enum class BatchTables { Main, Extended, Both };
// The rows a batch of those tables would send, at the session's access
// level, whose hex cell is not whole bytes: any one refuses the whole batch
// before its first frame. Both front ends ask this before a batch, and
// each batch below refuses by it.
QList<UnsendableRow> UnsendableRows(const DtuSession &session, BatchTables tables);

// "批量写参数": every numbered row of the main table, on the main channel
// whichever page was shown last, in one write run (WriteLoop); Extended: the
// extended table on channel 0 (the command line's --ext); Both: each table
// on its own channel (the main table alone when the profile has no extended
// page), the extended one not begun when the main one ended early (its rows
// count as not reached). Rows it does not reach (closed channel, a selection
// the device did not confirm, a stop) stay in ModifiedParamList for the next
// "设置". A row that cannot be sent (UnsendableRows) sends nothing at all:
// the report lists it in `refused`.
WriteReport BatchWrite(DtuSession &session, BatchTables tables = BatchTables::Main, bool giveUpWhenSilent = false);

// A backup of the whole device into path: the loaded profile with the main
// table's values and, when it has an extended page, the extended table's
// values in an extended file beside it ("b.txt": "b_ext.txt"), which the
// backup names. The loaded profile keeps the extended file it names.
// Returns the extended file's path ("" when none). Throws DtuError.
QString SaveFullBackup(DtuSession &session, const QString &path);

} // namespace ParamFile
