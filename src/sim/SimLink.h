#pragma once
#include "core/ScheduledTimer.h"
#include "sim/SimDevice.h"

#include <QTimer>
#include <functional>
#include <memory>

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

    // Timed by the event loop's precise timers, or, given a scheduler, by
    // its timers (a device in the tool's own process on the tool's time).
    SimLink(SimDevice &device, Writer writer, Scheduler *scheduler = nullptr);
    SimLink(const SimLink &) = delete;
    SimLink &operator=(const SimLink &) = delete;

    void Received(const QByteArray &bytes);
    // A new peer: drops answers not yet sent and any unfinished frame.
    void Reset();

private:
    void SendNext();
    void StartSend(int ms);
    void StopSend();
    void StartIdle();
    void StopIdle();

    SimDevice &device_;
    Writer writer_;
    QList<SimChunk> queue_;
    QTimer sendTimer_;
    QTimer idleTimer_;
    // On a scheduler, these stand for the two above.
    std::unique_ptr<ScheduledTimer> sendOn_;
    std::unique_ptr<ScheduledTimer> idleOn_;
};
