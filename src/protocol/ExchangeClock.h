#pragma once
#include <QtGlobal>

// Time as the reply collector sees it. The real clock waits while the event
// loop runs, so the window stays responsive; tests use a virtual clock that
// runs a 3000 ms time-out in microseconds.
class ExchangeClock {
public:
    virtual ~ExchangeClock() = default;
    // Waits ms milliseconds (the real clock handles window events meanwhile).
    virtual void Sleep(int ms) = 0;
    // Handles every pending window event.
    virtual void ProcessEvents() = 0;
    virtual qint64 NowMs() const = 0;
};

class RealClock : public ExchangeClock {
public:
    void Sleep(int ms) override;
    void ProcessEvents() override;
    qint64 NowMs() const override;
};
