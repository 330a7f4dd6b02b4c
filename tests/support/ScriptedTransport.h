#pragma once
#include "channel/Transport.h"
#include "core/Scheduler.h"

#include <QList>
#include <functional>

// A device on a virtual clock: bytes scheduled at virtual times become
// readable once the clock has reached them. Records everything written.
// An optional responder answers each write by scheduling bytes.
//
// By default it says nothing when bytes come, like a line that must be read
// to be noticed. With `tells`, it calls the arrival hook at each scheduled
// byte's time, as a serial port or socket does; `wakeLost` then keeps
// claiming so but never calls it.
class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(Scheduler &clock) : clock_(clock) {}
    ~ScriptedTransport() override
    {
        for (Scheduler::TimerId id : arrivals_)
            clock_.Cancel(id);
    }

    bool open = true;
    QList<QByteArray> written;
    // Called for each write with the bytes; may call Schedule.
    std::function<void(const QByteArray &)> responder;
    bool tells = false;
    bool wakeLost = false;
    // The clock's time at each read that returned bytes.
    QList<qint64> readAt;

    bool IsOpen() const override { return open; }
    bool TellsArrival() const override { return tells; }
    void Write(const QByteArray &bytes) override
    {
        written << bytes;
        if (responder)
            responder(bytes);
    }
    QByteArray ReadAvailable() override
    {
        QByteArray out;
        while (!pending_.isEmpty() && pending_.front().at <= clock_.NowMs())
            out += pending_.takeFirst().bytes;
        if (!out.isEmpty())
            readAt << clock_.NowMs();
        return out;
    }
    // Makes bytes readable delayMs after the clock's present time.
    void Schedule(qint64 delayMs, const QByteArray &bytes)
    {
        Item item{clock_.NowMs() + delayMs, bytes};
        int i = 0;
        while (i < pending_.size() && pending_[i].at <= item.at)
            ++i;
        pending_.insert(i, item);
        if (tells && !wakeLost)
            arrivals_ << clock_.Arm(int(delayMs), [this] { BytesArrived(); });
    }
    bool HasPending() const { return !pending_.isEmpty(); }

private:
    struct Item {
        qint64 at;
        QByteArray bytes;
    };
    Scheduler &clock_;
    QList<Item> pending_;
    QList<Scheduler::TimerId> arrivals_;
};
