// The transparent test's typed input: text to GBK bytes, hex pairs, the CRC
// appender and the sent-line text.
#include "protocol/Hex.h"
#include "ops/TransparentTest.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QByteArray asText = TransparentTest::MessageBytes(text, false);
    const QByteArray asHex = TransparentTest::MessageBytes(text, true);
    // Hex mode keeps at most one byte per two characters left after the blanks.
    if (asHex.size() > text.size())
        __builtin_trap();
    const QString withCrc = TransparentTest::AppendModbusCrc(text);
    if (withCrc.size() % 2 != 0 || HexToBytes(withCrc).size() < 2)
        __builtin_trap();
    (void)TransparentTest::SentLineBody(asText, false, QStringLiteral("10"));
    (void)TransparentTest::SentLineBody(asHex, true, text.left(8));
    return 0;
}
