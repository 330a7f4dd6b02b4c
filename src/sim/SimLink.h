#pragma once
#include "sim/SimDevice.h"

#include <QTimer>
#include <functional>

// Carries one byte pipe (the pseudo-terminal, a TCP connection) to the
// device engine and puts its answers on the pipe with their timing. Answers
// go out in order; a request that arrives while an answer is still being
// sent is answered after it, as a single-threaded device would.
class SimLink {
public:
    using Writer = std::function<void(const QByteArray &)>;
    // An unfinished frame is forgotten after this much silence, so one lost
    // byte cannot make the device wait for a frame that never ends.
    static constexpr int kPartialFrameTimeoutMs = 1000;

    SimLink(SimDevice &device, Writer writer);
    SimLink(const SimLink &) = delete;
    SimLink &operator=(const SimLink &) = delete;

    void Received(const QByteArray &bytes);
    // A new peer: drops answers not yet sent and any unfinished frame.
    void Reset();

private:
    void SendNext();

    SimDevice &device_;
    Writer writer_;
    QList<SimChunk> queue_;
    QTimer sendTimer_;
    QTimer idleTimer_;
};
