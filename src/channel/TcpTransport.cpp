#include "channel/TcpTransport.h"

#include "core/TextFile.h"

TcpTransport::TcpTransport(Scheduler &scheduler, QObject *parent) : QObject(parent), limit_(scheduler)
{
    limit_.SetSingleShot(true);
    limit_.SetInterval(kConnectLimitMs);
    // Given up like a refused attempt: inactive, the status text unchanged.
    limit_.OnTimeout([this] {
        if (state_ != State::Connecting)
            return;
        socket_.abort();
        SetState(State::Inactive);
    });
    connect(&socket_, &QTcpSocket::connected, this, &TcpTransport::OnConnected);
    connect(&socket_, &QTcpSocket::stateChanged, this, &TcpTransport::OnSocketState);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TcpTransport::OnError);
    connect(&socket_, &QTcpSocket::readyRead, this, [this] { BytesArrived(); });
}

TcpTransport::~TcpTransport()
{
    // Quiet teardown: no status texts while the session goes away.
    socket_.disconnect(this);
    socket_.abort();
}

void TcpTransport::SetStatus(const QString &text)
{
    statusText_ = text;
    emit statusTextChanged(text);
}

void TcpTransport::SetState(State state)
{
    if (state != State::Connecting)
        limit_.Stop();
    if (state_ == state)
        return;
    state_ = state;
    emit stateChanged(state);
}

void TcpTransport::Connect(const QString &host, const QString &password)
{
    if (state_ == State::Active)
        return;
    // A pending attempt is abandoned; only one connection at a time.
    if (socket_.state() != QAbstractSocket::UnconnectedState)
        socket_.abort();
    password_ = TextFile::ToGbk(password);
    failure_ = Failure::None;
    errorText_.clear();
    receivedAny_ = false;
    connectedOnce_ = false;
    SetState(State::Connecting);
    SetStatus(ConnectingText());
    limit_.Start();
    socket_.connectToHost(host, port_);
}

void TcpTransport::Disconnect()
{
    if (state_ != State::Active)
        return;
    socket_.disconnectFromHost();
}

void TcpTransport::OnConnected()
{
    connectedOnce_ = true;
    SetState(State::Active);
    // The password is the first thing the device hears: its bytes only, no
    // frame, no terminator, no trace line. Its answer is read like any data.
    if (!password_.isEmpty()) {
        socket_.write(password_);
        socket_.flush();
    }
    SetStatus(ConnectedText());
}

void TcpTransport::OnSocketState(QAbstractSocket::SocketState socketState)
{
    if (socketState != QAbstractSocket::UnconnectedState)
        return;
    // Closed by either side, by "断开", or after a failed send/receive; a
    // refused or unanswered attempt leaves the text at "连接中...".
    const bool wasActive = state_ == State::Active;
    SetState(State::Inactive);
    if (wasActive)
        SetStatus(FailedText());
}

void TcpTransport::OnError(QAbstractSocket::SocketError error)
{
    // Only an attempt's failure is kept: an error on a connection that was
    // open is not why it failed to connect. (The socket reports a failed
    // attempt after it has turned unconnected.)
    if (!connectedOnce_) {
        errorText_ = socket_.errorString();
        switch (error) {
        case QAbstractSocket::ConnectionRefusedError: failure_ = Failure::Refused; break;
        case QAbstractSocket::HostNotFoundError: failure_ = Failure::HostNotFound; break;
        case QAbstractSocket::SocketTimeoutError: failure_ = Failure::TimedOut; break;
        default: failure_ = Failure::Other; break;
        }
    }
    if (error == QAbstractSocket::HostNotFoundError) {
        socket_.abort();
        SetState(State::Inactive);
        SetStatus(FailedText());
    }
    // Other errors change nothing here: a failed attempt leaves the client
    // inactive (see OnSocketState); an open connection stays until it closes.
}

void TcpTransport::Write(const QByteArray &bytes)
{
    if (state_ != State::Active || bytes.isEmpty())
        return;
    if (socket_.write(bytes) < 0) {
        socket_.abort();
        return;
    }
    socket_.flush();
}

QByteArray TcpTransport::ReadAvailable()
{
    if (state_ != State::Active)
        return {};
    const QByteArray bytes = socket_.readAll();
    receivedAny_ = receivedAny_ || !bytes.isEmpty();
    return bytes;
}

#include "moc_TcpTransport.cpp"
