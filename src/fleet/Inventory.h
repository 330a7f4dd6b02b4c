#pragma once
#include "fleet/FleetTarget.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// One device of a fleet: where it is, its password, a name for the report,
// and its own values ("0091" -> text as the window shows it, or HEX:..),
// which take precedence over the reference profile's.
struct FleetDevice {
    FleetTarget target;
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

struct Table {
    QStringList valueColumns; // the parameter numbers, in column order
    QList<int> valueColumnAt; // the file's column of each (from 1), for naming a cell
    QList<FleetDevice> devices;
};

// Throws DtuError naming the line for a missing target column, an unknown
// column, a bad target or HEX: value, a row with more cells than the header,
// or a target listed twice (two runs on one port would clash).
Table Parse(const QByteArray &bytes);
Table Read(const QString &path);
// The CSV text of a table (what the window exports and imports).
QByteArray Render(const Table &table);

} // namespace Inventory
