#include "support/VirtualScheduler.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QtGlobal>

namespace {
// A callback that arms itself again at once would spin for ever.
constexpr quint64 kMaxFiringsPerAdvance = 10'000'000;
}

Scheduler::TimerId VirtualScheduler::Arm(int ms, Callback fn, bool repeat)
{
    const int interval = qMax(repeat ? 1 : 0, ms);
    const TimerId id = nextId_++;
    const Key key{now_ + interval, order_++};
    due_[key] = Entry{id, interval, repeat, std::make_shared<Callback>(std::move(fn))};
    keys_[id] = key;
    return id;
}

void VirtualScheduler::Cancel(TimerId id)
{
    const auto it = keys_.find(id);
    if (it == keys_.end())
        return;
    due_.erase(it->second);
    keys_.erase(it);
}

bool VirtualScheduler::FireFirst(qint64 until)
{
    if (due_.empty() || due_.begin()->first.first > until)
        return false;
    auto first = due_.begin();
    // A callback that slept may have moved time past this one: it fires late, as on the real clock.
    now_ = qMax(now_, first->first.first);
    Entry entry = std::move(first->second);
    due_.erase(first);
    if (entry.repeat) {
        const Key next{now_ + entry.interval, order_++};
        keys_[entry.id] = next;
        due_[next] = entry;
    } else {
        keys_.erase(entry.id);
    }
    (*entry.fn)();
    return true;
}

void VirtualScheduler::AdvanceTo(qint64 target, const bool *stop)
{
    quint64 fired = 0;
    while (!(stop && *stop) && FireFirst(target))
        if (++fired > kMaxFiringsPerAdvance)
            qFatal("VirtualScheduler: timers keep firing without time passing");
    if (!(stop && *stop))
        now_ = qMax(now_, target);
}

void VirtualScheduler::Sleep(int ms)
{
    if (paced_)
        Scheduler::Real().Sleep(ms);
    Advance(ms);
}

bool VirtualScheduler::SleepUntilWoken(int ms)
{
    bool woken = false;
    qint64 span = qMax(0, ms);
    sleepers_.push_back(&woken);
    if (paced_) {
        // Woken by an event of the real wait (bytes from a real device):
        // time moves on by as much as passed of it.
        QElapsedTimer real;
        real.start();
        const bool outerRealWait = realWaitOpen_;
        realWaitOpen_ = true;
        Scheduler::Real().SleepUntilWoken(ms);
        realWaitOpen_ = outerRealWait;
        if (woken)
            span = qMin(span, real.elapsed());
    }
    // A timer's callback that wakes the sleep stops time where it fired.
    const bool wokenAlready = woken;
    AdvanceTo(now_ + span, wokenAlready ? nullptr : &woken);
    sleepers_.pop_back();
    return woken;
}

void VirtualScheduler::Wake()
{
    if (sleepers_.empty())
        return;
    *sleepers_.back() = true;
    if (realWaitOpen_)
        Scheduler::Real().Wake();
}

void VirtualScheduler::ProcessEvents()
{
    if (paced_)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
