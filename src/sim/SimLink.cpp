#include "sim/SimLink.h"

SimLink::SimLink(SimDevice &device, Writer writer)
    : device_(device), writer_(std::move(writer))
{
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
        idleTimer_.start();
    else
        idleTimer_.stop();
    if (wasIdle && !queue_.isEmpty())
        sendTimer_.start(queue_.first().delayMs);
}

void SimLink::SendNext()
{
    if (queue_.isEmpty())
        return;
    writer_(queue_.takeFirst().bytes);
    if (!queue_.isEmpty())
        sendTimer_.start(queue_.first().delayMs);
}

void SimLink::Reset()
{
    queue_.clear();
    sendTimer_.stop();
    idleTimer_.stop();
    device_.DropPartial();
}
