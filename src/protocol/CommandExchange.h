#pragma once
#include <QByteArray>
#include <functional>

class AppState;
class DataChannel;
class Frontend;
class Scheduler;
class ScriptHost;

// One command exchange: build a frame, write it, collect the reply, judge it.
// Runs on the user interface thread; the clock keeps the window responsive
// while it waits. The receive poller is switched off for the wait so that it
// cannot take the reply.
class CommandExchange {
public:
    // First-byte time-outs of the readers.
    static constexpr int kAckTimeoutMs = 3000;
    static constexpr int kParamReadTimeoutMs = 3000;
    static constexpr int kDataTimeoutMs = 4000;
    static constexpr int kSignalTimeoutMs = 10000;
    // The reply ends after more than this many consecutive empty 10 ms polls.
    static constexpr int kQuietPolls = 40;
    // Fast completion: a complete valid frame ends the reply after this gap.
    static constexpr int kFastQuietMs = 30;
    // A wait on a transport that wakes it when bytes come still looks at the
    // channel this often, in case a wake goes astray.
    static constexpr int kSafetyPollMs = 100;
    // Bounds on one reply. Every byte restarts the quiet gap, so a device
    // that keeps sending would otherwise hold the exchange (and the channel)
    // for ever. Real replies are a few hundred bytes and end within a second.
    static constexpr qsizetype kMaxReplyBytes = 64 * 1024;
    static constexpr int kMaxReplyMs = 15000; // counted from the first byte

    CommandExchange(AppState &state, ScriptHost &script, DataChannel &channel, Frontend &frontend, Scheduler &clock)
        : state_(state), script_(script), channel_(channel), frontend_(frontend), clock_(clock)
    {
    }

    // Called with false when a wait begins and true when it ends.
    void SetPollerSwitch(std::function<void(bool)> pollerSwitch) { pollerSwitch_ = std::move(pollerSwitch); }
    // Opt-in: end a reply shortly after it holds a complete, valid frame.
    void SetFastCompletion(bool on) { fastCompletion_ = on; }
    bool FastCompletion() const { return fastCompletion_; }
    // Narrower bounds for tests that cannot wait 15 s of real time.
    void SetReplyBounds(qsizetype maxBytes, int maxMs) { maxReplyBytes_ = maxBytes; maxReplyMs_ = maxMs; }
    // Whether the last reply was cut by a bound instead of ending in silence.
    bool LastReplyCut() const { return lastReplyCut_; }

    // The command prefix of the last frame built (from the script's PrevCmd()).
    const QByteArray &CommandPrefix() const { return commandPrefix_; }

    // Evaluates PrevCmd(), assembles the frame and writes the "下行：" trace at
    // level 1. Throws ScriptError, or DtuError for a frame too long to build.
    QByteArray BuildFrame(quint16 word, const QByteArray &data);
    // Collects one reply: the first byte within firstByteTimeoutMs, then
    // everything until about 410 ms of silence. Empty when nothing came.
    QByteArray ReceiveReply(int firstByteTimeoutMs);
    // Collects and judges an acknowledgement: 0, -1, -2, -3 or -4.
    int AwaitAck() { return JudgeAck(ReceiveReply(kAckTimeoutMs)); }
    // Judges collected bytes as an acknowledgement.
    static int JudgeAck(const QByteArray &reply);

    // Build, write, and collect the reply.
    QByteArray Transact(quint16 word, const QByteArray &data, int firstByteTimeoutMs);
    // Build, write, and judge the acknowledgement.
    int SetTypeExchange(quint16 word, const QByteArray &data) { return JudgeAck(Transact(word, data, kAckTimeoutMs)); }

    bool Waiting() const { return waiting_; }

private:
    bool HoldsCompleteFrame(const QByteArray &bytes) const;
    // Sleeps towards deadline: to it, or until bytes come, on a transport that
    // tells of them (looking again after kSafetyPollMs at most); else one poll.
    void WaitUntil(qint64 deadline);

    AppState &state_;
    ScriptHost &script_;
    DataChannel &channel_;
    Frontend &frontend_;
    Scheduler &clock_;
    std::function<void(bool)> pollerSwitch_;
    QByteArray commandPrefix_;
    bool fastCompletion_ = false;
    bool waiting_ = false;
    qsizetype maxReplyBytes_ = kMaxReplyBytes;
    int maxReplyMs_ = kMaxReplyMs;
    bool lastReplyCut_ = false;
};
