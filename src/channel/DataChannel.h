#pragma once
#include <QByteArray>

class Transport;

// The three channel operations every device action uses. While the TCP
// connection is active it carries all traffic; otherwise the open serial
// port does; otherwise nothing is sent and nothing is read.
class DataChannel {
public:
    void SetTcp(Transport *tcp) { tcp_ = tcp; }
    void SetSerial(Transport *serial) { serial_ = serial; }
    Transport *Tcp() const { return tcp_; }
    Transport *Serial() const { return serial_; }

    bool ChannelIsOpen() const;
    void ChannelWrite(const QByteArray &bytes);
    // True when at least one byte was returned; zero bytes stay in the string.
    bool ChannelRead(QByteArray *bytes);

private:
    Transport *Active() const;
    Transport *tcp_ = nullptr;
    Transport *serial_ = nullptr;
};
