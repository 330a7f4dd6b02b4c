#pragma once
#include "ops/Outcomes.h"

#include <QByteArray>

class DtuSession;
class ParamTableModel;

// Reading every parameter of a table from the device in one exchange.
namespace ParamReader {

// "读取" on the main page (btRead): channel check, channel selection, read.
// A selection the device does not confirm ends the read with a memo line.
ReadOutcome ReadMainPage(DtuSession &session);
// "读取" on the extended page (Button16): the same on channel 0.
ReadOutcome ReadExtendedPage(DtuSession &session);

// Both tables, each on its own channel (the main one alone when the profile
// has no extended page): what a backup or a comparison reads. Stops at the
// first table that could not be read.
ReadOutcome ReadWholeDevice(DtuSession &session);

// Reads the table(s) that belong to the current parameter channel; the
// result is that of the first reply missing or not a valid parameter reply.
ReadOutcome ReadAllParameters(DtuSession &session);

// One read exchange for the id list and its reply check; the result code
// (Accepted, NoAnswer, NotAFrame, WrongCommandWord, BadChecksum). The
// records go to the rows found by the channel rule of ApplyParamValue.
int ReadParamGroup(DtuSession &session, const QByteArray &idList);
// The same, with the records going to the given table (the one whose id list
// was sent). ReadAllParameters uses this form.
int ReadParamGroup(DtuSession &session, ParamTableModel &table, const QByteArray &idList);

// Puts one value into its row, found in the extended table when
// CurrentParamChannel is 0, else in the main table when it is the main
// channel. Throws DtuError for a malformed choice list (ends the parsing).
void ApplyParamValue(DtuSession &session, quint16 number, const QByteArray &value);
void ApplyParamValue(DtuSession &session, ParamTableModel &table, quint16 number,
                     const QByteArray &value);

// The record area of a located, checked parameter reply: the L - 4 - P bytes
// after the command word and the prefix, never running into the checksum.
QByteArray RecordArea(const QByteArray &frame, int prefixLength);

} // namespace ParamReader
