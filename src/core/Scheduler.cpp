#include "core/Scheduler.h"

#include "core/RealScheduler.h"

namespace {
Scheduler *installed = nullptr;
}

Scheduler &Scheduler::Real()
{
    static RealScheduler real;
    return real;
}

Scheduler &Scheduler::Default()
{
    return installed ? *installed : Real();
}

void Scheduler::SetDefault(Scheduler *scheduler)
{
    installed = scheduler;
}
