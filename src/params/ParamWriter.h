#pragma once
#include <QString>

class DtuSession;
class ParamTableModel;

// Writing the modified rows of the active table, one set command per row.
namespace ParamWriter {

inline const QString kSettingText = QStringLiteral("正在设置，请稍候...");

// "设置": writes every listed row of the active table in table order, then
// empties ModifiedParamList (unless the channel check stopped it).
void WriteModified(DtuSession &session);
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
