#include "protocol/FrameCodec.h"

namespace FrameCodec {

quint16 Sum16(const char *data, qsizetype size)
{
    quint16 sum = 0;
    for (qsizetype i = 0; i < size; ++i)
        sum = static_cast<quint16>(sum + static_cast<quint8>(data[i]));
    return sum;
}

static quint16 BigEndianAt(const QByteArray &bytes, qsizetype offset)
{
    return static_cast<quint16>((static_cast<quint8>(bytes[offset]) << 8)
                                | static_cast<quint8>(bytes[offset + 1]));
}

QByteArray Assemble(quint16 word, const QByteArray &prefix, const QByteArray &data)
{
    if (prefix.size() + data.size() > kMaxPayload)
        return {};
    const int length = static_cast<int>(data.size() + prefix.size() + 4);
    QByteArray frame;
    frame.reserve(length + 4);
    frame.append(static_cast<char>(kHeader0));
    frame.append(static_cast<char>(kHeader1));
    frame.append(static_cast<char>(length >> 8));
    frame.append(static_cast<char>(length & 0xFF));
    frame.append(prefix);
    frame.append(static_cast<char>(word >> 8));
    frame.append(static_cast<char>(word & 0xFF));
    frame.append(data);
    const quint16 sum = Sum16(frame.constData() + 2, frame.size() - 2);
    frame.append(static_cast<char>(sum >> 8));
    frame.append(static_cast<char>(sum & 0xFF));
    return frame;
}

QByteArray Locate(const QByteArray &received)
{
    static const QByteArray header("\xAA\x55", 2);
    const qsizetype at = received.indexOf(header);
    if (at > 0)
        return received.mid(at);
    return received;
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
    return BigEndianAt(frame, 2);
}

bool ChecksumByLength(const QByteArray &frame)
{
    if (frame.size() < 4)
        return false;
    const qsizetype length = LengthField(frame);
    if (frame.size() < length + 4)
        return false;
    return Sum16(frame.constData() + 2, length) == BigEndianAt(frame, 2 + length);
}

bool ChecksumBySize(const QByteArray &frame)
{
    const qsizetype n = frame.size();
    if (n < 4)
        return false;
    return Sum16(frame.constData() + 2, n - 4) == BigEndianAt(frame, n - 2);
}

} // namespace FrameCodec
