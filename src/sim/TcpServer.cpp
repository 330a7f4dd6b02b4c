#include "sim/TcpServer.h"

QByteArray PasswordGate::Feed(const QByteArray &bytes)
{
    if (state_ == State::Open)
        return bytes;
    if (state_ == State::Rejected)
        return {};
    seen_ += bytes;
    const qsizetype compared = qMin(seen_.size(), password_.size());
    if (seen_.left(compared) != password_.left(compared)) {
        state_ = State::Rejected;
        seen_.clear();
        return {};
    }
    if (seen_.size() < password_.size())
        return {};
    state_ = State::Open;
    const QByteArray rest = seen_.mid(password_.size());
    seen_.clear();
    return rest;
}

TcpServer::TcpServer(SimDevice &device, QByteArray password, SimDevice::Logger log)
    : device_(device), password_(std::move(password)), log_(std::move(log))
{
    QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
}

TcpServer::~TcpServer()
{
    link_.reset();
    if (peer_)
        peer_->abort();
}

bool TcpServer::Listen(quint16 port, QString *error)
{
    if (server_.listen(QHostAddress::LocalHost, port))
        return true;
    *error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(server_.errorString());
    return false;
}

void TcpServer::Accept()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        if (QTcpSocket *old = peer_) {
            Log(QStringLiteral("connection replaced by a new one"));
            peer_ = nullptr; // so its disconnected signal forgets nothing of the new peer
            link_.reset();
            old->abort();
            old->deleteLater();
        }
        peer_ = socket;
        gate_ = std::make_unique<PasswordGate>(password_);
        QPointer<QTcpSocket> target = socket;
        link_ = std::make_unique<SimLink>(device_, [target](const QByteArray &bytes) {
            if (target)
                target->write(bytes);
        });
        // A frame cut off by the old peer must not swallow the new peer's.
        link_->Reset();
        Log(QStringLiteral("connection from %1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()));
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (socket == peer_)
                Read();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
            if (socket == peer_) {
                Log(QStringLiteral("connection closed"));
                link_.reset();
                gate_.reset();
                peer_ = nullptr;
            }
            socket->deleteLater();
        });
    }
}

void TcpServer::Read()
{
    const QByteArray forDevice = gate_->Feed(peer_->readAll());
    if (gate_->state() == PasswordGate::State::Rejected) {
        Log(QStringLiteral("wrong password: connection dropped"));
        peer_->abort(); // emits disconnected, which forgets the peer
        return;
    }
    if (!forDevice.isEmpty())
        link_->Received(forDevice);
}

void TcpServer::Log(const QString &line) const
{
    if (log_)
        log_(line);
}
