#pragma once
// A loopback TCP port where a connection is refused, and stays so for as
// long as the object lives: the port is bound and never listened on, so no
// other program (another test's simulated device among them) can take it
// meanwhile. A port merely closed after use is soon handed to someone else.
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

class RefusingPort {
public:
    RefusingPort()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr *>(&address), size) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RefusingPort(const RefusingPort &) = delete;
    RefusingPort &operator=(const RefusingPort &) = delete;

    // 0 when no port could be bound.
    quint16 Port() const { return port_; }
    QString Text() const { return port_ ? QString::number(port_) : QString(); }

private:
    int fd_ = -1;
    quint16 port_ = 0;
};
