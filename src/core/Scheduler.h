#pragma once
#include <QtGlobal>
#include <functional>

// Time for everything of the library that waits or repeats: the reply wait
// of an exchange, the receive poller, the signal monitor's polls, the port
// watcher's looks, the TCP connect limit, the fleet's durations. The real
// scheduler (RealScheduler) runs on the event loop's timers; the tests' virtual
// one moves only when it is told to, so a test of a 5 s poll runs in
// microseconds and nothing depends on how busy the machine is.
class Scheduler {
public:
    using Callback = std::function<void()>;
    using TimerId = quint64; // 0 is no timer

    virtual ~Scheduler() = default;

    // Milliseconds on this scheduler's clock (only differences mean anything).
    virtual qint64 NowMs() const = 0;
    // Runs fn ms from now; with repeat, every ms until cancelled. Never returns 0.
    virtual TimerId Arm(int ms, Callback fn, bool repeat = false) = 0;
    // Forgets a timer; one that has fired (single shot), was cancelled, or 0 is ignored.
    virtual void Cancel(TimerId id) = 0;
    // Waits ms. Meanwhile the real scheduler runs the event loop, so the
    // window repaints, sockets deliver and other timers fire; a virtual one
    // fires the timers that fall due.
    virtual void Sleep(int ms) = 0;
    // Waits like Sleep, but ends early when Wake() is called meanwhile (by a
    // timer's callback or an event handled during the wait). True when woken.
    // A wait for something that can announce itself (bytes arriving) sleeps
    // to its deadline this way instead of waking to look again and again.
    virtual bool SleepUntilWoken(int ms) = 0;
    // Ends the innermost SleepUntilWoken in progress; outside one it does
    // nothing (a plain Sleep is never cut short).
    virtual void Wake() = 0;
    // Handles what is pending now (the real one: the event loop's events).
    virtual void ProcessEvents() = 0;

    // The process's real scheduler.
    static Scheduler &Real();
    // The scheduler a new session or fleet runner takes: the real one,
    // unless a test has put another in its place.
    static Scheduler &Default();
    // nullptr brings the real one back.
    static void SetDefault(Scheduler *scheduler);
};

// Puts a scheduler in the place of the default one for its lifetime.
class DefaultSchedulerScope {
public:
    explicit DefaultSchedulerScope(Scheduler &scheduler) { Scheduler::SetDefault(&scheduler); }
    ~DefaultSchedulerScope() { Scheduler::SetDefault(nullptr); }
    DefaultSchedulerScope(const DefaultSchedulerScope &) = delete;
    DefaultSchedulerScope &operator=(const DefaultSchedulerScope &) = delete;
};
