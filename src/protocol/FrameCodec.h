#pragma once
#include <QByteArray>

// Byte layout of a device frame: AA 55, big-endian length L (counting itself,
// the prefix, the command word and the data), prefix, command word, data,
// then a 16-bit additive checksum of the L bytes from offset 2.
namespace FrameCodec {

constexpr quint8 kHeader0 = 0xAA;
constexpr quint8 kHeader1 = 0x55;
// L must fit 16 bits: 2 (length) + prefix + 2 (word) + data.
constexpr int kMaxPayload = 0xFFFF - 4;

// Assembles a whole frame. Prefix plus data longer than kMaxPayload does not
// fit the length field: the result is then empty and nothing should be sent.
QByteArray Assemble(quint16 word, const QByteArray &prefix, const QByteArray &data);

// Drops everything before the first AA 55; without AA 55 nothing is dropped.
QByteArray Locate(const QByteArray &received);
// The first two bytes are AA 55.
bool HasHeader(const QByteArray &frame);
// Length field L at offsets 2-3 (0 when the bytes are too short).
int LengthField(const QByteArray &frame);
// Rule A: sum of the L bytes from offset 2 against the two bytes after them.
// A reply shorter than L + 4 bytes fails: nothing past the end is read.
bool ChecksumByLength(const QByteArray &frame);
// Rule B: sum of offsets 2 .. n-3 against the last two bytes (n = size).
bool ChecksumBySize(const QByteArray &frame);

} // namespace FrameCodec
