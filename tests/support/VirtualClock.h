#pragma once
#include "protocol/ExchangeClock.h"

#include <functional>

// Time that passes only when the exchange sleeps: a 3000 ms time-out runs in
// microseconds. onEvents runs at each ProcessEvents, as window events would.
class VirtualClock : public ExchangeClock {
public:
    void Sleep(int ms) override { now_ += ms; }
    void ProcessEvents() override
    {
        ++eventRounds;
        if (onEvents)
            onEvents();
    }
    qint64 NowMs() const override { return now_; }
    void Advance(qint64 ms) { now_ += ms; }

    std::function<void()> onEvents;
    int eventRounds = 0;

private:
    qint64 now_ = 0;
};
