#pragma once
#include "core/Scheduler.h"

#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

// Time that moves only when told: Advance() moves it on and fires, in time
// order, every timer that falls due on the way (timers due at the same moment
// in the order they were armed; a timer armed by a callback fires in the same
// advance when it falls due within it). Sleep() is an advance, so a whole
// exchange with its time-outs runs in microseconds. For tests and fuzz
// targets.
//
// Paced, Sleep() also waits as long in real time inside the event loop
// first, and ProcessEvents() handles the event loop's events: for tests that
// talk to a real device (a simulator behind a pseudo-terminal), whose answers
// take real time, while the tool's timers still move only with its own waits
// and the test's advances.
class VirtualScheduler : public Scheduler {
public:
    explicit VirtualScheduler(qint64 startMs = 0) : now_(startMs) {}

    qint64 NowMs() const override { return now_; }
    TimerId Arm(int ms, Callback fn, bool repeat = false) override;
    void Cancel(TimerId id) override;
    void Sleep(int ms) override;
    // Advances like Sleep, but stops at the moment a callback calls Wake();
    // paced, the real wait is cut short as well and time moves on by what
    // passed of it.
    bool SleepUntilWoken(int ms) override;
    void Wake() override;
    void ProcessEvents() override;

    // Moves time on by ms (at least 0), firing the timers due on the way.
    void Advance(qint64 ms) { AdvanceTo(now_ + qMax<qint64>(0, ms), nullptr); }
    // Timers armed and not yet fired or cancelled.
    int ArmedCount() const { return int(due_.size()); }

    void SetPaced(bool paced) { paced_ = paced; }

private:
    using Key = std::pair<qint64, quint64>; // due time, order armed
    struct Entry {
        TimerId id = 0;
        int interval = 0;
        bool repeat = false;
        std::shared_ptr<Callback> fn;
    };
    // Fires the first timer when it is due by `until`; false when none is.
    bool FireFirst(qint64 until);
    // Advance up to `target`, stopping early once *stop is set.
    void AdvanceTo(qint64 target, const bool *stop);

    qint64 now_;
    bool paced_ = false;
    bool realWaitOpen_ = false; // a paced wakeable sleep is in its real wait
    quint64 order_ = 0;
    TimerId nextId_ = 1;
    std::map<Key, Entry> due_;
    std::unordered_map<TimerId, Key> keys_;
    std::vector<bool *> sleepers_; // the woken flags of the wakeable sleeps in progress, innermost last
};
