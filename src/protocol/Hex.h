#pragma once
#include <QByteArray>
#include <QString>
#include <QtEndian>

// Hex conversions used all over the tool. Digits produced are upper case.
// Unspaced hex: "310A" for bytes 31 0A.
QString BytesToHex(const QByteArray &bytes);
// Spaced hex for trace lines: "31 0A " (trailing blank included).
QString BytesToSpacedHex(const QByteArray &bytes);
// Reads hex digits left to right with 32-bit wrap-round. Empty gives 0; a
// blank counts as digit 0. Any other non-hex character also counts as 0, so
// stray input never makes a value up.
qint32 HexToInt(const QString &text);
// Two characters per byte, a trailing odd character ignored.
QByteArray HexToBytes(const QString &text);
// Whole bytes of hex digits in either case, and nothing else ("" is none).
bool IsHexBytes(QStringView digits);
QByteArray WordToBytes(quint16 word);
// A parameter number or command word as the tool shows it: "0031".
inline QString WordToHex(quint16 word) { return BytesToHex(WordToBytes(word)); }
// The big-endian word at `at`; the caller has checked both bytes are there.
inline quint16 WordAt(const QByteArray &bytes, qsizetype at) { return qFromBigEndian<quint16>(bytes.constData() + at); }
// Characters 1-2 give the high byte, 3-4 the low byte; missing ones count 0.
quint16 ScriptCommandWord(const QString &scriptResult);
