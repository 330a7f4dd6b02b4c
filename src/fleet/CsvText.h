#pragma once
#include <QString>

// One cell of the fleet's CSV files (inventory and report) as a spreadsheet
// reads it back: in double quotes, quotes doubled, when it holds a comma, a
// quote or a line break of either kind; as it is otherwise.
namespace CsvText {
QString Cell(const QString &text);
}
