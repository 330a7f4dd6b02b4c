#pragma once
#include "core/Scheduler.h"

#include <QString>
#include <functional>

// A timer on a scheduler, shaped like QTimer: an interval, single shot or
// repeating, start (which restarts), stop. It stops when destroyed, so its
// callback never outlives its owner.
class ScheduledTimer {
public:
    explicit ScheduledTimer(Scheduler &scheduler, QString name = {}) : scheduler_(scheduler), name_(std::move(name)) {}
    ~ScheduledTimer() { Stop(); }
    ScheduledTimer(const ScheduledTimer &) = delete;
    ScheduledTimer &operator=(const ScheduledTimer &) = delete;

    void OnTimeout(std::function<void()> fn) { fn_ = std::move(fn); }
    void SetInterval(int ms) { interval_ = ms; }
    int Interval() const { return interval_; }
    void SetSingleShot(bool singleShot) { singleShot_ = singleShot; }

    // Starts, or starts again, with the interval set.
    void Start();
    // Sets the interval and starts.
    void Start(int ms)
    {
        interval_ = ms;
        Start();
    }
    void Stop();
    bool IsActive() const { return id_ != 0; }

    const QString &Name() const { return name_; }

private:
    void Fired();

    Scheduler &scheduler_;
    QString name_;
    std::function<void()> fn_;
    int interval_ = 0;
    bool singleShot_ = false;
    Scheduler::TimerId id_ = 0;
};
