#pragma once
#include <QByteArray>

#include <functional>

class Transport;

// The three channel operations every device action uses. While the TCP
// connection is active it carries all traffic; otherwise the open serial
// port does; otherwise nothing is sent and nothing is read.
class DataChannel {
public:
    void SetTcp(Transport *tcp) { tcp_ = tcp; }
    void SetSerial(Transport *serial) { serial_ = serial; }

    bool ChannelIsOpen() const { return Active() != nullptr; }
    void ChannelWrite(const QByteArray &bytes);
    // True when at least one byte was returned; zero bytes stay in the string.
    bool ChannelRead(QByteArray *bytes);
    // Whether the transport in use calls the arrival hook when bytes come in.
    bool TellsArrival() const;
    // Called as bytes come in on either transport (those that tell); empty
    // removes it. Set for the duration of a wait; the transports set later
    // do not get it.
    void SetArrivalHook(const std::function<void()> &hook);

private:
    Transport *Active() const;
    Transport *tcp_ = nullptr;
    Transport *serial_ = nullptr;
};
