#include "ops/SignalMonitor.h"

#include "core/DtuError.h"
#include "ops/DeviceCommands.h"
#include "session/DtuSession.h"

#include <algorithm>

SignalMonitor::SignalMonitor(DtuSession &session, ActionDispatcher &dispatcher, QObject *parent)
    : QObject(parent), session_(session), dispatcher_(dispatcher), timer_(session.scheduler)
{
    timer_.SetSingleShot(true);
    timer_.OnTimeout([this] { Poll(); });
}

void SignalMonitor::SetIntervalSeconds(int seconds)
{
    intervalMs_ = std::clamp(seconds, kMinSeconds, kMaxSeconds) * 1000;
}

void SignalMonitor::Start()
{
    if (running_)
        return;
    running_ = true;
    timer_.Start(0);
}

void SignalMonitor::Stop()
{
    running_ = false;
    dispatcher_.Withdraw(ActionDispatcher::Kind::Poll);
    timer_.Stop();
}

void SignalMonitor::StopBecause(const QString &reason)
{
    Stop();
    emit stopped(reason);
}

void SignalMonitor::Poll()
{
    if (!Due())
        return;
    // Runs now, or once the action that runs has ended (a poll that fell due
    // during another action); a press during the poll waits for its end.
    dispatcher_.Submit({ActionDispatcher::Kind::Poll, [this] { Read(); }, [this] { return Due(); },
                        [this] { Record(); }});
}

bool SignalMonitor::Due()
{
    if (!running_)
        return false;
    if (!session_.channel.ChannelIsOpen()) {
        StopBecause(DtuSession::ChannelClosedText());
        return false;
    }
    return true;
}

void SignalMonitor::Read()
{
    csq_ = -1;
    failure_.clear();
    try {
        const CommandOutcome signal = DeviceCommands::QuerySignal(session_);
        csq_ = signal.Ok() ? signal.value : -1;
    } catch (const DtuError &error) {
        failure_ = error.text();
    }
}

void SignalMonitor::Record()
{
    if (!failure_.isEmpty()) {
        StopBecause(failure_);
        return;
    }
    history_.Add(session_.scheduler.NowMs(), csq_);
    emit reading(csq_);
    if (running_)
        timer_.Start(intervalMs_);
}

#include "moc_SignalMonitor.cpp"
