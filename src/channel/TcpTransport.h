#pragma once
#include "channel/Transport.h"
#include "core/Endpoint.h"
#include "core/ScheduledTimer.h"

#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QTcpSocket>

// The TCP maintenance connection of the data channel. Only the active state
// counts as open; while active it carries all channel traffic. Every socket
// event arrives on the user interface thread; errors only change the status
// text, they never become dialogs.
class TcpTransport : public QObject, public Transport {
    Q_OBJECT
public:
    enum class State { Inactive, Connecting, Active };
    // Why the last attempt did not connect, as the socket reported it.
    enum class Failure { None, Refused, HostNotFound, TimedOut, Other };

    // An attempt not answered within this is given up (as a refused one is).
    static constexpr int kConnectLimitMs = 5000;
    static inline const QString kPasswordDefault = QStringLiteral("480917");
    static QString ConnectingText() { return QCoreApplication::translate("TcpTransport", "TCP维护端口连接中..."); }
    static QString ConnectedText() { return QCoreApplication::translate("TcpTransport", "TCP维护端口连接成功"); }
    static QString FailedText() { return QCoreApplication::translate("TcpTransport", "TCP维护端口连接失败"); }

    explicit TcpTransport(Scheduler &scheduler = Scheduler::Default(), QObject *parent = nullptr);
    ~TcpTransport() override;

    // The port connects go to; tests point it at a free loopback port.
    void SetPort(quint16 port) { port_ = port; }
    quint16 Port() const { return port_; }
    // The host of the last Connect.
    QString Host() const { return socket_.peerName(); }

    // "连接": starts connecting unless already active; returns at once. The
    // password's bytes are the first thing sent once connected. A pending
    // attempt is abandoned in favour of the new one, and one still pending
    // after kConnectLimitMs.
    void Connect(const QString &host, const QString &password);
    // "断开": closes an active connection (the status then reads failed).
    void Disconnect();

    State state() const { return state_; }
    QString StatusText() const { return statusText_; }
    // The last attempt's failure (None while it runs or after it connected),
    // and the system's words for it.
    Failure LastFailure() const { return failure_; }
    QString LastErrorText() const { return errorText_; }
    // Whether the device has sent anything since the connection opened.
    bool ReceivedAny() const { return receivedAny_; }

    bool IsOpen() const override { return state_ == State::Active; }
    // One hand-over to the socket; a failing send closes the connection.
    void Write(const QByteArray &bytes) override;
    // What has arrived; a failing receive closes the connection.
    QByteArray ReadAvailable() override;
    // The socket says when bytes come in (readyRead).
    bool TellsArrival() const override { return true; }

signals:
    void statusTextChanged(const QString &text);
    void stateChanged(TcpTransport::State state);

private:
    void SetStatus(const QString &text);
    void SetState(State state);
    void OnConnected();
    void OnSocketState(QAbstractSocket::SocketState socketState);
    void OnError(QAbstractSocket::SocketError error);

    QTcpSocket socket_;
    ScheduledTimer limit_;
    quint16 port_ = Endpoint::kDefaultTcpPort;
    QByteArray password_;
    State state_ = State::Inactive;
    QString statusText_;
    Failure failure_ = Failure::None;
    QString errorText_;
    bool receivedAny_ = false;
    bool connectedOnce_ = false;
};
