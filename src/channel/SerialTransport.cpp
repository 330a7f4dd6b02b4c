#include "channel/SerialTransport.h"

#include "core/DtuError.h"
#include "core/PortNames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

using SerialSettings::FrameFormat;
using SerialSettings::Parity;

SerialTransport::SerialTransport(QObject *parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::OnError);
    connect(&port_, &QSerialPort::readyRead, this, [this] { BytesArrived(); });
}

SerialTransport::~SerialTransport()
{
    StandIn(nullptr);
    Close();
}

bool SerialTransport::IsOpen() const
{
    if (line_)
        return lineOpen_ && line_->IsOpen();
    return port_.isOpen();
}

void SerialTransport::StandIn(Transport *line)
{
    Close();
    if (line_)
        line_->SetArrivalHook({});
    line_ = line;
    if (line_)
        line_->SetArrivalHook([this] {
            if (IsOpen())
                BytesArrived();
        });
}

void SerialTransport::Close()
{
    if (line_) {
        lineOpen_ = false;
        return;
    }
    if (port_.isOpen())
        port_.close();
}

bool SerialTransport::Open(const QString &name, const QString &speedText, const QString &formatText)
{
    Close();
    failureReason_.clear();
    const qint32 speed = SerialSettings::SpeedFromText(speedText);
    format_ = SerialSettings::ApplyFormat(formatText, format_);

    devicePath_ = PortNames::DevicePath(name);
    openedName_ = name;
    if (line_) {
        lineOpen_ = line_->IsOpen();
        return lineOpen_;
    }
    port_.setPortName(PortNames::DeviceFromName(name));
    // Non-standard speeds (14400, 28800, 33600, 76800) go to the driver as
    // they are; on Linux QSerialPort sets them through termios2.
    port_.setBaudRate(speed);
    port_.setDataBits(format_.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    port_.setParity(format_.parity == Parity::Even  ? QSerialPort::EvenParity
                    : format_.parity == Parity::Odd ? QSerialPort::OddParity
                                                    : QSerialPort::NoParity);
    port_.setStopBits(format_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);

    // QSerialPort opens exclusively (TIOCEXCL and a lock file).
    if (!port_.open(QIODevice::ReadWrite)) {
        failureReason_ = Diagnose(name);
        port_.clearError();
        return false;
    }
    // The device must not see RTS or DTR. A pseudo-terminal has no modem
    // lines and refuses these; that is harmless and must not fail the open.
    port_.setRequestToSend(false);
    port_.setDataTerminalReady(false);
    port_.clear(QSerialPort::AllDirections);
    port_.clearError();
    return true;
}

QString SerialTransport::Diagnose(const QString &name) const
{
    const QString path = PortNames::DevicePath(name);
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    if (::access(native.constData(), F_OK) != 0)
        return QCoreApplication::translate("SerialTransport",
                                           "系统里没有这个串口（%1），请检查串口名是否写对、USB转串口线是否插好")
            .arg(path);
    if (::access(native.constData(), R_OK | W_OK) != 0)
        return QCoreApplication::translate("SerialTransport",
                                           "没有使用%1的权限，请把当前用户加入dialout组"
                                           "（sudo usermod -aG dialout 用户名），然后重新登录")
            .arg(path);
    if (port_.error() == QSerialPort::PermissionError)
        return QCoreApplication::translate("SerialTransport", "串口%1正被其他程序占用，请先关闭占用它的程序").arg(name);
    return QCoreApplication::translate("SerialTransport", "串口打不开（%1）").arg(port_.errorString());
#else
    switch (port_.error()) {
    case QSerialPort::DeviceNotFoundError:
        return QCoreApplication::translate("SerialTransport",
                                           "系统里没有这个串口（%1），请检查串口号是否写对、USB转串口线是否插好")
            .arg(path);
    case QSerialPort::PermissionError:
        return QCoreApplication::translate("SerialTransport", "串口%1正被其他程序占用，或者没有使用它的权限").arg(name);
    default:
        return QCoreApplication::translate("SerialTransport", "串口打不开（%1）").arg(port_.errorString());
    }
#endif
}

void SerialTransport::OnError(QSerialPort::SerialPortError error)
{
    // Write errors surface where the bytes are moved; a pty refusing the
    // modem lines and time-outs are harmless.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError)
        return;
    // The device went away (adapter unplugged, pty closed): close once,
    // quietly; the port can be opened again later. So is a read that finds
    // the line hung up (the pty's other side closed) or the device node
    // gone, whatever stale reason the port gives ("File exists").
    if (error == QSerialPort::ResourceError || LineHungUp() || DeviceGone()) {
        if (CloseAfterError())
            emit lost();
        return;
    }
    // The port keeps signalling a failing read, so an open port would spin
    // on it while nothing arrives: close it and say why, once.
    const QString reason = port_.errorString();
    if (CloseAfterError())
        emit readFailed(reason);
}

bool SerialTransport::LineHungUp()
{
#ifdef Q_OS_UNIX
    if (!port_.isOpen())
        return false;
    pollfd line{static_cast<int>(port_.handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    return false;
#endif
}

bool SerialTransport::DeviceGone() const
{
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(devicePath_).constData(), F_OK) != 0;
#else
    return false; // COM names are no files to look for
#endif
}

bool SerialTransport::CloseAfterError()
{
    if (!port_.isOpen() || closingAfterError_)
        return false;
    closingAfterError_ = true;
    port_.close();
    port_.clearError();
    closingAfterError_ = false;
    return true;
}

void SerialTransport::Write(const QByteArray &bytes)
{
    if (line_) {
        if (IsOpen() && !bytes.isEmpty())
            line_->Write(bytes);
        return;
    }
    if (!port_.isOpen() || bytes.isEmpty())
        return;
    QElapsedTimer clock;
    clock.start();
    qsizetype done = 0;
    while (done < bytes.size() && port_.isOpen()) {
        const qsizetype piece = qMin<qsizetype>(kQueueBytes, bytes.size() - done);
        const qint64 taken = port_.write(bytes.constData() + done, piece);
        if (taken < 0)
            throw DtuError(port_.errorString());
        done += taken;
        // Each piece waits until the port has taken it, bounded by its own
        // time-out and by what is left of the whole write's limit.
        while (port_.isOpen() && port_.bytesToWrite() > 0) {
            const qint64 left = kWriteLimitMs - clock.elapsed();
            if (left <= 0)
                break;
            const int wait = int(qMin<qint64>(left, kWritePerByteMs * piece + kWriteConstantMs));
            if (!port_.waitForBytesWritten(wait)) {
                if (port_.error() == QSerialPort::TimeoutError) {
                    port_.clearError();
                    continue;
                }
                break;
            }
        }
        if (clock.elapsed() >= kWriteLimitMs)
            break;
    }
    if (port_.isOpen() && port_.bytesToWrite() > 0 && clock.elapsed() >= kWriteLimitMs) {
        // Cut short: what the port could not take in time is dropped.
        port_.clear(QSerialPort::Output);
    }
}

QByteArray SerialTransport::ReadAvailable()
{
    if (line_)
        return IsOpen() ? line_->ReadAvailable() : QByteArray();
    if (!port_.isOpen())
        return {};
#ifdef Q_OS_UNIX
    // Pull what the driver holds now, without waiting for the event loop.
    int pending = 0;
    if (::ioctl(port_.handle(), FIONREAD, &pending) == 0 && pending > 0) {
        port_.waitForReadyRead(0);
        port_.clearError();
    }
    if (!port_.isOpen())
        return {};
#endif
    return port_.readAll();
}

#include "moc_SerialTransport.cpp"
