#include "sim/SimLink.h"

SimLink::SimLink(SimDevice &device, Writer writer, Scheduler *scheduler)
    : device_(device), writer_(std::move(writer))
{
    if (scheduler) {
        sendOn_ = std::make_unique<ScheduledTimer>(*scheduler);
        sendOn_->SetSingleShot(true);
        sendOn_->OnTimeout([this] { SendNext(); });
        idleOn_ = std::make_unique<ScheduledTimer>(*scheduler);
        idleOn_->SetSingleShot(true);
        idleOn_->SetInterval(kPartialFrameTimeoutMs);
        idleOn_->OnTimeout([this] { device_.DropPartial(); });
        return;
    }
    sendTimer_.setSingleShot(true);
    sendTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&sendTimer_, &QTimer::timeout, [this] { SendNext(); });
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(kPartialFrameTimeoutMs);
    QObject::connect(&idleTimer_, &QTimer::timeout, [this] { device_.DropPartial(); });
}

void SimLink::Received(const QByteArray &bytes)
{
    const bool wasIdle = queue_.isEmpty();
    queue_ += device_.Feed(bytes);
    if (device_.HasPartial())
        StartIdle();
    else
        StopIdle();
    if (wasIdle && !queue_.isEmpty())
        StartSend(queue_.first().delayMs);
}

void SimLink::SendNext()
{
    if (queue_.isEmpty())
        return;
    writer_(queue_.takeFirst().bytes);
    if (!queue_.isEmpty())
        StartSend(queue_.first().delayMs);
}

void SimLink::Reset()
{
    queue_.clear();
    StopSend();
    StopIdle();
    device_.DropPartial();
}

void SimLink::StartSend(int ms)
{
    if (sendOn_)
        sendOn_->Start(ms);
    else
        sendTimer_.start(ms);
}

void SimLink::StopSend()
{
    if (sendOn_)
        sendOn_->Stop();
    else
        sendTimer_.stop();
}

void SimLink::StartIdle()
{
    if (idleOn_)
        idleOn_->Start();
    else
        idleTimer_.start();
}

void SimLink::StopIdle()
{
    if (idleOn_)
        idleOn_->Stop();
    else
        idleTimer_.stop();
}
