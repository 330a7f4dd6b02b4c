#pragma once
#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

// The master side of a pseudo-terminal: the test plays the device there and
// the tool opens Slave() as its serial port. Non-blocking.
class PtyPeer {
public:
    PtyPeer()
    {
        fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd_ >= 0 && ::grantpt(fd_) == 0 && ::unlockpt(fd_) == 0)
            slave_ = QString::fromLocal8Bit(::ptsname(fd_));
    }
    ~PtyPeer() { Close(); }
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool Ok() const { return fd_ >= 0 && !slave_.isEmpty(); }
    int Fd() const { return fd_; }
    // The device path the tool opens, such as /dev/pts/3.
    QString Slave() const { return slave_; }
    // The device goes away: the tool's side hangs up.
    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }
    void Send(const QByteArray &bytes) const { QCOMPARE(::write(fd_, bytes.constData(), bytes.size()), bytes.size()); }
    // What the tool has sent so far, without waiting.
    QByteArray ReadAll() const
    {
        QByteArray all;
        char buffer[256];
        ssize_t n;
        while ((n = ::read(fd_, buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        return all;
    }
    // What the tool sends within waitMs; after data, only a short tail more.
    QByteArray Receive(int waitMs = 500) const
    {
        QByteArray out;
        QDeadlineTimer deadline(waitMs);
        do {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, waitMs > 0 ? 20 : 0) > 0 && (p.revents & POLLIN)) {
                const QByteArray got = ReadAll();
                out += got;
                if (waitMs > 0 && !got.isEmpty())
                    deadline = QDeadlineTimer(50);
            }
        } while (!deadline.hasExpired());
        return out;
    }

private:
    int fd_ = -1;
    QString slave_;
};
