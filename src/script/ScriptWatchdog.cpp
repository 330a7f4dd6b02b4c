#include "script/ScriptWatchdog.h"

ScriptWatchdog::ScriptWatchdog(std::function<void()> onExpire)
    : onExpire_(std::move(onExpire)), thread_([this] { Run(); })
{
}

ScriptWatchdog::~ScriptWatchdog()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    cv_.notify_all();
    thread_.join();
}

void ScriptWatchdog::Arm(int ms)
{
    {
        std::lock_guard lock(mutex_);
        deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        armed_ = true;
        fired_ = false;
    }
    cv_.notify_all();
}

bool ScriptWatchdog::Disarm()
{
    std::lock_guard lock(mutex_);
    armed_ = false;
    return fired_;
}

void ScriptWatchdog::Run()
{
    std::unique_lock lock(mutex_);
    while (!quit_) {
        if (!armed_) {
            cv_.wait(lock);
            continue;
        }
        if (cv_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_
            && std::chrono::steady_clock::now() >= deadline_) {
            armed_ = false;
            fired_ = true;
            onExpire_();
        }
    }
}
