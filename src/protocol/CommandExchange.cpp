#include "protocol/CommandExchange.h"

#include "core/AppState.h"
#include "core/DtuError.h"
#include "core/Frontend.h"
#include "core/Scheduler.h"
#include "channel/DataChannel.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "protocol/TransactionResult.h"
#include "script/ScriptHost.h"

#include <QCoreApplication>
#include <QScopeGuard>

namespace {
constexpr int kPollMs = 10;
// A reply ends once the channel stayed silent through kQuietPolls polls
// after the last byte, and is read at the next: 410 ms after it.
constexpr int kQuietMs = (CommandExchange::kQuietPolls + 1) * kPollMs;

// For the duration of a wait: notes when bytes come in on a transport that
// tells, and wakes the wait. The hook is removed however the wait ends.
class ArrivalWatch {
public:
    ArrivalWatch(DataChannel &channel, Scheduler &clock) : channel_(channel), clock_(clock)
    {
        channel_.SetArrivalHook([this] {
            if (!noticed_) {
                noticed_ = true;
                at_ = clock_.NowMs();
            }
            clock_.Wake();
        });
    }
    ~ArrivalWatch() { channel_.SetArrivalHook({}); }

    // When the bytes just read came in: when the transport told of them,
    // else now (a transport that does not tell is noticed by reading). The
    // next bytes are timed afresh.
    qint64 TakeArrival()
    {
        const qint64 at = noticed_ ? at_ : clock_.NowMs();
        noticed_ = false;
        return at;
    }

private:
    DataChannel &channel_;
    Scheduler &clock_;
    bool noticed_ = false;
    qint64 at_ = 0;
};
} // namespace

QByteArray CommandExchange::BuildFrame(quint16 word, const QByteArray &data)
{
    commandPrefix_ = HexToBytes(script_.Eval(QStringLiteral("PrevCmd();")));
    const QByteArray frame = FrameCodec::Assemble(word, commandPrefix_, data);
    if (frame.isEmpty())
        throw DtuError(QCoreApplication::translate("CommandExchange", "数据过长，无法组成一帧（最多%1字节）")
                           .arg(FrameCodec::kMaxPayload));
    if (state_.TraceOn())
        frontend_.AppendTrace(QCoreApplication::translate("Trace", "下行：") + BytesToSpacedHex(frame));
    return frame;
}

bool CommandExchange::HoldsCompleteFrame(const QByteArray &bytes) const
{
    const QByteArray located = FrameCodec::Locate(bytes);
    return FrameCodec::HasHeader(located) && FrameCodec::ChecksumByLength(located);
}

void CommandExchange::WaitUntil(qint64 deadline)
{
    const qint64 left = qMax(qint64(0), deadline - clock_.NowMs());
    // A transport that tells of its bytes wakes the wait: it sleeps to the
    // deadline, looking at the channel only now and then in case a wake went
    // astray. Any other is read every kPollMs.
    if (channel_.TellsArrival())
        clock_.SleepUntilWoken(int(qMin(left, qint64(kSafetyPollMs))));
    else
        clock_.Sleep(int(qMin(left, qint64(kPollMs))));
}

QByteArray CommandExchange::ReceiveReply(int firstByteTimeoutMs)
{
    // A second reader would steal this reply: a nested wait gets nothing.
    if (waiting_)
        return {};
    // The poller is off for the wait, and on again however the wait ends.
    waiting_ = true;
    if (pollerSwitch_)
        pollerSwitch_(false);
    const auto resume = qScopeGuard([this] {
        waiting_ = false;
        if (pollerSwitch_)
            pollerSwitch_(true);
    });
    ArrivalWatch arrival(channel_, clock_);
    lastReplyCut_ = false;

    QByteArray reply;
    QByteArray chunk;
    bool gotFirst = false;
    // A complete frame waiting before the first wait is left from an earlier
    // answer (the device cannot have answered yet). It gets no fast end, so
    // this request's answer joins it rather than passing for the next one's.
    bool leftOver = false;
    // Both waits end by a deadline on the clock, not by a count of polls:
    // a poll's timer that comes late (a busy machine, the timer's slack)
    // then stretches no wait, and a wake when bytes come ends it early.
    // The first-byte wait is whole polls long: below one poll there is none.
    const qint64 firstByteDeadline = clock_.NowMs() + firstByteTimeoutMs / kPollMs * kPollMs;
    qint64 firstAt = 0;
    for (bool firstRead = true; clock_.NowMs() < firstByteDeadline; firstRead = false) {
        if (state_.ClosingFlag)
            break;
        if (channel_.ChannelRead(&chunk)) {
            reply = chunk;
            gotFirst = true;
            firstAt = arrival.TakeArrival();
            leftOver = firstRead && fastCompletion_ && HoldsCompleteFrame(reply);
            break;
        }
        arrival.TakeArrival();
        WaitUntil(firstByteDeadline);
        clock_.ProcessEvents();
    }
    if (!gotFirst)
        return {};

    // Only bytes that keep coming trip a bound: a reply that falls silent
    // ends by the quiet gap as always. The rest of a cut reply stays in the
    // channel for the poller.
    auto overBound = [&] {
        return reply.size() >= maxReplyBytes_ || clock_.NowMs() - firstAt >= maxReplyMs_;
    };
    lastReplyCut_ = overBound();
    // The reply ends when the gap after its last byte reaches the quiet gap,
    // or, with fast completion, the short gap once it holds a whole frame.
    // The gap counts from when the bytes came, not from when they were read.
    qint64 lastByteAt = firstAt;
    bool complete = fastCompletion_ && !leftOver && HoldsCompleteFrame(reply);
    while (!state_.ClosingFlag && !lastReplyCut_) {
        const qint64 deadline = lastByteAt + (complete ? kFastQuietMs : kQuietMs);
        WaitUntil(deadline);
        if (channel_.ChannelRead(&chunk)) {
            reply += chunk;
            lastByteAt = arrival.TakeArrival();
            lastReplyCut_ = overBound();
            complete = fastCompletion_ && !leftOver && HoldsCompleteFrame(reply);
        } else if (clock_.NowMs() >= deadline) {
            break;
        } else {
            arrival.TakeArrival();
        }
        clock_.ProcessEvents();
    }

    if (state_.TraceOn())
        frontend_.AppendTrace(QCoreApplication::translate("Trace", "上行：") + BytesToSpacedHex(reply));
    return reply;
}

int CommandExchange::JudgeAck(const QByteArray &reply)
{
    if (reply.isEmpty())
        return TransactionResult::NoAnswer;
    const QByteArray frame = FrameCodec::Locate(reply);
    if (!FrameCodec::HasHeader(frame))
        return TransactionResult::NotAFrame;
    if (!FrameCodec::ChecksumByLength(frame))
        return TransactionResult::BadChecksum;
    if (FrameCodec::LengthField(frame) != 4)
        return TransactionResult::NoAnswer;
    const quint8 hi = static_cast<quint8>(frame[4]);
    const quint8 lo = static_cast<quint8>(frame[5]);
    if (hi == 0x00 && lo == 0xF0)
        return TransactionResult::Accepted;
    // 00 F1 refuses; an unknown code is no acceptance either.
    return TransactionResult::Refused;
}

QByteArray CommandExchange::Transact(quint16 word, const QByteArray &data, int firstByteTimeoutMs)
{
    // A frame sent during another exchange's wait would make the device's
    // answer part of that exchange's reply: a nested exchange sends nothing.
    if (waiting_)
        return {};
    const QByteArray frame = BuildFrame(word, data);
    channel_.ChannelWrite(frame);
    return ReceiveReply(firstByteTimeoutMs);
}
