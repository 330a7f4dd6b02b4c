#include "sim/PtyServer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

PtyServer::PtyServer(SimDevice &device)
    : link_(device, [this](const QByteArray &bytes) {
          pending_ += bytes;
          Flush();
      })
{
}

PtyServer::~PtyServer()
{
    readNotifier_.reset();
    writeNotifier_.reset();
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PtyServer::Open(QString *error)
{
    const auto failed = [error](const char *what) {
        *error = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return failed("posix_openpt");
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        return failed("grantpt/unlockpt");
    const char *name = ::ptsname(master_);
    if (!name)
        return failed("ptsname");
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY);
    if (slave_ < 0)
        return failed("open slave");
    // Raw: no echo of our answers back to us, no CR/LF rewriting, no flow
    // control characters taken out of binary frames.
    termios tio{};
    if (::tcgetattr(slave_, &tio) != 0)
        return failed("tcgetattr");
    ::cfmakeraw(&tio);
    if (::tcsetattr(slave_, TCSANOW, &tio) != 0)
        return failed("tcsetattr");
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    QObject::connect(readNotifier_.get(), &QSocketNotifier::activated, [this] { ReadMaster(); });
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    QObject::connect(writeNotifier_.get(), &QSocketNotifier::activated, [this] { Flush(); });
    return true;
}

void PtyServer::ReadMaster()
{
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: all read
    }
    if (!received.isEmpty())
        link_.Received(received);
}

void PtyServer::Flush()
{
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), static_cast<size_t>(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break; // full: wait until the line drains
        pending_.clear(); // the line is gone; nothing can be delivered
    }
    writeNotifier_->setEnabled(!pending_.isEmpty());
}
