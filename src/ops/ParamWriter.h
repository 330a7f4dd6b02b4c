#pragma once
#include <QCoreApplication>
#include <QString>

class DtuSession;
class ParamTableModel;

// Writing the modified rows of the active table, one set command per row.
namespace ParamWriter {

inline QString SettingText() { return QCoreApplication::translate("ParamWriter", "正在设置，请稍候..."); }
// The operation word of a write's result texts ("[参数设置成功]").
inline QString WriteWord() { return QCoreApplication::translate("ParamWriter", "参数设置"); }

// The line of a write run that found its channel closed: how many of the
// rows it was to write it did not reach (they stay listed).
QString ChannelLostText(int unwritten);
// The line of a write run the user stopped: rows tried, rows left listed.
QString StoppedText(int written, int unwritten);
// The last line of a run that stopped early: the channel-lost line when the
// channel has closed, else the stopped line; nothing when the window closes.
void PostEndOfStoppedRun(DtuSession &session, int written, int unwritten);

// "设置" on the main page (btWrite) and on the extended page (Button17): with
// edits listed, the device is first put on the page's table (a selection it
// did not confirm left that unknown); if it does not confirm, nothing is
// written and the edits stay listed. Then WriteModified.
void WriteMainPage(DtuSession &session);
void WriteExtendedPage(DtuSession &session);

// Writes every listed row of the active table in table order, then empties
// ModifiedParamList. The list stays as it is when the channel check stops
// the run or no table is active (the reason is posted); a run that finds
// the channel closed at a row stops there and keeps the rows it did not
// reach; so does a run the user stops (AppState::StopRequested) between two
// rows. The run reports its progress to the front end, unless it is one row
// of a longer run (a batch) that reports its own.
void WriteModified(DtuSession &session, bool rowOfLongerRun = false);
// Writes the current row of the active table ("0091" only from level 2).
void WriteCurrentRow(DtuSession &session);
// Sends one set command for the row of the active table with that number
// and reports the outcome; returns the TransactionResult.
int SetParameter(DtuSession &session, const QString &number);

// The same two steps on a named table, so that a run over the extended
// table writes the extended rows even when both tables count as active.
void WriteCurrentRow(DtuSession &session, ParamTableModel &table);
int SetParameter(DtuSession &session, ParamTableModel &table, const QString &number);

} // namespace ParamWriter
