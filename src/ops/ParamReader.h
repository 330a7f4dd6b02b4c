#pragma once
#include "ops/Outcomes.h"
#include "ops/PageEntry.h"

#include <QByteArray>
#include <QStringList>

class DtuSession;
class ParamTableModel;

// Reading every parameter of a table from the device in one exchange.
namespace ParamReader {

// "读取" on the main page (btRead) and on the extended page (Button16, on
// channel 0): channel check, channel selection, read. A selection the device
// does not confirm ends the read with a memo line.
ReadOutcome ReadPage(DtuSession &session, Page page = Page::Main);

// Both tables, each on its own channel (the main one alone when the profile
// has no extended page): what a backup or a comparison reads. Stops at the
// first table that could not be read.
ReadOutcome ReadWholeDevice(DtuSession &session);

// Reads the table(s) that belong to the current parameter channel; the
// result is that of the first reply missing or not a valid parameter reply.
ReadOutcome ReadAllParameters(DtuSession &session);

// One read exchange for the id list and its reply check; the result code
// (Accepted, NoAnswer, NotAFrame, WrongCommandWord, BadChecksum,
// NothingReported). The records go to `table` (the one whose id list was
// sent); the numbers it reported to *reported.
int ReadParamGroup(DtuSession &session, ParamTableModel &table, const QByteArray &idList,
                   QStringList *reported = nullptr);

// Puts one value into its row of the table. Throws DtuError for a malformed
// choice list (ends the parsing).
void ApplyParamValue(DtuSession &session, ParamTableModel &table, quint16 number, const QByteArray &value);

// The record area of a located, checked parameter reply: the L - 4 - P bytes
// after the command word and the prefix, never running into the checksum.
QByteArray RecordArea(const QByteArray &frame, int prefixLength);

} // namespace ParamReader
