#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread that fires a callback when an armed deadline passes without being
// disarmed. The script host uses it to interrupt an engine stuck in a loop.
class ScriptWatchdog {
public:
    explicit ScriptWatchdog(std::function<void()> onExpire);
    ~ScriptWatchdog();

    void Arm(int ms);
    // Returns true when the deadline had already fired.
    bool Disarm();

private:
    void Run();

    std::function<void()> onExpire_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool fired_ = false;
    bool quit_ = false;
    std::thread thread_;
};
