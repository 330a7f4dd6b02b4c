#include "protocol/ModbusCrc.h"

#include <array>

namespace {

// One entry per value of (byte XOR low byte of the CRC): the effect of eight
// reflected shifts with polynomial 0xA001.
constexpr std::array<quint16, 256> MakeTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 value = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? static_cast<quint16>((value >> 1) ^ 0xA001) : static_cast<quint16>(value >> 1);
        table[i] = value;
    }
    return table;
}

constexpr std::array<quint16, 256> kTable = MakeTable();
static_assert(kTable[1] == 0xC0C1 && kTable[255] == 0x4040);

} // namespace

quint16 ModbusCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        const quint8 index = static_cast<quint8>(static_cast<quint8>(c) ^ (crc & 0xFF));
        crc = static_cast<quint16>(kTable[index] ^ (crc >> 8));
    }
    return crc;
}

QByteArray WithModbusCrc(const QByteArray &bytes)
{
    const quint16 crc = ModbusCrc(bytes);
    QByteArray out = bytes;
    out.append(static_cast<char>(crc & 0xFF));
    out.append(static_cast<char>(crc >> 8));
    return out;
}
