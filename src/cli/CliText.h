#pragma once
#include "ops/TableCompare.h"

#include <QString>
#include <QStringList>
#include <cstdio>

// How dtucfg puts values into its lines: cells between tabs, one line each,
// and no character of a value can break a line or a cell: a control
// character a device sent is shown as \xNN.
namespace CliText {
QString Escaped(const QString &value);
// The cells, each escaped, between tabs, and a line break.
QString Line(const QStringList &cells);
// A line per row that differs: number, name, expected, what the device holds.
QString Differences(const QList<TableCompare::Difference> &differences);
// "-" for a value not known.
inline QString OrDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}
// The text as UTF-8 on the stream, at once.
void Write(std::FILE *stream, const QString &text);
} // namespace CliText
