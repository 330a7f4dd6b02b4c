#pragma once
#include "support/Hexes.h"

#include <QByteArray>

// Device frames for tests, built here by the device's rules and not by the
// code under test: AA 55, a big-endian length counting itself, the word and
// the data, then the 16-bit sum of everything after AA 55.
namespace TestFrames {

// The two acknowledgements: 00 F0 accepts, 00 F1 refuses.
inline const QByteArray kAck = Bytes("AA 55 00 04 00 F0 00 F4");
inline const QByteArray kRefusal = Bytes("AA 55 00 04 00 F1 00 F5");

// AA 55, then `body` (length field onwards) and its sum.
inline QByteArray Framed(const QByteArray &body)
{
    quint16 sum = 0;
    for (char c : body)
        sum = static_cast<quint16>(sum + static_cast<quint8>(c));
    return Bytes("AA 55") + body + QByteArray(1, char(sum >> 8)) + QByteArray(1, char(sum & 0xFF));
}

// A frame whose length field says `length` whatever follows it.
inline QByteArray FrameWithLength(quint16 word, const QByteArray &data, int length)
{
    QByteArray body;
    body.append(char(length >> 8)).append(char(length & 0xFF)).append(char(word >> 8)).append(char(word & 0xFF));
    return Framed(body + data);
}

// A whole frame without a command prefix.
inline QByteArray Frame(quint16 word, const QByteArray &data = {})
{
    return FrameWithLength(word, data, static_cast<int>(data.size()) + 4);
}

// A status or signal answer: one value byte.
inline QByteArray ByteReply(quint16 word, quint8 value)
{
    return Frame(word, QByteArray(1, char(value)));
}

// One record of a parameter reply: its length (number and value), the
// parameter number, the value.
inline QByteArray Record(quint16 number, const QByteArray &value)
{
    const int n = static_cast<int>(value.size()) + 2;
    QByteArray r;
    r.append(char(n >> 8)).append(char(n & 0xFF)).append(char(number >> 8)).append(char(number & 0xFF));
    return r + value;
}

} // namespace TestFrames
