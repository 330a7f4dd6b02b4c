#include "sim/SimMisbehaviour.h"

#include "protocol/FrameCodec.h"

#include <algorithm>

namespace {

QByteArray Refused(const QByteArray &reply)
{
    static const QByteArray accepted = FrameCodec::Assemble(0x00F0, {}, {});
    return reply == accepted ? FrameCodec::Assemble(0x00F1, {}, {}) : reply;
}

QByteArray WithWrongChecksum(QByteArray reply)
{
    const qsizetype n = reply.size();
    if (n < 2)
        return reply;
    quint16 sum = static_cast<quint16>((static_cast<quint8>(reply[n - 2]) << 8) | static_cast<quint8>(reply[n - 1]));
    ++sum;
    reply[n - 2] = static_cast<char>(sum >> 8);
    reply[n - 1] = static_cast<char>(sum & 0xFF);
    return reply;
}

QList<SimChunk> Cut(const QByteArray &bytes, int pieces, int firstDelay, int gap)
{
    QList<SimChunk> out;
    const qsizetype count = std::clamp<qsizetype>(pieces, 1, std::max<qsizetype>(1, bytes.size()));
    qsizetype at = 0;
    for (qsizetype i = 0; i < count; ++i) {
        // Spread the remainder over the first pieces so sizes differ by one at most.
        const qsizetype size = bytes.size() / count + (i < bytes.size() % count ? 1 : 0);
        out.append({i == 0 ? firstDelay : gap, bytes.mid(at, size)});
        at += size;
    }
    return out;
}

} // namespace

bool SimMisbehaviour::AppliesTo(quint16 requestWord) const
{
    return onlyWords.isEmpty() || onlyWords.contains(requestWord);
}

QList<SimChunk> SimMisbehaviour::Shape(const QByteArray &reply) const
{
    if (silent || reply.isEmpty())
        return {};
    QByteArray bytes = reply;
    if (refuse)
        bytes = Refused(bytes);
    if (badChecksum)
        bytes = WithWrongChecksum(bytes);
    if (notFrame && bytes.size() >= 2) {
        bytes[0] = static_cast<char>(FrameCodec::kHeader1);
        bytes[1] = static_cast<char>(FrameCodec::kHeader0);
    }
    bytes = strayBefore + bytes + strayAfter;
    if (trickleMs > 0)
        return Cut(bytes, static_cast<int>(bytes.size()), delayMs, trickleMs);
    return Cut(bytes, pieces, delayMs, pieceGapMs);
}
