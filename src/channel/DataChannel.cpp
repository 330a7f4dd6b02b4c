#include "channel/DataChannel.h"

#include "channel/Transport.h"

Transport *DataChannel::Active() const
{
    if (tcp_ && tcp_->IsOpen())
        return tcp_;
    if (serial_ && serial_->IsOpen())
        return serial_;
    return nullptr;
}

void DataChannel::ChannelWrite(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    if (Transport *t = Active())
        t->Write(bytes);
}

bool DataChannel::ChannelRead(QByteArray *bytes)
{
    bytes->clear();
    if (Transport *t = Active())
        *bytes = t->ReadAvailable();
    return !bytes->isEmpty();
}

bool DataChannel::TellsArrival() const
{
    const Transport *t = Active();
    return t && t->TellsArrival();
}

void DataChannel::SetArrivalHook(const std::function<void()> &hook)
{
    if (tcp_)
        tcp_->SetArrivalHook(hook);
    if (serial_)
        serial_->SetArrivalHook(hook);
}
