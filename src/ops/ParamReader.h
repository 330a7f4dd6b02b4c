#pragma once
#include <QByteArray>
#include <QCoreApplication>

class DtuSession;
class ParamTableModel;

// Reading every parameter of a table from the device in one exchange.
namespace ParamReader {

// The operation word of a read's result texts ("[参数读取失败，设备无响应！]").
inline QString ReadWord() { return QCoreApplication::translate("ParamReader", "参数读取"); }

// "读取" on the main page (btRead): channel check, channel selection, read.
// A selection the device does not confirm ends the read with a memo line.
void ReadMainPage(DtuSession &session);
// "读取" on the extended page (Button16): the same on channel 0.
void ReadExtendedPage(DtuSession &session);

// Both tables, each on its own channel (the main one alone when the profile
// has no extended page): what a backup or a comparison reads. Stops at the
// first table that could not be read; false then.
bool ReadWholeDevice(DtuSession &session);

// Reads the table(s) that belong to the current parameter channel; false
// when a reply was missing or not a valid parameter reply.
bool ReadAllParameters(DtuSession &session);

// One read exchange for the id list and its reply check. The records go to
// the rows found by the channel rule of ApplyParamValue.
void ReadParamGroup(DtuSession &session, const QByteArray &idList);
// The same, with the records going to the given table (the one whose id list
// was sent). ReadAllParameters uses this form.
void ReadParamGroup(DtuSession &session, ParamTableModel &table, const QByteArray &idList);

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
