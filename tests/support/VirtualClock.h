#pragma once
#include "support/VirtualScheduler.h"

#include <functional>

// The virtual scheduler as the unit tests use it: time passes only when an
// exchange sleeps or the test advances it, so a 3000 ms time-out runs in
// microseconds. onEvents runs at each ProcessEvents, as window events would.
class VirtualClock : public VirtualScheduler {
public:
    void ProcessEvents() override
    {
        ++eventRounds;
        VirtualScheduler::ProcessEvents();
        if (onEvents)
            onEvents();
    }

    std::function<void()> onEvents;
    int eventRounds = 0;
};
