#include "ops/SignalMonitor.h"

#include "core/DtuError.h"
#include "ops/DeviceCommands.h"
#include "session/ActionScope.h"

#include <QDateTime>
#include <algorithm>

SignalMonitor::SignalMonitor(DtuSession &session, QObject *parent)
    : QObject(parent), session_(session), nowMs_([] { return QDateTime::currentMSecsSinceEpoch(); })
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SignalMonitor::Poll);
    // A poll that fell due during another action runs once that one ends.
    connect(&session_, &DtuSession::actionRunningChanged, this, [this](bool running) {
        if (!running && dueAfterAction_ && running_) {
            dueAfterAction_ = false;
            timer_.start(0);
        }
    });
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
    dueAfterAction_ = false;
    timer_.start(0);
}

void SignalMonitor::Stop()
{
    running_ = false;
    dueAfterAction_ = false;
    timer_.stop();
}

void SignalMonitor::StopBecause(const QString &reason)
{
    Stop();
    emit stopped(reason);
}

void SignalMonitor::Poll()
{
    if (!running_)
        return;
    if (!session_.channel.ChannelIsOpen()) {
        StopBecause(DtuSession::ChannelClosedText());
        return;
    }
    if (session_.ActionRunning()) {
        dueAfterAction_ = true;
        return;
    }
    int csq = -1;
    QString failure;
    // Set before the action begins, so whoever watches the action's start
    // already knows it is a poll.
    polling_ = true;
    RunAction(session_, [&] {
        try {
            const CommandOutcome signal = DeviceCommands::QuerySignal(session_);
            csq = signal.Ok() ? signal.value : -1;
        } catch (const DtuError &error) {
            failure = error.text();
        }
    });
    polling_ = false;
    if (!failure.isEmpty()) {
        StopBecause(failure);
        return;
    }
    if (csq < 0)
        csq = -1;
    history_.Add(nowMs_(), csq);
    emit reading(csq);
    if (running_)
        timer_.start(intervalMs_);
}
