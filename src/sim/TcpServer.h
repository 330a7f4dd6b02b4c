#pragma once
#include "sim/SimLink.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

// The maintenance port wants the password as the first bytes of a
// connection, with no frame around it; the tool may send its first request
// right behind it, even in the same segment. Bytes that go astray from the
// password reject the connection: a peer that does not know the password
// gets no device.
class PasswordGate {
public:
    enum class State { Waiting, Open, Rejected };

    explicit PasswordGate(QByteArray password) : password_(std::move(password)) {}

    // Takes received bytes; once open, returns those meant for the device
    // (what followed the password, then everything).
    QByteArray Feed(const QByteArray &bytes);
    State state() const { return state_; }

private:
    QByteArray password_;
    QByteArray seen_;
    State state_ = State::Waiting;
};

// Serves the device's TCP maintenance port on 127.0.0.1. One peer at a time:
// a new connection replaces the old one, as a tool that reconnects after a
// lost link expects the device to let it in.
class TcpServer {
public:
    TcpServer(SimDevice &device, QByteArray password, SimDevice::Logger log = {});
    ~TcpServer();
    TcpServer(const TcpServer &) = delete;
    TcpServer &operator=(const TcpServer &) = delete;

    // Port 0 picks a free port; Port() tells which.
    bool Listen(quint16 port, QString *error);
    quint16 Port() const { return server_.serverPort(); }

private:
    void Accept();
    void Read();
    void Log(const QString &line) const;

    SimDevice &device_;
    QByteArray password_;
    SimDevice::Logger log_;
    QTcpServer server_;
    QPointer<QTcpSocket> peer_;
    std::unique_ptr<PasswordGate> gate_;
    std::unique_ptr<SimLink> link_;
};
