#pragma once
#include <QString>

// One cell of the tool's CSV files (the fleet's inventory and report, the
// records' export) as a spreadsheet reads it back: in double quotes, quotes
// doubled, when it holds a comma, a quote or a line break of either kind; as
// it is otherwise.
namespace CsvText {
QString Cell(const QString &text);
}
