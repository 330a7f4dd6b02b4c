#pragma once
#include "ops/TableCompare.h"

#include <QString>
#include <QStringList>

// How dtucfg puts values into its lines: cells between tabs, one line each,
// and no character of a value can break a line or a cell: a control
// character a device sent is shown as \xNN.
namespace CliText {
QString Escaped(const QString &value);
// The cells, each escaped, between tabs, and a line break.
QString Line(const QStringList &cells);
// A line per row that differs: number, name, expected, what the device holds.
QString Differences(const QList<TableCompare::Difference> &differences);
} // namespace CliText
