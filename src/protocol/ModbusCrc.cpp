#include "protocol/ModbusCrc.h"

quint16 ModbusCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

QByteArray WithModbusCrc(const QByteArray &bytes)
{
    const quint16 crc = ModbusCrc(bytes);
    return bytes + static_cast<char>(crc & 0xFF) + static_cast<char>(crc >> 8);
}
