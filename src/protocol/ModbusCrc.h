#pragma once
#include <QByteArray>

// CRC-16/MODBUS (reflected 0x8005, init 0xFFFF, no final XOR).
quint16 ModbusCrc(const QByteArray &bytes);
// The bytes followed by their CRC, low byte first as it goes on the wire.
QByteArray WithModbusCrc(const QByteArray &bytes);
