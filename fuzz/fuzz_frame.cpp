// Received bytes through the frame checks and the acknowledgement judge.
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray received(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QByteArray located = FrameCodec::Locate(received);
    (void)FrameCodec::HasHeader(located);
    (void)FrameCodec::LengthField(located);
    (void)FrameCodec::ChecksumByLength(located);
    (void)FrameCodec::ChecksumBySize(located);
    const int verdict = CommandExchange::JudgeAck(received);
    if (verdict > 0 || verdict < -4)
        __builtin_trap();
    return 0;
}
