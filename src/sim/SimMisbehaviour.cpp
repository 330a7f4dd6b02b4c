#include "sim/SimMisbehaviour.h"

#include "protocol/FrameCodec.h"

#include <algorithm>

namespace {

QByteArray Refused(const QByteArray &reply)
{
    static const QByteArray accepted = FrameCodec::Assemble(0x00F0, {}, {});
    return reply == accepted ? FrameCodec::Assemble(0x00F1, {}, {}) : reply;
}

// Adds delta to the big-endian 16-bit field at `at`, wrapping round.
void AddToField(QByteArray &bytes, qsizetype at, int delta)
{
    const int value = ((static_cast<quint8>(bytes[at]) << 8) | static_cast<quint8>(bytes[at + 1])) + delta;
    bytes[at] = static_cast<char>((value >> 8) & 0xFF);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
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

// Noise with no AA 55 in it, the same every time.
QByteArray Garbage(int size)
{
    QByteArray out(size, '\0');
    quint32 x = 2463534242u;
    for (int i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<char>(x & 0xFF);
        if (i > 0 && static_cast<quint8>(out[i - 1]) == 0xAA && static_cast<quint8>(out[i]) == 0x55)
            out[i] = 0x56;
    }
    return out;
}

} // namespace

QList<SimChunk> SimMisbehaviour::Shape(const QByteArray &reply) const
{
    if (silent || reply.isEmpty())
        return {};
    QByteArray bytes = reply;
    if (refuse)
        bytes = Refused(bytes);
    if (badChecksum && bytes.size() >= 2)
        AddToField(bytes, bytes.size() - 2, 1);
    if (notFrame && bytes.size() >= 2) {
        bytes[0] = static_cast<char>(FrameCodec::kHeader1);
        bytes[1] = static_cast<char>(FrameCodec::kHeader0);
    }
    if (lengthExcess > 0 && bytes.size() >= 4)
        AddToField(bytes, 2, lengthExcess);
    bytes = strayBefore + bytes + strayAfter;
    QList<SimChunk> chunks = trickleMs > 0 ? Cut(bytes, static_cast<int>(bytes.size()), delayMs, trickleMs)
                                           : Cut(bytes, pieces, delayMs, pieceGapMs);
    if (floodBytes > 0)
        chunks.append({floodAfterMs, Garbage(floodBytes)});
    return chunks;
}
