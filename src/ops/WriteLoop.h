#pragma once
#include "ops/Outcomes.h"

#include <QList>

class DtuSession;
class ParamTableModel;

// The one loop that sends parameter values: a page's edits, one table's
// batch, both tables' batch and a fleet device's provision all hand it an
// explicit list of rows and get one report back. It reports progress and
// honours a stop between rows (WriteRun), stops at the first row that finds
// the channel closed or the window closing, skips the rows the access level
// withholds without a word, and ends with one line when it ended early.
namespace WriteLoop {

// No channel selection before a part: its table is the one the device serves.
inline constexpr int kNoSelection = -100;

struct Part {
    ParamTableModel *table = nullptr;
    QList<int> rows;             // row indexes, in table order
    int channel = kNoSelection;  // the device is put on this channel first
};

// Shows the closed-channel message and sends nothing when no channel is
// open. Afterwards ModifiedParamList holds exactly the rows the run did not
// reach; a run that sent nothing keeps what the list held as well. With
// giveUpWhenSilent (a fleet's worker), a device silent from its first row on
// is given up after that row instead of waiting out every row.
WriteReport Run(DtuSession &session, const QList<Part> &parts, bool giveUpWhenSilent = false);

// Every row of a table that has a number (a batch).
QList<int> NumberedRows(const ParamTableModel &table);

} // namespace WriteLoop
