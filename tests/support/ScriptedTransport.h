#pragma once
#include "channel/Transport.h"
#include "core/Scheduler.h"

#include <QList>
#include <functional>

// A device on a virtual clock: bytes scheduled at virtual times become
// readable once the clock has reached them. Records everything written.
// An optional responder answers each write by scheduling bytes.
class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(const Scheduler &clock) : clock_(clock) {}

    bool open = true;
    QList<QByteArray> written;
    // Called for each write with the bytes; may call Schedule.
    std::function<void(const QByteArray &)> responder;

    bool IsOpen() const override { return open; }
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
    }
    bool HasPending() const { return !pending_.isEmpty(); }

private:
    struct Item {
        qint64 at;
        QByteArray bytes;
    };
    const Scheduler &clock_;
    QList<Item> pending_;
};
