#pragma once
#include "core/Endpoint.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <stdexcept>

// One device of a fleet: where it is, its password, a name for the report,
// and its own values ("0091" -> text as the window shows it, or HEX:..),
// which take precedence over the reference profile's.
struct FleetDevice {
    Endpoint target;
    QString password; // empty: the default password
    QString name;
    QList<QPair<QString, QString>> values;
    int line = 0; // the inventory line that lists it (0: not read from a file)
};

// The inventory of a fleet, a CSV file (UTF-8 with or without a byte-order
// mark, or GBK, read as profiles are; comma separated; fields in double quotes may hold commas, quotes
// doubled and line breaks). The header names the columns: "target" (needed),
// "password", "name", and parameter numbers of four hex digits. An empty
// cell leaves the profile's value.
namespace Inventory {

// What is wrong with an inventory, as a value: where, and the text at fault.
// FleetWording words it in the run's language.
struct Problem {
    enum class Kind {
        Unreadable,     // the file could not be read (detail: the system's reason)
        Empty,          // not one line
        QuoteNotClosed, // a quoted field runs to the end of the file
        ColumnTwice,    // text: the column's name
        UnknownColumn,  // text: the column's name
        NoTargetColumn,
        TooManyCells,   // count: the row's cells, expected: the header's
        EmptyTarget,
        BadTcpPort,     // text: the target
        NoHost,         // text: the target
        HexNotPairs,    // text: the cell
        ListedTwice,    // text: the target, expected: the line that listed it first
    };
    Kind kind = Kind::Empty;
    QString file;   // the inventory's path ("" for one not read from a file)
    int line = 0;   // from 1; 0: not about a line
    int column = 0; // from 1; 0: not about one column
    QString text;
    QString detail;
    int count = 0, expected = 0;
};

// What Parse and Read throw.
class ParseError : public std::runtime_error {
public:
    explicit ParseError(Problem problem) : std::runtime_error("inventory"), problem(std::move(problem)) {}
    Problem problem;
};

struct Table {
    QStringList valueColumns; // the parameter numbers, in column order
    QList<int> valueColumnAt; // the file's column of each (from 1), for naming a cell
    QList<FleetDevice> devices;
};

// Throws ParseError for a missing target column, an unknown column, a bad
// target or HEX: value, a row with more cells than the header, or a target
// listed twice (two runs on one port would clash).
Table Parse(const QByteArray &bytes);
Table Read(const QString &path);
// The CSV text of a table (what the window exports and imports).
QByteArray Render(const Table &table);

} // namespace Inventory
