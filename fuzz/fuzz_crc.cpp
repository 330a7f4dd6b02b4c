// CRC-16/MODBUS: the CRC appended low byte first, and the residue of a
// message with its CRC appended.
#include "protocol/ModbusCrc.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const quint16 crc = ModbusCrc(bytes);
    const QByteArray framed = WithModbusCrc(bytes);
    if (framed.size() != bytes.size() + 2 || !framed.startsWith(bytes))
        __builtin_trap();
    if (static_cast<quint8>(framed[framed.size() - 2]) != (crc & 0xFF)
        || static_cast<quint8>(framed[framed.size() - 1]) != (crc >> 8))
        __builtin_trap();
    if (ModbusCrc(framed) != 0) // a correct message checks to zero
        __builtin_trap();
    return 0;
}
