#pragma once
#include <QByteArray>

// CRC-16/MODBUS by its definition, bit by bit (reflected polynomial 0xA001,
// start FFFF): the reference the table-driven routine is checked against.
inline quint16 BitwiseCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : static_cast<quint16>(crc >> 1);
    }
    return crc;
}
