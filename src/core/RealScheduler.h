#pragma once
#include "core/Scheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <memory>
#include <unordered_map>
#include <vector>

class QEventLoop;

// The scheduler on the event loop: its timers are the event loop's, its time
// is a monotonic clock, and Sleep runs a local event loop.
class RealScheduler : public Scheduler {
public:
    RealScheduler();
    ~RealScheduler() override;

    qint64 NowMs() const override { return clock_.elapsed(); }
    TimerId Arm(int ms, Callback fn, bool repeat = false) override
    {
        return Start(ms, std::move(fn), repeat, Qt::CoarseTimer);
    }
    void Cancel(TimerId id) override;
    void Sleep(int ms) override { Wait(ms, false); }
    bool SleepUntilWoken(int ms) override { return Wait(ms, true); }
    void Wake() override;
    void ProcessEvents() override;

private:
    class Host;
    struct Entry {
        int qtId = 0;
        bool repeat = false;
        std::shared_ptr<Callback> fn;
    };
    TimerId Start(int ms, Callback fn, bool repeat, Qt::TimerType type);
    void Fire(int qtId);
    // Sleep, and with wakeable, SleepUntilWoken.
    bool Wait(int ms, bool wakeable);
    struct Sleeper {
        QEventLoop *loop = nullptr;
        bool woken = false;
    };

    QElapsedTimer clock_;
    std::unique_ptr<Host> host_;
    std::unordered_map<TimerId, Entry> entries_;
    std::unordered_map<int, TimerId> byQtId_;
    TimerId nextId_ = 1;
    std::vector<Sleeper *> sleepers_; // the wakeable sleeps in progress, innermost last
};
