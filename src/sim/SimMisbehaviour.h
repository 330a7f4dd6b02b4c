#pragma once
#include <QByteArray>
#include <QList>

// One piece of a reply: sent delayMs after the previous piece (the first
// one: after the request arrived).
struct SimChunk {
    int delayMs = 0;
    QByteArray bytes;
    bool operator==(const SimChunk &o) const { return delayMs == o.delayMs && bytes == o.bytes; }
};

// Faults the simulated device can be told to commit, so the tool's time-out
// and error paths can be exercised. They apply to every reply, or only to the
// replies to the request words listed in onlyWords.
struct SimMisbehaviour {
    static constexpr int kDefaultDelayMs = 5;

    bool silent = false;       // never answer
    bool refuse = false;       // accepting acks become refusals
    bool badChecksum = false;  // checksum off by one
    bool notFrame = false;     // header sent as 55 AA
    int delayMs = kDefaultDelayMs;
    int pieces = 1;            // reply cut into this many pieces...
    int pieceGapMs = 0;        // ...sent this far apart
    int trickleMs = 0;         // one byte at a time, this far apart (wins over pieces)
    QByteArray strayBefore;
    QByteArray strayAfter;
    int lengthExcess = 0;      // length field claims this many bytes more than are sent
    int floodBytes = 0;        // garbage sent floodAfterMs after each answer,
    int floodAfterMs = 0;      // arriving while the tool is idle
    QList<quint16> onlyWords;  // empty: every reply

    bool AppliesTo(quint16 requestWord) const { return onlyWords.isEmpty() || onlyWords.contains(requestWord); }
    // Turns a well-formed reply frame into what is put on the line; an empty
    // list means nothing is sent.
    QList<SimChunk> Shape(const QByteArray &reply) const;
};
