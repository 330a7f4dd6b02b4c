#pragma once
#include <QString>

// One cell of the tool's CSV files as a spreadsheet reads it back: in double
// quotes, quotes doubled, when it holds a comma, a quote or a line break of
// either kind; as it is otherwise.
namespace CsvText {
// A cell a spreadsheet would take for a formula (one starting with =, @, a
// tab or a carriage return, or with + or - unless the whole cell is a plain
// number such as -1.5 or +86) gets a leading ' first, so it shows as the
// text it is: every file made for people to open (the fleet's report, the
// records' export).
QString Cell(const QString &text);
// The quoting alone, for the text of a file this tool reads back itself
// (the fleet's inventory): its values reach the devices as they were.
QString Quoted(const QString &text);
} // namespace CsvText
