#include "core/ScheduledTimer.h"

void ScheduledTimer::Start()
{
    Stop();
    id_ = scheduler_.Arm(interval_, [this] { Fired(); }, !singleShot_);
}

void ScheduledTimer::Stop()
{
    if (id_ == 0)
        return;
    scheduler_.Cancel(id_);
    id_ = 0;
}

void ScheduledTimer::Fired()
{
    if (singleShot_)
        id_ = 0; // fired: inactive, and the callback may start it again
    // A copy: the callback may destroy this timer with its owner.
    const std::function<void()> fn = fn_;
    if (fn)
        fn();
}
