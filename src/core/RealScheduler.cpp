#include "core/RealScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimerEvent>

// Receives the event loop's timer events for the scheduler. One object for
// all timers: arming one costs no allocation of a QTimer.
class RealScheduler::Host : public QObject {
public:
    explicit Host(RealScheduler &owner) : owner_(owner) {}

protected:
    void timerEvent(QTimerEvent *event) override { owner_.Fire(event->timerId()); }

private:
    RealScheduler &owner_;
};

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

RealScheduler::RealScheduler() : host_(std::make_unique<Host>(*this))
{
    clock_.start();
}

RealScheduler::~RealScheduler() = default;

Scheduler::TimerId RealScheduler::Start(int ms, Callback fn, bool repeat, Qt::TimerType type)
{
    // A repeating timer of 0 ms would fire at every turn of the loop.
    const int interval = qMax(repeat ? 1 : 0, ms);
    const TimerId id = nextId_++;
    const int qtId = host_->startTimer(interval, type);
    entries_[id] = Entry{qtId, repeat, std::make_shared<Callback>(std::move(fn))};
    byQtId_[qtId] = id;
    return id;
}

void RealScheduler::Cancel(TimerId id)
{
    const auto it = entries_.find(id);
    if (it == entries_.end())
        return;
    host_->killTimer(it->second.qtId);
    byQtId_.erase(it->second.qtId);
    entries_.erase(it);
}

void RealScheduler::Fire(int qtId)
{
    const auto byQt = byQtId_.find(qtId);
    if (byQt == byQtId_.end())
        return;
    const auto it = entries_.find(byQt->second);
    // Held here: the callback may cancel its own timer.
    const std::shared_ptr<Callback> fn = it->second.fn;
    if (!it->second.repeat)
        Cancel(it->first);
    (*fn)();
}

bool RealScheduler::Wait(int ms, bool wakeable)
{
    // Waits inside the event dispatcher rather than in a bare sleep: the
    // window repaints and sockets deliver data while a reply is awaited, and
    // no processor time is burnt. A precise timer, because the exchange
    // counts its deadlines in these waits.
    QEventLoop loop;
    Sleeper sleeper{&loop, false};
    if (wakeable)
        sleepers_.push_back(&sleeper);
    const TimerId id = Start(qMax(0, ms), [&loop] { loop.quit(); }, false, Qt::PreciseTimer);
    loop.exec();
    Cancel(id); // the loop may have been ended by someone else
    if (wakeable)
        sleepers_.pop_back();
    return sleeper.woken;
}

void RealScheduler::Wake()
{
    if (sleepers_.empty())
        return;
    Sleeper *innermost = sleepers_.back();
    innermost->woken = true;
    innermost->loop->quit();
}

void RealScheduler::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
