#pragma once
#include "ops/Outcomes.h"
#include "ops/PageEntry.h"

#include <QString>

class DtuSession;
class ParamTableModel;

// Writing the user's edits (the rows listed in ModifiedParamList), one set
// command per row, through the write loop (WriteLoop).
namespace ParamWriter {

// "设置" on the main page (btWrite) and on the extended page (Button17): with
// edits listed, the device is first put on the page's table (a selection it
// did not confirm left that unknown); if it does not confirm, nothing is
// written and the edits stay listed. Then the listed rows are written.
WriteReport WritePage(DtuSession &session, Page page = Page::Main);

// Writes every listed row of the active table in table order (both tables
// when a main channel of 0 makes both active). The channel check stops the
// run with the closed-channel message; with no table active nothing is sent
// and the edits wait for one (the reason is posted). Afterwards the list
// holds the rows the run did not reach (WriteLoop::Run).
WriteReport WriteModified(DtuSession &session);

// Sends one set command for the row of the table with that number and
// reports it: the "设置参数：" line, then the row's result in panel 3 and
// the traffic memo.
RowResult SetParameter(DtuSession &session, ParamTableModel &table, const QString &number);

} // namespace ParamWriter
