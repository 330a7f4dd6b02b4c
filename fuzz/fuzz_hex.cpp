// Hex text typed by the user or returned by a script.
#include "protocol/Hex.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    (void)HexToInt(text);
    const QByteArray bytes = HexToBytes(text);
    if (bytes.size() != text.size() / 2)
        __builtin_trap();
    (void)ScriptCommandWord(text);
    if (HexToBytes(BytesToHex(bytes)) != bytes)
        __builtin_trap();
    return 0;
}
