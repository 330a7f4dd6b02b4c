#pragma once
#include "core/ScheduledTimer.h"
#include "ops/SignalMeter.h"
#include "session/ActionDispatcher.h"

#include <QObject>

class DtuSession;

// Reads the signal strength again and again ("连续监测"). Each poll is one
// ordinary device action through the same signal command as the button, a
// request in the window's one queue (ActionDispatcher): it never starts
// while another action runs (it waits for the end of that one) and nothing
// else starts during it. The next poll is due one interval
// after the previous one ended. Polling stops on Stop() and, by itself, when
// the data channel is found closed or the device script fails.
class SignalMonitor : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinSeconds = 2;
    static constexpr int kMaxSeconds = 60;
    static constexpr int kDefaultSeconds = 5;

    SignalMonitor(DtuSession &session, ActionDispatcher &dispatcher, QObject *parent = nullptr);

    // Clamped to kMinSeconds..kMaxSeconds; takes effect from the next wait.
    void SetIntervalSeconds(int seconds);
    int IntervalSeconds() const { return intervalMs_ / 1000; }
    // Tests poll faster than a person would.
    void SetIntervalMs(int ms) { intervalMs_ = ms; }

    // The first poll runs as soon as the event loop turns.
    void Start();
    void Stop();
    bool IsRunning() const { return running_; }
    // True while a poll's exchange runs: the window then queues a press
    // instead of refusing it.
    bool Polling() const { return dispatcher_.Polling(); }
    const SignalHistory &History() const { return history_; }

signals:
    // A poll ended: CSQ as read (99 and out-of-range values included), or -1
    // when the device gave no usable answer.
    void reading(int csq);
    // Polling ended by itself; reason says why.
    void stopped(const QString &reason);

private:
    void Poll();
    // Whether a poll is still wanted, checked again when its turn comes: the
    // channel may have closed while it waited.
    bool Due();
    void Read();
    void Record();
    void StopBecause(const QString &reason);

    DtuSession &session_;
    ActionDispatcher &dispatcher_;
    ScheduledTimer timer_;
    int intervalMs_ = kDefaultSeconds * 1000;
    bool running_ = false;
    int csq_ = -1;     // what the last poll read,
    QString failure_;  // or why it failed
    SignalHistory history_;
};
