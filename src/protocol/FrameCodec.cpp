#include "protocol/FrameCodec.h"

#include "protocol/Hex.h"

#include <QtEndian>

namespace FrameCodec {
namespace {
quint16 Sum16(const char *data, qsizetype size)
{
    quint16 sum = 0;
    for (qsizetype i = 0; i < size; ++i)
        sum = static_cast<quint16>(sum + static_cast<quint8>(data[i]));
    return sum;
}
} // namespace

QByteArray Assemble(quint16 word, const QByteArray &prefix, const QByteArray &data)
{
    if (prefix.size() + data.size() > kMaxPayload)
        return {};
    const auto length = static_cast<quint16>(data.size() + prefix.size() + 4);
    QByteArray frame;
    frame.reserve(length + 4);
    frame.append(static_cast<char>(kHeader0));
    frame.append(static_cast<char>(kHeader1));
    frame += WordToBytes(length) + prefix + WordToBytes(word) + data;
    frame += WordToBytes(Sum16(frame.constData() + 2, frame.size() - 2));
    return frame;
}

QByteArray Locate(const QByteArray &received)
{
    const qsizetype at = received.indexOf("\xAA\x55");
    return at > 0 ? received.mid(at) : received;
}

bool HasHeader(const QByteArray &frame)
{
    return frame.size() >= 2 && static_cast<quint8>(frame[0]) == kHeader0
        && static_cast<quint8>(frame[1]) == kHeader1;
}

int LengthField(const QByteArray &frame)
{
    if (frame.size() < 4)
        return 0;
    return qFromBigEndian<quint16>(frame.constData() + 2);
}

bool ChecksumByLength(const QByteArray &frame)
{
    if (frame.size() < 4)
        return false;
    const qsizetype length = LengthField(frame);
    if (frame.size() < length + 4)
        return false;
    return Sum16(frame.constData() + 2, length) == qFromBigEndian<quint16>(frame.constData() + 2 + length);
}

bool ChecksumBySize(const QByteArray &frame)
{
    const qsizetype n = frame.size();
    if (n < 4)
        return false;
    return Sum16(frame.constData() + 2, n - 4) == qFromBigEndian<quint16>(frame.constData() + n - 2);
}

} // namespace FrameCodec
